#pragma once

#include <QTemporaryDir>

namespace sorabel {

// Qt's file and colour dialogs keep their own state (last folder, column
// widths, custom colours) in ~/.config/QtProject.conf. The program keeps its
// settings in its own files, and a portable copy must leave nothing behind in
// the user's folders, so while an object of this class lives that state goes
// to a temporary folder, removed with it.
//
// It redirects every QSettings in the user's scope, so the program's own
// settings never use one. Make it before the application object: Qt writes
// the colour dialog's state while the application ends.
class ToolkitSettings {
public:
    ToolkitSettings();
    ToolkitSettings(const ToolkitSettings&) = delete;
    ToolkitSettings& operator=(const ToolkitSettings&) = delete;

private:
    QTemporaryDir folder_;
};

} // namespace sorabel
