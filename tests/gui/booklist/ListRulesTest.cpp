#include "gui/booklist/ListFind.h"
#include "gui/booklist/ListLayout.h"
#include "gui/booklist/ListSort.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <set>

using sorabel::ListFind;
using sorabel::ListLayout;
using sorabel::ListSort;

namespace {
std::vector<ListSort::Row> rowsWithKeys(const QStringList& keys) {
    std::vector<ListSort::Row> rows;
    int n = 0;
    for (const QString& key : keys)
        rows.push_back({QString::number(++n), key});
    return rows;
}
QStringList column(const std::vector<ListSort::Row>& rows, int c) {
    QStringList out;
    for (const auto& row : rows)
        out << row[static_cast<size_t>(c)];
    return out;
}
} // namespace

TEST(ListSortTest, AscendingIgnoresCaseAndCarriesWholeRows) {
    auto rows = rowsWithKeys({"b", "A", "a", "B"});
    ListSort::sortRows(rows, 1, false);
    const QStringList keys = column(rows, 1);
    EXPECT_EQ(std::set<QString>(keys.begin(), keys.begin() + 2), (std::set<QString>{"A", "a"}));
    EXPECT_EQ(std::set<QString>(keys.begin() + 2, keys.end()), (std::set<QString>{"B", "b"}));
    // Each record number travels with its key.
    for (const auto& row : rows) {
        const QString expected = row[1] == "b"   ? "1"
                                 : row[1] == "A" ? "2"
                                 : row[1] == "a" ? "3"
                                                 : "4";
        EXPECT_EQ(row[0], expected);
    }
}

TEST(ListSortTest, DescendingPutsLargestFirstAndEmptyLast) {
    auto rows = rowsWithKeys({"", "いぬ", "", "あめ", "うし"});
    ListSort::sortRows(rows, 1, true);
    EXPECT_EQ(column(rows, 1), (QStringList{"うし", "いぬ", "あめ", "", ""}));
    ListSort::sortRows(rows, 1, false);
    EXPECT_EQ(column(rows, 1), (QStringList{"", "", "あめ", "いぬ", "うし"}));
}

TEST(ListSortTest, KeyColumnRule) {
    EXPECT_EQ(ListSort::effectiveKeyColumn(0, 20), 1);
    EXPECT_EQ(ListSort::effectiveKeyColumn(20, 20), 1);
    EXPECT_EQ(ListSort::effectiveKeyColumn(7, 20), 7);
    EXPECT_EQ(ListSort::effectiveKeyColumn(19, 20), 19);
}

TEST(ListLayoutTest, ColumnWidthRule) {
    EXPECT_EQ(ListLayout::columnWidth(0), 64);
    EXPECT_EQ(ListLayout::columnWidth(100), 105);
    EXPECT_EQ(ListLayout::columnWidth(400), 300);
    EXPECT_EQ(ListLayout::columnWidth(295), 300);
    EXPECT_EQ(ListLayout::columnWidth(296), 300);
    EXPECT_EQ(ListLayout::columnWidth(1), 6);
}

TEST(ListFindTest, DownwardStopsAtTheEndWithoutWrapping) {
    const std::set<int> hits{2, 5};
    auto matches = [&](int row) { return hits.count(row) > 0; };
    ListFind find;
    find.openDownward();
    EXPECT_EQ(find.step(9, matches), 2);
    EXPECT_EQ(find.step(9, matches), 5);
    EXPECT_EQ(find.step(9, matches), 0);
    EXPECT_EQ(find.searchRow, 9);
    EXPECT_EQ(find.step(9, matches), 0);
    EXPECT_EQ(find.searchRow, 9);

    // The last row holding the text is found again and again.
    auto last = [](int row) { return row == 9; };
    find.openDownward();
    EXPECT_EQ(find.step(9, last), 9);
    EXPECT_EQ(find.step(9, last), 9);
    EXPECT_EQ(find.step(0, last), 0);
}

TEST(ListFindTest, UpwardFromButtonAndMenu) {
    auto matches = [](int row) { return row == 5 || row == 2; };
    ListFind find;
    find.openUpwardFromButton(5);
    EXPECT_EQ(find.step(9, matches), 5);
    EXPECT_EQ(find.step(9, matches), 2);
    EXPECT_EQ(find.step(9, matches), 0);
    EXPECT_EQ(find.searchRow, 1);
    find.openUpwardFromMenu(5);
    EXPECT_EQ(find.step(9, matches), 2);

    // Reaching row 1 stops there and tests it again on every further step.
    auto first = [](int row) { return row == 1; };
    find.openUpwardFromMenu(1);
    EXPECT_EQ(find.step(9, first), 1);
    EXPECT_EQ(find.step(9, first), 1);
    // A search row left beyond a shrunken list starts from its end.
    find.openUpwardFromButton(40);
    EXPECT_EQ(find.step(9, [](int row) { return row == 9; }), 9);
}
