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
    // Numbers, dates and type names in Qt's widgets follow the default
    // locale, which is Japanese like every other text, whatever LANG says.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
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
