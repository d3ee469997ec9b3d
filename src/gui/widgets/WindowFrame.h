#pragma once

#include <QObject>
#include <QRect>
#include <optional>

class QWidget;

namespace sorabel {

// A top-level window's outer bounds, frame included, as the settings file
// keeps them. Bounds set before the window manager framed the window are
// applied again once the frame is known, so that a window does not grow by
// its frame from one run to the next.
class WindowFrame : public QObject {
public:
    explicit WindowFrame(QWidget* window);

    QRect outerBounds() const;
    void setOuterBounds(const QRect& r);
    // Places the window at a remembered position and size (either may be
    // absent), moved and shrunk onto today's screens: a placement remembered
    // from another screen, or a size no screen can show, never hides it.
    void restore(std::optional<QPoint> topLeft, std::optional<QSize> size);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    std::optional<QRect> pending_;
};

} // namespace sorabel
