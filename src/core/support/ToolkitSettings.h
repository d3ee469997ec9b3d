#pragma once

namespace sorabel {

// Qt's file and colour dialogs keep their own state (last folder, column
// widths, custom colours) in ~/.config/QtProject.conf through QSettings with
// the default format. The program keeps its settings in its own files, and a
// portable copy must leave nothing behind in the user's folders, so that
// state lives in memory for the run only.
//
// Afterwards every QSettings made without an explicit format or file name
// reads nothing and writes nothing; the program's own files do not use one.
class ToolkitSettings {
public:
    static void keepInMemory();
};

} // namespace sorabel
