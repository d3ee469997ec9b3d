#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace sorabel {

// Whether the windows have a screen to go to. Without one the toolkit aborts
// with an English message; the program says why in Japanese instead.
class DisplayAvailability {
public:
    // Empty when a window system can be reached (or another platform, such as
    // "offscreen", was chosen with -platform or QT_QPA_PLATFORM); otherwise
    // the message for standard error, ending in a line break.
    static QString problem(const QStringList& arguments, const QProcessEnvironment& environment);
};

} // namespace sorabel
