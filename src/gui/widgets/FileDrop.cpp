#include "gui/widgets/FileDrop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace sorabel {

std::optional<QString> FileDrop::droppedFile(const QMimeData* mime) {
    if (!mime)
        return std::nullopt;
    const QList<QUrl> urls = mime->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return std::nullopt;
    return urls.front().toLocalFile();
}

void FileDrop::watch(QWidget* widget) {
    widget->installEventFilter(this);
}

bool FileDrop::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!droppedFile(drag->mimeData()))
            break;
        drag->acceptProposedAction();
        return true; // the field neither moves its cursor nor shows a text drop
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const auto file = droppedFile(drop->mimeData());
        if (!file)
            break;
        drop->acceptProposedAction();
        emit dropped(*file);
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace sorabel
