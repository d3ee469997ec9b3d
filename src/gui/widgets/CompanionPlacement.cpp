#include "gui/widgets/CompanionPlacement.h"

#include "core/format/SettingsFile.h"
#include "core/support/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace sorabel {

namespace {
constexpr int kGap = 8; // between the main window and the one beside it
}

CompanionPlacement* CompanionPlacement::install(QWidget* window, const QWidget* main,
                                                const char* section) {
    return new CompanionPlacement(window, main, section);
}

CompanionPlacement::CompanionPlacement(QWidget* window, const QWidget* main, const char* section)
    : QObject(window), window_(window), main_(main), section_(section) {
    window_->installEventFilter(this);
}

QPoint CompanionPlacement::beside(const QRect& main, QSize size, const QRect& area) {
    int x = main.right() + 1 + kGap;
    if (x + size.width() > area.right() + 1) {
        x = main.left() - kGap - size.width();
        if (x < area.left())
            x = area.right() + 1 - size.width();
    }
    x = std::max(x, area.left());
    const int y =
        std::clamp(main.top(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height()));
    return {x, y};
}

void CompanionPlacement::place() {
    const WindowPlace last = SettingsFile::readPlace(SettingsFile::defaultPath(), section_);
    if (last.known()) {
        QList<QRect> screens;
        for (const QScreen* screen : QGuiApplication::screens())
            screens << screen->availableGeometry();
        const QRect fitted =
            WindowPlacement::fit({last.left, last.top}, {last.width, last.height}, screens);
        window_->resize(fitted.size());
        window_->move(fitted.topLeft());
        return;
    }
    const QScreen* screen = main_->screen() ? main_->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    window_->move(beside(main_->frameGeometry(), window_->frameGeometry().size(),
                         screen->availableGeometry()));
}

void CompanionPlacement::remember() {
    if (!placed_)
        return;
    const WindowPlace here{window_->x(), window_->y(), window_->width(), window_->height()};
    try {
        SettingsFile::writePlace(SettingsFile::defaultPath(), section_, here);
    } catch (const std::exception&) {
        // An unwritable settings file is reported once, when the program ends.
    }
}

bool CompanionPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_) {
        if (event->type() == QEvent::Show && !placed_) {
            placed_ = true;
            place();
        } else if (event->type() == QEvent::Hide && !window_->isMinimized()) {
            remember();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace sorabel
