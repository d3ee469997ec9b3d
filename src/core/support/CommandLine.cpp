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
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOptions({help, version});
    // Options of commands that run without a window are declared here too.

    CommandLine result;
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        const QString message =
            unknown.isEmpty() ? QStringLiteral("コマンドラインが正しくありません。\n")
                              : QStringLiteral("不明なオプションです: %1\n")
                                    .arg((unknown.front().size() == 1 ? QStringLiteral("-")
                                                                      : QStringLiteral("--")) +
                                         unknown.front());
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
