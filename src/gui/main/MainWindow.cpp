#include "gui/main/MainWindow.h"

#include "core/catalogue/CatalogueSession.h"
#include "core/storage/DialogFolder.h"
#include "core/storage/NativeFileName.h"
#include "gui/help/HelpViewer.h"
#include "gui/main/HistoryActions.h"
#include "gui/main/RecentFilesMenu.h"
#include "gui/main/RecordEditor.h"
#include "gui/main/SessionSafety.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/FileDrop.h"
#include "gui/widgets/FindDialog.h"
#include "gui/widgets/FontSubstitution.h"
#include "gui/widgets/Icons.h"
#include "gui/widgets/WindowFrame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <cstdio>
#include <utility>

namespace sorabel {

namespace {
const QString kLimitMessage = QStringLiteral("記録できるのは２０００冊までです");
const QString kDeleteQuestion = QStringLiteral("この本の記録を削除しますか？");
const QString kEmptyHint = QStringLiteral("データ → 追加 で最初の本を登録します");

} // namespace

// ---------------------------------------------------------------- creation

MainWindow::MainWindow(CatalogueSession& session, QWidget* parent)
    : QMainWindow(parent), session_(session), files_(session, this) {
    FontSubstitution::install();
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("ソラベル"));
    setFont(FontSubstitution::designFont(QStringLiteral("ＭＳ Ｐゴシック"), 15));
    setAcceptDrops(true);

    createActions();
    createStatusBar();
    editor_ = new RecordEditor(session_, this);
    setCentralWidget(editor_);

    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::WindowShortcut);
    connect(f1, &QShortcut::activated, this,
            [this] { command([] { HelpViewer::showContext(helpFile(), kHelpContext); }); });

    connect(editor_, &RecordEditor::edited, this, &MainWindow::enableAddDelete);
    connect(editor_, &RecordEditor::refused, this, &MainWindow::showNote);
    connect(editor_, &RecordEditor::undoRequested, this, &MainWindow::undo);
    connect(editor_, &RecordEditor::redoRequested, this, &MainWindow::redo);
    connect(editor_, &RecordEditor::fileDropped, this, &MainWindow::openFile);
    connect(editor_, &RecordEditor::addRequested, this, [this] {
        if (addButton_->isEnabled())
            addRecord();
    });
    connect(&session_, &CatalogueSession::currentRecordChanged, this, [this] {
        updateStatusBar();
        updateNavigationActions();
    });
    connect(&session_, &CatalogueSession::readOnlyChanged, this, &MainWindow::updateStatusBar);
    connect(&session_, &CatalogueSession::fileNameChanged, this, [this] {
        if (!session_.filePath().isEmpty()) {
            lastCatalogue_ = session_.filePath();
            recentFiles_->add(session_.filePath());
        }
        updateStatusBar();
    });

    frame_ = new WindowFrame(this);
    // The native window exists from here on, so that its frame can be
    // taken into account when the outer bounds are set.
    create();
    // Designed outer bounds; the settings file may replace them on the first show.
    setOuterBounds(QRect(kDesignLeft, kDesignTop, kDesignWidth, kDesignHeight));
    updateStatusBar();
    updateNavigationActions();
}

MainWindow::~MainWindow() {
    toolBar_->removeEventFilter(this);
    // The editor goes first, while the session it reports to is still whole.
    delete takeCentralWidget();
}

QAction* MainWindow::menuEntry(QMenu* menu, const char* caption, void (MainWindow::*slot)()) {
    auto* a = new QAction(QString::fromUtf8(caption), this);
    menu->addAction(a);
    connect(a, &QAction::triggered, this, slot);
    return a;
}

QToolButton* MainWindow::addToolButton(const QString& name, const QString& hint, const char* icon,
                                       void (MainWindow::*slot)()) {
    QToolButton* b = Icons::addButton(toolBar_, name, hint, icon);
    connect(b, &QToolButton::clicked, this, slot);
    return b;
}

void MainWindow::createActions() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    // The shortcuts every Linux desktop program answers to.
    menuEntry(file, "新規作成(&N)", &MainWindow::newCatalogue)->setShortcut(QKeySequence::New);
    menuEntry(file, "開く(&O)", &MainWindow::openCatalogue)->setShortcut(QKeySequence::Open);
    menuEntry(file, "上書き保存(&S)", &MainWindow::save)->setShortcut(QKeySequence::Save);
    menuEntry(file, "名前をつけて保存(&A)", &MainWindow::saveAs)->setShortcut(QKeySequence::SaveAs);
    menuEntry(file->addMenu(QStringLiteral("エクスポート(&E)…")), "CSV(&C)…",
              &MainWindow::exportCsv);
    menuEntry(file->addMenu(QStringLiteral("インポート(&I)…")), "CSV(&C)…", &MainWindow::importCsv);
    QAction* exitEntry = menuEntry(file, "終了(&X)", &MainWindow::exit);
    exitEntry->setShortcut(QKeySequence::Quit);
    recentFiles_ = new RecentFilesMenu(file, exitEntry, this);
    connect(recentFiles_, &RecentFilesMenu::openRequested, this, &MainWindow::openFile);

    QMenu* data = menuBar()->addMenu(QStringLiteral("データ(&D)"));
    menuEntry(data, "追加(&A)", &MainWindow::addRecord);
    menuEntry(data, "ISBNで追加(&I)…", &MainWindow::addByIsbn)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    menuEntry(data, "削除(&D)", &MainWindow::deleteRecord);
    QAction* first = menuEntry(data, "先頭へ(&T)", &MainWindow::goToFirstRecord);
    QAction* previous = menuEntry(data, "一つ前へ(&B)", &MainWindow::goToPreviousRecord);
    QAction* next = menuEntry(data, "次へ(&N)", &MainWindow::goToNextRecord);
    QAction* last = menuEntry(data, "最後尾へ(&E)", &MainWindow::goToLastRecord);
    menuEntry(data, "コピーして最後尾へ追加(&V)", &MainWindow::copyRecordToEnd);
    data->addSeparator();
    new HistoryActions(session_, menuEntry(data, "元に戻す(&U)", &MainWindow::undo),
                       menuEntry(data, "やり直し(&R)", &MainWindow::redo));

    QMenu* tools = menuBar()->addMenu(QStringLiteral("ツール(&T)"));
    menuEntry(tools, "環境設定(&T)", &MainWindow::openSettings)
        ->setShortcut(QKeySequence::Preferences);
    menuEntry(tools, "表示最適化(&R)", &MainWindow::layOutFields);
    menuEntry(tools, "一覧表示(&O)", &MainWindow::showBookList)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    menuEntry(tools, "「感想」の中を検索(&S)", &MainWindow::showImpressionsSearch);
    menuEntry(tools, "すべての項目を検索(&F)", &MainWindow::showSearch)
        ->setShortcut(QKeySequence::Find);
    menuEntry(tools, "読書統計(&G)", &MainWindow::showStatistics);

    QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    helpContentsAction_ = menuEntry(help, "目次(&C)", &MainWindow::showHelpContents);
    menuEntry(help, "この画面の説明(&H)", &MainWindow::showHelpForWindow);
    menuEntry(help, "バージョン情報(&A)", &MainWindow::showAbout);

    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setFixedHeight(RecordEditor::kToolBarHeight);
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, toolBar_);

    using M = MainWindow;
    addToolButton("newButton", "新規|新規ファイルの作成", "new", &M::newCatalogue);
    addToolButton("openButton", "開く|ファイルを開く", "open", &M::openCatalogue);
    addToolButton("saveButton", "保存|現在のファイルを保存", "save", &M::save);
    addToolButton("saveAsButton", "名前をつけて保存|保存", "save-as", &M::saveAs);
    addToolButton("exitButton", "終了", "exit", &M::exit);
    toolBar_->addSeparator();
    // Add and delete have buttons of their own: the menu entries stay enabled
    // while the buttons wait for the first edit.
    addButton_ = addToolButton("addButton", "追加|データ追加", "add", &M::addRecord);
    deleteButton_ = addToolButton("deleteButton", "削除|データ削除", "delete", &M::deleteRecord);
    navigation_ = {{
        {first,
         addToolButton("firstButton", "先頭へ|先頭のデータへ", "first", &M::goToFirstRecord)},
        {previous,
         addToolButton("previousButton", "前へ|前のデータへ", "previous", &M::goToPreviousRecord)},
        {next, addToolButton("nextButton", "次へ|次のデータへ", "next", &M::goToNextRecord)},
        {last, addToolButton("lastButton", "最後尾|最後のデータへ", "last", &M::goToLastRecord)},
    }};
    toolBar_->addSeparator();
    addToolButton("copyButton", "データをコピーして最後尾に追加|コピー", "copy",
                  &M::copyRecordToEnd);
    toolBar_->addSeparator();
    addToolButton("settingsButton", "環境設定|設定", "settings", &M::openSettings);
    addToolButton("layoutButton", "表示最適化|最適化", "layout", &M::layOutFields);
    addToolButton("bookListButton", "一覧表示", "book-list", &M::showBookList);
    addToolButton("findImpressionsButton", "「感想」の中を検索", "find-impressions",
                  &M::showImpressionsSearch);
    addToolButton("searchButton", "すべての項目を検索", "search", &M::showSearch);
    toolBar_->addSeparator();
    addToolButton("helpButton", "ヘルプ|ヘルプの表示", "help", &M::showHelpContents);
    toolBar_->addSeparator();

    addButton_->setEnabled(false);
    deleteButton_->setEnabled(false);
}

void MainWindow::createStatusBar() {
    QStatusBar* bar = statusBar();
    for (size_t i = 0; i < panels_.size(); ++i) {
        panels_[i] = new QLabel(bar);
        panels_[i]->setObjectName(QStringLiteral("statusPanel%1").arg(i));
        panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panels_[i]->setContentsMargins(2, 0, 2, 0);
        bar->addWidget(panels_[i], i == 1 ? 1 : 0);
    }
    panels_[0]->setAccessibleName(QStringLiteral("表示中の記録／記録数"));
    panels_[1]->setAccessibleName(QStringLiteral("ファイル名"));
    panelWidths_ = {kDesignWidth / 5, kDesignWidth / 2};
    panels_[0]->setFixedWidth(panelWidths_[0]);
    note_ = new QLabel(bar);
    note_->setObjectName(QStringLiteral("statusNote"));
    // The desktop's font, which falls back to any font holding a refused
    // character, so that the note can show it.
    note_->setFont(QApplication::font());
    note_->setContentsMargins(4, 0, 4, 0);
    note_->setAccessibleName(QStringLiteral("お知らせ"));
    bar->addPermanentWidget(note_);
}

// ---------------------------------------------------------------- shared steps

void MainWindow::command(const std::function<void()>& body) {
    // A command run from inside another lets its error travel up, so that the
    // outer command stops too (a failed Save stops New before it empties).
    if (commandDepth_ > 0) {
        body();
        return;
    }
    ++commandDepth_;
    guarded(this, body);
    --commandDepth_;
}

void MainWindow::updateStatusBar() {
    // An empty catalogue takes no typing: the note says how to begin.
    if (session_.recordCount() == 0)
        note_->setText(kEmptyHint);
    else if (note_->text() == kEmptyHint)
        note_->clear();
    panels_[1]->setText(session_.isReadOnly()
                            ? session_.displayName() + QStringLiteral("（読み取り専用）")
                            : session_.displayName());
    panels_[0]->setText(
        QStringLiteral("%1／%2").arg(session_.currentIndex()).arg(session_.recordCount()));
    panelWidths_[0] = outerBounds().width() / 5;
    panels_[0]->setFixedWidth(panelWidths_[0]);
}

void MainWindow::updateNavigationActions() {
    const bool notFirst = session_.currentIndex() != 1;
    const bool beforeLast = session_.currentIndex() < session_.recordCount();
    for (size_t i = 0; i < navigation_.size(); ++i) {
        const bool enabled = i < 2 ? notFirst : beforeLast;
        navigation_[i].first->setEnabled(enabled);
        navigation_[i].second->setEnabled(enabled);
    }
}

void MainWindow::enableAddDelete() {
    addButton_->setEnabled(true);
    deleteButton_->setEnabled(true);
    updateNavigationActions();
}

void MainWindow::showNote(const QString& note) {
    note_->setText(note);
    QTimer::singleShot(5000, note_, [label = note_, note] {
        if (label->text() == note)
            label->clear();
    });
}

void MainWindow::showListPosition(int row, int rows) {
    panels_[0]->setText(QStringLiteral("%1／%2").arg(row).arg(rows));
}

// ---------------------------------------------------------------- record commands

void MainWindow::addRecord() {
    command([&] {
        if (!session_.addRecord()) {
            Dialogs::notice(this, kLimitMessage);
            return;
        }
        editor_->focusTitle();
        addButton_->setEnabled(false);
    });
}

void MainWindow::deleteRecord() {
    command([&] {
        if (!session_.hasRecord() || !Dialogs::question(this, kDeleteQuestion))
            return;
        session_.deleteCurrentRecord();
        addButton_->setEnabled(true);
    });
}

void MainWindow::goToFirstRecord() {
    command([&] { session_.goToFirst(); });
}

void MainWindow::goToPreviousRecord() {
    command([&] { session_.goToPrevious(); });
}

void MainWindow::goToNextRecord() {
    command([&] { session_.goToNext(); });
}

void MainWindow::goToLastRecord() {
    command([&] { session_.goToLast(); });
}

void MainWindow::copyRecordToEnd() {
    command([&] {
        if (!session_.copyRecordToEnd())
            Dialogs::notice(this, kLimitMessage);
    });
}

void MainWindow::undo() {
    command([&] { takeHistoryStep(&CatalogueSession::undo); });
}

void MainWindow::redo() {
    command([&] { takeHistoryStep(&CatalogueSession::redo); });
}

void MainWindow::takeHistoryStep(void (CatalogueSession::*step)()) {
    const Catalogue& catalogue = session_.catalogue();
    const auto flags = catalogue.flags;
    const int spacing = catalogue.spacing;
    (session_.*step)();
    // Settings taken back or redone show the fields they hide or space anew.
    if (catalogue.flags != flags || catalogue.spacing != spacing) {
        layOutFields();
        editor_->showCurrentRecord();
    }
}

// ---------------------------------------------------------------- tools

void MainWindow::openSettings() {
    command([&] {
        QDialog* settings = settingsDialog_ ? settingsDialog_() : nullptr;
        if (!settings)
            return;
        emit settingsDialogOpening(
            SettingsDialogInput{settingsValues(), editor_->captionFont(), editor_->contentsFont()});
        {
            // What runs while the dialog is open is a command of its own.
            const int depth = std::exchange(commandDepth_, 0);
            settings->exec();
            commandDepth_ = depth;
        }
        raise();
        activateWindow();
        editor_->applyFonts(captionStyle_, contentsStyle_);
        layOutFields();               // which also tells the book list the fields' font
        editor_->showCurrentRecord(); // the layout may have put headings in the boxes
    });
}

void MainWindow::finishSettings(const SettingsOutcome& outcome) {
    command([&] {
        captionStyle_ = outcome.settings.captionFont;
        contentsStyle_ = outcome.settings.contentsFont;
        startup_ = outcome.settings.startup;
        // OK is a change even when nothing differs; キャンセル only when a font was chosen.
        if (outcome.accepted || !(outcome.header == session_.catalogue().header()))
            session_.applySettings(outcome.header);
        if (!outcome.accepted)
            return;
        SettingsValues written = settingsValues();
        written.captionFont = outcome.settings.captionFont;
        written.contentsFont = outcome.settings.contentsFont;
        SettingsFile::writeOnOk(SettingsFile::defaultPath(), written);
    });
}

void MainWindow::layOutFields() {
    command([&] {
        const QRect outer = outerBounds();
        const int width =
            editor_->layOut(outer.width(), outer.height(), !session_.displayName().isEmpty());
        panelWidths_ = {width, width};
        updateStatusBar();
        // The book list's rows follow the title field as laid out now.
        emit fieldFontChanged(editor_->contentsFont(), editor_->lineHeight());
    });
}

void MainWindow::showBookList() {
    command([&] { emit bookListRequested(); });
}

void MainWindow::showImpressionsSearch() {
    command([&] {
        // Made when first wanted: a dialog nobody opened costs nothing at start.
        if (!impressionsFind_) {
            impressionsFind_ = new FindDialog(this);
            connect(impressionsFind_, &FindDialog::helpRequested, this, [this] {
                command([] { HelpViewer::showContext(helpFile(), kImpressionsFindHelpContext); });
            });
            connect(impressionsFind_, &FindDialog::findNext, this, [this](const QString& text) {
                command([&] { editor_->findInImpressions(text); });
            });
        }
        impressionsFind_->execute();
    });
}

void MainWindow::showSearch() {
    command([&] { emit searchRequested(); });
}

void MainWindow::showStatistics() {
    command([&] { emit statisticsRequested(); });
}

void MainWindow::showAbout() {
    command([&] {
        if (QDialog* about = aboutDialog_ ? aboutDialog_() : nullptr)
            about->exec();
    });
}

void MainWindow::showHelpContents() {
    command([] {
        HelpViewer::setApplicationHelpFile(helpFile());
        HelpViewer::showFinder(HelpViewer::applicationHelpFile());
    });
}

void MainWindow::showHelpForWindow() {
    command([] { HelpViewer::showContext(helpFile(), 2); });
}

// ---------------------------------------------------------------- files

void MainWindow::setSafety(SessionSafety* safety) {
    safety_ = safety;
    connect(&safety->writer(), &RecoveryWriter::failed, this, [this](const QString& why) {
        showNote(QStringLiteral("復元用のコピーを書けません：") + why);
    });
}

void MainWindow::loadCatalogue(const QString& path, bool remembered, bool layOut) {
    const int before = session_.recordCount();
    const auto read = [&] { return remembered ? session_.reopen(path) : session_.open(path); };
    const std::optional<int> opened = safety_ ? safety_->openLocked(this, path, read) : read();
    if (!opened)
        return; // another copy has it open, and the user called the opening off
    const int complete = *opened;
    DialogFolder::noteChosen(path);
    files_.reportWhatWasNotRead(complete);
    if (before != 0)
        enableAddDelete();
    if (layOut)
        layOutFields();
}

void MainWindow::newCatalogue() {
    command([&] {
        // As Open and Close: the user decides about unsaved changes, and a
        // save called off stops New before the catalogue empties.
        if (session_.isModified() && !files_.askToSave())
            return;
        rubi_ = 1;
        session_.newCatalogue();
        // The new catalogue has no file yet: the next start is untitled.
        lastCatalogue_.clear();
    });
}

void MainWindow::openCatalogue() {
    command([&] {
        if (session_.isModified() && !files_.askToSave())
            return;
        if (const auto path = files_.chooseFileToOpen())
            loadCatalogue(*path, false);
    });
}

void MainWindow::openFile(const QString& path) {
    command([&] {
        if (session_.isModified() && !files_.askToSave())
            return;
        loadCatalogue(path, false);
    });
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (FileDrop::droppedFile(event->mimeData()))
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const auto file = FileDrop::droppedFile(event->mimeData());
    if (!file)
        return;
    event->acceptProposedAction();
    // Dropped like a file chosen in the Open dialog: the same question and messages.
    openFile(*file);
}

void MainWindow::save() {
    command([&] { files_.save(); });
}

void MainWindow::saveAs() {
    command([&] { files_.saveAs(); });
}

void MainWindow::exportCsv() {
    command([&] { emit csvExportRequested(); });
}

void MainWindow::importCsv() {
    command([&] { emit csvImportRequested(); });
}

void MainWindow::addByIsbn() {
    command([&] { emit isbnLookupRequested(); });
}

void MainWindow::exit() {
    command([&] { close(); });
}

// ---------------------------------------------------------------- window placement

QRect MainWindow::outerBounds() const {
    return frame_->outerBounds();
}

void MainWindow::setOuterBounds(const QRect& r) {
    frame_->setOuterBounds(r);
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        // A tool button's long hint goes beside the panels, never over them.
        note_->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::Resize && layOutWhenMaximized_ &&
        (windowState() & Qt::WindowMaximized)) {
        layOutWhenMaximized_ = false;
        layOutFields();
    }
    return handled;
}

// ---------------------------------------------------------------- start-up and shutdown

SettingsValues MainWindow::settingsValues() const {
    SettingsValues v;
    v.captionFont = {editor_->captionStyleBits(), captionStyle_.pitch};
    v.contentsFont = {editor_->contentsStyleBits(), contentsStyle_.pitch};
    v.startup = startup_;
    v.rubi = rubi_;
    // The catalogue in use, as a full path: a relative name remembered from
    // the settings file is resolved against the folder the program started in.
    const QString file = session_.filePath().isEmpty() ? lastCatalogue_ : session_.filePath();
    if (!file.isEmpty())
        v.file = NativeFileName::encode(QFileInfo(file).absoluteFilePath()).toStdString();
    const QRect r = outerBounds();
    v.top = r.top();
    v.left = r.left();
    v.width = r.width();
    v.height = r.height();
    v.maximized = (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)) != 0;
    v.recentFiles = recentFiles_->settingsValue();
    return v;
}

void MainWindow::runStartUp() {
    QString settingsProblem;
    const SettingsValues v = SettingsFile::read(SettingsFile::defaultPath(), settingsValues(),
                                                !session_.isModified(), &settingsProblem);
    if (!settingsProblem.isEmpty())
        Dialogs::notice(this, settingsProblem);
    captionStyle_ = v.captionFont;
    contentsStyle_ = v.contentsFont;
    startup_ = v.startup;
    rubi_ = v.rubi;
    const QString remembered = NativeFileName::decode(QByteArray::fromStdString(v.file));
    if (!session_.isModified())
        lastCatalogue_ = remembered;
    recentFiles_->takeSettingsValue(v.recentFiles);

    frame_->restore(startup_.restorePosition ? std::optional(QPoint(v.left, v.top)) : std::nullopt,
                    startup_.restoreSize && v.width > 0 && v.height > 0
                        ? std::optional(QSize(v.width, v.height))
                        : std::nullopt);
    if (v.maximized) {
        setWindowState(windowState() | Qt::WindowMaximized);
        layOutWhenMaximized_ = true;
    } else {
        setWindowState(windowState() & ~Qt::WindowMaximized);
    }

    // Without the last catalogue (not wanted, or unreadable) the program starts
    // untitled, so that no save can ever write over a file it did not read.
    // The record read is shown once, in the fonts and places it ends up with.
    RecordEditor::DisplayHold hold(*editor_);
    try {
        // Changes a crashed run left unsaved come first; taken back, they
        // are the open catalogue and nothing else is opened.
        const bool restored = safety_ && safety_->offerRecovery(this);
        if (restored)
            editor_->showCurrentRecord();
        else if (!catalogueToOpen_.isEmpty())
            loadCatalogue(catalogueToOpen_, false, false);
        else if (!session_.isModified() && startup_.reopenLastCatalogue && !remembered.isEmpty())
            loadCatalogue(remembered, true, false);
    } catch (const std::exception& e) {
        Dialogs::error(this, QString::fromUtf8(e.what()));
    }
    session_.endReadAhead();
    editor_->applyFonts(captionStyle_, contentsStyle_);
    layOutFields();
    hold.release(!session_.displayName().isEmpty());
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (startedUp_)
        return;
    startedUp_ = true;
    command([&] { runStartUp(); });
}

bool MainWindow::shutDown() {
    if (!endingWithoutQuestions_ && session_.isModified() && !files_.askToSave())
        return false;
    if (safety_ && endingWithoutQuestions_)
        safety_->keepNow();
    else if (safety_)
        safety_->giveUp();
    try {
        SettingsFile::writeAtExit(SettingsFile::defaultPath(), settingsValues());
    } catch (const std::exception& e) {
        // Reported once; the program ends all the same. Nobody may be there
        // to close a message box when the program is told to end.
        if (endingWithoutQuestions_)
            std::fprintf(stderr, "%s\n", e.what());
        else
            Dialogs::error(this, QString::fromUtf8(e.what()));
    }
    return true;
}

void MainWindow::endWithoutQuestions() {
    endingWithoutQuestions_ = true;
    // A close refused by an error still ends the program.
    if (!close())
        emit closed();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // This is the outermost command: a failed save keeps the window open.
    ++commandDepth_;
    bool mayClose = true;
    try {
        mayClose = shutDown();
    } catch (const std::exception& e) {
        if (!endingWithoutQuestions_)
            Dialogs::error(this, QString::fromUtf8(e.what()));
        mayClose = false;
    } catch (...) {
        if (!endingWithoutQuestions_)
            Dialogs::error(this, QStringLiteral("不明なエラー"));
        mayClose = false;
    }
    --commandDepth_;
    if (!mayClose) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

} // namespace sorabel
