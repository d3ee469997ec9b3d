#include "gui/widgets/Icons.h"

#include <QFile>
#include <QString>
#include <QToolBar>
#include <QToolButton>

// The resources live in a static library: they are registered on first use.
static void registerIcons() {
    static const bool once = [] {
        Q_INIT_RESOURCE(icons);
        Q_INIT_RESOURCE(rendered_icons);
        return true;
    }();
    (void)once;
}

namespace sorabel {

QIcon Icons::get(const char* name) {
    registerIcons();
    // Rendered at build time at the size shown, name@2x.png at twice that
    // (found by QIcon itself); the program's own picture also comes larger
    // for the desktop's task switcher.
    const QString base = QStringLiteral(":/icons/") + QString::fromUtf8(name);
    QIcon icon(base + QStringLiteral(".png"));
    for (const int size : {48, 64}) {
        const QString larger = base + QStringLiteral("-%1.png").arg(size);
        if (QFile::exists(larger))
            icon.addFile(larger, QSize(size, size));
    }
    return icon;
}

QToolButton* Icons::addButton(QToolBar* bar, const QString& objectName, const QString& hint,
                              const char* name) {
    auto* b = new QToolButton(bar);
    b->setObjectName(objectName);
    const qsizetype split = hint.indexOf(QLatin1Char('|'));
    b->setToolTip(split < 0 ? hint : hint.left(split));
    b->setStatusTip(split < 0 ? hint : hint.mid(split + 1));
    // The picture alone says nothing to a screen reader.
    b->setAccessibleName(b->toolTip());
    b->setAccessibleDescription(b->statusTip());
    b->setIcon(get(name));
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    bar->addWidget(b);
    return b;
}

} // namespace sorabel
