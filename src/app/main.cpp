#include "BuildVersion.h"
#include "InstallPaths.h"
#include "core/catalogue/CatalogueSession.h"
#include "core/csv/CsvCommandLine.h"
#include "core/format/SettingsFile.h"
#include "core/lookup/IsbnCommandLine.h"
#include "core/storage/NativeFileName.h"
#include "core/support/CommandLine.h"
#include "core/support/DisplayAvailability.h"
#include "core/support/QtTranslation.h"
#include "core/support/TerminationSignals.h"
#include "core/support/ToolkitSettings.h"
#include "gui/help/HelpViewer.h"
#include "gui/main/MainWindow.h"
#include "gui/main/ProgramWindows.h"
#include "gui/main/SessionSafety.h"
#include "gui/modules/LoadableModules.h"
#include "gui/widgets/FontSubstitution.h"
#include "gui/widgets/Icons.h"

#include <QApplication>
#include <QProcessEnvironment>
#include <QTextStream>
#include <cstdio>
#include <fontconfig/fontconfig.h>
#include <optional>
#include <thread>

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

// The catalogue the start will most likely read: the one named on the command
// line, else the one the last run remembered when it is to be read again.
QString catalogueOfTheStart(const QString& named) {
    if (!named.isEmpty())
        return named;
    const sorabel::SettingsValues v =
        sorabel::SettingsFile::read(sorabel::SettingsFile::defaultPath(), {}, true);
    if (!v.startup.reopenLastCatalogue)
        return {};
    return sorabel::NativeFileName::decode(QByteArray::fromStdString(v.file));
}
} // namespace

int main(int argc, char* argv[]) {
    // CSV export and import for scripts: no window, no display needed.
    if (sorabel::CsvCommandLine::wanted(argc, argv)) {
        const QCoreApplication plain(argc, argv);
        QTextStream err(stderr);
        QTextStream out(stdout);
        return sorabel::CsvCommandLine::run(QCoreApplication::arguments(), out, err);
    }
    if (sorabel::IsbnCommandLine::wanted(argc, argv)) {
        const QCoreApplication plain(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        try {
            return sorabel::LoadableModules::runIsbnCommandLine(QCoreApplication::arguments(), out,
                                                                err);
        } catch (const std::exception& e) {
            err << QString::fromUtf8(e.what()) << '\n';
            return 1;
        }
    }
    {
        // --help, --version and refusals answer without a display, and the
        // program says in its own words when there is no screen to go to. An
        // ordinary start reads its arguments as Qt does (UTF-8) without
        // setting up and tearing down an application object first.
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        if (sorabel::CommandLine::parse(arguments).action != sorabel::CommandLine::Action::Run) {
            const QCoreApplication plain(argc, argv);
            if (const auto status =
                    answer(sorabel::CommandLine::parse(QCoreApplication::arguments())))
                return *status;
        }
        const QString noScreen = sorabel::DisplayAvailability::problem(
            arguments, QProcessEnvironment::systemEnvironment());
        if (!noScreen.isEmpty()) {
            std::fputs(noScreen.toUtf8().constData(), stderr);
            return 1;
        }
    }

    // The first font wanted makes Fontconfig read its configuration, some sixty
    // files: a tenth of a start. It is read on the second core while the
    // toolkit connects to the display; Fontconfig keeps one configuration for
    // the whole process and may be called from any thread.
    std::thread fontConfiguration([] { FcInit(); });
    const sorabel::ToolkitSettings toolkitSettings; // outlives the application, which writes it
    QApplication app(argc, argv);
    fontConfiguration.join();
    // From here on a termination signal waits for the event loop, which ends
    // the program through the main window's normal shutdown.
    sorabel::TerminationSignals termination;
    QApplication::setApplicationName(QStringLiteral("sorabel"));
    // No display name: Qt would add " — ソラベル" to every other window's title.
    QApplication::setApplicationVersion(QStringLiteral(SORABEL_VERSION_STRING));
    QApplication::setDesktopFileName(QStringLiteral("jp.example.sorabel"));
    sorabel::QtTranslation::install(app);

    const auto request = sorabel::CommandLine::parse(QApplication::arguments());
    if (const auto status = answer(request))
        return *status;

    sorabel::FontSubstitution::install();
    QApplication::setWindowIcon(sorabel::Icons::get("sorabel"));

    // The same on every installation: the installed data folder. The
    // windows' own "sorabe.HLP" (beside the program, else installed) serves
    // whenever one of them is active.
    sorabel::HelpViewer::setApplicationHelpFile(
        QStringLiteral(SORABEL_INSTALL_DATADIR "/SORABE.HLP"));

    sorabel::CatalogueSession session;
    // Read while the windows are built; the start takes the bytes if it opens that file.
    if (const QString first = catalogueOfTheStart(request.fileToOpen); !first.isEmpty())
        session.readAhead(first);
    // Recovery copies and catalogue locks, for the program's whole run.
    sorabel::SessionSafety safety(session, sorabel::RecoveryStore::defaultFolder());
    sorabel::ProgramWindows windows(session);
    sorabel::MainWindow& mainWindow = windows.mainWindow();
    // A catalogue named on the command line is opened instead of the remembered one.
    mainWindow.setCatalogueToOpen(request.fileToOpen);
    mainWindow.setSafety(&safety);
    // Closing the main window ends the program, whatever other window is open.
    QObject::connect(&mainWindow, &sorabel::MainWindow::closed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    QObject::connect(&termination, &sorabel::TerminationSignals::received, &mainWindow,
                     &sorabel::MainWindow::endWithoutQuestions);
    mainWindow.show();
    return app.exec();
}
