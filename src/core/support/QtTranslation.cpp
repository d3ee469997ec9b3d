#include "core/support/QtTranslation.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>
#include <optional>

namespace sorabel {

namespace {
// Qt's file dialog writes dates and sizes in the system locale, not the
// default one, and Qt reads the system locale's time and number formats
// from LC_ALL, LC_TIME and LC_NUMERIC once, at their first use. For that
// read they name Japanese; then the environment is put back, so programs
// started from here (a browser, a help viewer) see the user's own.
void useJapaneseSystemFormats() {
    const char* const names[] = {"LC_ALL", "LC_TIME", "LC_NUMERIC"};
    std::optional<QByteArray> saved[std::size(names)];
    for (size_t i = 0; i < std::size(names); ++i)
        if (qEnvironmentVariableIsSet(names[i]))
            saved[i] = qgetenv(names[i]);
    qunsetenv("LC_ALL");
    qputenv("LC_TIME", "ja_JP.UTF-8");
    qputenv("LC_NUMERIC", "ja_JP.UTF-8");
    (void)QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
    for (size_t i = 0; i < std::size(names); ++i) {
        if (saved[i])
            qputenv(names[i], *saved[i]);
        else
            qunsetenv(names[i]);
    }
}
} // namespace

bool QtTranslation::install(QCoreApplication& app) {
    static QPointer<QTranslator> installed; // gone with its application
    if (installed)
        return true;
    // Dates, sizes and file type names in Qt's dialogs follow the locale,
    // which is Japanese like every other text, whatever LANG says.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    useJapaneseSystemFormats();
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}

} // namespace sorabel
