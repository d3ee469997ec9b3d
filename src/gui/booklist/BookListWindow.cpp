#include "gui/booklist/BookListWindow.h"

#include "core/catalogue/Catalogue.h"
#include "core/catalogue/CatalogueSession.h"
#include "core/text/ShiftJis.h"
#include "core/text/ShiftJisSearch.h"
#include "gui/booklist/BookListModel.h"
#include "gui/booklist/ListLayout.h"
#include "gui/booklist/ListOrderProxy.h"
#include "gui/booklist/ListSort.h"
#include "gui/help/HelpViewer.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/FindDialog.h"
#include "gui/widgets/FontSubstitution.h"
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
#include <string_view>
#include <unordered_set>

namespace sorabel {

namespace {

constexpr int kHelpContext = 10;
constexpr int kFindHelpContext = 41; // the help file's topic on finding in the list
const QString kHelpFile = QStringLiteral("sorabe.HLP");

} // namespace

QFont BookListWindow::listFont() {
    return FontSubstitution::designFont(QStringLiteral("ＭＳ Ｐゴシック"), 12);
}

BookListWindow::BookListWindow(CatalogueSession& session, QWidget* parent)
    : QMainWindow(parent), session_(session) {
    setObjectName(QStringLiteral("bookList"));
    setWindowTitle(QStringLiteral("一覧表示"));
    setFont(listFont());
    move(209, 208);
    resize(546, 381);

    model_ = new BookListModel(session, this);
    order_ = new ListOrderProxy(this);
    order_->setSourceModel(model_);
    grid_ = new StringGrid(this);
    grid_->setObjectName(QStringLiteral("grid"));
    grid_->setAccessibleName(QStringLiteral("本の一覧"));
    grid_->setDefaultColWidth(ListLayout::kDefaultColumnWidth);
    grid_->setModel(order_);
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

    // The list follows the records while it is open.
    connect(order_, &ListOrderProxy::orderChanged, this, &BookListWindow::orderChanged);
    // A new catalogue or other columns need new widths; a view order given
    // up (the rows' texts unchanged) does not.
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        if (isVisible())
            guarded(this, [this] { sizeColumns(); });
    });
    connect(order_, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { widenColumns(first + 1, last + 1); });
    connect(order_, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                widenColumns(topLeft.row() + 1, bottomRight.row() + 1);
            });
    connect(order_, &QAbstractItemModel::headerDataChanged, this,
            [this](Qt::Orientation orientation) {
                if (orientation == Qt::Horizontal)
                    widenColumns(0, 0);
            });
    connect(&session_, &CatalogueSession::currentRecordChanged, this,
            &BookListWindow::followCurrentRecord);

    // The help key shows this window's topic.
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &BookListWindow::showHelp);
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
    insertButton_->setAccessibleName(QStringLiteral("追加"));
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
    QAction* close = item(bar, "closeAction", QStringLiteral("閉じる(&X)"), &QWidget::hide);
    // Escape and the desktop's close keys (Ctrl+W) close the list too.
    QList<QKeySequence> closeKeys = QKeySequence::keyBindings(QKeySequence::Close);
    closeKeys << QKeySequence(Qt::Key_Escape);
    close->setShortcuts(closeKeys);

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
    guarded(this, [this] {
        if (isVisible())
            rebuildGrid();
        else
            show(); // rebuilds on showing
        raise();
        activateWindow();
    });
}

void BookListWindow::setCellFont(const QFont& font, int rowHeight) {
    cellFont_ = font;
    rowHeight_ = rowHeight;
    if (isVisible()) {
        grid_->setFont(font);
        layOutGrid();
    }
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
    if (!event->spontaneous())
        findDialog_->hide();
}

void BookListWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    guarded(this, [this] { layOutGrid(); });
}

void BookListWindow::layOutGrid() {
    // The grid fills the window below the tool bar (the window's layout);
    // its rows take the height of the main window's title field.
    if (rowHeight_ > 0)
        grid_->setDefaultRowHeight(rowHeight_);
}

void BookListWindow::sizeColumns() {
    // Measured in the list's own font, whatever font the cells are drawn in.
    const QFont font = listFont();
    const int enough = ListLayout::kMaxColumnWidth - 5;
    const int n = order_->rowCount();
    grid_->setColWidths(0, ListLayout::columnWidth(grid_->maxTextWidth(0, font, enough)));
    // Straight from the stored bytes: many cells repeat (genres, formats,
    // empty notes), and each text is decoded and measured once.
    const Catalogue& cat = session_.catalogue();
    std::unordered_set<std::string_view> seen;
    seen.reserve(static_cast<size_t>(n));
    for (int c = 1; c < grid_->colCount(); ++c) {
        const Field field = fieldOfColumn(c);
        int widest = StringGrid::textWidth(grid_->cells(c, 0), font);
        seen.clear();
        for (int record = 1; record <= n && widest < enough; ++record) {
            const std::string_view text = cat.field(field, record);
            if (text.empty() || !seen.insert(text).second)
                continue;
            widest = std::max(
                widest, StringGrid::textWidth(BookListModel::oneLine(sjis::decode(text)), font));
        }
        grid_->setColWidths(c, ListLayout::columnWidth(widest));
    }
}

void BookListWindow::widenColumns(int firstRow, int lastRow) {
    if (!isVisible())
        return; // the next showing sizes every column
    const QFont font = listFont();
    for (int c = 0; c < grid_->colCount(); ++c) {
        const int widest =
            grid_->maxTextWidth(c, firstRow, lastRow, font, ListLayout::kMaxColumnWidth - 5);
        if (widest > 0 && ListLayout::columnWidth(widest) > grid_->colWidths(c))
            grid_->setColWidths(c, ListLayout::columnWidth(widest));
    }
}

void BookListWindow::rebuildGrid() {
    const int n = session_.recordCount();
    setEditCommandsEnabled(true, true);
    savedColumn_ = 1;
    order_->clearOrder();
    layOutGrid();
    if (cellFont_)
        grid_->setFont(*cellFont_);
    sizeColumns();
    if (rowHeight_ > 0)
        grid_->setDefaultRowHeight(rowHeight_ - 1);
    if (n > 0)
        grid_->setRow(std::clamp(session_.currentIndex(), 1, n));
}

void BookListWindow::followCurrentRecord() {
    // The main window moved to another record: the list's current row goes
    // with it, quietly, so that nothing is shown twice.
    const int record = session_.currentIndex();
    if (!isVisible() || record < 1 || record > order_->rowCount())
        return;
    grid_->moveToRowQuietly(order_->rowOfSource(record - 1) + 1);
}

void BookListWindow::orderChanged() {
    // Records added or removed elsewhere put the rows back in catalogue order.
    if (order_->isCatalogueOrder())
        setEditCommandsEnabled(true, true);
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

int BookListWindow::recordOfRow(int row) const {
    if (row < 1 || row > order_->rowCount())
        return 0;
    return order_->sourceRow(row - 1) + 1;
}

Field BookListWindow::fieldOfColumn(int col) const {
    return model_->fieldOfColumn(col - 1);
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
    const QString text = grid_->cells(col, row);
    painter.drawText(QRect(rect.topLeft(), QSize(10000, rect.height())),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine, text);
}

// --- Sorting ---------------------------------------------------------------

void BookListWindow::sortAscending() {
    guarded(this, [this] {
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
        if (!hasDataRows() || !hasFieldColumns())
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
    if (n <= 0 || !hasFieldColumns())
        return;

    // Rows above the first visible one keep their places.
    const int top = std::clamp(grid_->topRow(), 1, n);
    const Field field = fieldOfColumn(ListSort::effectiveKeyColumn(keyColumn_, grid_->colCount()));
    const Catalogue& cat = session_.catalogue();
    std::vector<int> order(static_cast<size_t>(n)); // grid row - 1 -> source row
    std::vector<QString> keys;
    keys.reserve(static_cast<size_t>(n - top + 1));
    for (int r = 1; r <= n; ++r) {
        order[static_cast<size_t>(r - 1)] = recordOfRow(r) - 1;
        if (r >= top)
            keys.push_back(sjis::decode(cat.field(field, recordOfRow(r))));
    }
    const std::vector<size_t> sorted = ListSort::sortedOrder(keys, find_.reverse == 1);
    std::vector<int> run(order.begin() + (top - 1), order.end());
    for (size_t k = 0; k < sorted.size(); ++k)
        order[static_cast<size_t>(top - 1) + k] = run[sorted[k]];
    order_->setOrder(order);

    grid_->setCol(std::max(1, savedColumn_));

    // The list's questions stand in the middle of the screen, not of the list.
    if (Dialogs::question(nullptr, QStringLiteral("並べ替えの結果を反映させますか？"))) {
        // Row i's record becomes record i.
        std::vector<int> records(static_cast<size_t>(n));
        for (int i = 1; i <= n; ++i)
            records[static_cast<size_t>(i - 1)] = recordOfRow(i);
        // The records take the rows' order, and the view order is then the
        // catalogue's own.
        session_.applyOrder(records);
        order_->clearOrder();
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
    if (!isVisible())
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
        if (n <= 0 || !hasDataRows() || !order_->isCatalogueOrder())
            return;
        const int row = grid_->row();
        grid_->setSelectionRect({1, row, grid_->colCount() - 1, row});
        if (!Dialogs::question(nullptr, QStringLiteral("この本の記録を削除しますか？")))
            return;
        const int record = recordOfRow(row);
        if (record < 1 || record > n)
            return;
        // The row goes with its record; the current row keeps its place, or
        // becomes the new last row.
        session_.deleteRecord(record);
        showChosenRecord();
        grid_->setCol(1);
        showChosenRecord();
    });
}

void BookListWindow::insertRecord() {
    guarded(this, [this] {
        const int n = session_.recordCount();
        if (!order_->isCatalogueOrder())
            return;
        if (hasDataRows())
            grid_->setSelectionRect({1, grid_->row(), grid_->colCount() - 1, grid_->row()});
        if (!Dialogs::question(nullptr, QStringLiteral("ここに挿入しますか？")))
            return;
        // On an empty catalogue the new record is record 1.
        const int at = n > 0 ? std::clamp(grid_->row(), 1, n) : 1;
        if (n >= kMaxRecords || !session_.insertRecordAt(at)) {
            Dialogs::notice(nullptr, QStringLiteral("記録できるのは２０００冊までです"));
            return;
        }
        // The new row takes the current row's place; the rows below move down.
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
