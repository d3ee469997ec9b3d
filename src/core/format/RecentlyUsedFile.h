#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace sorabel {

// The desktop's list of recently used files ("recently-used.xbel" in the
// user's data folder), which file dialogs and launchers of every desktop
// show. Bookmarks of other programs are copied through untouched.
class RecentlyUsedFile {
public:
    struct Use {
        QString path; // absolute
        QString mimeType;
        QString application; // the name the desktop files the use under
        QString exec;        // how to open it again, "%u" standing for the file
        QDateTime when;
    };

    // `xbel` (empty for no list yet) with the file's bookmark moved to the end
    // and its time and count of uses brought up to date. Throws IoError when
    // `xbel` is not a bookmark list, so that a damaged one is never overwritten.
    static QByteArray withUse(const QByteArray& xbel, const Use& use);

    // "recently-used.xbel" in the user's data folder.
    static QString defaultPath();
    // Adds the use to the list on disk (written atomically).
    static void record(const QString& listPath, const Use& use);
};

} // namespace sorabel
