#include "gui/main/ProgramWindows.h"

#include "core/catalogue/CatalogueSession.h"
#include "gui/about/AboutDialog.h"
#include "gui/booklist/BookListWindow.h"
#include "gui/csv/CsvExportDialog.h"
#include "gui/csv/CsvImportDialog.h"
#include "gui/main/MainWindow.h"
#include "gui/modules/LoadableModules.h"
#include "gui/search/SearchWindow.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/widgets/CompanionPlacement.h"
#include "gui/widgets/WindowFront.h"

#include "gui/widgets/Dialogs.h"
#include <QTimer>

namespace sorabel {

ProgramWindows::ProgramWindows(CatalogueSession& session)
    : session_(session), main_(std::make_unique<MainWindow>(session)) {
    MainWindow* main = main_.get();
    main->setAboutDialog([this] { return &aboutDialog(); });
    main->setSettingsDialog([this] { return &settingsDialog(); });

    QObject::connect(main, &MainWindow::bookListRequested, main, [this] { bookList().showList(); });
    QObject::connect(main, &MainWindow::fieldFontChanged, main,
                     [this](const QFont& font, int lineHeight) {
                         cellFont_.emplace(font, lineHeight);
                         if (bookList_)
                             bookList_->setCellFont(font, lineHeight);
                     });
    QObject::connect(main, &MainWindow::searchRequested, main,
                     [this] { searchWindow().execute(); });
    QObject::connect(main, &MainWindow::statisticsRequested, main,
                     [this, main] { guarded(main, [&] { bringToFront(&statisticsWindow()); }); });

    // Records added, removed or moved reach search and statistics as soon as
    // the command is over (a result must never point at a moved record);
    // typing reaches them once the user pauses, so that a keystroke never
    // waits for a search. Windows not made yet read the records when made.
    auto* changes = new QTimer(main);
    changes->setSingleShot(true);
    changes->setInterval(0);
    auto* typing = new QTimer(main);
    typing->setSingleShot(true);
    typing->setInterval(400);
    for (QTimer* timer : {changes, typing})
        QObject::connect(timer, &QTimer::timeout, main, [this] { catalogueChanged(); });
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
    QObject::connect(main, &MainWindow::isbnLookupRequested, main, [this, main] {
        guarded(main, [&] { LoadableModules::presentIsbnLookup(&isbnLookupWindow()); });
    });
    QObject::connect(main, &MainWindow::settingsDialogOpening, main,
                     [this](const SettingsDialogInput& input) { settingsDialog().prepare(input); });
}

ProgramWindows::~ProgramWindows() {
    // The list first: it may still be showing rows of the session's records.
    bookList_.reset();
    statistics_.reset();
    main_.reset();
}

void ProgramWindows::catalogueChanged() {
    if (search_)
        search_->catalogueChanged();
    if (statistics_)
        LoadableModules::statisticsChanged(statistics_.get());
}

// The windows beside the main one open on its screen and come back where the
// user left them, also when the program ends while they show.
void ProgramWindows::placeBesideMain(QWidget* window, const char* section) {
    CompanionPlacement* placement = CompanionPlacement::install(window, main_.get(), section);
    QObject::connect(main_.get(), &MainWindow::closed, placement, &CompanionPlacement::remember);
}

BookListWindow& ProgramWindows::bookList() {
    if (bookList_)
        return *bookList_;
    bookList_ = std::make_unique<BookListWindow>(session_);
    BookListWindow* list = bookList_.get();
    MainWindow* main = main_.get();
    if (cellFont_)
        list->setCellFont(cellFont_->first, cellFont_->second);
    placeBesideMain(list, "ListWindow");
    QObject::connect(list, &BookListWindow::positionShown, main, &MainWindow::showListPosition);
    QObject::connect(list, &BookListWindow::aboutRequested, list, [this, list] {
        guarded(list, [&] { aboutDialog().exec(); });
        // The list, not the main window, is in front again afterwards.
        list->raise();
        list->activateWindow();
    });
    return *list;
}

SettingsDialog& ProgramWindows::settingsDialog() {
    if (!settings_) {
        settings_ = new SettingsDialog(session_, main_.get());
        QObject::connect(settings_, &SettingsDialog::settingsFinished, main_.get(),
                         &MainWindow::finishSettings);
    }
    return *settings_;
}

AboutDialog& ProgramWindows::aboutDialog() {
    if (!about_)
        about_ = new AboutDialog(main_.get());
    return *about_;
}

// A book chosen in search or statistics is shown in the main window, its
// edits stored first.
SearchWindow& ProgramWindows::searchWindow() {
    if (search_)
        return *search_;
    MainWindow* main = main_.get();
    search_ = new SearchWindow(session_.catalogue(), main);
    placeBesideMain(search_, "SearchWindow");
    QObject::connect(search_, &SearchWindow::recordChosen, main, [this, main](int record) {
        guarded(main, [&] { session_.showRecord(record); });
    });
    return *search_;
}

QWidget& ProgramWindows::statisticsWindow() {
    if (statistics_)
        return *statistics_;
    MainWindow* main = main_.get();
    // The statistics window is a window of its own: the main window comes
    // to the front with the book.
    statistics_.reset(LoadableModules::makeStatisticsWindow(
        session_.catalogue(), [this] { return session_.filePath(); },
        [this, main](int record) {
            guarded(main, [&] { session_.showRecord(record); });
            bringToFront(main);
        }));
    placeBesideMain(statistics_.get(), "StatisticsWindow");
    return *statistics_;
}

QDialog& ProgramWindows::isbnLookupWindow() {
    if (!isbnLookup_)
        isbnLookup_ = LoadableModules::makeIsbnLookupWindow(session_, main_.get());
    return *isbnLookup_;
}

} // namespace sorabel
