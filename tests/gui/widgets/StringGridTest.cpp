#include "gui/widgets/StringGrid.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using sorabel::StringGrid;

namespace {

// A shown grid of `rows` data rows and 4 data columns, 20-pixel rows, about
// eight rows visible.
std::unique_ptr<StringGrid> makeGrid(int rows) {
    auto grid = std::make_unique<StringGrid>();
    grid->setDefaultRowHeight(20);
    grid->setColCount(5);
    grid->setRowCount(rows + 1);
    grid->beginUpdate();
    for (int r = 0; r <= rows; ++r)
        for (int c = 0; c < 5; ++c)
            grid->setCells(c, r, QStringLiteral("%1:%2").arg(c).arg(r));
    grid->endUpdate();
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
    grid->setCells(0, 2, QStringLiteral("7"));
    grid->setCells(2, 0, QStringLiteral("書　名"));
    EXPECT_EQ(grid->model()->headerData(1, Qt::Vertical).toString(), "7");
    EXPECT_EQ(grid->model()->headerData(1, Qt::Horizontal).toString(), "書　名");
    EXPECT_EQ(grid->model()->data(grid->model()->index(0, 0)).toString(), "1:1");
    EXPECT_EQ(grid->cells(9, 9), QString()); // outside: empty, no crash
    // Column 0's width is the number column's; widths survive a change of the column count.
    grid->setColWidths(0, 33);
    grid->setColWidths(2, 120);
    EXPECT_EQ(grid->verticalHeader()->width(), 33);
    grid->setColCount(6);
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
    grid->setRowCount(4);
    grid->setRow(3);
    grid->setRowCount(2); // the current row goes with its row, silently
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
