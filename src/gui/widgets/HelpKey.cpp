#include "gui/widgets/HelpKey.h"

#include <QKeyEvent>
#include <QWidget>

namespace sorabel {

HelpKey::HelpKey(QWidget* window, std::function<void()> open)
    : QObject(window), open_(std::move(open)) {
    window->installEventFilter(this);
}

void HelpKey::install(QWidget* window, std::function<void()> open) {
    new HelpKey(window, std::move(open));
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event) {
    // Key events the focused control leaves alone travel up to the window.
    const bool isKey =
        event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress;
    if (!isKey || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1 ||
        static_cast<QKeyEvent*>(event)->modifiers() != Qt::NoModifier)
        return QObject::eventFilter(watched, event);
    event->accept();
    if (event->type() == QEvent::KeyPress)
        open_();
    return true;
}

} // namespace sorabel
