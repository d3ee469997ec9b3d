#include "gui/main/ProgramWindows.h"

#include "core/catalogue/CatalogueSession.h"
#include "gui/about/AboutDialog.h"
#include "gui/booklist/BookListWindow.h"
#include "gui/csv/CsvExportDialog.h"
#include "gui/csv/CsvImportDialog.h"
#include "gui/lookup/IsbnLookupWindow.h"
#include "gui/main/MainWindow.h"
#include "gui/search/SearchWindow.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/stats/StatisticsWindow.h"
#include "gui/widgets/CompanionPlacement.h"
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
    statistics_->setOpenCatalogue([&session] { return session.filePath(); });
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
    // Records added, removed or moved reach them as soon as the command is
    // over (a result must never point at a moved record); typing reaches
    // them once the user pauses, so that a keystroke never waits for a search.
    auto* changes = new QTimer(main);
    changes->setSingleShot(true);
    changes->setInterval(0);
    auto* typing = new QTimer(main);
    typing->setSingleShot(true);
    typing->setInterval(400);
    for (QTimer* timer : {changes, typing}) {
        QObject::connect(timer, &QTimer::timeout, search_, &SearchWindow::catalogueChanged);
        QObject::connect(timer, &QTimer::timeout, statistics_.get(),
                         &StatisticsWindow::catalogueChanged);
    }
    QObject::connect(changes, &QTimer::timeout, typing, &QTimer::stop);
    const auto structural = [changes] { changes->start(); };
    QObject::connect(&session, &CatalogueSession::recordsInserted, changes, structural);
    QObject::connect(&session, &CatalogueSession::recordsRemoved, changes, structural);
    QObject::connect(&session, &CatalogueSession::recordsReordered, changes, structural);
    QObject::connect(&session, &CatalogueSession::catalogueReset, changes, structural);
    QObject::connect(&session, &CatalogueSession::headerChanged, changes, structural);
    QObject::connect(&session, &CatalogueSession::recordChanged, typing,
                     [typing] { typing->start(); });

    QObject::connect(main, &MainWindow::csvExportRequested, main, [&session, main] {
        CsvExportDialog::run(main, session.catalogue(), session.filePath());
    });
    QObject::connect(main, &MainWindow::csvImportRequested, main, [&session, main] {
        // The whole import is one step: appended all together, undone together.
        if (const auto records = CsvImportDialog::run(main, session.catalogue()))
            if (!session.appendRecords(*records))
                Dialogs::notice(main, QStringLiteral("記録できるのは２０００冊までです"));
    });

    // The windows beside the main one open on its screen and come back where
    // the user left them.
    const QList<CompanionPlacement*> placements{
        CompanionPlacement::install(list, main, "ListWindow"),
        CompanionPlacement::install(search_, main, "SearchWindow"),
        CompanionPlacement::install(statistics_.get(), main, "StatisticsWindow")};
    QObject::connect(main, &MainWindow::closed, main, [placements] {
        for (CompanionPlacement* placement : placements)
            placement->remember();
    });

    isbnLookup_ = new IsbnLookupWindow(session, main);
    QObject::connect(main, &MainWindow::isbnLookupRequested, isbnLookup_,
                     &IsbnLookupWindow::present);

    QObject::connect(main, &MainWindow::settingsDialogOpening, settings_, &SettingsDialog::prepare);
    QObject::connect(settings_, &SettingsDialog::settingsFinished, main,
                     &MainWindow::finishSettings);
}

ProgramWindows::~ProgramWindows() {
    // The list first: it may still be showing rows of the session's records.
    bookList_.reset();
    statistics_.reset();
    main_.reset();
}

} // namespace sorabel
