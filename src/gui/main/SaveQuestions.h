#pragma once

#include "core/storage/WriteRefusal.h"

#include <QString>
#include <optional>

class QWidget;

namespace sorabel {

class CatalogueSession;

// The questions and file dialogs around writing and reading a catalogue:
// the save question, Save and Save As with their confirmations, the Open
// dialog and the notices of what a read left out. Each question answers
// whether the command that asked may go on.
class SaveQuestions {
public:
    SaveQuestions(CatalogueSession& session, QWidget* parent)
        : session_(session), parent_(parent) {}

    // "現在の内容を保存しますか？": true after はい and a save, or いいえ;
    // false after キャンセル or a save that did not happen.
    bool askToSave();
    // Save (Save As when untitled); false when the user called it off.
    bool save();
    bool saveAs();
    // The file chosen in the Open dialog.
    std::optional<QString> chooseFileToOpen();
    // After reading a file: tells of records it cut short or left unread.
    void reportWhatWasNotRead(int completeRecords);

    static QString fileFilter() { return QStringLiteral("読書録データ(*.srb)"); }

private:
    QString dialogFolder() const;
    // What Save does when the safe writer refused to start: asks, then writes
    // another way or not at all.
    bool saveRefused(WriteRefusal::Reason reason);

    CatalogueSession& session_;
    QWidget* parent_;
};

} // namespace sorabel
