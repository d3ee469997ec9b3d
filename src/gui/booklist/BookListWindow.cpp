#include "gui/booklist/BookListWindow.h"

#include "gui/about/AboutDialog.h"
#include "core/catalogue/Catalogue.h"
#include "gui/booklist/ListLayout.h"
#include "gui/booklist/ListSort.h"
#include "gui/main/MainWindow.h"
#include "core/text/ShiftJis.h"
#include "core/text/ShiftJisSearch.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/FindDialog.h"
#include "gui/help/HelpViewer.h"
#include "gui/widgets/StringGrid.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QShortcut>
#include <QShowEvent>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <array>

using namespace sorabel;

BookListWindow* Form3 = nullptr;

namespace {

constexpr int kHelpContext = 10;
const QString kHelpFile = QStringLiteral("sorabe.HLP");

Catalogue& catalogue() {
    return Form1->catalogue();
}

// A small drawn icon for the commands the platform has no picture for.
QIcon textIcon(const QString& text, const QColor& colour) {
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(text.size() > 1 ? 11 : 15);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, text);
    return QIcon(pixmap);
}

// Tool bar icons by their number in the shared image list.
QIcon toolIcon(int number, QStyle* style) {
    switch (number) {
    case 18:
        return textIcon(QStringLiteral("？"), QColor(0, 0, 160));
    case 19:
        return textIcon(QStringLiteral("＋"), QColor(0, 110, 0));
    case 20:
        return style->standardIcon(QStyle::SP_TrashIcon);
    case 23:
        return style->standardIcon(QStyle::SP_DialogCloseButton);
    case 24:
        return textIcon(QStringLiteral("昇"), QColor(0, 0, 128));
    case 27:
        return textIcon(QStringLiteral("降"), QColor(128, 0, 0));
    case 28:
        return textIcon(QStringLiteral("検↓"), QColor(0, 0, 128));
    case 29:
        return textIcon(QStringLiteral("検↑"), QColor(0, 0, 128));
    case 36:
        return style->standardIcon(QStyle::SP_MediaSkipForward);
    case 37:
        return style->standardIcon(QStyle::SP_MediaSkipBackward);
    default:
        return {};
    }
}

} // namespace

QFont BookListWindow::listFont() {
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    return font;
}

BookListWindow::BookListWindow(QWidget* parent) : QMainWindow(parent) {
    Form3 = this;
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("一覧表示"));
    setFont(listFont());
    move(209, 208);
    resize(546, 381);

    StringGrid1 = new StringGrid(this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setDefaultColWidth(ListLayout::kDefaultColumnWidth);
    StringGrid1->setDrawCellHook(
        [this](QPainter& painter, int col, int row, const QRect& rect, bool focused) {
            drawCell(painter, col, row, rect, focused);
        });
    setCentralWidget(StringGrid1);
    connect(StringGrid1, &StringGrid::gridClick, this, &BookListWindow::StringGrid1Click);

    ActionList1.size = new QAction(QStringLiteral("size"), this);
    ActionList1.narabekae = new QAction(QStringLiteral("narabekae"), this);
    ActionList1.datahyoujo = new QAction(QStringLiteral("datahyoujo"), this);
    connect(ActionList1.size, &QAction::triggered, this, &BookListWindow::sizeExecute);
    connect(ActionList1.narabekae, &QAction::triggered, this, &BookListWindow::sortRows);
    connect(ActionList1.datahyoujo, &QAction::triggered, this, &BookListWindow::showChosenRecord);

    FindDialog1 = new FindDialog(this);
    connect(FindDialog1, &FindDialog::findNext, this, &BookListWindow::FindDialog1Find);

    buildToolBar();
    buildMenu();

    // The help key shows this window's topic.
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &BookListWindow::S1Click);
}

BookListWindow::~BookListWindow() {
    if (Form3 == this)
        Form3 = nullptr;
}

void BookListWindow::buildToolBar() {
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    ToolBar1->setFixedHeight(25);
    ToolBar1->setIconSize(QSize(20, 20));

    auto button = [this](const char* name, const QString& hint, int icon, void (BookListWindow::*slot)()) {
        auto* b = new QToolButton(ToolBar1);
        b->setObjectName(QString::fromLatin1(name));
        const qsizetype bar = hint.indexOf(QLatin1Char('|'));
        b->setToolTip(bar < 0 ? hint : hint.left(bar));
        b->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
        b->setIcon(toolIcon(icon, style()));
        b->setProperty("imageIndex", icon);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        ToolBar1->addWidget(b);
        connect(b, &QToolButton::clicked, this, slot);
        return b;
    };
    ToolButton4 = button("ToolButton4", QStringLiteral("閉じる|"), 23, &BookListWindow::ToolButton4Click);
    ToolBar1->addSeparator(); // ToolButton7
    ToolButton3 = button("ToolButton3", QStringLiteral("昇順ソート|ソートする"), 24,
                         &BookListWindow::ToolButton3Click);
    ToolButton5 = button("ToolButton5", QStringLiteral("降順ソート|降順ソート"), 27,
                         &BookListWindow::ToolButton5Click);
    ToolBar1->addSeparator(); // ToolButton12
    ToolButton10 = button("ToolButton10", QString(), 19, &BookListWindow::ToolButton10Click);
    ToolButton11 =
        button("ToolButton11", QStringLiteral("選択データ削除"), 20, &BookListWindow::ToolButton11Click);
    ToolButton13 =
        button("ToolButton13", QStringLiteral("最後のデータへ"), 36, &BookListWindow::ToolButton13Click);
    ToolButton14 =
        button("ToolButton14", QStringLiteral("先頭のデータへ"), 37, &BookListWindow::ToolButton14Click);
    ToolBar1->addSeparator(); // ToolButton8
    ToolButton1 = button("ToolButton1", QStringLiteral("下方検索|"), 28, &BookListWindow::ToolButton1Click);
    ToolButton6 = button("ToolButton6", QStringLiteral("上方検索"), 29, &BookListWindow::ToolButton6Click);
    ToolBar1->addSeparator(); // ToolButton9
    ToolButton2 =
        button("ToolButton2", QStringLiteral("ヘルプ|ヘルプ"), 18, &BookListWindow::ToolButton2Click);
}

void BookListWindow::buildMenu() {
    QMenuBar* bar = menuBar();
    Close1 = bar->addAction(QStringLiteral("閉じる(&X)"));
    connect(Close1, &QAction::triggered, this, &BookListWindow::ToolButton4Click);

    N1 = bar->addMenu(QStringLiteral("ソート(&S)"));
    J1 = N1->addAction(QStringLiteral("昇順ソート(&J)"));
    G1 = N1->addAction(QStringLiteral("降順ソート(&G)"));
    connect(N1, &QMenu::aboutToShow, this, &BookListWindow::ToolButton3Click);
    connect(J1, &QAction::triggered, this, &BookListWindow::ToolButton3Click);
    connect(G1, &QAction::triggered, this, &BookListWindow::ToolButton5Click);

    Data1 = bar->addMenu(QStringLiteral("データ"));
    A1 = Data1->addAction(QStringLiteral("追加(&A)"));
    Delete1 = Data1->addAction(QStringLiteral("削除(&D)"));
    N2 = Data1->addAction(QStringLiteral("最後のデータへ"));
    N3 = Data1->addAction(QStringLiteral("先頭のデータへ"));
    connect(A1, &QAction::triggered, this, &BookListWindow::ToolButton10Click);
    connect(Delete1, &QAction::triggered, this, &BookListWindow::ToolButton11Click);
    connect(N2, &QAction::triggered, this, &BookListWindow::ToolButton13Click);
    connect(N3, &QAction::triggered, this, &BookListWindow::ToolButton14Click);

    Find1 = bar->addMenu(QStringLiteral("検索(&L)"));
    D1 = Find1->addAction(QStringLiteral("下方検索(&D)"));
    U1 = Find1->addAction(QStringLiteral("上方検索(&U)"));
    connect(Find1, &QMenu::aboutToShow, this, &BookListWindow::Find1Click);
    connect(D1, &QAction::triggered, this, &BookListWindow::D1Click);
    connect(U1, &QAction::triggered, this, &BookListWindow::U1Click);

    Help1 = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
    S1 = Help1->addAction(QStringLiteral("この面の説明(&H)"));
    About1 = Help1->addAction(QStringLiteral("バージョン情報(&A)"));
    connect(S1, &QAction::triggered, this, &BookListWindow::S1Click);
    connect(About1, &QAction::triggered, this, &BookListWindow::About1Click);
}

void BookListWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Only a real showing rebuilds, not the window system's restore.
    if (!event->spontaneous())
        FormShow();
}

void BookListWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    guarded(this, [this] { sizeExecute(); });
}

void BookListWindow::setEditCommandsEnabled(bool insert, bool del) {
    ToolButton10->setEnabled(insert);
    A1->setEnabled(insert);
    ToolButton11->setEnabled(del);
    Delete1->setEnabled(del);
}

bool BookListWindow::hasDataRows() const {
    return StringGrid1->rowCount() > 1;
}

bool BookListWindow::hasFieldColumns() const {
    return StringGrid1->colCount() > 1;
}

bool BookListWindow::rebuildIfOutOfStep() {
    // The main window's menus change the records without hiding the list; a
    // grid whose rows no longer match the records must not be written back.
    if (!Form1 || StringGrid1->rowCount() - 1 == catalogue().recordCount)
        return false;
    FormShow();
    return true;
}

int BookListWindow::recordOfRow(int row) const {
    bool ok = false;
    const int record = StringGrid1->cells(0, row).toInt(&ok);
    return ok ? record : 0;
}

Field BookListWindow::fieldOfColumn(int col) const {
    return columnFields_.at(static_cast<size_t>(col - 1));
}

void BookListWindow::FormShow() {
    guarded(this, [this] {
        if (!Form1)
            return;
        Catalogue& cat = catalogue();
        const int n = std::clamp(cat.recordCount, 0, kMaxRecords);
        StringGrid* grid = StringGrid1;

        setEditCommandsEnabled(true, true);
        savedColumn_ = 1;

        grid->beginUpdate();
        grid->setRowCount(n + 1);
        sizeExecute();
        QFont gridFont = Form1->shomei->font();
        grid->setFont(gridFont);

        grid->setColCount(1);
        grid->setCells(0, 0, QString());
        for (int r = 1; r <= n; ++r)
            grid->setCells(0, r, QString::number(r));

        columnFields_.clear();
        for (const FieldInfo& info : fieldTable()) {
            if (!cat.isShown(info.field))
                continue;
            columnFields_.push_back(info.field);
            const int col = grid->colCount();
            grid->setColCount(col + 1);
            const Bytes header = isCombo(info.field)
                                     ? cat.heading(choiceListOf(info.field))
                                     : cat.storedCaptions[static_cast<size_t>(info.caption - 1)];
            grid->setCells(col, 0, sjis::decode(header));
            for (int r = 1; r <= n; ++r)
                grid->setCells(col, r, sjis::decode(cat.field(info.field, r)));
        }

        const QFont measureFont = listFont();
        for (int c = 0; c < grid->colCount(); ++c)
            grid->setColWidths(c, ListLayout::columnWidth(grid->maxTextWidth(
                                      c, measureFont, ListLayout::kMaxColumnWidth - 5)));
        grid->setDefaultRowHeight(Form1->shomei->height() - 1);
        grid->endUpdate();

        if (n > 0)
            grid->setRow(std::clamp(cat.currentIndex, 1, n));
    });
}

void BookListWindow::sizeExecute() {
    // The grid fills the window below the tool bar (the window's layout);
    // its rows take the height of the main window's title field.
    if (Form1)
        StringGrid1->setDefaultRowHeight(Form1->shomei->height());
}

void BookListWindow::StringGrid1Click() {
    guarded(this, [this] {
        keyColumn_ = StringGrid1->col();
        savedColumn_ = StringGrid1->col();
        showChosenRecord();
    });
}

void BookListWindow::showChosenRecord() {
    if (!Form1 || !hasDataRows())
        return;
    Catalogue& cat = catalogue();
    const int row = StringGrid1->row();
    const int record = recordOfRow(row);
    if (record < 1 || record > cat.recordCount || record > kMaxRecords)
        return;
    // The main window's own display step: it also remembers the texts as
    // shown, so that fields left alone keep their exact bytes at the next store.
    cat.currentIndex = record;
    Form1->showCurrentRecord();
    Form1->setStatusPanelText(0,
                              QStringLiteral("%1／%2").arg(row).arg(StringGrid1->rowCount() - 1));
}

void BookListWindow::drawCell(QPainter& painter, int col, int row, const QRect& rect, bool focused) {
    if (!focused)
        return;
    painter.fillRect(rect, QColor(0, 0, 128));
    painter.setPen(Qt::white);
    painter.setFont(StringGrid1->font());
    painter.setClipping(false);
    // One line, from the very corner of the cell and beyond its edge.
    QString text = StringGrid1->cells(col, row);
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    painter.drawText(QRect(rect.topLeft(), QSize(10000, rect.height())),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine, text);
}

// --- Sorting ---------------------------------------------------------------

void BookListWindow::ToolButton3Click() {
    guarded(this, [this] {
        if (rebuildIfOutOfStep())
            return;
        // Nothing to sort: leave the current row (and the main window) alone.
        if (!hasDataRows() || !hasFieldColumns())
            return;
        const int key = ListSort::effectiveKeyColumn(keyColumn_, StringGrid1->colCount());
        StringGrid1->setSelectionRect({key, 1, key, 1});
        find_.reverse = 0;
        sortRows();
    });
}

void BookListWindow::ToolButton5Click() {
    guarded(this, [this] {
        if (rebuildIfOutOfStep() || !hasDataRows() || !hasFieldColumns())
            return;
        const int key = ListSort::effectiveKeyColumn(keyColumn_, StringGrid1->colCount());
        StringGrid1->setSelectionRect({key, 1, key, 1});
        savedColumn_ = StringGrid1->col();
        StringGrid1->setRow(1);
        find_.reverse = 1;
        sortRows();
    });
}

void BookListWindow::sortRows() {
    if (!Form1)
        return;
    Catalogue& cat = catalogue();
    StringGrid* grid = StringGrid1;
    const int n = grid->rowCount() - 1;
    if (rebuildIfOutOfStep() || cat.recordCount <= 0 || n <= 0 || !hasFieldColumns())
        return;

    // Rows above the first visible one keep their places.
    const int top = std::clamp(grid->topRow(), 1, n);
    std::vector<ListSort::Row> rows;
    rows.reserve(static_cast<size_t>(n - top + 1));
    for (int r = top; r <= n; ++r)
        rows.push_back(grid->rowCells(r));
    ListSort::sortRows(rows, ListSort::effectiveKeyColumn(keyColumn_, grid->colCount()),
                       find_.reverse == 1);
    grid->beginUpdate();
    for (int k = 0; k < static_cast<int>(rows.size()); ++k)
        grid->setRowCells(top + k, std::move(rows[static_cast<size_t>(k)]));
    grid->endUpdate();

    grid->setCol(std::max(1, savedColumn_));

    if (Dialogs::question(this, QStringLiteral("並べ替えの結果を反映させますか？"))) {
        ++cat.modifiedCount;
        // Renumber through a scratch copy: row i's record becomes record i.
        std::vector<std::array<Bytes, kFieldCount>> scratch(static_cast<size_t>(n));
        for (int i = 1; i <= n; ++i) {
            const int j = recordOfRow(i);
            for (const FieldInfo& info : fieldTable())
                scratch[static_cast<size_t>(i - 1)][static_cast<size_t>(index(info.field))] =
                    cat.field(info.field, j);
        }
        grid->beginUpdate();
        for (int i = 1; i <= n; ++i) {
            for (const FieldInfo& info : fieldTable())
                cat.setField(info.field, i,
                             std::move(scratch[static_cast<size_t>(i - 1)]
                                              [static_cast<size_t>(index(info.field))]));
            grid->setCells(0, i, QString::number(i));
        }
        grid->endUpdate();
        setEditCommandsEnabled(true, true);
    } else {
        // Grid order and catalogue order now differ: no insert or delete.
        setEditCommandsEnabled(false, false);
    }
    grid->setRow(1);
    showChosenRecord();
}

// --- Finding ---------------------------------------------------------------

void BookListWindow::ToolButton1Click() {
    guarded(this, [this] {
        find_.openDownward();
        FindDialog1->execute();
    });
}

void BookListWindow::D1Click() {
    guarded(this, [this] {
        find_.openDownward();
        FindDialog1->execute();
    });
}

void BookListWindow::ToolButton6Click() {
    guarded(this, [this] {
        find_.openUpwardFromButton(StringGrid1->row());
        FindDialog1->execute();
    });
}

void BookListWindow::U1Click() {
    guarded(this, [this] {
        find_.openUpwardFromMenu(StringGrid1->row());
        FindDialog1->execute();
    });
}

void BookListWindow::Find1Click() {
    guarded(this, [this] { FindDialog1->execute(); });
}

void BookListWindow::FindDialog1Find() {
    guarded(this, [this] {
        if (!Form1)
            return;
        if (keyColumn_ == 0)
            keyColumn_ = 1;
        const int key = ListSort::effectiveKeyColumn(keyColumn_, StringGrid1->colCount());
        // A text the catalogue's code page cannot hold occurs in no cell, and
        // without a field column there is no cell; the step still scans, so
        // the search row ends where a fruitless scan ends.
        const sjis::Encoded needle = sjis::tryEncode(FindDialog1->findText());
        const bool searchable = hasFieldColumns() && needle.ok() && !needle.bytes.empty();
        const Catalogue& cat = catalogue();
        const Field field = searchable ? fieldOfColumn(key) : Field::Title;
        const int n = StringGrid1->rowCount() - 1;
        const int found = find_.step(n, [&](int row) {
            if (!searchable)
                return false;
            const int record = recordOfRow(row);
            return record >= 1 && record <= kMaxRecords &&
                   ShiftJisSearch::contains(cat.field(field, record), needle.bytes);
        });
        if (found == 0)
            return;
        StringGrid1->setSelectionRect({key, found, key, found});
        StringGrid1->setTopRow(found);
        showChosenRecord();
        // The find dialog is the active window: the grid's window must become
        // active for the grid to take the keyboard focus.
        activateWindow();
        StringGrid1->setFocus(Qt::OtherFocusReason);
    });
}

// --- Deleting, inserting, first and last row ---------------------------------

void BookListWindow::ToolButton11Click() {
    guarded(this, [this] {
        if (!Form1)
            return;
        Catalogue& cat = catalogue();
        StringGrid* grid = StringGrid1;
        int n = cat.recordCount;
        if (rebuildIfOutOfStep() || n <= 0 || !hasDataRows())
            return;
        const int row = grid->row();
        grid->setSelectionRect({1, row, grid->colCount() - 1, row});
        if (!Dialogs::question(this, QStringLiteral("この本の記録を削除しますか？")))
            return;
        const int record = recordOfRow(row);
        if (record < 1 || record > n)
            return;
        if (record == n) {
            if (n > 1)
                grid->setRow(n - 1);
            cat.clearRecord(n);
            --n;
            cat.recordCount = n;
            grid->setRowCount(n + 1);
        } else {
            grid->beginUpdate();
            for (int r = row; r < n; ++r)
                for (int c = 1; c < grid->colCount(); ++c)
                    grid->setCells(c, r, grid->cells(c, r + 1));
            grid->setRowCount(n);
            grid->endUpdate();
            cat.removeRecordAt(record, n);
            --n;
            cat.recordCount = n;
        }
        if (n == 0) {
            cat.currentIndex = 0;
            Form1->showCurrentRecord();
        } else {
            showChosenRecord();
        }
        grid->setCol(1);
        ++cat.modifiedCount;
        if (n > 0)
            showChosenRecord();
    });
}

void BookListWindow::ToolButton10Click() {
    guarded(this, [this] {
        if (!Form1)
            return;
        Catalogue& cat = catalogue();
        StringGrid* grid = StringGrid1;
        const int n = cat.recordCount;
        if (rebuildIfOutOfStep())
            return;
        if (hasDataRows())
            grid->setSelectionRect({1, grid->row(), grid->colCount() - 1, grid->row()});
        if (!Dialogs::question(this, QStringLiteral("ここに挿入しますか？")))
            return;
        if (n >= kMaxRecords) {
            Dialogs::notice(this, QStringLiteral("記録できるのは２０００冊までです"));
            return;
        }
        // On an empty catalogue the new record is record 1.
        const int at = n > 0 ? std::clamp(grid->row(), 1, n) : 1;
        grid->beginUpdate();
        grid->setRowCount(n + 2);
        for (int r = 1; r <= n + 1; ++r)
            grid->setCells(0, r, QString::number(r));
        for (int r = n + 1; r > at; --r)
            for (int c = 1; c < grid->colCount(); ++c)
                grid->setCells(c, r, grid->cells(c, r - 1));
        for (int c = 1; c < grid->colCount(); ++c)
            grid->setCells(c, at, QString());
        grid->endUpdate();
        cat.insertEmptyAt(at, n);
        cat.recordCount = n + 1;

        setEditCommandsEnabled(ToolButton10->isEnabled(), true);
        raise();
        activateWindow();
        if (grid->col() != 1)
            grid->setCol(1);
        else
            showChosenRecord();
        ++cat.modifiedCount;
    });
}

void BookListWindow::ToolButton13Click() {
    guarded(this, [this] {
        if (hasDataRows())
            StringGrid1->setRow(StringGrid1->rowCount() - 1);
    });
}

void BookListWindow::ToolButton14Click() {
    guarded(this, [this] {
        if (hasDataRows())
            StringGrid1->setRow(1);
    });
}

// --- Window, help and About --------------------------------------------------

void BookListWindow::ToolButton4Click() {
    hide();
}

void BookListWindow::ToolButton2Click() {
    S1Click();
}

void BookListWindow::S1Click() {
    guarded(this, [] { HelpViewer::showContext(kHelpFile, kHelpContext); });
}

void BookListWindow::About1Click() {
    guarded(this, [this] {
        QDialog* box = sorabel::AboutBox;
        if (!box && Form1)
            box = Form1->aboutBox();
        if (box)
            box->exec();
    });
}
