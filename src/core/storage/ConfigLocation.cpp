#include "core/storage/ConfigLocation.h"
#include "core/support/TestHooks.h"

#include "InstallPaths.h"
#include "core/storage/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace sorabel {

namespace {
ConfigLocation::WritableCheck& writableCheck() {
    static ConfigLocation::WritableCheck check;
    return check;
}

QString configHome() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}
} // namespace

bool ConfigLocation::isWritableProgramFolder(const QString& folder) {
    const QString clean = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QStringList systemFolders{QStringLiteral(SORABEL_INSTALL_BINDIR),
                                    QStringLiteral("/usr/bin"), QStringLiteral("/usr/local/bin"),
                                    QStringLiteral("/bin"), QStringLiteral("/usr/games")};
    for (const QString& system : systemFolders)
        if (clean == QDir::cleanPath(system))
            return false;
    const QFileInfo info(clean);
    return info.isDir() && info.isWritable();
}

QString ConfigLocation::choose(const QString& programFolder, bool programFolderWritable,
                               const QString& configHome) {
    if (programFolderWritable)
        return programFolder;
    return QDir(configHome).filePath(QStringLiteral("sorabel"));
}

bool ConfigLocation::isPortable() {
    const QString program = ProgramFolder::path();
    if (writableCheck())
        return writableCheck()(program);
    return ProgramFolder::isOverridden() || isWritableProgramFolder(program);
}

QString ConfigLocation::folder() {
    return choose(ProgramFolder::path(), isPortable(), configHome());
}

QString ConfigLocation::file(const QString& name) {
    const QString dir = folder();
    if (!isPortable())
        QDir().mkpath(dir); // a failure shows when the file is written
    return QDir(dir).filePath(name);
}

void ConfigLocation::setWritableCheck(WritableCheck check) {
    TestHooks::onReset(&writableCheck(), [] { writableCheck() = {}; });
    writableCheck() = std::move(check);
}

} // namespace sorabel
