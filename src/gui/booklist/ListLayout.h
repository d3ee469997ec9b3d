#pragma once

namespace sorabel {

// Column sizes of the book list grid.
class ListLayout {
public:
    static constexpr int kDefaultColumnWidth = 64;
    static constexpr int kMaxColumnWidth = 300;

    // Column width from the widest text of a column (header included): the
    // text plus 5 pixels, the default width when every cell is empty, and
    // never more than 300 pixels.
    static int columnWidth(int widestText);
};

} // namespace sorabel
