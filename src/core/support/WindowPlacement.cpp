#include "core/support/WindowPlacement.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace sorabel {

namespace {
// Spans in 64 bits: position plus size may exceed an int.
struct Span {
    int64_t start, length;
    int64_t end() const { return start + length; }
};

int64_t overlap(Span a, Span b) {
    return std::max<int64_t>(0, std::min(a.end(), b.end()) - std::max(a.start, b.start));
}

int64_t gap(Span a, Span b) {
    if (a.end() <= b.start)
        return b.start - a.end();
    if (b.end() <= a.start)
        return a.start - b.end();
    return 0;
}

// The window's span placed within the screen's, shrunk when longer.
std::pair<int, int> fitSpan(Span window, Span screen) {
    const int64_t length = std::clamp<int64_t>(window.length, 1, screen.length);
    const int64_t start = std::clamp(window.start, screen.start, screen.end() - length);
    return {int(start), int(length)};
}
} // namespace

QRect WindowPlacement::fit(QPoint topLeft, QSize size, const QList<QRect>& screens) {
    constexpr int kLargest = 32767; // what a window system takes at most
    if (screens.isEmpty())
        return {topLeft, size.boundedTo({kLargest, kLargest}).expandedTo({1, 1})};

    const Span wx{topLeft.x(), std::max(1, size.width())};
    const Span wy{topLeft.y(), std::max(1, size.height())};
    const QRect* best = nullptr;
    int64_t bestArea = -1;
    int64_t bestDistance = std::numeric_limits<int64_t>::max();
    for (const QRect& screen : screens) {
        const Span sx{screen.x(), screen.width()}, sy{screen.y(), screen.height()};
        const int64_t area = overlap(wx, sx) * overlap(wy, sy);
        const int64_t dx = gap(wx, sx), dy = gap(wy, sy);
        const int64_t distance = dx * dx + dy * dy;
        if (area > bestArea || (area == 0 && bestArea == 0 && distance < bestDistance)) {
            best = &screen;
            bestArea = area;
            bestDistance = distance;
        }
    }
    const auto [x, width] = fitSpan(wx, {best->x(), best->width()});
    const auto [y, height] = fitSpan(wy, {best->y(), best->height()});
    return {x, y, width, height};
}

} // namespace sorabel
