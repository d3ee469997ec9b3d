#include "gui/main/SaveQuestions.h"

#include "core/catalogue/CatalogueSession.h"
#include "core/storage/DialogFolder.h"
#include "core/storage/FileIdentity.h"
#include "gui/widgets/ChosenFile.h"
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
    // the file since: its changes are not replaced without a word, and Enter
    // alone never replaces them.
    if (session_.fileChangedOnDisk() &&
        !Dialogs::question(parent_,
                           QStringLiteral("ファイルが他のプログラムによって変更されて"
                                          "います。上書きしますか？"),
                           Dialogs::Default::No))
        return false;
    if (const int past = session_.recordsPastCount();
        past > 0 && !Dialogs::question(parent_,
                                       QStringLiteral("ファイルの件数の後ろにある%1冊分の記録は"
                                                      "読み込まれていないため、保存すると"
                                                      "なくなります。\n保存しますか？")
                                           .arg(past),
                                       Dialogs::Default::No))
        return false;
    try {
        session_.save();
    } catch (const WriteRefusal& refusal) {
        return saveRefused(refusal.reason());
    }
    return true;
}

bool SaveQuestions::saveRefused(WriteRefusal::Reason reason) {
    const QString path = session_.filePath();
    switch (reason) {
    case WriteRefusal::Reason::FileMissing:
        // Deleted, renamed or moved away by someone else since it was read.
        if (!Dialogs::question(parent_, QStringLiteral("ファイルが見つかりません。\n%1\n"
                                                       "新しく作成して保存しますか？")
                                            .arg(path)))
            return false;
        session_.save(CatalogueSession::WriteMode::CreateMissing);
        return true;
    case WriteRefusal::Reason::FolderMissing:
        // A removed folder or an unmounted disk is never made again here:
        // another place is chosen instead.
        if (!Dialogs::question(parent_, QStringLiteral("フォルダーが見つかりません。\n%1\n"
                                                       "別の場所に保存しますか？")
                                            .arg(QFileInfo(path).absolutePath())))
            return false;
        return saveAs();
    case WriteRefusal::Reason::FolderNotWritable:
        if (!Dialogs::question(parent_, QStringLiteral("フォルダーに書き込めないため、"
                                                       "バックアップを作れません。\n"
                                                       "バックアップなしで上書きしますか？")))
            return false;
        session_.save(CatalogueSession::WriteMode::InPlace);
        return true;
    }
    return false;
}

bool SaveQuestions::saveAs() {
    const auto path =
        Dialogs::saveFile(parent_, fileFilter(), dialogFolder(), QStringLiteral("srb"));
    if (!path)
        return false;
    DialogFolder::noteChosen(*path);
    // The open file under its own name is a Save: the same checks, and its backup.
    if (FileIdentity::same(*path, session_.filePath()))
        return save();
    if (!ChosenFile::mayWrite(parent_, *path, session_.filePath()))
        return false;
    try {
        session_.saveAs(*path);
    } catch (const WriteRefusal& refusal) {
        if (refusal.reason() != WriteRefusal::Reason::FolderNotWritable)
            throw;
        // The user has agreed to replace that file; only its folder is closed.
        session_.saveAs(*path, CatalogueSession::WriteMode::InPlace);
    }
    return true;
}

std::optional<QString> SaveQuestions::chooseFileToOpen() {
    const auto path = Dialogs::openFile(parent_, fileFilter(), dialogFolder());
    if (path)
        DialogFolder::noteChosen(*path);
    return path;
}

void SaveQuestions::reportWhatWasNotRead(int completeRecords) {
    const int count = session_.recordCount();
    if (completeRecords < count)
        Dialogs::notice(parent_, QStringLiteral("ファイルが記録の途中で終わっています。"
                                                "完全に読み込めた記録は%1冊です。\n"
                                                "残りの%2冊は空の記録になっています。")
                                     .arg(completeRecords)
                                     .arg(count - completeRecords));
    if (const int past = session_.recordsPastCount(); past > 0)
        Dialogs::notice(parent_, QStringLiteral("ファイルの件数の後ろに%1冊分の記録があります。\n"
                                                "これらは読み込まれていないため、"
                                                "保存するとなくなります。")
                                     .arg(past));
}

} // namespace sorabel
