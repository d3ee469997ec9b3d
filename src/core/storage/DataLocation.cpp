#include "core/storage/DataLocation.h"

#include "InstallPaths.h"
#include "core/storage/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>

namespace sorabel {

QStringList DataLocation::folders() {
    const QString program = ProgramFolder::path();
    QStringList result{QDir::cleanPath(program)};
    for (const QString& folder :
         {QDir(program).filePath(QStringLiteral(SORABEL_DATADIR_FROM_BINDIR)),
          QStringLiteral(SORABEL_INSTALL_DATADIR)}) {
        const QString clean = QDir::cleanPath(folder);
        if (!result.contains(clean))
            result << clean;
    }
    return result;
}

QString DataLocation::existing(const QString& path) {
    if (QFileInfo::exists(path))
        return path;
    // Names of data files come from a case-blind world ("SORABE.HLP" and
    // "sorabe.HLP" are one file there): accept a name differing in case only.
    const QFileInfo info(path);
    const QDir folder = info.dir();
    const QStringList entries = folder.entryList(QDir::Files);
    for (const QString& entry : entries)
        if (entry.compare(info.fileName(), Qt::CaseInsensitive) == 0)
            return folder.filePath(entry);
    return {};
}

QString DataLocation::find(const QString& name) {
    const QStringList candidates = folders();
    for (const QString& folder : candidates) {
        const QString found = existing(QDir(folder).filePath(name));
        if (!found.isEmpty())
            return found;
    }
    return QDir(candidates.front()).filePath(name);
}

} // namespace sorabel
