#include "core/storage/FileIo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <sys/stat.h>
#include <functional>
#include <gtest/gtest.h>

using namespace sorabel;

namespace {
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

TEST(FileIo, ErrorsCarryTheMessagesShownToTheUser) {
    using namespace io_messages;
    QTemporaryDir dir;
    EXPECT_EQ(messageOf([&] { FileIo::readAll(dir.filePath("missing")); }), kFileNotFound);
    EXPECT_EQ(messageOf([&] { FileIo::readAll(""); }), kFileNotFound);
    EXPECT_EQ(messageOf([&] { FileIo::readAll(dir.path()); }), kAccessDenied);
    FileIo::writeAtomically(dir.filePath("plain"), "x");
    EXPECT_EQ(messageOf([&] { FileIo::readAll(dir.filePath("plain/f")); }), kInvalidName);

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

// Only a regular file of a sane size is read: a FIFO never hangs the program,
// a device is never read until memory runs out, a huge file is refused at once.
TEST(FileIo, ReadsOnlyRegularFilesWithinTheirLimit) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString big = dir.filePath(QStringLiteral("big"));
    QFile file(big);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(2 * 1024 * 1024)); // sparse: no disk used
    file.close();

    struct Case {
        QString path;
        qint64 limit;
        std::string message;
    };
    for (const Case& c : {
             Case{fifo, FileIo::kMaxCatalogueBytes, io_messages::kAccessDenied},
             Case{QStringLiteral("/dev/zero"), FileIo::kMaxCatalogueBytes,
                  io_messages::kAccessDenied},
             Case{dir.path(), FileIo::kMaxCatalogueBytes, io_messages::kAccessDenied},
             Case{big, FileIo::kMaxSettingsBytes, io_messages::kDamaged},
         }) {
        try {
            FileIo::readAll(c.path, c.limit);
            ADD_FAILURE() << c.path.toStdString() << " was read";
        } catch (const IoError& e) {
            EXPECT_EQ(e.what(), c.message) << c.path.toStdString();
        }
    }
    EXPECT_EQ(FileIo::readAll(big).size(), 2u * 1024 * 1024);
}
