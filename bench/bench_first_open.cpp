// The first opening of every window made on demand, with 2000 books open:
// the time from the command to the window shown and painted, each measured
// once in a fresh process state (a second opening costs far less). Printed
// in milliseconds; anything over 100 ms is flagged. The statistics and the
// ISBN lookup are loaded from their modules, as in the program.
#include "../tests/gui/Reach.h"
#include "FullCatalogue.h"
#include "core/catalogue/CatalogueSession.h"
#include "core/csv/CsvWriter.h"
#include "core/format/CatalogueFile.h"
#include "gui/booklist/BookListWindow.h"
#include "gui/csv/CsvImportDialog.h"
#include "gui/help/HelpViewer.h"
#include "gui/help/HelpWindow.h"
#include "gui/main/MainWindow.h"
#include "gui/main/ProgramWindows.h"
#include "gui/search/SearchWindow.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/FontSubstitution.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

using namespace sorabel;

namespace {

// Shows what open() made and waits until it has painted.
void measure(const char* name, const std::function<QWidget*()>& open) {
    QElapsedTimer clock;
    clock.start();
    QWidget* window = open();
    window->show();
    window->repaint();
    QApplication::processEvents();
    const double ms = clock.nsecsElapsed() / 1e6;
    std::printf("%-28s %8.1f ms%s\n", name, ms, ms > 100 ? "   (over 100 ms)" : "");
    window->hide();
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    FontSubstitution::install();
    Dialogs::setTestMode(true);
    QTemporaryDir folder;
    const QString books = folder.filePath(QStringLiteral("books.srb"));
    CatalogueFile::write(books, bench::fullCatalogue());

    CatalogueSession session;
    ProgramWindows windows(session);
    windows.mainWindow().setCatalogueToOpen(books);
    windows.mainWindow().show();
    QApplication::processEvents();
    std::printf("First opening with %d books\n", session.recordCount());

    measure("book list", [&] {
        windows.bookList().showList();
        return &windows.bookList();
    });
    measure("search", [&] {
        windows.searchWindow().execute();
        return &windows.searchWindow();
    });
    measure("statistics", [&] { return &windows.statisticsWindow(); });
    measure("settings", [&] { return &windows.settingsDialog(); });
    measure("ISBN lookup", [&] {
        emit windows.mainWindow().isbnLookupRequested();
        return &windows.isbnLookupWindow();
    });
    measure("impressions search", [&] {
        windows.mainWindow().showImpressionsSearch();
        return &reach<QDialog>(windows.mainWindow(), "findDialog");
    });
    measure("help", [&] {
        HelpViewer::showContext(QStringLiteral(SORABEL_SOURCE_DIR "/help/sorabe.HLP"),
                                MainWindow::kHelpContext);
        return HelpViewer::window();
    });
    const QString csv = folder.filePath(QStringLiteral("books.csv"));
    CsvWriter::writeFile(csv, session.catalogue(), CsvEncoding::Utf8);
    measure("CSV import (2000 rows)", [&] {
        auto* dialog = new CsvImportDialog(session.catalogue(), &windows.mainWindow());
        dialog->loadFile(csv);
        return dialog;
    });
    return 0;
}
