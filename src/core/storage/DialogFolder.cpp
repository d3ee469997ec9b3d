#include "core/storage/DialogFolder.h"
#include "core/support/TestHooks.h"

#include "core/storage/ConfigLocation.h"
#include "core/storage/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>

namespace sorabel {

namespace {
QString& last() {
    static QString folder;
    return folder;
}
} // namespace

QString DialogFolder::choose(const Places& places,
                             const std::function<bool(const QString& folder)>& exists) {
    if (!places.catalogueFile.isEmpty()) {
        const QString folder = QFileInfo(places.catalogueFile).absolutePath();
        if (exists(folder))
            return folder;
    }
    if (!places.lastFolder.isEmpty() && exists(places.lastFolder))
        return places.lastFolder;
    return places.portable ? places.programFolder : places.home;
}

QString DialogFolder::forDialog(const QString& catalogueFile) {
    return choose({catalogueFile, last(), ProgramFolder::path(), QDir::homePath(),
                   ConfigLocation::isPortable()},
                  [](const QString& folder) { return QFileInfo(folder).isDir(); });
}

void DialogFolder::noteChosen(const QString& file) {
    TestHooks::onReset(&last(), [] { last().clear(); });
    if (!file.isEmpty())
        last() = QFileInfo(file).absolutePath();
}

QString DialogFolder::lastFolder() {
    return last();
}

} // namespace sorabel
