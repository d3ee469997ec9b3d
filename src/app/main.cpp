#include "gui/about/AboutDialog.h"
#include "gui/booklist/BookListWindow.h"
#include "gui/help/HelpViewer.h"
#include "gui/main/MainWindow.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/widgets/FontSubstitution.h"

#include "core/csv/CsvCommandLine.h"

#include <QApplication>
#include <QPointer>

int main(int argc, char* argv[]) {
    // CSV export and import for scripts: no window.
    if (sorabel::CsvCommandLine::wanted(argc, argv)) {
        QCoreApplication app(argc, argv);
        QTextStream err(stderr);
        return sorabel::CsvCommandLine::run(QCoreApplication::arguments(), err);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("sorabel"));
    QApplication::setApplicationDisplayName(QStringLiteral("ソラベル"));
    sorabel::FontSubstitution::install();
    QApplication::setWindowIcon(sorabel::AboutDialog::programIcon());

    // The same on every installation; the windows' own "sorabe.HLP" beside
    // the program serves whenever one of them is active.
    sorabel::HelpViewer::setApplicationHelpFile(
        QStringLiteral("/usr/local/share/sorabel/SORABE.HLP"));

    // The main window comes first: its first show runs the start-up sequence
    // before any other window exists.
    auto* form1 = new MainWindow;
    form1->setAttribute(Qt::WA_DeleteOnClose);
    // The main window's end is the program's end, whatever other window is open.
    QObject::connect(form1, &QObject::destroyed, &app, &QApplication::quit);
    form1->show();

    // The list window, created hidden; the main window's list command shows it.
    QPointer<BookListWindow> form3 = new BookListWindow;
    form1->setListWindow(form3);

    // The About box, after the list window and before the settings dialog.
    auto* aboutBox = new sorabel::AboutDialog(form1);
    form1->setAboutBox(aboutBox);

    // The settings dialog, last.
    auto* form4 = new sorabel::SettingsDialog(form1);
    form1->setSettingsDialog(form4);

    const int result = app.exec();
    delete form3; // not owned by the main window, which may already be gone
    return result;
}
