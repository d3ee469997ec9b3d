#pragma once

#include <QIcon>

class QToolBar;
class QToolButton;

namespace sorabel {

// The program's pictures: drawn as SVG, rendered to PNG when the program is
// built at the sizes they are shown at.
class Icons {
public:
    // The icon `name` (drawn in the file icons/<name>.svg), e.g. "save".
    static QIcon get(const char* name);

    // A tool bar button with icon `name`; `hint` is "short hint|long hint":
    // the short one is the tool tip, the long one the status tip.
    static QToolButton* addButton(QToolBar* bar, const QString& objectName, const QString& hint,
                                  const char* name);
};

} // namespace sorabel
