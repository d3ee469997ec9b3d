#include "gui/booklist/BookListWindow.h"

#include "core/catalogue/Catalogue.h"
#include "core/catalogue/CatalogueSession.h"
#include "core/text/ShiftJis.h"
#include "core/text/ShiftJisSearch.h"
#include "gui/booklist/ListLayout.h"
#include "gui/booklist/ListSort.h"
#include "gui/help/HelpViewer.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/FindDialog.h"
#include "gui/widgets/Icons.h"
#include "gui/widgets/StringGrid.h"

#include <QAction>
#include <QHideEvent>
#include <QMenuBar>
#include <QPainter>
#include <QShortcut>
#include <QShowEvent>
#include <QToolBar>
#include <QToolButton>

namespace sorabel {

namespace {

constexpr int kHelpContext = 10;
constexpr int kFindHelpContext = 41; // the help file's topic on finding in the list
const QString kHelpFile = QStringLiteral("sorabe.HLP");

} // namespace

QFont BookListWindow::listFont() {
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    return font;
}

BookListWindow::BookListWindow(CatalogueSession& session, QWidget* parent)
    : QMainWindow(parent), session_(session) {
    setObjectName(QStringLiteral("bookList"));
    setWindowTitle(QStringLiteral("一覧表示"));
    setFont(listFont());
    move(209, 208);
    resize(546, 381);

    grid_ = new StringGrid(this);
    grid_->setObjectName(QStringLiteral("grid"));
    grid_->setDefaultColWidth(ListLayout::kDefaultColumnWidth);
    grid_->setDrawCellHook([this](QPainter& painter, int col, int row, const QRect& rect,
                                  bool focused) { drawCell(painter, col, row, rect, focused); });
    setCentralWidget(grid_);
    connect(grid_, &StringGrid::gridClick, this,
            [this] { guarded(this, [this] { chooseCell(); }); });

    findDialog_ = new FindDialog(this);
    connect(findDialog_, &FindDialog::helpRequested, this, [this] {
        guarded(this, [] { HelpViewer::showContext(kHelpFile, kFindHelpContext); });
    });
    findDialog_->setObjectName(QStringLiteral("findDialog"));
    connect(findDialog_, &FindDialog::findNext, this,
            [this] { guarded(this, [this] { findNext(); }); });

    buildToolBar();
    buildMenu();

    // The help key shows this window's topic.
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &BookListWindow::showHelp);
    // Escape and the desktop's close-window key (Ctrl+W) put the list away.
    for (const QKeySequence& key :
         {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)})
        connect(new QShortcut(key, this), &QShortcut::activated, this, &QWidget::close);
}

BookListWindow::~BookListWindow() = default;

void BookListWindow::buildToolBar() {
    toolBar_ = addToolBar(QStringLiteral("ToolBar1"));
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
    toolBar_->setFixedHeight(25);
    toolBar_->setIconSize(QSize(20, 20));

    auto button = [this](const char* name, const QString& hint, const char* icon, auto slot) {
        QToolButton* b = Icons::addButton(toolBar_, QString::fromLatin1(name), hint, icon);
        connect(b, &QToolButton::clicked, this, slot);
        return b;
    };
    button("closeButton", QStringLiteral("閉じる|"), "exit", &QWidget::hide);
    toolBar_->addSeparator();
    button("sortAscendingButton", QStringLiteral("昇順ソート|ソートする"), "sort-ascending",
           &BookListWindow::sortAscending);
    button("sortDescendingButton", QStringLiteral("降順ソート|降順ソート"), "sort-descending",
           &BookListWindow::sortDescending);
    toolBar_->addSeparator();
    insertButton_ = button("insertButton", QString(), "add", &BookListWindow::insertRecord);
    deleteButton_ = button("deleteButton", QStringLiteral("選択データ削除"), "delete-row",
                           &BookListWindow::deleteRecord);
    button("lastRowButton", QStringLiteral("最後のデータへ"), "last", &BookListWindow::goToLastRow);
    button("firstRowButton", QStringLiteral("先頭のデータへ"), "first",
           &BookListWindow::goToFirstRow);
    toolBar_->addSeparator();
    button("findDownButton", QStringLiteral("下方検索|"), "find-down", &BookListWindow::findDown);
    button("findUpButton", QStringLiteral("上方検索"), "find-up",
           &BookListWindow::findUpFromCurrentRow);
    toolBar_->addSeparator();
    button("helpButton", QStringLiteral("ヘルプ|ヘルプ"), "help", &BookListWindow::showHelp);
}

void BookListWindow::buildMenu() {
    QMenuBar* bar = menuBar();
    auto item = [this](auto* parent, const char* name, const QString& text, auto slot) {
        QAction* action = parent->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    auto menu = [bar](const char* name, const QString& title) {
        QMenu* m = bar->addMenu(title);
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };
    item(bar, "closeAction", QStringLiteral("閉じる(&X)"), &QWidget::hide);

    // Opening the sort menu sorts ascending before anything is picked.
    QMenu* sort = menu("sortMenu", QStringLiteral("ソート(&S)"));
    connect(sort, &QMenu::aboutToShow, this, &BookListWindow::sortAscending);
    item(sort, "sortAscendingAction", QStringLiteral("昇順ソート(&J)"),
         &BookListWindow::sortAscending);
    item(sort, "sortDescendingAction", QStringLiteral("降順ソート(&G)"),
         &BookListWindow::sortDescending);

    QMenu* data = menu("dataMenu", QStringLiteral("データ"));
    insertAction_ =
        item(data, "insertAction", QStringLiteral("追加(&A)"), &BookListWindow::insertRecord);
    deleteAction_ =
        item(data, "deleteAction", QStringLiteral("削除(&D)"), &BookListWindow::deleteRecord);
    item(data, "lastRowAction", QStringLiteral("最後のデータへ"), &BookListWindow::goToLastRow);
    item(data, "firstRowAction", QStringLiteral("先頭のデータへ"), &BookListWindow::goToFirstRow);

    // Opening the find menu opens the find dialog.
    QMenu* find = menu("findMenu", QStringLiteral("検索(&L)"));
    connect(find, &QMenu::aboutToShow, this, &BookListWindow::openFindDialog);
    item(find, "findDownAction", QStringLiteral("下方検索(&D)"), &BookListWindow::findDown);
    item(find, "findUpAction", QStringLiteral("上方検索(&U)"), &BookListWindow::findUpFromRowAbove);

    QMenu* help = menu("helpMenu", QStringLiteral("ヘルプ(&H)"));
    item(help, "helpAction", QStringLiteral("この面の説明(&H)"), &BookListWindow::showHelp);
    item(help, "aboutAction", QStringLiteral("バージョン情報(&A)"),
         &BookListWindow::aboutRequested);
}

// --- Showing and laying out ---------------------------------------------------

void BookListWindow::showList() {
    // Hiding to show again is no closing: the find dialog stays.
    reshowing_ = true;
    hide();
    reshowing_ = false;
    show();
}

void BookListWindow::setCellFont(const QFont& font, int rowHeight) {
    cellFont_ = font;
    rowHeight_ = rowHeight;
}

void BookListWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Only a real showing rebuilds, not the window system's restore.
    if (!event->spontaneous())
        guarded(this, [this] { rebuildGrid(); });
}

void BookListWindow::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    // The find dialog belongs to the list: it closes with it.
    if (!event->spontaneous() && !reshowing_)
        findDialog_->hide();
}

void BookListWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    guarded(this, [this] { sizeColumns(); });
}

void BookListWindow::sizeColumns() {
    // The grid fills the window below the tool bar (the window's layout);
    // its rows take the height of the main window's one-line fields.
    if (rowHeight_ > 0)
        grid_->setDefaultRowHeight(rowHeight_);
}

void BookListWindow::rebuildGrid() {
    const Catalogue& cat = session_.catalogue();
    const int n = std::clamp(session_.recordCount(), 0, kMaxRecords);

    setEditCommandsEnabled(true, true);
    savedColumn_ = 1;

    grid_->beginUpdate();
    grid_->setRowCount(n + 1);
    sizeColumns();
    if (cellFont_)
        grid_->setFont(*cellFont_);

    grid_->setColCount(1);
    grid_->setCells(0, 0, QString());
    for (int r = 1; r <= n; ++r)
        grid_->setCells(0, r, QString::number(r));

    columnFields_.clear();
    for (const FieldInfo& info : fieldTable()) {
        if (!cat.isShown(info.field))
            continue;
        columnFields_.push_back(info.field);
        const int col = grid_->colCount();
        grid_->setColCount(col + 1);
        const Bytes header = isCombo(info.field)
                                 ? cat.heading(choiceListOf(info.field))
                                 : cat.storedCaptions[static_cast<size_t>(info.caption - 1)];
        grid_->setCells(col, 0, sjis::decode(header));
        for (int r = 1; r <= n; ++r)
            grid_->setCells(col, r, sjis::decode(cat.field(info.field, r)));
    }

    const QFont measureFont = grid_->font(); // the font the cells are painted in
    for (int c = 0; c < grid_->colCount(); ++c)
        grid_->setColWidths(c, ListLayout::columnWidth(grid_->maxTextWidth(
                                   c, measureFont, ListLayout::kMaxColumnWidth - 5)));
    if (rowHeight_ > 0)
        grid_->setDefaultRowHeight(rowHeight_ - 1);
    grid_->endUpdate();

    if (n > 0)
        grid_->setRow(std::clamp(session_.currentIndex(), 1, n));
}

void BookListWindow::setEditCommandsEnabled(bool insert, bool del) {
    insertButton_->setEnabled(insert);
    insertAction_->setEnabled(insert);
    deleteButton_->setEnabled(del);
    deleteAction_->setEnabled(del);
}

bool BookListWindow::hasDataRows() const {
    return grid_->rowCount() > 1;
}

bool BookListWindow::hasFieldColumns() const {
    return grid_->colCount() > 1;
}

bool BookListWindow::isOutOfStep() const {
    return grid_->rowCount() - 1 != session_.recordCount();
}

bool BookListWindow::rebuildIfOutOfStep() {
    // A grid whose rows no longer match the records (the main window changed
    // them while the list stayed open) must not be written back.
    if (!isOutOfStep())
        return false;
    rebuildGrid();
    return true;
}

int BookListWindow::recordOfRow(int row) const {
    bool ok = false;
    const int record = grid_->cells(0, row).toInt(&ok);
    return ok ? record : 0;
}

Field BookListWindow::fieldOfColumn(int col) const {
    return columnFields_.at(static_cast<size_t>(col - 1));
}

// --- Choosing a row ------------------------------------------------------------

void BookListWindow::chooseCell() {
    keyColumn_ = grid_->col();
    savedColumn_ = grid_->col();
    showChosenRecord();
}

void BookListWindow::showChosenRecord() {
    if (!hasDataRows())
        return;
    const int row = grid_->row();
    const int record = recordOfRow(row);
    if (record < 1 || record > session_.recordCount() || record > kMaxRecords)
        return;
    session_.showRecord(record);
    emit positionShown(row, grid_->rowCount() - 1);
}

void BookListWindow::drawCell(QPainter& painter, int col, int row, const QRect& rect,
                              bool focused) {
    if (!focused)
        return;
    painter.fillRect(rect, QColor(0, 0, 128));
    painter.setPen(Qt::white);
    painter.setFont(grid_->font());
    painter.setClipping(false);
    // One line, from the very corner of the cell and beyond its edge.
    QString text = grid_->cells(col, row);
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    painter.drawText(QRect(rect.topLeft(), QSize(10000, rect.height())),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine, text);
}

// --- Sorting ---------------------------------------------------------------

void BookListWindow::sortAscending() {
    guarded(this, [this] {
        if (rebuildIfOutOfStep())
            return;
        // Nothing to sort: leave the current row (and the main window) alone.
        if (!hasDataRows() || !hasFieldColumns())
            return;
        const int key = ListSort::effectiveKeyColumn(keyColumn_, grid_->colCount());
        grid_->setSelectionRect({key, 1, key, 1});
        find_.reverse = 0;
        sortRows();
    });
}

void BookListWindow::sortDescending() {
    guarded(this, [this] {
        if (rebuildIfOutOfStep() || !hasDataRows() || !hasFieldColumns())
            return;
        const int key = ListSort::effectiveKeyColumn(keyColumn_, grid_->colCount());
        grid_->setSelectionRect({key, 1, key, 1});
        savedColumn_ = grid_->col();
        grid_->setRow(1);
        find_.reverse = 1;
        sortRows();
    });
}

void BookListWindow::sortRows() {
    const int n = grid_->rowCount() - 1;
    if (rebuildIfOutOfStep() || n <= 0 || !hasFieldColumns())
        return;

    // Rows above the first visible one keep their places.
    const int top = std::clamp(grid_->topRow(), 1, n);
    std::vector<ListSort::Row> rows;
    rows.reserve(static_cast<size_t>(n - top + 1));
    for (int r = top; r <= n; ++r)
        rows.push_back(grid_->rowCells(r));
    ListSort::sortRows(rows, ListSort::effectiveKeyColumn(keyColumn_, grid_->colCount()),
                       find_.reverse == 1);
    grid_->beginUpdate();
    for (int k = 0; k < static_cast<int>(rows.size()); ++k)
        grid_->setRowCells(top + k, std::move(rows[static_cast<size_t>(k)]));
    grid_->endUpdate();

    grid_->setCol(std::max(1, savedColumn_));

    // The list's questions stand in the middle of the screen, not of the list.
    if (Dialogs::question(nullptr, QStringLiteral("並べ替えの結果を反映させますか？"))) {
        // Row i's record becomes record i.
        std::vector<int> order(static_cast<size_t>(n));
        for (int i = 1; i <= n; ++i)
            order[static_cast<size_t>(i - 1)] = recordOfRow(i);
        session_.applyOrder(order);
        grid_->beginUpdate();
        for (int i = 1; i <= n; ++i)
            grid_->setCells(0, i, QString::number(i));
        grid_->endUpdate();
        setEditCommandsEnabled(true, true);
    } else {
        // Grid order and catalogue order now differ: no insert or delete.
        setEditCommandsEnabled(false, false);
    }
    grid_->setRow(1);
    showChosenRecord();
}

// --- Finding ---------------------------------------------------------------

void BookListWindow::findDown() {
    guarded(this, [this] {
        find_.openDownward();
        findDialog_->execute();
    });
}

void BookListWindow::findUpFromCurrentRow() {
    guarded(this, [this] {
        find_.openUpwardFromButton(grid_->row());
        findDialog_->execute();
    });
}

void BookListWindow::findUpFromRowAbove() {
    guarded(this, [this] {
        find_.openUpwardFromMenu(grid_->row());
        findDialog_->execute();
    });
}

void BookListWindow::openFindDialog() {
    guarded(this, [this] { findDialog_->execute(); });
}

void BookListWindow::findNext() {
    // Rows that no longer stand for their records must not be searched.
    if (!isVisible() || isOutOfStep())
        return;
    if (keyColumn_ == 0)
        keyColumn_ = 1;
    const int key = ListSort::effectiveKeyColumn(keyColumn_, grid_->colCount());
    // A text the catalogue's code page cannot hold occurs in no cell, and
    // without a field column there is no cell; the step still scans, so the
    // search row ends where a fruitless scan ends.
    const sjis::Encoded needle = sjis::tryEncode(findDialog_->findText());
    const bool searchable = hasFieldColumns() && needle.ok() && !needle.bytes.empty();
    const Catalogue& cat = session_.catalogue();
    const Field field = searchable ? fieldOfColumn(key) : Field::Title;
    const int n = grid_->rowCount() - 1;
    const int found = find_.step(n, [&](int row) {
        if (!searchable)
            return false;
        const int record = recordOfRow(row);
        return record >= 1 && record <= kMaxRecords &&
               ShiftJisSearch::contains(cat.field(field, record), needle.bytes);
    });
    if (found == 0)
        return;
    grid_->setSelectionRect({key, found, key, found});
    grid_->setTopRow(found);
    showChosenRecord();
    // The find dialog is the active window: the grid's window must become
    // active for the grid to take the keyboard focus.
    activateWindow();
    grid_->setFocus(Qt::OtherFocusReason);
}

// --- Deleting, inserting, first and last row ---------------------------------

void BookListWindow::deleteRecord() {
    guarded(this, [this] {
        const int n = session_.recordCount();
        if (rebuildIfOutOfStep() || n <= 0 || !hasDataRows())
            return;
        const int row = grid_->row();
        grid_->setSelectionRect({1, row, grid_->colCount() - 1, row});
        if (!Dialogs::question(nullptr, QStringLiteral("この本の記録を削除しますか？")))
            return;
        const int record = recordOfRow(row);
        if (record < 1 || record > n)
            return;
        // The session stores the main window's edits before the record goes.
        session_.deleteRecord(record);
        if (record == n) {
            if (n > 1)
                grid_->setRow(n - 1);
            grid_->setRowCount(n);
        } else {
            grid_->beginUpdate();
            for (int r = row; r < n; ++r)
                for (int c = 1; c < grid_->colCount(); ++c)
                    grid_->setCells(c, r, grid_->cells(c, r + 1));
            grid_->setRowCount(n);
            grid_->endUpdate();
        }
        showChosenRecord();
        grid_->setCol(1);
        showChosenRecord();
    });
}

void BookListWindow::insertRecord() {
    guarded(this, [this] {
        const int n = session_.recordCount();
        if (rebuildIfOutOfStep())
            return;
        if (hasDataRows())
            grid_->setSelectionRect({1, grid_->row(), grid_->colCount() - 1, grid_->row()});
        if (!Dialogs::question(nullptr, QStringLiteral("ここに挿入しますか？")))
            return;
        if (n >= kMaxRecords) {
            Dialogs::notice(nullptr, QStringLiteral("記録できるのは２０００冊までです"));
            return;
        }
        // On an empty catalogue the new record is record 1.
        const int at = n > 0 ? std::clamp(grid_->row(), 1, n) : 1;
        // The session stores the main window's edits before the records move.
        session_.insertRecordAt(at);
        grid_->beginUpdate();
        grid_->setRowCount(n + 2);
        for (int r = 1; r <= n + 1; ++r)
            grid_->setCells(0, r, QString::number(r));
        for (int r = n + 1; r > at; --r)
            for (int c = 1; c < grid_->colCount(); ++c)
                grid_->setCells(c, r, grid_->cells(c, r - 1));
        for (int c = 1; c < grid_->colCount(); ++c)
            grid_->setCells(c, at, QString());
        grid_->endUpdate();

        setEditCommandsEnabled(insertButton_->isEnabled(), true);
        raise();
        activateWindow();
        if (grid_->col() != 1)
            grid_->setCol(1);
        else
            showChosenRecord();
    });
}

void BookListWindow::goToLastRow() {
    guarded(this, [this] {
        if (hasDataRows())
            grid_->setRow(grid_->rowCount() - 1);
    });
}

void BookListWindow::goToFirstRow() {
    guarded(this, [this] {
        if (hasDataRows())
            grid_->setRow(1);
    });
}

// --- Help ----------------------------------------------------------------------

void BookListWindow::showHelp() {
    guarded(this, [] { HelpViewer::showContext(kHelpFile, kHelpContext); });
}

} // namespace sorabel
