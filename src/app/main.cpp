#include "main_window/TForm1.h"
#include "platform/widgets/FontSubstitution.h"

#include <QApplication>

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
    form1->show();

    // --- The list window (Form3), the About box and the settings dialog
    //     (Form4) are created here, in this order, all hidden, and handed to
    //     the main window: setListWindow, setAboutBox, setSettingsDialog.

    return app.exec();
}
