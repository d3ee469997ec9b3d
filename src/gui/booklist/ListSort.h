#pragma once

#include <QString>
#include <vector>

namespace sorabel {

// Ordering the rows of the book list by one column.
class ListSort {
public:
    using Row = std::vector<QString>; // all cells of a grid row, record number first

    // The column a sort or find works on: 0 (nothing chosen yet) and any
    // column beyond the last one count as column 1.
    static int effectiveKeyColumn(int keyColumn, int colCount);

    // Sorts `rows` (a run of grid rows, top to bottom) by the text of
    // `keyColumn` with the Japanese collation, ignoring letter case; an empty
    // key comes first. Descending writes the ascending result bottom-up, so
    // the largest key ends on top and empty keys at the bottom.
    static void sortRows(std::vector<Row>& rows, int keyColumn, bool descending);
};

} // namespace sorabel
