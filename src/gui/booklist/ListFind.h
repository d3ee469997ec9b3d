#pragma once

#include <functional>

namespace sorabel {

// The find steps of the book list: where the next step starts, which way it
// goes, and where it stops. A step never wraps around.
class ListFind {
public:
    // Row `row` (1..N) holds the find text in the key column.
    using RowMatches = std::function<bool(int row)>;

    int searchRow = 0; // grid row where the last step stopped
    int reverse = 0;   // 0 downward, 1 upward (shared with the sort direction)

    // Downward from the top of the list, whatever row is current.
    void openDownward();
    // Upward: from the tool button the current row is examined first, from
    // the menu the row above it.
    void openUpwardFromButton(int currentRow);
    void openUpwardFromMenu(int currentRow);

    // One step over data rows 1..rowCount; the found row, or 0 when the step
    // ends without a match (the search row then stays where the scan ended).
    int step(int rowCount, const RowMatches& matches);
};

} // namespace sorabel
