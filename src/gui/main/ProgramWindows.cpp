#include "gui/main/ProgramWindows.h"

#include "core/catalogue/CatalogueSession.h"
#include "gui/about/AboutDialog.h"
#include "gui/booklist/BookListWindow.h"
#include "gui/csv/CsvExportDialog.h"
#include "gui/csv/CsvImportDialog.h"
#include "gui/main/MainWindow.h"
#include "gui/search/SearchWindow.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/stats/StatisticsWindow.h"
#include "gui/widgets/WindowFront.h"

#include "gui/widgets/Dialogs.h"
#include <QTimer>

namespace sorabel {

ProgramWindows::ProgramWindows(CatalogueSession& session)
    : main_(std::make_unique<MainWindow>(session)),
      bookList_(std::make_unique<BookListWindow>(session)) {
    MainWindow* main = main_.get();
    BookListWindow* list = bookList_.get();
    about_ = new AboutDialog(main);
    settings_ = new SettingsDialog(session, main);
    main->setAboutDialog(about_);
    main->setSettingsDialog(settings_);

    QObject::connect(main, &MainWindow::bookListRequested, list, &BookListWindow::showList);
    QObject::connect(main, &MainWindow::bookListHideRequested, list, [list] {
        if (list->isVisible())
            list->hide();
    });
    QObject::connect(main, &MainWindow::fieldFontChanged, list, &BookListWindow::setCellFont);
    QObject::connect(list, &BookListWindow::positionShown, main, &MainWindow::showListPosition);
    QObject::connect(list, &BookListWindow::aboutRequested, list, [this, list] {
        guarded(list, [&] { about_->exec(); });
        // The list, not the main window, is in front again afterwards.
        list->raise();
        list->activateWindow();
    });

    // Search and statistics read the catalogue and follow its changes; a book
    // chosen in them is shown in the main window, its edits stored first.
    search_ = new SearchWindow(session.catalogue(), main);
    statistics_ = std::make_unique<StatisticsWindow>(session.catalogue());
    QObject::connect(main, &MainWindow::searchRequested, search_, &SearchWindow::execute);
    QObject::connect(main, &MainWindow::statisticsRequested, statistics_.get(),
                     [this] { bringToFront(statistics_.get()); });
    auto show = [&session, main](int record) {
        guarded(main, [&] { session.showRecord(record); });
    };
    QObject::connect(search_, &SearchWindow::recordChosen, main, show);
    // The statistics window is a window of its own: the main window comes
    // to the front with the book.
    QObject::connect(statistics_.get(), &StatisticsWindow::recordChosen, main,
                     [show, main](int record) {
                         show(record);
                         bringToFront(main);
                     });
    // Storing a record changes several fields at once: the windows hear of a
    // burst of changes once, when the command is over.
    auto* changes = new QTimer(main);
    changes->setSingleShot(true);
    changes->setInterval(0);
    QObject::connect(changes, &QTimer::timeout, search_, &SearchWindow::catalogueChanged);
    QObject::connect(changes, &QTimer::timeout, statistics_.get(),
                     &StatisticsWindow::catalogueChanged);
    for (auto changed : {&CatalogueSession::recordsChanged, &CatalogueSession::headerChanged})
        QObject::connect(&session, changed, changes, qOverload<>(&QTimer::start));

    QObject::connect(main, &MainWindow::csvExportRequested, main,
                     [&session, main] { CsvExportDialog::run(main, session.catalogue()); });
    QObject::connect(main, &MainWindow::csvImportRequested, main, [&session, main] {
        // The whole import is one step: appended all together, undone together.
        if (const auto records = CsvImportDialog::run(main, session.catalogue()))
            if (!session.appendRecords(*records))
                Dialogs::notice(main, QStringLiteral("記録できるのは２０００冊までです"));
    });

    QObject::connect(main, &MainWindow::settingsDialogOpening, settings_, &SettingsDialog::prepare);
    QObject::connect(settings_, &SettingsDialog::startupOptionsChanged, main,
                     &MainWindow::takeStartupOptions);
    QObject::connect(settings_, &SettingsDialog::captionStyleChosen, main,
                     &MainWindow::takeCaptionStyle);
    QObject::connect(settings_, &SettingsDialog::contentsStyleChosen, main,
                     &MainWindow::takeContentsStyle);
    QObject::connect(settings_, &SettingsDialog::settingsAccepted, main, &MainWindow::takeSettings);
}

ProgramWindows::~ProgramWindows() {
    // The list first: it may still be showing rows of the session's records.
    bookList_.reset();
    statistics_.reset();
    main_.reset();
}

} // namespace sorabel
