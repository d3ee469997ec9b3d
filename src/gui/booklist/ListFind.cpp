#include "gui/booklist/ListFind.h"

namespace sorabel {

void ListFind::openDownward() {
    reverse = 0;
    searchRow = 0;
}

void ListFind::openUpwardFromButton(int currentRow) {
    reverse = 1;
    searchRow = currentRow + 1;
}

void ListFind::openUpwardFromMenu(int currentRow) {
    reverse = 1;
    searchRow = currentRow;
}

int ListFind::step(int rowCount, const RowMatches& matches) {
    if (rowCount < 1)
        return 0;
    auto test = [&](int row) { return row >= 1 && row <= rowCount && matches(row); };
    if (reverse == 0) {
        while (searchRow < rowCount) {
            ++searchRow;
            if (test(searchRow))
                break;
        }
    } else {
        if (searchRow < 1)
            searchRow = 1;
        // Records may have gone since the search row was set: start from the end.
        if (searchRow > rowCount + 1)
            searchRow = rowCount + 1;
        for (;;) {
            if (searchRow > 1)
                --searchRow;
            if (test(searchRow) || searchRow == 1)
                break;
        }
    }
    return test(searchRow) ? searchRow : 0;
}

} // namespace sorabel
