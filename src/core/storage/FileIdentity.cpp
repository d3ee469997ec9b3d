#include "core/storage/FileIdentity.h"

#include "core/storage/NativeFileName.h"

#include <QDir>
#include <QFileInfo>
#include <sys/stat.h>

namespace sorabel {

namespace {
// The absolute name with the folder's symbolic links resolved where the folder exists.
QString resolvedName(const QString& path) {
    const QFileInfo info(path);
    const QString folder = info.absoluteDir().canonicalPath();
    if (folder.isEmpty())
        return QDir::cleanPath(info.absoluteFilePath());
    return QDir(folder).filePath(info.fileName());
}
} // namespace

bool FileIdentity::same(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty())
        return false;
    struct stat sa {};
    struct stat sb {};
    const bool hasA = ::stat(NativeFileName::encode(a).constData(), &sa) == 0;
    const bool hasB = ::stat(NativeFileName::encode(b).constData(), &sb) == 0;
    if (hasA && hasB)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    if (hasA != hasB)
        return false;
    return resolvedName(a) == resolvedName(b);
}

} // namespace sorabel
