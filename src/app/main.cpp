#include "about/TAboutBox.h"
#include "list_window/TForm3.h"
#include "main_window/TForm1.h"
#include "platform/widgets/FontSubstitution.h"
#include "platform/widgets/HelpViewer.h"
#include "settings/dialog/TForm4.h"

#include <QApplication>
#include <QPointer>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("sorabel"));
    QApplication::setApplicationDisplayName(QStringLiteral("ソラベル"));
    sorabel::FontSubstitution::install();
    QApplication::setWindowIcon(sorabel::TAboutBox::programIcon());

    // The same on every installation; the windows' own "sorabe.HLP" beside
    // the program serves whenever one of them is active.
    sorabel::HelpViewer::setApplicationHelpFile(
        QStringLiteral("/usr/local/share/sorabel/SORABE.HLP"));

    // The main window comes first: its first show runs the start-up sequence
    // before any other window exists.
    auto* form1 = new TForm1;
    form1->setAttribute(Qt::WA_DeleteOnClose);
    // The main window's end is the program's end, whatever other window is open.
    QObject::connect(form1, &QObject::destroyed, &app, &QApplication::quit);
    form1->show();

    // The list window, created hidden; the main window's list command shows it.
    QPointer<TForm3> form3 = new TForm3;
    form1->setListWindow(form3);

    // The About box, after the list window and before the settings dialog.
    auto* aboutBox = new sorabel::TAboutBox(form1);
    form1->setAboutBox(aboutBox);

    // The settings dialog, last.
    auto* form4 = new sorabel::TForm4(form1);
    form1->setSettingsDialog(form4);

    const int result = app.exec();
    delete form3; // not owned by the main window, which may already be gone
    return result;
}
