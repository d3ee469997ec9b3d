#include "gui/widgets/Icons.h"

#include <QString>
#include <QToolBar>
#include <QToolButton>

// The resource lives in a static library: it is registered on first use.
static void registerIcons() {
    static const bool once = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    (void)once;
}

namespace sorabel {

QIcon Icons::get(const char* name) {
    registerIcons();
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QString::fromUtf8(name)));
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
