// Takes the pictures under docs/ from the real windows, with the sample
// catalogue loaded at start-up. `make screenshots` runs it under xvfb-run:
//   sorabel_screenshots SOURCE_DIR OUTPUT_DIR
#include "core/catalogue/CatalogueSession.h"
#include "core/storage/ProgramFolder.h"
#include "core/support/QtTranslation.h"
#include "core/support/ToolkitSettings.h"
#include "gui/about/AboutDialog.h"
#include "gui/booklist/BookListWindow.h"
#include "gui/help/HelpViewer.h"
#include "gui/help/HelpWindow.h"
#include "gui/lookup/IsbnLookupWindow.h"
#include "gui/lookup/LookupPreview.h"
#include "gui/main/MainWindow.h"
#include "gui/main/ProgramWindows.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/stats/StatisticsWindow.h"
#include "gui/widgets/FontColourDialog.h"
#include "gui/widgets/FontSubstitution.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPalette>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <cstdio>

#include "../tests/gui/Reach.h"
#include "../tests/gui/lookup/LocalBookServer.h"

namespace {

void settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QTest::qWait(40);
    }
}

bool save(QWidget* w, const QString& path) {
    settle();
    if (!w->grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    const sorabel::ToolkitSettings
        toolkitSettings; // the save dialog's state stays out of ~/.config
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SOURCE_DIR OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const QDir source(QString::fromLocal8Bit(argv[1]));
    const QDir out(QString::fromLocal8Bit(argv[2]));
    QApplication::setApplicationDisplayName(QStringLiteral("ソラベル"));
    sorabel::FontSubstitution::install();
    sorabel::QtTranslation::install(app); // Qt's own dialogs in Japanese, as in the program

    // A program folder of its own: the settings file names the sample, which
    // is read automatically at start-up like a user's last catalogue.
    QTemporaryDir home;
    const QString folder = home.filePath(QStringLiteral("読書録"));
    QDir().mkpath(folder);
    const QString sample = QDir(folder).filePath(QStringLiteral("sample.srb"));
    if (!QFile::copy(source.filePath(QStringLiteral("examples/sample.srb")), sample) ||
        !QFile::copy(source.filePath(QStringLiteral("help/sorabe.HLP")),
                     QDir(folder).filePath(QStringLiteral("sorabe.HLP")))) {
        std::fprintf(stderr, "the sample catalogue or the help file is missing\n");
        return 1;
    }
    QFile ini(QDir(folder).filePath(QStringLiteral("SorabeIni.INI")));
    if (!ini.open(QIODevice::WriteOnly))
        return 1;
    ini.write("[File]\r\nFile=" + QFile::encodeName(sample) +
              "\r\n[Window]\r\nLeft=0\r\nTop=0\r\nWidth=711\r\nHeight=611\r\n");
    ini.close();
    sorabel::ProgramFolder::setOverride(folder);

    bool ok = true;
    sorabel::CatalogueSession session;
    sorabel::ProgramWindows windows(session);
    sorabel::MainWindow& main = windows.mainWindow();
    main.show();
    ok &= save(&main, out.filePath(QStringLiteral("main-window.png")));

    main.showBookList();
    ok &= save(&windows.bookList(), out.filePath(QStringLiteral("list-window.png")));
    windows.bookList().hide();

    sorabel::StatisticsWindow statistics(session.catalogue());
    statistics.resize(860, 600);
    statistics.show();
    ok &= save(&statistics, out.filePath(QStringLiteral("statistics-window.png")));
    auto& statisticsPages = sorabel::reach<QTabWidget>(statistics, "pages");
    statisticsPages.setCurrentIndex(sorabel::StatisticsWindow::GroupPage);
    ok &= save(&statistics, out.filePath(QStringLiteral("statistics-groups.png")));
    statisticsPages.setCurrentIndex(sorabel::StatisticsWindow::StatusPage);
    statistics.showStatus(sorabel::ReadingStatus::Reading);
    ok &= save(&statistics, out.filePath(QStringLiteral("statistics-status.png")));
    statistics.hide();

    sorabel::AboutDialog& about = windows.aboutDialog();
    about.show();
    ok &= save(&about, out.filePath(QStringLiteral("about-box.png")));
    about.hide();

    sorabel::HelpViewer::showContext(QStringLiteral("sorabe.HLP"), 1);
    if (auto* help = sorabel::HelpViewer::window()) {
        help->resize(900, 640);
        ok &= save(help, out.filePath(QStringLiteral("help-viewer.png")));
        help->hide();
    }

    // The ISBN window's preview, with answers served from the test data.
    {
        sorabel::LocalBookServer server;
        auto served = [&](const char* name) {
            QFile f(source.filePath(QStringLiteral("tests/data/lookup/") + QLatin1String(name)));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        server.set("/v1/get", "9784101010014", {200, served("openbd-9784101010014.json")});
        server.set("/api/sru", "9784101010014", {200, served("ndl-9784101010014.xml")});
        sorabel::LookupSettings sources;
        sources.openBdUrl = sources.ndlUrl = server.baseUrl();
        sources.write(home.filePath(QStringLiteral("lookup.INI")));
        sorabel::IsbnLookupWindow lookup(session, &main,
                                         home.filePath(QStringLiteral("lookup.INI")));
        lookup.present();
        auto& isbn = sorabel::reach<QLineEdit>(lookup, "isbnBox");
        isbn.setText(QStringLiteral("978-4-10-101001-4"));
        emit isbn.returnPressed();
        auto& preview = sorabel::reach<sorabel::LookupPreview>(lookup, "preview");
        QTest::qWaitFor([&] { return preview.rowCount() > 0; }, 5000);
        // The addresses a user sees, not the stand-in server's.
        sorabel::reach<QLineEdit>(lookup, "openBdUrl")
            .setText(sorabel::LookupSettings::kOpenBdDefault);
        sorabel::reach<QLineEdit>(lookup, "ndlUrl").setText(sorabel::LookupSettings::kNdlDefault);
        lookup.setFocus();
        ok &= save(&lookup, out.filePath(QStringLiteral("isbn-lookup.png")));
        lookup.hide();
    }

    // Shown without its modal loop, so that each page can be taken in turn.
    sorabel::SettingsDialog& settings = windows.settingsDialog();
    auto& pages = sorabel::reach<QTabWidget>(settings, "pages");
    settings.show();
    for (int page = 0; page < pages.count(); ++page) {
        pages.setCurrentIndex(page);
        ok &= save(&settings, out.filePath(QStringLiteral("settings-page%1.png").arg(page + 1)));
    }
    settings.hide();

    // Qt's own dialogs, as the file and font commands show them.
    QFileDialog saveAs(&main, QString(), folder, QStringLiteral("読書録データ(*.srb)"));
    saveAs.setAcceptMode(QFileDialog::AcceptSave);
    saveAs.setOption(QFileDialog::DontUseNativeDialog);
    saveAs.selectFile(QStringLiteral("sample.srb"));
    saveAs.resize(900, 520);
    saveAs.show();
    QTest::qWait(300);                         // the folder is read in the background
    for (int column = 0; column < 4; ++column) // Qt names the details view "treeView"
        sorabel::reach<QTreeView>(saveAs, "treeView").resizeColumnToContents(column);
    ok &= save(&saveAs, out.filePath(QStringLiteral("save-dialog.png")));
    saveAs.hide();

    sorabel::FontColourDialog font(&main,
                                   {QFont(QStringLiteral("IPAPGothic"), 12), QColor(0x80, 0, 0)});
    font.show();
    ok &= save(&font, out.filePath(QStringLiteral("font-dialog.png")));
    font.hide();

    // The same windows on a dark desktop theme (Fusion with a dark palette,
    // as a dark GTK or Plasma theme gives it).
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
    dark.setColor(QPalette::AlternateBase, QColor(0x40, 0x40, 0x40));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Button, QColor(0x3c, 0x3c, 0x3c));
    dark.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Highlight, QColor(0x35, 0x84, 0xe4));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::PlaceholderText, QColor(0xa0, 0xa0, 0xa0));
    dark.setColor(QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
    QApplication::setPalette(dark);
    main.raise();
    ok &= save(&main, out.filePath(QStringLiteral("main-window-dark.png")));
    main.showBookList();
    ok &= save(&windows.bookList(), out.filePath(QStringLiteral("list-window-dark.png")));
    windows.bookList().hide();
    statisticsPages.setCurrentIndex(0);
    statistics.show();
    ok &= save(&statistics, out.filePath(QStringLiteral("statistics-window-dark.png")));
    statistics.hide();
    sorabel::HelpViewer::showContext(QStringLiteral("sorabe.HLP"), 30);
    if (auto* help = sorabel::HelpViewer::window()) {
        help->resize(900, 640);
        ok &= save(help, out.filePath(QStringLiteral("help-viewer-dark.png")));
        help->hide();
    }

    sorabel::ProgramFolder::setOverride(QString());
    return ok ? 0 : 1;
}
