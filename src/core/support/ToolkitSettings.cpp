#include "core/support/ToolkitSettings.h"

#include <QSettings>

namespace sorabel {

ToolkitSettings::ToolkitSettings() {
    // Without a folder of its own, Qt's state goes nowhere rather than home:
    // a path that cannot be created makes every write fail quietly.
    const QString path = folder_.isValid() ? folder_.path() : QStringLiteral("/dev/null/sorabel");
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, path);
}

} // namespace sorabel
