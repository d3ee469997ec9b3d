#include "list_window/TForm3.h"
#include "main_window/TForm1.h"
#include "platform/widgets/FontSubstitution.h"

#include <QApplication>
#include <QPointer>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("sorabel"));
    QApplication::setApplicationDisplayName(QStringLiteral("ソラベル"));
    sorabel::FontSubstitution::install();

    // --- The application's help file (a fixed absolute path ending in SORABE.HLP)
    //     is set here once the help viewer exists.

    // The main window comes first: its first show runs the start-up sequence
    // before any other window exists.
    auto* form1 = new TForm1;
    form1->setAttribute(Qt::WA_DeleteOnClose);
    // The main window's end is the program's end, whatever other window is open.
    QObject::connect(form1, &QObject::destroyed, &app, &QApplication::quit);
    form1->show();

    // The list window is created hidden and shown by the main window's list command.
    QPointer<TForm3> form3 = new TForm3;
    form1->setListWindow(form3);
    // The program ends with the main window: an open list window closes too.
    QObject::connect(form1, &QObject::destroyed, form3, [form3] {
        if (form3)
            form3->close();
    });

    // --- The About box and the settings dialog (Form4) are created here, in
    //     this order, all hidden, and handed to the main window: setAboutBox,
    //     setSettingsDialog.

    const int result = app.exec();
    delete form3;
    return result;
}
