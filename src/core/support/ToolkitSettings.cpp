#include "core/support/ToolkitSettings.h"

#include <QSettings>

namespace sorabel {

namespace {
bool readNothing(QIODevice&, QSettings::SettingsMap& map) {
    map.clear();
    return true;
}

// Failing the write makes QSettings drop its temporary file, so no file appears.
bool writeNothing(QIODevice&, const QSettings::SettingsMap&) {
    return false;
}
} // namespace

void ToolkitSettings::keepInMemory() {
    const QSettings::Format inMemory = QSettings::registerFormat(
        QStringLiteral("sorabel-memory"), readNothing, writeNothing, Qt::CaseSensitive);
    if (inMemory != QSettings::InvalidFormat)
        QSettings::setDefaultFormat(inMemory);
}

} // namespace sorabel
