#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace sorabel {

// A remembered window placement made to fit the screens of today: a settings
// file may carry a placement from a larger or a second screen, or a size no
// screen can show (2147483647).
class WindowPlacement {
public:
    // The placement moved and shrunk onto the nearest of `screens` (their
    // available areas): the one it overlaps most, else the one closest to
    // it. A placement that fits is returned unchanged; with no screen at
    // all, only the size is kept within a screen's reach. The position and
    // size come apart because their sum may not fit an int.
    static QRect fit(QPoint topLeft, QSize size, const QList<QRect>& screens);
};

} // namespace sorabel
