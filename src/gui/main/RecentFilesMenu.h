#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <string>
#include <vector>

class QAction;
class QMenu;

namespace sorabel {

// The catalogues opened last, as numbered entries of the ファイル menu
// (newest first, "1" to "8" as their keys). A file that is no longer there
// shows disabled until the user removes it from the list. Each file added is
// also offered to the desktop's list of recently used files, unless the
// program runs from a folder of its own (nothing is left behind elsewhere).
class RecentFilesMenu : public QObject {
    Q_OBJECT

public:
    // The entries go into `menu` before `before`.
    RecentFilesMenu(QMenu* menu, QAction* before, QObject* parent);

    QStringList files() const { return files_; }
    void setFiles(const QStringList& paths);
    // The list as the settings file keeps it: file-system bytes, newest first.
    std::vector<std::string> settingsValue() const;
    void takeSettingsValue(const std::vector<std::string>& files);
    // A catalogue opened or saved: it moves to the top.
    void add(const QString& path);

signals:
    void openRequested(const QString& path);

private:
    void rebuild();
    void removeMissing();

    QMenu* menu_;
    QAction* before_;
    QStringList files_;
    QList<QAction*> entries_;
    QAction* lead_ = nullptr;      // above the entries
    QAction* separator_ = nullptr; // below them
    QAction* removeMissing_ = nullptr;
    QAction* clear_ = nullptr;
};

} // namespace sorabel
