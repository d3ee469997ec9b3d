// The modules linked into the same executable (the tests and the tools):
// their entry points are called directly.
#include "gui/modules/LoadableModules.h"
#include "gui/modules/ModuleEntries.h"

namespace sorabel {

QWidget* LoadableModules::makeStatisticsWindow(const Catalogue& catalogue,
                                               std::function<QString()> openCatalogue,
                                               std::function<void(int)> recordChosen) {
    return sorabel_make_statistics_window(catalogue, std::move(openCatalogue),
                                          std::move(recordChosen));
}

void LoadableModules::statisticsChanged(QWidget* window) {
    sorabel_statistics_changed(window);
}

QDialog* LoadableModules::makeIsbnLookupWindow(CatalogueSession& session, QWidget* parent) {
    return sorabel_make_isbn_lookup_window(session, parent);
}

void LoadableModules::presentIsbnLookup(QDialog* window) {
    sorabel_present_isbn_lookup(window);
}

int LoadableModules::runIsbnCommandLine(const QStringList& args, QTextStream& out,
                                        QTextStream& err) {
    return sorabel_run_isbn_command_line(args, out, err);
}

} // namespace sorabel
