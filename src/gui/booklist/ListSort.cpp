#include "gui/booklist/ListSort.h"

#include "core/text/Collation.h"

#include <algorithm>
#include <numeric>
#include <string>

namespace sorabel {

int ListSort::effectiveKeyColumn(int keyColumn, int colCount) {
    return (keyColumn < 1 || keyColumn >= colCount) ? 1 : keyColumn;
}

void ListSort::sortRows(std::vector<Row>& rows, int keyColumn, bool descending) {
    const Collation& collation = Collation::japanese();
    std::vector<std::string> keys;
    keys.reserve(rows.size());
    for (const Row& row : rows)
        keys.push_back(keyColumn >= 0 && static_cast<size_t>(keyColumn) < row.size()
                           ? collation.sortKey(row[static_cast<size_t>(keyColumn)])
                           : std::string());
    std::vector<size_t> order(rows.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&keys](size_t a, size_t b) { return keys[a] < keys[b]; });
    if (descending)
        std::reverse(order.begin(), order.end());
    std::vector<Row> sorted;
    sorted.reserve(rows.size());
    for (size_t i : order)
        sorted.push_back(std::move(rows[i]));
    rows = std::move(sorted);
}

} // namespace sorabel
