#pragma once

#include <QString>
#include <vector>

namespace sorabel {

// Ordering the rows of the book list by one column.
class ListSort {
public:
    // The column a sort or find works on: 0 (nothing chosen yet) and any
    // column beyond the last one count as column 1.
    static int effectiveKeyColumn(int keyColumn, int colCount);

    // The order of a run of rows (top to bottom) sorted by their key texts
    // with the Japanese collation, ignoring letter case; an empty key comes
    // first. Entry k is the index of the key that goes to place k. Descending
    // is the ascending result bottom-up, so the largest key ends on top and
    // empty keys at the bottom.
    static std::vector<size_t> sortedOrder(const std::vector<QString>& keys, bool descending);
};

} // namespace sorabel
