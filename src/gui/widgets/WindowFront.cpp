#include "gui/widgets/WindowFront.h"

#include <QWidget>

namespace sorabel {

void bringToFront(QWidget* window) {
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
}

} // namespace sorabel
