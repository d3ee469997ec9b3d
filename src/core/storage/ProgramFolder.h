#pragma once

#include <QString>

namespace sorabel {

// The folder of the program's own executable: home of the settings file, the
// hand-off file and the help file. Tests point it at a temporary folder.
class ProgramFolder {
public:
    static QString path();
    // Full path of a file in the program's folder.
    static QString file(const QString& name);
    static void setOverride(const QString& folder); // empty restores the real one
};

} // namespace sorabel
