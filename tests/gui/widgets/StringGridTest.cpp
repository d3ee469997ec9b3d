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
    EXPECT_EQ(grid->cells(0, 2), "0:2");
    EXPECT_EQ(grid->cells(3, 0), "3:0");
    grid->setCells(0, 2, QStringLiteral("7"));
    grid->setCells(2, 0, QStringLiteral("書　名"));
    EXPECT_EQ(grid->model()->headerData(1, Qt::Vertical).toString(), "7");
    EXPECT_EQ(grid->model()->headerData(1, Qt::Horizontal).toString(), "書　名");
    EXPECT_EQ(grid->model()->data(grid->model()->index(0, 0)).toString(), "1:1");
    EXPECT_EQ(grid->cells(9, 9), QString()); // outside: empty, no crash
    // Column 0's width is the number column's.
    grid->setColWidths(0, 33);
    grid->setColWidths(2, 120);
    EXPECT_EQ(grid->verticalHeader()->width(), 33);
    EXPECT_EQ(grid->horizontalHeader()->sectionSize(1), 120);
    // Widths survive a change of the column count.
    grid->setColCount(6);
    EXPECT_EQ(grid->colWidths(2), 120);
    EXPECT_EQ(grid->horizontalHeader()->sectionSize(1), 120);
    EXPECT_EQ(grid->colWidths(5), 64);
}

TEST(StringGridTest, CommandsRaiseTheClickOnlyOnChange) {
    auto grid = makeGrid(40);
    QSignalSpy clicks(grid.get(), &StringGrid::gridClick);
    grid->setRow(1); // already current
    grid->setCol(1);
    EXPECT_EQ(clicks.count(), 0);
    grid->setRow(30);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(grid->row(), 30);
    // Setting the row scrolls it into view.
    EXPECT_LE(grid->topRow(), 30);
    EXPECT_GT(grid->topRow(), 1);
    EXPECT_TRUE(grid->viewport()->rect().contains(cellCentre(*grid, 1, 30)));
    grid->setCol(3);
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_EQ(grid->col(), 3);
    grid->setCol(3);
    grid->setRow(99); // beyond the last row: ignored
    EXPECT_EQ(clicks.count(), 2);
}

TEST(StringGridTest, SelectionRectMovesTheCurrentCellSilently) {
    auto grid = makeGrid(40);
    QSignalSpy clicks(grid.get(), &StringGrid::gridClick);
    grid->setSelectionRect({1, 35, 4, 35});
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(grid->col(), 4);
    EXPECT_EQ(grid->row(), 35);
    EXPECT_EQ(grid->topRow(), 1); // not scrolled
    EXPECT_EQ(grid->selectionRect(), (StringGrid::Rect{1, 35, 4, 35}));
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(34, 3));
    // The row is now current, so setting it raises nothing.
    grid->setRow(35);
    EXPECT_EQ(clicks.count(), 0);
    grid->setRow(1);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(grid->selectionRect(), (StringGrid::Rect{4, 1, 4, 1}));
}

TEST(StringGridTest, MouseAndKeyboardRaiseTheClick) {
    auto grid = makeGrid(40);
    QSignalSpy clicks(grid.get(), &StringGrid::gridClick);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(*grid, 2, 3));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(grid->col(), 2);
    EXPECT_EQ(grid->row(), 3);
    // The cell already current reports again.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(*grid, 2, 3));
    EXPECT_EQ(clicks.count(), 2);
    // A press is reported on release only.
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, cellCentre(*grid, 3, 4));
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_EQ(grid->row(), 4);
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
    EXPECT_EQ(clicks.count(), 4);
    EXPECT_EQ(grid->row(), 5);
    QTest::keyClick(grid.get(), Qt::Key_Right);
    EXPECT_EQ(clicks.count(), 5);
    EXPECT_EQ(grid->col(), 4);
    QTest::keyClick(grid.get(), Qt::Key_Right); // at the last column: no move
    EXPECT_EQ(clicks.count(), 5);
}

TEST(StringGridTest, TopRowMayLeaveSpaceBelowTheLastRow) {
    auto grid = makeGrid(40);
    grid->setTopRow(15);
    EXPECT_EQ(grid->topRow(), 15);
    grid->setTopRow(39);
    EXPECT_EQ(grid->topRow(), 39);
    QApplication::processEvents();
    grid->resize(400, 220); // a relayout keeps it
    QApplication::processEvents();
    EXPECT_EQ(grid->topRow(), 39);
    EXPECT_EQ(grid->rowAt(0), 38);
    grid->setTopRow(1);
    EXPECT_EQ(grid->topRow(), 1);
}

TEST(StringGridTest, EmptyGridAndRowRemoval) {
    auto grid = makeGrid(0);
    QSignalSpy clicks(grid.get(), &StringGrid::gridClick);
    EXPECT_EQ(grid->rowCount(), 1);
    EXPECT_EQ(grid->model()->rowCount(), 0);
    grid->setRow(1);
    grid->setSelectionRect({1, 1, 4, 1});
    EXPECT_EQ(clicks.count(), 0);
    grid->setRowCount(4);
    grid->setRow(3);
    EXPECT_EQ(clicks.count(), 1);
    grid->setRowCount(2); // the current row goes with its row, silently
    EXPECT_EQ(grid->row(), 1);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(0, 0));
}

TEST(StringGridTest, PaintHookAndWidthSeam) {
    auto grid = makeGrid(3);
    int painted = 0;
    int focusedPainted = 0;
    grid->setDrawCellHook([&](QPainter&, int col, int row, const QRect&, bool focused) {
        ++painted;
        if (focused) {
            ++focusedPainted;
            EXPECT_EQ(col, grid->col());
            EXPECT_EQ(row, grid->row());
        }
    });
    grid->setFocus();
    QApplication::setActiveWindow(grid.get());
    grid->grab();
    EXPECT_GT(painted, 4);
    EXPECT_EQ(focusedPainted, grid->hasFocus() ? 1 : 0);

    StringGrid::setTextWidthMeasure([](const QString& text) { return int(text.size()) * 10; });
    grid->setCells(2, 2, QStringLiteral("abcdefghij"));
    EXPECT_EQ(grid->maxTextWidth(2, grid->font()), 100);
    EXPECT_EQ(StringGrid::textWidth(QStringLiteral("ab"), grid->font()), 20);
    StringGrid::setTextWidthMeasure({});
    EXPECT_GT(grid->maxTextWidth(2, grid->font()), 20);
}

TEST(StringGridTest, TextWidthAgreesWithShapedText) {
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(12);
    const QFontMetrics metrics(font);
    for (const char* text : {"読書録の本 第12巻 上", "どくしょろくのほん", "2024/12/31", "1500円",
                             "Hello, World", "ＳＦ・ミステリ", "Ｗｉｄｅ ｗｉｄｔｈ", "ｱｲｳｴｵ"}) {
        const QString s = QString::fromUtf8(text);
        EXPECT_NEAR(StringGrid::textWidth(s, font), metrics.horizontalAdvance(s), 2) << text;
    }
    // Combining marks and characters beyond the basic plane are shaped in full.
    const QString combining = QStringLiteral("か\u3099と\U00020B9F");
    EXPECT_EQ(StringGrid::textWidth(combining, font), metrics.horizontalAdvance(combining));
    EXPECT_EQ(StringGrid::textWidth(QString(), font), 0);
}
