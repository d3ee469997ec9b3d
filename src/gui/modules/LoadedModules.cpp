// The program's own build: the modules are loaded from its installation the
// first time one of their entry points is wanted.
#include "InstallPaths.h"
#include "gui/modules/LoadableModules.h"
#include "gui/modules/ModuleEntries.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <stdexcept>

namespace sorabel {

namespace {

// An installed program finds its modules in its library folder; one run from
// its build folder finds them beside itself. A module already loaded is
// only looked up again.
template <typename Function> Function entry(const char* module, const char* name) {
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString file = QString::fromLatin1(module);
    QStringList folders{programFolder + QStringLiteral("/" SORABEL_MODULEDIR_FROM_BINDIR),
                        programFolder};
#ifdef SORABEL_BUILD_MODULE_DIR
    // A benchmark built beside the program loads the modules built there.
    folders << QStringLiteral(SORABEL_BUILD_MODULE_DIR);
#endif
    QString problem;
    for (const QString& folder : std::as_const(folders)) {
        QLibrary library(folder + u'/' + file);
        if (!QFileInfo::exists(library.fileName()))
            continue;
        // Every symbol at once: a module that does not fit the program fails
        // here, with the reason, rather than later in the middle of a command.
        library.setLoadHints(QLibrary::ResolveAllSymbolsHint);
        if (const auto function = reinterpret_cast<Function>(library.resolve(name)))
            return function;
        problem = library.errorString();
        break;
    }
    if (problem.isEmpty())
        problem = QStringLiteral("%1 がありません").arg(file);
    throw std::runtime_error(
        QStringLiteral("プログラムの部品を読み込めません: %1").arg(problem).toStdString());
}

const char* const kStatistics = "sorabel_statistics.so";
const char* const kLookup = "sorabel_lookup.so";

} // namespace

QWidget* LoadableModules::makeStatisticsWindow(const Catalogue& catalogue,
                                               std::function<QString()> openCatalogue,
                                               std::function<void(int)> recordChosen) {
    return entry<decltype(&sorabel_make_statistics_window)>(
        kStatistics, "sorabel_make_statistics_window")(catalogue, std::move(openCatalogue),
                                                       std::move(recordChosen));
}

void LoadableModules::statisticsChanged(QWidget* window) {
    entry<decltype(&sorabel_statistics_changed)>(kStatistics, "sorabel_statistics_changed")(window);
}

QDialog* LoadableModules::makeIsbnLookupWindow(CatalogueSession& session, QWidget* parent) {
    return entry<decltype(&sorabel_make_isbn_lookup_window)>(
        kLookup, "sorabel_make_isbn_lookup_window")(session, parent);
}

void LoadableModules::presentIsbnLookup(QDialog* window) {
    entry<decltype(&sorabel_present_isbn_lookup)>(kLookup, "sorabel_present_isbn_lookup")(window);
}

int LoadableModules::runIsbnCommandLine(const QStringList& args, QTextStream& out,
                                        QTextStream& err) {
    return entry<decltype(&sorabel_run_isbn_command_line)>(
        kLookup, "sorabel_run_isbn_command_line")(args, out, err);
}

} // namespace sorabel
