#include "gui/widgets/Icons.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QResource>
#include <QString>
#include <QToolBar>
#include <QToolButton>
#include <cmath>

// The resources live in a static library: they are registered on first use.
static void registerIcons() {
    static const bool once = [] {
        Q_INIT_RESOURCE(rendered_icons);
        return true;
    }();
    (void)once;
}

namespace sorabel {

namespace {

// A picture rendered at build time: square, its pixels as a pixmap holds them.
void addPixels(QIcon& icon, const QString& file, qreal ratio = 1) {
    const QResource pixels(file);
    const auto side = static_cast<int>(std::lround(std::sqrt(pixels.size() / 4.0)));
    if (!pixels.isValid() || pixels.compressionAlgorithm() != QResource::NoCompression ||
        side == 0 || qint64(side) * side * 4 != pixels.size())
        return;
    QImage image(pixels.data(), side, side, side * 4, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    icon.addPixmap(QPixmap::fromImage(image));
}

} // namespace

QIcon Icons::get(const char* name) {
    registerIcons();
    // Rendered at build time at the size shown, name@2x at twice that for a
    // screen that doubles pixels; the program's own picture also comes
    // larger for the desktop's task switcher.
    const QString base = QStringLiteral(":/icons/") + QString::fromUtf8(name);
    QIcon icon;
    addPixels(icon, base + QStringLiteral(".argb"));
    if (qApp->devicePixelRatio() > 1)
        addPixels(icon, base + QStringLiteral("@2x.argb"), 2);
    for (const int size : {48, 64})
        addPixels(icon, base + QStringLiteral("-%1.argb").arg(size));
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
