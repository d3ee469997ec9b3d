#pragma once

#include <QString>

namespace sorabel {

// Which sources an ISBN lookup asks and where, kept in the settings file's
// [ISBN] section. The environment variables SORABEL_OPENBD_URL and
// SORABEL_NDL_URL put other addresses in place for one run (a mirror, a test
// server) without changing the file.
struct LookupSettings {
    static inline const QString kOpenBdDefault = QStringLiteral("https://api.openbd.jp");
    static inline const QString kNdlDefault = QStringLiteral("https://ndlsearch.ndl.go.jp");

    bool useOpenBd = true;
    bool useNdl = true;
    QString openBdUrl = kOpenBdDefault; // base address; /v1/get is added
    QString ndlUrl = kNdlDefault;       // base address; /api/sru is added
    int timeoutMs = 5000;               // per source

    bool operator==(const LookupSettings&) const = default;

    // What the file says; defaults for what it lacks.
    static LookupSettings read(const QString& settingsPath);
    // Writes the [ISBN] section only. Throws IoError when the file cannot be written.
    void write(const QString& settingsPath) const;
    // These settings with the environment's addresses in place.
    LookupSettings withEnvironment() const;
    // Whether an environment variable overrides the address of a source.
    static bool openBdOverridden();
    static bool ndlOverridden();
};

} // namespace sorabel
