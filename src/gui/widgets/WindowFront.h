#pragma once

class QWidget;

namespace sorabel {

// Shows a top-level window, restored if it was minimized, in front of the
// others and active: what opening an already open modeless window does.
void bringToFront(QWidget* window);

} // namespace sorabel
