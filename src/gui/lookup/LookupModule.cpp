// The ISBN lookup module's entry points (see gui/modules/ModuleEntries.h).
#include "core/lookup/IsbnCommandLine.h"
#include "gui/lookup/IsbnLookupWindow.h"
#include "gui/modules/ModuleEntries.h"

QDialog* sorabel_make_isbn_lookup_window(sorabel::CatalogueSession& session, QWidget* parent) {
    return new sorabel::IsbnLookupWindow(session, parent);
}

void sorabel_present_isbn_lookup(QDialog* window) {
    static_cast<sorabel::IsbnLookupWindow*>(window)->present();
}

int sorabel_run_isbn_command_line(const QStringList& args, QTextStream& out, QTextStream& err) {
    return sorabel::IsbnCommandLine::run(args, out, err);
}
