#pragma once

#include <QString>
#include <QStringList>

namespace sorabel {

// Where the program finds the files it only reads (the help file): beside
// the program first (a portable or built copy), then in the installed data
// folder <prefix>/share/sorabel, seen from the program's folder and at the
// prefix the program was built for.
class DataLocation {
public:
    static QStringList folders();
    // The first existing file of that name in folders(), its letter case
    // aside; the path beside the program when there is none.
    static QString find(const QString& name);
    // The path itself when it exists, else a file in the same folder whose
    // name differs in letter case only, else an empty string.
    static QString existing(const QString& path);
};

} // namespace sorabel
