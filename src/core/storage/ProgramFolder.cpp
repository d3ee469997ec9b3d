#include "core/storage/ProgramFolder.h"
#include "core/support/TestHooks.h"

#include <QCoreApplication>
#include <QDir>

namespace sorabel {

namespace {
QString& overrideFolder() {
    static QString folder;
    return folder;
}
} // namespace

QString ProgramFolder::path() {
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString ProgramFolder::file(const QString& name) {
    return QDir(path()).filePath(name);
}

void ProgramFolder::setOverride(const QString& folder) {
    TestHooks::onReset(&overrideFolder(), [] { overrideFolder().clear(); });
    overrideFolder() = folder;
}

bool ProgramFolder::isOverridden() {
    return !overrideFolder().isEmpty();
}

} // namespace sorabel
