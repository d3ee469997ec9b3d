#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace sorabel {

// Places a window that works beside the main window (the book list, search,
// statistics): the first time it shows, where the user last left it, or else
// beside the main window on the main window's screen. Its place goes into its
// own section of the settings file whenever it hides.
class CompanionPlacement : public QObject {
    Q_OBJECT

public:
    // The placement lives as long as `window`.
    static CompanionPlacement* install(QWidget* window, const QWidget* main, const char* section);

    // Writes the place now (the program ends while the window shows).
    void remember();

    // Where a window of `size` goes beside `main` within `area` (a screen's
    // available area): to its right, else to its left, else against the
    // area's right edge; level with the main window's top.
    static QPoint beside(const QRect& main, QSize size, const QRect& area);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CompanionPlacement(QWidget* window, const QWidget* main, const char* section);
    void place();

    QWidget* window_;
    const QWidget* main_;
    const char* section_;
    bool placed_ = false;
};

} // namespace sorabel
