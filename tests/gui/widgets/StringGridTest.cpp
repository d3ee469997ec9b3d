#include "gui/widgets/StringGrid.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using sorabel::StringGrid;

namespace {

// A shown grid of `rows` data rows and 4 data columns, 20-pixel rows, about
// eight rows visible; each cell reads "column:row", headers included.
std::unique_ptr<StringGrid> makeGrid(int rows) {
    auto grid = std::make_unique<StringGrid>();
    auto* model = new QStandardItemModel(rows, 4, grid.get());
    for (int r = 0; r <= rows; ++r)
        for (int c = 0; c < 5; ++c) {
            const QString text = QStringLiteral("%1:%2").arg(c).arg(r);
            if (r == 0 && c > 0)
                model->setHorizontalHeaderItem(c - 1, new QStandardItem(text));
            else if (c == 0 && r > 0)
                model->setVerticalHeaderItem(r - 1, new QStandardItem(text));
            else if (r > 0)
                model->setItem(r - 1, c - 1, new QStandardItem(text));
        }
    grid->setModel(model);
    grid->setDefaultRowHeight(20);
    grid->resize(400, 200);
    grid->show();
    QApplication::processEvents();
    return grid;
}

QPoint cellCentre(StringGrid& grid, int col, int row) {
    return grid.visualRect(grid.model()->index(row - 1, col - 1)).center();
}

} // namespace

TEST(StringGridTest, FixedCellsAreCellsOfTheGrid) {
    auto grid = makeGrid(3);
    for (auto [col, row, text] : {std::tuple{0, 2, "0:2"},
                                  {2, 0, "2:0"},
                                  {3, 1, "3:1"},
                                  {0, 0, ""},
                                  {9, 9, ""}}) // outside: empty, no crash
        EXPECT_EQ(grid->cells(col, row), QString::fromLatin1(text)) << col << "," << row;
    // Column 0's width is the number column's; widths survive a change of the column count.
    grid->setColWidths(0, 33);
    grid->setColWidths(2, 120);
    EXPECT_EQ(grid->verticalHeader()->width(), 33);
    qobject_cast<QStandardItemModel*>(grid->model())->setColumnCount(5);
    EXPECT_EQ(grid->colCount(), 6);
    EXPECT_EQ(grid->horizontalHeader()->sectionSize(1), 120);
    EXPECT_EQ(grid->colWidths(5), 64);
}

TEST(StringGridTest, CommandsRaiseTheClickOnlyOnChangeAndTheSelectionRectNever) {
    auto grid = makeGrid(40);
    QSignalSpy clicks(grid.get(), &StringGrid::gridClick);
    grid->setRow(1); // already current
    grid->setCol(1);
    grid->setRow(99); // beyond the last row: ignored
    EXPECT_EQ(clicks.count(), 0);
    grid->setRow(30);
    grid->setCol(3);
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_EQ(grid->row(), 30);
    EXPECT_EQ(grid->col(), 3);
    EXPECT_TRUE(grid->viewport()->rect().contains(cellCentre(*grid, 1, 30))); // scrolled into view

    grid->setTopRow(1);
    grid->setSelectionRect({1, 35, 4, 35});
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_EQ(grid->col(), 4);
    EXPECT_EQ(grid->row(), 35);
    EXPECT_EQ(grid->topRow(), 1); // not scrolled
    EXPECT_EQ(grid->selectionRect(), (StringGrid::Rect{1, 35, 4, 35}));
    grid->setRow(35); // now current: nothing raised
    EXPECT_EQ(clicks.count(), 2);
    grid->setRow(1);
    EXPECT_EQ(clicks.count(), 3);
    EXPECT_EQ(grid->selectionRect(), (StringGrid::Rect{4, 1, 4, 1}));
}

TEST(StringGridTest, MouseAndKeyboardRaiseTheClick) {
    auto grid = makeGrid(40);
    QSignalSpy clicks(grid.get(), &StringGrid::gridClick);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(*grid, 2, 3));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(*grid, 2, 3));
    EXPECT_EQ(clicks.count(), 2); // the cell already current reports again
    EXPECT_EQ(grid->col(), 2);
    EXPECT_EQ(grid->row(), 3);
    // A press is reported on release only.
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, cellCentre(*grid, 3, 4));
    EXPECT_EQ(clicks.count(), 2);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, cellCentre(*grid, 3, 4));
    EXPECT_EQ(clicks.count(), 3);
    // The header row and the number column raise nothing and move nothing.
    QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
    QTest::mouseClick(grid->verticalHeader()->viewport(), Qt::LeftButton, {}, QPoint(5, 30));
    EXPECT_EQ(clicks.count(), 3);
    EXPECT_EQ(grid->row(), 4);
    EXPECT_EQ(grid->col(), 3);

    grid->setFocus();
    QTest::keyClick(grid.get(), Qt::Key_Down);
    QTest::keyClick(grid.get(), Qt::Key_Right);
    QTest::keyClick(grid.get(), Qt::Key_Right); // at the last column: no move
    EXPECT_EQ(clicks.count(), 5);
    EXPECT_EQ(grid->row(), 5);
    EXPECT_EQ(grid->col(), 4);
}

TEST(StringGridTest, TopRowMayLeaveSpaceBelowTheLastRow) {
    auto grid = makeGrid(40);
    grid->setTopRow(39);
    QApplication::processEvents();
    grid->resize(400, 220); // a relayout keeps it
    QApplication::processEvents();
    EXPECT_EQ(grid->topRow(), 39);
    EXPECT_EQ(grid->rowAt(0), 38);
}

TEST(StringGridTest, EmptyGridAndRowRemoval) {
    auto grid = makeGrid(0);
    QSignalSpy clicks(grid.get(), &StringGrid::gridClick);
    EXPECT_EQ(grid->model()->rowCount(), 0);
    grid->setRow(1);
    grid->setSelectionRect({1, 1, 4, 1});
    EXPECT_EQ(clicks.count(), 0);
    auto* model = qobject_cast<QStandardItemModel*>(grid->model());
    model->setRowCount(3);
    grid->setRow(3);
    model->setRowCount(1); // the current row goes with its row, silently
    EXPECT_EQ(grid->row(), 1);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(0, 0));
}

TEST(StringGridTest, TextWidthAgreesWithShapedText) {
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(12);
    const QFontMetrics metrics(font);
    for (const char* text : {"読書録の本 第12巻 上", "2024/12/31", "Hello, World", "ＳＦ・ミステリ",
                             "ｱｲｳｴｵ", "", "か\u3099と\U00020B9F"}) {
        const QString s = QString::fromUtf8(text);
        EXPECT_NEAR(StringGrid::textWidth(s, font), metrics.horizontalAdvance(s), 2) << text;
    }
}

// The grid draws its cells' texts from kept layouts; what the user sees must
// be what Qt's own item drawing shows: plain, selected, aligned right, too
// long for the cell, Japanese.
TEST(StringGridTest, CellsLookAsQtDrawsThem) {
    auto grid = makeGrid(6);
    auto* model = static_cast<QStandardItemModel*>(grid->model());
    model->item(1, 0)->setText(
        QStringLiteral("吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ"));
    model->item(2, 1)->setText(QStringLiteral("右寄せ 12"));
    model->item(2, 1)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    model->item(3, 2)->setText(QStringLiteral("ｶﾞｷﾞｸﾞ ＡＢＣ 漢字"));
    grid->setSelectionRect({1, 3, 3, 5});
    grid->setFocus();
    QApplication::processEvents();
    const QImage ours = grid->viewport()->grab().toImage();
    grid->setItemDelegate(new QStyledItemDelegate(grid.get()));
    QApplication::processEvents();
    const QImage qts = grid->viewport()->grab().toImage();
    ASSERT_FALSE(ours.isNull());
    EXPECT_TRUE(ours == qts);
}
