#include "BuildVersion.h"
#include "InstallPaths.h"
#include "core/support/CommandLine.h"
#include "core/support/QtTranslation.h"
#include "gui/about/AboutDialog.h"
#include "gui/booklist/BookListWindow.h"
#include "gui/help/HelpViewer.h"
#include "gui/main/MainWindow.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/widgets/FontSubstitution.h"

#include <QApplication>
#include <QPointer>
#include <cstdio>
#include <optional>

namespace {
// --help and --version, or a refusal; nothing when the windows are to start.
std::optional<int> answer(const sorabel::CommandLine& request) {
    switch (request.action) {
    case sorabel::CommandLine::Action::ShowHelp:
    case sorabel::CommandLine::Action::ShowVersion:
        std::fputs(request.output.toUtf8().constData(), stdout);
        return 0;
    case sorabel::CommandLine::Action::Fail:
        std::fputs(request.output.toUtf8().constData(), stderr);
        return 2;
    case sorabel::CommandLine::Action::Run:
        break;
    }
    return std::nullopt;
}
} // namespace

int main(int argc, char* argv[]) {
    {
        // --help and --version answer without a display. A refusal waits for
        // the full application, which takes the toolkit's own options out.
        const QCoreApplication plain(argc, argv);
        const auto request = sorabel::CommandLine::parse(QCoreApplication::arguments());
        if (request.action != sorabel::CommandLine::Action::Fail)
            if (const auto status = answer(request))
                return *status;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("sorabel"));
    QApplication::setApplicationDisplayName(QStringLiteral("ソラベル"));
    QApplication::setApplicationVersion(QStringLiteral(SORABEL_VERSION_STRING));
    QApplication::setDesktopFileName(QStringLiteral("jp.example.sorabel"));
    sorabel::QtTranslation::install(app);

    // request.fileToOpen: the catalogue to open at start instead of the
    // remembered one (empty when none was named).
    const auto request = sorabel::CommandLine::parse(QApplication::arguments());
    if (const auto status = answer(request))
        return *status;
    // Commands that run without a window go here, before any window exists.

    sorabel::FontSubstitution::install();
    QApplication::setWindowIcon(sorabel::AboutDialog::programIcon());

    // The same on every installation: the installed data folder. The
    // windows' own "sorabe.HLP" (beside the program, else installed) serves
    // whenever one of them is active.
    sorabel::HelpViewer::setApplicationHelpFile(
        QStringLiteral(SORABEL_INSTALL_DATADIR "/SORABE.HLP"));

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
