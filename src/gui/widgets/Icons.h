#pragma once

#include <QIcon>

class QToolBar;
class QToolButton;

namespace sorabel {

// The program's pictures: SVG files in a resource, crisp at any scale.
class Icons {
public:
    // The icon `name` (the file icons/<name>.svg), e.g. "save".
    static QIcon get(const char* name);

    // A tool bar button with icon `name`; `hint` is "short hint|long hint":
    // the short one is the tool tip, the long one the status tip.
    static QToolButton* addButton(QToolBar* bar, const QString& objectName, const QString& hint,
                                  const char* name);
};

} // namespace sorabel
