#include "gui/main/SaveQuestions.h"

#include "core/catalogue/CatalogueSession.h"
#include "core/storage/DialogFolder.h"
#include "gui/widgets/Dialogs.h"

#include <QFileInfo>

namespace sorabel {

QString SaveQuestions::dialogFolder() const {
    return DialogFolder::forDialog(session_.filePath());
}

bool SaveQuestions::askToSave() {
    switch (Dialogs::askYesNoCancel(parent_, QStringLiteral("現在の内容を保存しますか？"))) {
    case Dialogs::Answer::Yes:
        return save();
    case Dialogs::Answer::No:
        return true;
    case Dialogs::Answer::Cancel:
        break;
    }
    return false;
}

bool SaveQuestions::save() {
    // Opened read-only, the file stays the other copy's: the changes get a name of their own.
    if (session_.filePath().isEmpty() || session_.isReadOnly())
        return saveAs();
    // Another copy of the program, or a synchronised folder, may have written
    // the file since: its changes are not replaced without a word.
    if (session_.fileChangedOnDisk() &&
        !Dialogs::question(parent_, QStringLiteral("ファイルが他のプログラムによって変更されて"
                                                   "います。上書きしますか？")))
        return false;
    session_.save();
    return true;
}

bool SaveQuestions::saveAs() {
    const auto path =
        Dialogs::saveFile(parent_, fileFilter(), dialogFolder(), QStringLiteral("srb"));
    if (!path)
        return false;
    DialogFolder::noteChosen(*path);
    const QFileInfo chosen(*path);
    const bool current =
        !session_.filePath().isEmpty() &&
        chosen.absoluteFilePath() == QFileInfo(session_.filePath()).absoluteFilePath();
    if (chosen.exists() && !current &&
        !Dialogs::question(
            parent_,
            QStringLiteral("%1 は既に存在します。\n置き換えますか？").arg(chosen.fileName())))
        return false;
    session_.saveAs(*path);
    return true;
}

std::optional<QString> SaveQuestions::chooseFileToOpen() {
    const auto path = Dialogs::openFile(parent_, fileFilter(), dialogFolder());
    if (path)
        DialogFolder::noteChosen(*path);
    return path;
}

} // namespace sorabel
