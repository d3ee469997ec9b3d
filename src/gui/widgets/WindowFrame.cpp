#include "gui/widgets/WindowFrame.h"

#include "core/support/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace sorabel {

WindowFrame::WindowFrame(QWidget* window) : QObject(window), window_(window) {
    window->installEventFilter(this);
}

QRect WindowFrame::outerBounds() const {
    return window_->frameGeometry();
}

void WindowFrame::setOuterBounds(const QRect& r) {
    const QRect frame = window_->frameGeometry();
    const QRect inner = window_->geometry();
    const int extraW = frame.width() - inner.width();
    const int extraH = frame.height() - inner.height();
    window_->resize(std::max(r.width() - extraW, 1), std::max(r.height() - extraH, 1));
    window_->move(r.left(), r.top());
    if (extraW == 0 && extraH == 0)
        pending_ = r;
    else
        pending_.reset();
}

bool WindowFrame::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::Move:
    case QEvent::WindowActivate:
        if (watched == window_ && pending_ && window_->frameGeometry() != window_->geometry() &&
            window_->windowState() == Qt::WindowNoState) {
            const QRect target = *pending_;
            pending_.reset();
            setOuterBounds(target);
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void WindowFrame::restore(std::optional<QPoint> topLeft, std::optional<QSize> size) {
    const QRect now = outerBounds();
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    setOuterBounds(
        WindowPlacement::fit(topLeft.value_or(now.topLeft()), size.value_or(now.size()), screens));
}

} // namespace sorabel
