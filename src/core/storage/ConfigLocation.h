#pragma once

#include <QString>
#include <functional>

namespace sorabel {

// Where the settings file and the hand-off file live. A copy of the program
// in a folder the user may write to (an unpacked or built copy) keeps them
// beside itself, as a portable program; an installed copy keeps them in the
// user's configuration folder, $XDG_CONFIG_HOME/sorabel (~/.config/sorabel).
class ConfigLocation {
public:
    // True when the settings live in the program's folder.
    static bool isPortable();
    // The folder of the settings; it may not exist yet.
    static QString folder();
    // Full path of a settings file; the folder is created when missing.
    static QString file(const QString& name);

    // The rule itself: the program's folder when it is writable, else the
    // "sorabel" folder in the configuration folder.
    static QString choose(const QString& programFolder, bool programFolderWritable,
                          const QString& configHome);
    // Whether a program folder counts as writable: the user may write to it
    // and it is not a system folder for programs (root may write there too).
    static bool isWritableProgramFolder(const QString& folder);

    // Test seam: decides writability instead of isWritableProgramFolder();
    // empty restores the real check. Without it, a program folder set by
    // ProgramFolder::setOverride() counts as a portable copy's.
    using WritableCheck = std::function<bool(const QString& folder)>;
    static void setWritableCheck(WritableCheck check);
};

} // namespace sorabel
