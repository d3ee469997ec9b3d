#include "core/storage/FileIo.h"
#include "core/storage/IoErrorText.h"

#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace sorabel;

TEST(FileIo, ErrorsCarryTheMessagesShownToTheUser) {
    using namespace io_messages;
    QTemporaryDir dir;
    EXPECT_EQ(ioErrorText([&] { FileIo::readAll(dir.filePath("missing")); }), kFileNotFound);
    EXPECT_EQ(ioErrorText([&] { FileIo::readAll(""); }), kFileNotFound);
    FileIo::writeAtomically(dir.filePath("plain"), "x");
    EXPECT_EQ(ioErrorText([&] { FileIo::readAll(dir.filePath("plain/f")); }), kInvalidName);

    // The same condition reads differently on the way in and out.
    EXPECT_STREQ(ioErrorFromErrno(ENOENT, false).what(), kFileNotFound);
    EXPECT_STREQ(ioErrorFromErrno(ENOENT, true).what(), kInvalidName);
    EXPECT_STREQ(ioErrorFromErrno(EMFILE, false).what(), kTooManyFiles);
    EXPECT_STREQ(ioErrorFromErrno(EACCES, true).what(), kAccessDenied);
    EXPECT_STREQ(ioErrorFromErrno(EROFS, true).what(), kAccessDenied);
    EXPECT_STREQ(ioErrorFromErrno(EDQUOT, true).what(), kDiskFull);
    EXPECT_EQ(std::string(ioErrorFromErrno(EIO, false).what()), "I/O エラー (5)");
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
    ASSERT_TRUE(file.resize(FileIo::kMaxSettingsBytes + 1)); // sparse: no disk used
    file.close();

    for (const QString& path : {fifo, QStringLiteral("/dev/zero"), dir.path()})
        EXPECT_EQ(ioErrorText([&] { FileIo::readAll(path, FileIo::kMaxCatalogueBytes); }),
                  io_messages::kAccessDenied)
            << path.toStdString();
    EXPECT_EQ(ioErrorText([&] { FileIo::readAll(big, FileIo::kMaxSettingsBytes); }),
              "読書録データが大きすぎます（256 MB まで）");
    EXPECT_EQ(FileIo::readAll(big).size(), size_t(FileIo::kMaxSettingsBytes + 1));
}
