#include "gui/booklist/ListLayout.h"

#include <algorithm>

namespace sorabel {

int ListLayout::columnWidth(int widestText) {
    const int width = widestText > 0 ? widestText + 5 : kDefaultColumnWidth;
    return std::min(width, kMaxColumnWidth);
}

} // namespace sorabel
