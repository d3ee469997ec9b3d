#pragma once

#include <QString>

namespace sorabel {

// Whether two names lead to one file. Existing files are compared by device
// and inode, so a symbolic link, a second hard link or a path through a linked
// folder all count as the file itself; a name that does not exist yet is
// compared by its absolute path with the folders' links resolved.
class FileIdentity {
public:
    static bool same(const QString& a, const QString& b);
};

} // namespace sorabel
