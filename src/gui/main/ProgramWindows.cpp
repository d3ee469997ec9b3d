#include "gui/main/ProgramWindows.h"

#include "gui/about/AboutDialog.h"
#include "gui/booklist/BookListWindow.h"
#include "gui/main/MainWindow.h"
#include "gui/settings/SettingsDialog.h"
#include "gui/widgets/Dialogs.h"

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

    QObject::connect(main, &MainWindow::settingsDialogOpening, settings_,
                     &SettingsDialog::prepare);
    QObject::connect(settings_, &SettingsDialog::startupOptionsChanged, main,
                     &MainWindow::takeStartupOptions);
    QObject::connect(settings_, &SettingsDialog::captionStyleChosen, main,
                     &MainWindow::takeCaptionStyle);
    QObject::connect(settings_, &SettingsDialog::contentsStyleChosen, main,
                     &MainWindow::takeContentsStyle);
    QObject::connect(settings_, &SettingsDialog::settingsAccepted, main,
                     &MainWindow::takeSettings);
}

ProgramWindows::~ProgramWindows() {
    // The list first: it may still be showing rows of the session's records.
    bookList_.reset();
    main_.reset();
}

} // namespace sorabel
