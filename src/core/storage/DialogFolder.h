#pragma once

#include <QString>
#include <functional>

namespace sorabel {

// The folder a file dialog starts in: the current catalogue's folder, else
// the folder last chosen in a file dialog during this run, else the user's
// home (the program's folder for a portable copy, whose catalogues usually
// lie beside it).
class DialogFolder {
public:
    struct Places {
        QString catalogueFile; // the current catalogue, empty when never saved
        QString lastFolder;    // last folder chosen in a file dialog, or empty
        QString programFolder;
        QString home;
        bool portable = false;
    };
    // The rule; a folder that does not exist (any more) is passed over.
    static QString choose(const Places& places,
                          const std::function<bool(const QString& folder)>& exists);

    // The rule with this run's places.
    static QString forDialog(const QString& catalogueFile);
    // Remembers the folder of a file the user chose in a file dialog.
    static void noteChosen(const QString& file);
    static QString lastFolder();
};

} // namespace sorabel
