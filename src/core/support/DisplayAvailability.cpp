#include "core/support/DisplayAvailability.h"

namespace sorabel {

namespace {
// The value of "-name VALUE", "--name VALUE" or "-name=VALUE"; empty when absent.
QString optionValue(const QStringList& arguments, const QString& name) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString argument = arguments.at(i);
        if (argument == QStringLiteral("--"))
            break;
        if (argument.startsWith(QStringLiteral("--")))
            argument.remove(0, 1);
        if (argument == QLatin1Char('-') + name && i + 1 < arguments.size())
            return arguments.at(i + 1);
        if (argument.startsWith(QLatin1Char('-') + name + QLatin1Char('=')))
            return argument.mid(name.size() + 2);
    }
    return {};
}
} // namespace

QString DisplayAvailability::problem(const QStringList& arguments,
                                     const QProcessEnvironment& environment) {
    QString platforms = optionValue(arguments, QStringLiteral("platform"));
    if (platforms.isEmpty())
        platforms = environment.value(QStringLiteral("QT_QPA_PLATFORM"));
    // "wayland;xcb" tries each in turn; any other platform needs no display server.
    const QStringList tried = platforms.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& platform : tried) {
        const QString name = platform.section(QLatin1Char(':'), 0, 0).trimmed();
        if (!name.startsWith(QStringLiteral("xcb")) && !name.startsWith(QStringLiteral("wayland")))
            return {};
    }
    if (!environment.value(QStringLiteral("DISPLAY")).isEmpty() ||
        !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty() ||
        !optionValue(arguments, QStringLiteral("display")).isEmpty())
        return {};
    return QStringLiteral("ウィンドウを開けません: 画面が見つかりません"
                          "（環境変数 DISPLAY も WAYLAND_DISPLAY も設定されていません）。\n"
                          "コマンドラインだけで使える機能は「sorabel --help」をご覧ください。\n");
}

} // namespace sorabel
