#include "core/catalogue/CatalogueSession.h"
#include "gui/about/AboutDialog.h"
#include "gui/help/HelpViewer.h"
#include "gui/main/MainWindow.h"
#include "gui/main/ProgramWindows.h"
#include "gui/widgets/FontSubstitution.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("sorabel"));
    QApplication::setApplicationDisplayName(QStringLiteral("ソラベル"));
    sorabel::FontSubstitution::install();
    QApplication::setWindowIcon(sorabel::AboutDialog::programIcon());

    // The same on every installation; the windows' own "sorabe.HLP" beside
    // the program serves whenever one of them is active.
    sorabel::HelpViewer::setApplicationHelpFile(
        QStringLiteral("/usr/local/share/sorabel/SORABE.HLP"));

    sorabel::CatalogueSession session;
    sorabel::ProgramWindows windows(session);
    sorabel::MainWindow& mainWindow = windows.mainWindow();
    // Closing the main window ends the program, whatever other window is open.
    QObject::connect(&mainWindow, &sorabel::MainWindow::closed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    mainWindow.show();
    return app.exec();
}
