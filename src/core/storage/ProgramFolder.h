#pragma once

#include <QString>

namespace sorabel {

// The folder of the program's own executable. Tests and tools point it at a
// folder of their own, which then serves as a portable copy's folder: it
// holds the settings file and the hand-off file (ConfigLocation) and is the
// first place for the help file (DataLocation).
class ProgramFolder {
public:
    static QString path();
    // Full path of a file in the program's folder.
    static QString file(const QString& name);
    static void setOverride(const QString& folder); // empty restores the real one
    static bool isOverridden();
};

} // namespace sorabel
