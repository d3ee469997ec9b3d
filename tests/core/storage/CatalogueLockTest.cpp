#include "core/storage/CatalogueLock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

using namespace sorabel;

namespace {
void writeLock(const QString& path, const QString& host, qint64 pid, const QString& time) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("SorabelLock 1\nhost %1\npid %2\nuser hana\ntime %3\ntoken t\n")
                .arg(host)
                .arg(pid)
                .arg(time)
                .toUtf8());
}

qint64 deadPid() {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}
} // namespace

TEST(CatalogueLock, ALiveHolderIsNamedAndAStaleOneTakenOverSilently) {
    QTemporaryDir dir;
    const QString book = dir.filePath("books.srb");
    const QString lockFile = dir.filePath(".~lock.books.srb#");
    EXPECT_EQ(CatalogueLock::lockPathFor(book), lockFile);
    const QString here = CatalogueLock::me().host;
    using O = CatalogueLock::Outcome;

    {
        CatalogueLock first;
        ASSERT_EQ(first.acquire(book), O::Acquired);
        EXPECT_TRUE(QFile::exists(lockFile));
        CatalogueLock second;
        EXPECT_EQ(second.acquire(book), O::HeldByOther);
        ASSERT_TRUE(second.holder());
        EXPECT_EQ(second.holder()->pid, ::getpid());
        EXPECT_EQ(second.acquire(book, true), O::Acquired) << "それでも開く";
        first.release(); // no longer its lock: left alone
        EXPECT_TRUE(QFile::exists(lockFile));
    }
    EXPECT_FALSE(QFile::exists(lockFile)) << "released when closed";

    const struct {
        const char* name;
        QString host;
        qint64 pid;
        int ageHours;
        O outcome;
    } cases[] = {
        {"dead process on this host", here, deadPid(), 0, O::Acquired},
        {"another host, fresh", "shelf-pc", 4242, 0, O::HeldByOther},
        {"another host, a day old", "shelf-pc", 4242, 25, O::Acquired},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeLock(lockFile, c.host, c.pid, "2026-12-08T12:00:00Z");
        const time_t when = ::time(nullptr) - c.ageHours * 3600;
        const utimbuf times{when, when};
        ::utime(QFile::encodeName(lockFile).constData(), &times);
        CatalogueLock lock;
        EXPECT_EQ(lock.acquire(book), c.outcome);
        if (c.outcome == O::HeldByOther) {
            ASSERT_TRUE(lock.holder());
            EXPECT_TRUE(lock.holder()->description().startsWith(
                QStringLiteral("ユーザー hana（ホスト shelf-pc、プロセス 4242）が 2026/12/08 ")))
                << lock.holder()->description().toStdString();
        }
        QFile::remove(lockFile);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}
