#pragma once

// The entry points of the statistics and ISBN lookup modules, found by name
// when a module is loaded. C names, so that they are looked up as written;
// the types are the program's own, shared by both sides.

#include <QString>
#include <QStringList>
#include <functional>

class QDialog;

class QTextStream;
class QWidget;

namespace sorabel {
class Catalogue;
class CatalogueSession;
} // namespace sorabel

extern "C" {

// In sorabel_statistics.so.
QWidget* sorabel_make_statistics_window(const sorabel::Catalogue& catalogue,
                                        std::function<QString()> openCatalogue,
                                        std::function<void(int)> recordChosen);
void sorabel_statistics_changed(QWidget* window);

// In sorabel_lookup.so.
QDialog* sorabel_make_isbn_lookup_window(sorabel::CatalogueSession& session, QWidget* parent);
void sorabel_present_isbn_lookup(QDialog* window);
int sorabel_run_isbn_command_line(const QStringList& args, QTextStream& out, QTextStream& err);
}
