#include "gui/widgets/Icons.h"

#include <QString>

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

} // namespace sorabel
