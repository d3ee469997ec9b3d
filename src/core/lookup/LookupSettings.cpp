#include "core/lookup/LookupSettings.h"

#include "core/format/ProfileFile.h"

#include <QtGlobal>

namespace sorabel {

namespace {
constexpr const char* kSection = "ISBN";

QString fromFile(const ProfileFile& ini, const char* key, const QString& fallback) {
    const QString value = QString::fromStdString(ini.readString(kSection, key, "")).trimmed();
    return value.isEmpty() ? fallback : value;
}
} // namespace

LookupSettings LookupSettings::read(const QString& settingsPath) {
    const ProfileFile ini(settingsPath);
    LookupSettings s;
    s.useOpenBd = ini.readBool(kSection, "OpenBD", s.useOpenBd);
    s.useNdl = ini.readBool(kSection, "NDL", s.useNdl);
    s.openBdUrl = fromFile(ini, "OpenBDURL", s.openBdUrl);
    s.ndlUrl = fromFile(ini, "NDLURL", s.ndlUrl);
    const int timeout = ini.readInt(kSection, "Timeout", s.timeoutMs);
    s.timeoutMs = qBound(500, timeout, 60000);
    return s;
}

void LookupSettings::write(const QString& settingsPath) const {
    ProfileFile ini(settingsPath);
    ini.writeBool(kSection, "OpenBD", useOpenBd);
    ini.writeBool(kSection, "NDL", useNdl);
    ini.writeString(kSection, "OpenBDURL", openBdUrl.toStdString());
    ini.writeString(kSection, "NDLURL", ndlUrl.toStdString());
    ini.writeInt(kSection, "Timeout", timeoutMs);
    ini.flush();
}

bool LookupSettings::openBdOverridden() {
    return !qEnvironmentVariableIsEmpty("SORABEL_OPENBD_URL");
}

bool LookupSettings::ndlOverridden() {
    return !qEnvironmentVariableIsEmpty("SORABEL_NDL_URL");
}

LookupSettings LookupSettings::withEnvironment() const {
    LookupSettings s = *this;
    if (openBdOverridden())
        s.openBdUrl = qEnvironmentVariable("SORABEL_OPENBD_URL").trimmed();
    if (ndlOverridden())
        s.ndlUrl = qEnvironmentVariable("SORABEL_NDL_URL").trimmed();
    return s;
}

} // namespace sorabel
