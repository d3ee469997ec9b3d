#include "gui/booklist/ListFind.h"
#include "gui/booklist/ListLayout.h"
#include "gui/booklist/ListSort.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <set>

using namespace sorabel;

namespace {
std::vector<ListSort::Row> rowsWithKeys(const QStringList& keys) {
    std::vector<ListSort::Row> rows;
    for (const QString& key : keys)
        rows.push_back({QString::number(rows.size() + 1), key});
    return rows;
}
QStringList column(const std::vector<ListSort::Row>& rows, int c) {
    QStringList out;
    for (const auto& row : rows)
        out << row[static_cast<size_t>(c)];
    return out;
}
} // namespace

TEST(ListSortTest, OrdersByTheKeyIgnoringCaseWithEmptyKeysFirstAscending) {
    auto rows = rowsWithKeys({"b", "A", "a", "B"});
    ListSort::sortRows(rows, 1, false);
    const QStringList numbers = column(rows, 0);
    // Each record number travels with its key.
    EXPECT_EQ(std::set<QString>(numbers.begin(), numbers.begin() + 2),
              (std::set<QString>{"2", "3"}));
    EXPECT_EQ(std::set<QString>(numbers.begin() + 2, numbers.end()), (std::set<QString>{"1", "4"}));

    rows = rowsWithKeys({"", "いぬ", "", "あめ", "うし"});
    ListSort::sortRows(rows, 1, true);
    EXPECT_EQ(column(rows, 1), (QStringList{"うし", "いぬ", "あめ", "", ""}));
    ListSort::sortRows(rows, 1, false);
    EXPECT_EQ(column(rows, 1), (QStringList{"", "", "あめ", "いぬ", "うし"}));
}

TEST(ListRulesTest, KeyColumnAndColumnWidth) {
    // {key column, column count, effective key}
    for (auto [key, count, effective] :
         {std::tuple{0, 20, 1}, {20, 20, 1}, {7, 20, 7}, {19, 20, 19}})
        EXPECT_EQ(ListSort::effectiveKeyColumn(key, count), effective) << key;
    // {widest text, column width}
    for (auto [text, width] :
         {std::pair{0, 64}, {1, 6}, {100, 105}, {295, 300}, {296, 300}, {400, 300}})
        EXPECT_EQ(ListLayout::columnWidth(text), width) << text;
}

TEST(ListFindTest, StepsStopAtTheEndsWithoutWrapping) {
    struct Case {
        const char* opening;
        int currentRow;
        std::set<int> hits;
        int rowCount;
        std::vector<int> found; // each step's result
        int searchRow;          // where the last step left it
    };
    const Case cases[] = {
        {"down", 3, {2, 5}, 9, {2, 5, 0, 0}, 9},
        {"down", 1, {9}, 9, {9, 9}, 9},         // the last row is found again and again
        {"button", 5, {2, 5}, 9, {5, 2, 0}, 1}, // the current row first
        {"menu", 5, {2, 5}, 9, {2, 0}, 1},      // the row above first
        {"menu", 1, {1}, 9, {1, 1}, 1},         // row 1 is tested again on each step
        {"button", 40, {9}, 9, {9}, 9},         // a search row beyond a shrunken list
        {"down", 1, {1}, 0, {0}, 0},
    };
    for (const Case& c : cases) {
        ListFind find;
        if (c.opening == std::string("down"))
            find.openDownward();
        else if (c.opening == std::string("button"))
            find.openUpwardFromButton(c.currentRow);
        else
            find.openUpwardFromMenu(c.currentRow);
        std::vector<int> found;
        for (size_t i = 0; i < c.found.size(); ++i)
            found.push_back(find.step(c.rowCount, [&](int row) { return c.hits.count(row) > 0; }));
        EXPECT_EQ(found, c.found) << c.opening << " from " << c.currentRow;
        EXPECT_EQ(find.searchRow, c.searchRow) << c.opening << " from " << c.currentRow;
    }
}
