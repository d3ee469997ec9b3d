#include "gui/booklist/ListFind.h"
#include "gui/booklist/ListSort.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <set>

using namespace sorabel;

// The window tests walk the sort and the find through the grid; these are the
// edges a grid does not reach easily.
TEST(ListRulesTest, SortIgnoresLetterCaseAndKeyColumnFallsBackToTheFirst) {
    const auto order = ListSort::sortedOrder({"b", "A", "a", "B"}, false);
    EXPECT_EQ((std::set<size_t>{order[0], order[1]}), (std::set<size_t>{1, 2}));
    EXPECT_EQ((std::set<size_t>{order[2], order[3]}), (std::set<size_t>{0, 3}));
    // {key column, column count, effective key}: nothing chosen, or a column gone.
    for (auto [key, count, effective] : {std::tuple{0, 20, 1}, {20, 20, 1}, {19, 20, 19}})
        EXPECT_EQ(ListSort::effectiveKeyColumn(key, count), effective) << key;
}

TEST(ListRulesTest, FindStepsStopAtTheEnds) {
    struct Case {
        bool fromMenu;
        int currentRow;
        int hit;
        std::vector<int> found; // each step's result
        int searchRow;          // where the last step left it
    };
    const Case cases[] = {
        {true, 1, 1, {1, 1}, 1},  // row 1 is tested again on each step
        {false, 40, 9, {9}, 9},   // a search row beyond a shrunken list
        {false, 5, 2, {2, 0}, 1}, // a fruitless step ends at row 1
    };
    for (const Case& c : cases) {
        ListFind find;
        c.fromMenu ? find.openUpwardFromMenu(c.currentRow)
                   : find.openUpwardFromButton(c.currentRow);
        std::vector<int> found;
        for (size_t i = 0; i < c.found.size(); ++i)
            found.push_back(find.step(9, [&](int row) { return row == c.hit; }));
        EXPECT_EQ(found, c.found) << c.currentRow;
        EXPECT_EQ(find.searchRow, c.searchRow) << c.currentRow;
    }
    ListFind down;
    down.openDownward();
    EXPECT_EQ(down.step(0, [](int) { return true; }), 0);
}
