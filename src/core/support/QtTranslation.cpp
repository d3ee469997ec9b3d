#include "core/support/QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace sorabel {

bool QtTranslation::install(QCoreApplication& app) {
    static QPointer<QTranslator> installed; // gone with its application
    if (installed)
        return true;
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    // Dates, sizes and file type names in Qt's dialogs follow the locale.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    return true;
}

} // namespace sorabel
