#pragma once

#include <QString>
#include <string_view>

class QWidget;

namespace sorabel {

// A file the user named in a save dialog (an export, a picture, a catalogue
// under a new name). The open catalogue and its backup are never written over
// this way, an existing file is replaced only after a question whose default
// is いいえ, and the bytes go through the safe writer.
class ChosenFile {
public:
    // False, after a notice or the declined question, when nothing may be
    // written to `path`. `openCatalogue` is the open catalogue's file, empty
    // when it is untitled.
    static bool mayWrite(QWidget* parent, const QString& path, const QString& openCatalogue);
    // Refuses (with a notice) the open catalogue and its backup; no question.
    static bool isProtected(QWidget* parent, const QString& path, const QString& openCatalogue);
    // "<name> は既に存在します。\n置き換えますか？", いいえ by default.
    static bool askToReplace(QWidget* parent, const QString& path);
    // Writes a file mayWrite() allowed, atomically. A file in a folder that
    // only lets the file itself be written (no temporary file beside it) is
    // rewritten in place: the user has already agreed to replace it.
    // Throws IoError.
    static void write(const QString& path, std::string_view bytes);
};

} // namespace sorabel
