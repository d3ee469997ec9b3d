#pragma once

#include <QString>
#include <string>
#include <vector>

namespace sorabel {

// Style bits (1 bold, 2 italic, 4 underline, 8 strike-out) and pitch
// (0 default, 1 variable, 2 fixed) of a display font.
struct FontStylePitch {
    int style = 0;
    int pitch = 0;
    bool operator==(const FontStylePitch&) const = default;
};

// The three start-up options; the settings file keeps each as a number
// ("Ki1", "Ki2", "Ki3": 0 means yes, anything else no).
struct StartupOptions {
    bool restorePosition = true;
    bool restoreSize = true;
    bool reopenLastCatalogue = true;
    bool operator==(const StartupOptions&) const = default;
};

// Everything the settings file "SorabeIni.INI" keeps.
struct SettingsValues {
    FontStylePitch captionFont;                   // [Font]
    FontStylePitch contentsFont;                  // [Font2]
    StartupOptions startup;                       // [Kioku] Ki1, Ki2, Ki3
    int rubi = 0;                                 // [Rubi] Rubi
    std::string file;                             // [File] File: file system bytes (UTF-8)
    int top = 0, left = 0, width = 0, height = 0; // [Window]
    bool maximized = false;                       // [Window] Maxmize
    // [Recent] File1..File8: the catalogues opened last, newest first (file
    // system bytes, like File).
    std::vector<std::string> recentFiles;
    bool operator==(const SettingsValues&) const = default;
};

// Where a window other than the main window was last (its own section of
// the settings file: Left, Top, Width, Height).
struct WindowPlace {
    int left = 0, top = 0, width = 0, height = 0;
    bool known() const { return width > 0 && height > 0; }
    bool operator==(const WindowPlace&) const = default;
};

class SettingsFile {
public:
    static constexpr size_t kRecentFiles = 8;

    // "SorabeIni.INI" in the settings folder (ConfigLocation).
    static QString defaultPath();

    // Reads every key; a missing or unreadable key keeps the value in
    // `current` (the maximized flag defaults to false). The file name is read
    // only when readFileName is true (the catalogue is unmodified). A file
    // that exists but cannot be read gives `current`, and `problem` (when
    // given) receives the message for the user.
    static SettingsValues read(const QString& path, const SettingsValues& current,
                               bool readFileName, QString* problem = nullptr);

    // A file too large to read is first renamed to "<name>.bak" (replacing
    // an older one) and a fresh file takes its place.
    // At exit: fonts, options, file, Rubi, the window keys, then the recent
    // files (keys past the last one are removed) — only
    // "Maxmize" = "1" while maximized, otherwise Top, Left, Width, Height and
    // "Maxmize" = "0". Throws IoError "<path> に書き込めません".
    static void writeAtExit(const QString& path, const SettingsValues& values);

    // On the settings dialog's OK: as at exit but without Rubi.
    static void writeOnOk(const QString& path, const SettingsValues& values);

    // A window's own place; unknown when the file has none or cannot be read.
    static WindowPlace readPlace(const QString& path, const char* section);
    // Writes only that section's keys. Throws IoError as the writers above.
    static void writePlace(const QString& path, const char* section, const WindowPlace& place);
};

} // namespace sorabel
