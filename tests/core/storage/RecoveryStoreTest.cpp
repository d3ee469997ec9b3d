#include "core/storage/RecoveryStore.h"
#include "core/storage/ConfigLocation.h"
#include "core/storage/FullDiskFileSystem.h"
#include "core/storage/IoErrorText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sorabel;

namespace {
QStringList entriesOf(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

std::string readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "(missing)";
}

RecoveryCopy copyOf(std::string catalogue) {
    RecoveryCopy copy;
    copy.originalPath = QStringLiteral("/home/hana/本 棚\n.srb");
    copy.cleanPoint = 7;
    copy.written = QDateTime(QDate(2026, 12, 8), QTime(4, 30, 5));
    copy.catalogue = std::move(catalogue);
    return copy;
}
} // namespace

TEST(RecoveryStore, ALeftoverIsFoundOnlyOnceItsWriterIsGoneAndKeptAsRecovered) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("state/sorabel");
    const std::string catalogue = "12\r\nＭＳ 明朝\r\n0\r\n\x82\xa0\r\n";
    {
        RecoveryStore crashed(folder);
        crashed.write(copyOf("first"));
        crashed.write(copyOf(catalogue)); // replaces the first
        RecoveryStore next(folder);
        EXPECT_TRUE(next.find().empty()) << "its writer is still running";
    } // the writer ends without removing its copy, as a crash would

    RecoveryStore next(folder);
    auto found = next.find();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_TRUE(RecoveryStore(folder).find().empty()) << "claimed by the first to find it";
    const RecoveryCopy back = RecoveryStore::read(found[0].path());
    EXPECT_EQ(back.originalPath, QStringLiteral("/home/hana/本 棚\n.srb"));
    EXPECT_EQ(back.cleanPoint, 7);
    EXPECT_EQ(back.catalogue, catalogue);

    const QString kept = next.keepAs(found[0]);
    EXPECT_EQ(kept, QDir(folder).filePath("recovered-20261208-043005.srb"));
    EXPECT_EQ(readFile(kept), catalogue);
    next.discard(found[0]);
    EXPECT_EQ(entriesOf(folder), QStringList{"recovered-20261208-043005.srb"});
}

TEST(RecoveryStore, ADamagedCopyIsRefusedAndKeptAndAFailedWriteKeepsThePreviousOne) {
    QTemporaryDir dir;
    RecoveryStore store(dir.path());
    store.write(copyOf("catalogue bytes"));
    const std::string whole = readFile(store.filePath());
    {
        FullDiskFileSystem full(5, ENOSPC);
        EXPECT_EQ(ioErrorText([&] { store.write(copyOf("other bytes")); }),
                  "ディスクがいっぱいです");
    }
    EXPECT_EQ(readFile(store.filePath()), whole);

    for (const std::string& damaged :
         std::vector<std::string>{whole.substr(0, whole.size() - 1), whole + "x",
                                  "SorabelRecovery 2\n\n", std::string()}) {
        QFile f(store.filePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(damaged.data(), qint64(damaged.size()));
        f.close();
        EXPECT_EQ(ioErrorText([&] { RecoveryStore::read(store.filePath()); }),
                  "復元用のデータが壊れています");
        EXPECT_EQ(readFile(store.filePath()), damaged);
    }
    store.remove();
    EXPECT_FALSE(QFile::exists(store.filePath()));
}

TEST(RecoveryStore, LivesInTheStateFolderOrBesideAPortableCopysSettings) {
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME"), oldState = qgetenv("XDG_STATE_HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    ConfigLocation::setWritableCheck([](const QString&) { return false; });
    qputenv("XDG_STATE_HOME", "/var/state");
    EXPECT_EQ(RecoveryStore::defaultFolder(), "/var/state/sorabel");
    qunsetenv("XDG_STATE_HOME");
    EXPECT_EQ(RecoveryStore::defaultFolder(), home.path() + "/.local/state/sorabel");
    ConfigLocation::setWritableCheck([](const QString&) { return true; });
    EXPECT_EQ(RecoveryStore::defaultFolder(), ConfigLocation::folder());
    ConfigLocation::setWritableCheck({});
    qputenv("HOME", oldHome);
    if (!oldState.isEmpty())
        qputenv("XDG_STATE_HOME", oldState);
}
