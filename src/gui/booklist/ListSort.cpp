#include "gui/booklist/ListSort.h"

#include "core/text/Collation.h"

#include <algorithm>
#include <numeric>
#include <string>

namespace sorabel {

int ListSort::effectiveKeyColumn(int keyColumn, int colCount) {
    return (keyColumn < 1 || keyColumn >= colCount) ? 1 : keyColumn;
}

std::vector<size_t> ListSort::sortedOrder(const std::vector<QString>& keys, bool descending) {
    const Collation& collation = Collation::japanese();
    std::vector<std::string> sortKeys;
    sortKeys.reserve(keys.size());
    for (const QString& key : keys)
        sortKeys.push_back(collation.sortKey(key));
    std::vector<size_t> order(keys.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&sortKeys](size_t a, size_t b) { return sortKeys[a] < sortKeys[b]; });
    if (descending)
        std::reverse(order.begin(), order.end());
    return order;
}

} // namespace sorabel
