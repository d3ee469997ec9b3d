#include "core/storage/FileIo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace sorabel;

namespace {
struct FailWritesAfter {
    FailWritesAfter(long long bytes, int err) { FileIo::failWritesAfter(bytes, err); }
    ~FailWritesAfter() { FileIo::failWritesAfter(-1, 0); }
};

QStringList entriesOf(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

std::string messageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const IoError& e) {
        return e.what();
    }
    return "(no error)";
}
} // namespace

TEST(FileIo, AtomicReplaceKeepsOldContentOnFailure) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromUtf8("日本語の名前.srb"));
    const std::string old(100000, 'o');
    FileIo::writeAtomically(path, old);
    ASSERT_EQ(FileIo::readAll(path), old);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);

    const std::string next(200000, 'n');
    for (long long after : {0LL, 1LL, 65536LL, 199999LL}) {
        SCOPED_TRACE(after);
        for (int err : {ENOSPC, EIO}) {
            FailWritesAfter seam(after, err);
            const std::string message = messageOf([&] { FileIo::writeAtomically(path, next); });
            EXPECT_EQ(message, err == ENOSPC ? io_messages::kDiskFull : io_messages::other(EIO));
            EXPECT_EQ(FileIo::readAll(path), old);
            // No temporary file is left beside the target.
            EXPECT_EQ(entriesOf(dir.path()).size(), 1);
        }
    }

    // Succeeds once the seam is off, replaces the content and keeps the permissions.
    FileIo::writeAtomically(path, next);
    EXPECT_EQ(FileIo::readAll(path), next);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(entriesOf(dir.path()).size(), 1);

    // An empty file is a file too.
    FileIo::writeAtomically(path, "");
    EXPECT_EQ(FileIo::readAll(path), "");
}

TEST(FileIo, ErrorsCarryTheMessagesShownToTheUser) {
    using namespace io_messages;
    QTemporaryDir dir;
    EXPECT_EQ(messageOf([&] { FileIo::readAll(dir.filePath("missing")); }), kFileNotFound);
    EXPECT_EQ(messageOf([&] { FileIo::readAll(""); }), kFileNotFound);
    EXPECT_EQ(messageOf([&] { FileIo::readAll(dir.path()); }), kAccessDenied);
    EXPECT_EQ(messageOf([&] { FileIo::writeAtomically("", "x"); }), kInvalidName);
    EXPECT_EQ(messageOf([&] { FileIo::writeAtomically(dir.path(), "x"); }), kAccessDenied);
    EXPECT_EQ(messageOf([&] { FileIo::writeAtomically(dir.filePath("no/such/dir/f"), "x"); }),
              kInvalidName);
    FileIo::writeAtomically(dir.filePath("plain"), "x");
    EXPECT_EQ(messageOf([&] { FileIo::readAll(dir.filePath("plain/f")); }), kInvalidName);
    EXPECT_EQ(messageOf([&] { FileIo::writeAtomically(dir.filePath("plain/f"), "x"); }),
              kInvalidName);

    // The same condition reads differently on the way in and out.
    EXPECT_STREQ(ioErrorFromErrno(ENOENT, false).what(), kFileNotFound);
    EXPECT_STREQ(ioErrorFromErrno(ENOENT, true).what(), kInvalidName);
    EXPECT_STREQ(ioErrorFromErrno(EMFILE, false).what(), kTooManyFiles);
    EXPECT_STREQ(ioErrorFromErrno(EACCES, true).what(), kAccessDenied);
    EXPECT_STREQ(ioErrorFromErrno(EROFS, true).what(), kAccessDenied);
    EXPECT_STREQ(ioErrorFromErrno(EDQUOT, true).what(), kDiskFull);
    EXPECT_EQ(std::string(ioErrorFromErrno(EIO, false).what()), "I/O エラー (5)");
}

TEST(FileIo, FileHelpers) {
    QTemporaryDir dir;
    const QString a = dir.filePath("a.srb");
    const QString b = dir.filePath("a.srbbak");
    EXPECT_FALSE(FileIo::exists(a));
    EXPECT_FALSE(FileIo::exists(""));
    FileIo::writeAtomically(a, "first");
    EXPECT_TRUE(FileIo::exists(a));
    EXPECT_TRUE(FileIo::rename(a, b));
    EXPECT_FALSE(FileIo::exists(a));
    EXPECT_EQ(FileIo::readAll(b), "first");
    EXPECT_FALSE(FileIo::rename(a, b));
    EXPECT_TRUE(FileIo::remove(b));
    EXPECT_FALSE(FileIo::remove(b));
    EXPECT_TRUE(entriesOf(dir.path()).isEmpty());
}

TEST(FileIo, ReadOnlyFileIsNotReplaced) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    QTemporaryDir dir;
    const QString path = dir.filePath("books.srb");
    FileIo::writeAtomically(path, "old");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    EXPECT_EQ(messageOf([&] { FileIo::writeAtomically(path, "new"); }),
              "ファイルへのアクセスが拒否されました");
    EXPECT_EQ(FileIo::readAll(path), "old");
    EXPECT_EQ(entriesOf(dir.path()), QStringList{"books.srb"});
}

TEST(FileIo, WritingThroughASymbolicLinkUpdatesTheFileItNames) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("real");
    const QString real = dir.filePath("real/books.srb");
    const QString link = dir.filePath("books.srb");
    FileIo::writeAtomically(real, "old");
    ASSERT_TRUE(QFile::link(real, link));
    FileIo::writeAtomically(link, "new");
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), real) << "the link stays a link";
    EXPECT_EQ(FileIo::readAll(real), "new");
    EXPECT_EQ(entriesOf(dir.filePath("real")), QStringList{"books.srb"});

    // A link to a file not there yet creates that file.
    const QString dangling = dir.filePath("later.srb");
    ASSERT_TRUE(QFile::link(dir.filePath("real/later.srb"), dangling));
    FileIo::writeAtomically(dangling, "first");
    EXPECT_TRUE(QFileInfo(dangling).isSymLink());
    EXPECT_EQ(FileIo::readAll(dir.filePath("real/later.srb")), "first");
}
