#include "gui/main/RecentFilesMenu.h"

#include "core/format/RecentlyUsedFile.h"
#include "core/format/SettingsFile.h"
#include "core/storage/ConfigLocation.h"
#include "core/storage/NativeFileName.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMenu>

namespace sorabel {

namespace {
constexpr int kLongestPath = 480; // pixels; longer paths lose their middle

void offerToDesktop(const QString& path) {
    if (ConfigLocation::isPortable())
        return;
    try {
        RecentlyUsedFile::record(RecentlyUsedFile::defaultPath(),
                                 {path, QStringLiteral("application/x-sorabel-catalogue"),
                                  QStringLiteral("sorabel"), QStringLiteral("sorabel %u"),
                                  QDateTime::currentDateTimeUtc()});
    } catch (const std::exception&) {
        // The desktop's list is a courtesy: a list that cannot be read or
        // written stays as it is and the program carries on.
    }
}
} // namespace

RecentFilesMenu::RecentFilesMenu(QMenu* menu, QAction* before, QObject* parent)
    : QObject(parent), menu_(menu), before_(before) {
    lead_ = menu_->insertSeparator(before_);
    separator_ = menu_->insertSeparator(before_);
    removeMissing_ = new QAction(QStringLiteral("見つからないファイルを一覧から削除(&M)"), this);
    clear_ = new QAction(QStringLiteral("最近使ったファイルの一覧を消去(&L)"), this);
    menu_->insertAction(before_, removeMissing_);
    menu_->insertAction(before_, clear_);
    menu_->insertSeparator(before_);
    connect(removeMissing_, &QAction::triggered, this, &RecentFilesMenu::removeMissing);
    connect(clear_, &QAction::triggered, this, [this] { setFiles({}); });
    // A file may have gone since the list was last shown.
    connect(menu_, &QMenu::aboutToShow, this, &RecentFilesMenu::rebuild);
    rebuild();
}

void RecentFilesMenu::setFiles(const QStringList& paths) {
    files_.clear();
    for (const QString& path : paths)
        if (!path.isEmpty() && !files_.contains(path) &&
            files_.size() < qsizetype(SettingsFile::kRecentFiles))
            files_ << path;
    rebuild();
}

void RecentFilesMenu::add(const QString& path) {
    if (path.isEmpty())
        return;
    const QString full = QFileInfo(path).absoluteFilePath();
    files_.removeAll(full);
    files_.prepend(full);
    while (files_.size() > qsizetype(SettingsFile::kRecentFiles))
        files_.removeLast();
    rebuild();
    offerToDesktop(full);
}

void RecentFilesMenu::removeMissing() {
    QStringList kept;
    for (const QString& path : std::as_const(files_))
        if (QFileInfo::exists(path))
            kept << path;
    setFiles(kept);
}

void RecentFilesMenu::rebuild() {
    qDeleteAll(entries_);
    entries_.clear();
    const QFontMetrics metrics(menu_->font());
    bool anyMissing = false;
    for (qsizetype i = 0; i < files_.size(); ++i) {
        const QString& path = files_[i];
        const bool present = QFileInfo::exists(path);
        anyMissing = anyMissing || !present;
        QString shown =
            metrics.elidedText(QDir::toNativeSeparators(path), Qt::ElideMiddle, kLongestPath);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        if (!present)
            shown += QStringLiteral("（見つかりません）");
        auto* entry = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown), this);
        entry->setEnabled(present);
        entry->setStatusTip(path);
        entry->setToolTip(path);
        connect(entry, &QAction::triggered, this, [this, path] { emit openRequested(path); });
        menu_->insertAction(separator_, entry);
        entries_ << entry;
    }
    lead_->setVisible(!files_.isEmpty());
    separator_->setVisible(!files_.isEmpty());
    removeMissing_->setVisible(!files_.isEmpty());
    removeMissing_->setEnabled(anyMissing);
    clear_->setVisible(!files_.isEmpty());
}

std::vector<std::string> RecentFilesMenu::settingsValue() const {
    std::vector<std::string> values;
    for (const QString& file : files_)
        values.push_back(NativeFileName::encode(file).toStdString());
    return values;
}

void RecentFilesMenu::takeSettingsValue(const std::vector<std::string>& files) {
    QStringList paths;
    for (const std::string& file : files)
        paths << NativeFileName::decode(QByteArray::fromStdString(file));
    setFiles(paths);
}

} // namespace sorabel
