#include "core/support/CommandLine.h"

#include "BuildVersion.h"
#include "core/format/SettingsFile.h"
#include "core/storage/ConfigLocation.h"
#include "core/storage/DataLocation.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace sorabel {

namespace {
const QString kHelpFileName = QStringLiteral("sorabe.HLP");

QString seeHelp(const QString& program) {
    return QStringLiteral("詳しくは「%1 --help」をご覧ください。\n").arg(program);
}

// The options QApplication takes for itself (and the X11 connection's). They
// are accepted here, so that the command line can be checked before any
// window system is touched, and left to the toolkit.
void addToolkitOptions(QCommandLineParser& parser) {
    static const char* const withValue[] = {"platform",
                                            "platformpluginpath",
                                            "platformtheme",
                                            "plugin",
                                            "qwindowgeometry",
                                            "geometry",
                                            "qwindowtitle",
                                            "title",
                                            "qwindowicon",
                                            "icon",
                                            "session",
                                            "style",
                                            "stylesheet",
                                            "display",
                                            "name",
                                            "qmljsdebugger"};
    static const char* const flags[] = {"reverse", "testability", "widgetcount",
                                        "nograb",  "dograb",      "sync"};
    for (const char* name : withValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : flags) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

// An unknown option as the user wrote it ("-x", "--bogus", "-bogus").
QString asTyped(const QString& name, const QStringList& arguments) {
    for (const QString& argument : arguments.mid(1)) {
        if (argument == QStringLiteral("--"))
            break;
        QString bare = argument.section(QLatin1Char('='), 0, 0);
        const qsizetype dashes = bare.startsWith(QStringLiteral("--")) ? 2 : 1;
        if (bare.startsWith(QLatin1Char('-')) && bare.mid(dashes) == name)
            return bare;
    }
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}
} // namespace

QString CommandLine::versionText() {
    return QStringLiteral("ソラベル %1\n").arg(QStringLiteral(SORABEL_VERSION_STRING));
}

QString CommandLine::helpText(const QString& program) {
    const QString help = DataLocation::find(kHelpFileName);
    const QString settings =
        QDir(ConfigLocation::folder()).filePath(QStringLiteral("SorabeIni.INI"));
    return QStringLiteral(
               "使い方: %1 [オプション] [ファイル.srb]\n"
               "読書記録ソラベルを起動します。\n"
               "\n"
               "引数:\n"
               "  ファイル.srb     起動時に開く読書録ファイル"
               "（省略すると前回のファイル）\n"
               "\n"
               "オプション:\n"
               "  -h, --help       この説明を表示して終了します\n"
               "  -v, --version    版を表示して終了します\n"
               "  --export-csv 読書録.srb 出力.csv [--encoding utf-8|utf-8-bom|shift-jis]\n"
               "                   ウィンドウを開かずに CSV へ書き出します\n"
               "  --import-csv 入力.csv 読書録.srb [--encoding …] [--preset 形式] [--no-header]\n"
               "               [--map '列名=項目名,…'] [--allow-duplicates] [--dry-run]\n"
               "                   ウィンドウを開かずに CSV の行を読書録に加えます\n"
               "                   （形式: generic、booklog、bookmeter、goodreads、calibre、\n"
               "                   librarything、collection。既存の読書録は .srbbak に残し、\n"
               "                   すでにある本と同じ行は加えません）\n"
               "  --lookup-isbn ISBN\n"
               "                   ISBN で本の書誌を調べ、項目ごとに表示します\n"
               "\n"
               "終了ステータス:\n"
               "  0  正常に終了しました\n"
               "  1  読み書きできなかったか、画面がありません（理由は標準エラー出力に出ます）\n"
               "  2  コマンドラインが正しくありません\n"
               "\n"
               "設定ファイル: %2\n"
               "ヘルプファイル: %3\n")
        .arg(program, QDir::toNativeSeparators(settings),
             QFileInfo::exists(help) ? QDir::toNativeSeparators(help)
                                     : QStringLiteral("（見つかりません）"));
}

CommandLine CommandLine::parse(const QStringList& arguments) {
    const QString program =
        arguments.isEmpty() ? QStringLiteral("sorabel") : QFileInfo(arguments.front()).fileName();
    QCommandLineParser parser;
    // "-platform xcb" is one option, as the toolkit reads it, not "-p -l -a ...".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOptions({help, version});
    // Options of commands that run without a window are declared here too.
    addToolkitOptions(parser);

    CommandLine result;
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        const QString message = unknown.isEmpty()
                                    ? QStringLiteral("コマンドラインが正しくありません。\n")
                                    : QStringLiteral("不明なオプションです: %1\n")
                                          .arg(asTyped(unknown.front(), arguments));
        result.action = Action::Fail;
        result.output = message + seeHelp(program);
        return result;
    }
    if (parser.isSet(help)) {
        result.action = Action::ShowHelp;
        result.output = helpText(program);
        return result;
    }
    if (parser.isSet(version)) {
        result.action = Action::ShowVersion;
        result.output = versionText();
        return result;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        result.action = Action::Fail;
        result.output = QStringLiteral("開けるファイルは一つだけです。\n") + seeHelp(program);
        return result;
    }
    if (!files.isEmpty())
        result.fileToOpen = QFileInfo(files.front()).absoluteFilePath();
    return result;
}

} // namespace sorabel
