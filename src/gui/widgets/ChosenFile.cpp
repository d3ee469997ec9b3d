#include "gui/widgets/ChosenFile.h"

#include "core/storage/FileIdentity.h"
#include "core/storage/FileIo.h"
#include "core/storage/SafeFileWriter.h"
#include "gui/widgets/Dialogs.h"

#include <QFileInfo>

namespace sorabel {

bool ChosenFile::isProtected(QWidget* parent, const QString& path, const QString& openCatalogue) {
    if (openCatalogue.isEmpty())
        return false;
    const QString name = QFileInfo(path).fileName();
    if (FileIdentity::same(path, openCatalogue)) {
        Dialogs::notice(parent, QStringLiteral("%1 は開いている読書録データです。\n"
                                               "別の名前を指定してください。")
                                    .arg(name));
        return true;
    }
    if (FileIdentity::same(path, SafeFileWriter::backupPath(openCatalogue))) {
        Dialogs::notice(parent, QStringLiteral("%1 は開いている読書録データのバックアップです。\n"
                                               "別の名前を指定してください。")
                                    .arg(name));
        return true;
    }
    return false;
}

bool ChosenFile::askToReplace(QWidget* parent, const QString& path) {
    return Dialogs::question(
        parent,
        QStringLiteral("%1 は既に存在します。\n置き換えますか？").arg(QFileInfo(path).fileName()),
        Dialogs::Default::No);
}

bool ChosenFile::mayWrite(QWidget* parent, const QString& path, const QString& openCatalogue) {
    if (isProtected(parent, path, openCatalogue))
        return false;
    return !FileIo::exists(path) || askToReplace(parent, path);
}

void ChosenFile::write(const QString& path, std::string_view bytes) {
    const SafeFileWriter writer;
    try {
        writer.write(path, bytes);
    } catch (const WriteRefusal& refusal) {
        if (refusal.reason() != WriteRefusal::Reason::FolderNotWritable)
            throw;
        writer.writeInPlace(path, bytes);
    }
}

} // namespace sorabel
