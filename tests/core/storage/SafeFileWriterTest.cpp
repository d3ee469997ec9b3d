#include "core/storage/SafeFileWriter.h"
#include "core/storage/IoErrorText.h"
#include "core/storage/PosixFileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace sorabel;
using namespace std::chrono_literals;

namespace {
// The real file system, failing the n-th step that writes (counted from 1)
// with `err`. Without hard links every link fails as it does on FAT.
class FailingFileSystem : public PosixFileSystem {
    using P = PosixFileSystem;

public:
    int failAt = 0;
    int err = EIO;
    bool hardLinks = true;
    std::vector<std::string> steps;
    std::function<void()> afterStep;

    int createNew(const QByteArray& p, mode_t m, int& fd) override {
        return step("create", [&] { return P::createNew(p, m, fd); });
    }
    int setMode(int fd, mode_t m) override {
        return step("mode", [&] { return P::setMode(fd, m); });
    }
    int write(int fd, const char* d, size_t n, size_t& done) override {
        return step("write", [&] { return P::write(fd, d, n, done); });
    }
    int sync(int fd) override {
        return step("sync", [&] { return P::sync(fd); });
    }
    int close(int fd) override {
        return step("close", [&] { return P::close(fd); });
    }
    int link(const QByteArray& from, const QByteArray& to) override {
        return hardLinks ? step("link", [&] { return P::link(from, to); }) : EPERM;
    }
    int rename(const QByteArray& from, const QByteArray& to) override {
        return step("rename", [&] { return P::rename(from, to); });
    }

private:
    int step(const char* name, const std::function<int()>& real) {
        steps.push_back(name);
        if (static_cast<int>(steps.size()) == failAt)
            return err;
        const int result = real();
        if (afterStep)
            afterStep();
        return result;
    }
};

QStringList entriesOf(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                               QDir::System);
}

void writeFile(const QString& path, const std::string& bytes, mode_t mode) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    f.close();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

std::string readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "(missing)";
}

int modeOf(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

} // namespace

TEST(SafeFileWriter, AFailureAtAnyStepLeavesFileAndBackupAsTheyWere) {
    struct Case {
        const char* name;
        bool backup;
        bool hardLinks;
    };
    for (const Case c : {Case{"without backup", false, true}, Case{"with backup", true, true},
                         Case{"with backup, no hard links", true, false}}) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("books.srb");
        const QString backup = path + "bak";
        writeFile(path, "old", 0600);
        writeFile(backup, "older", 0644);
        const QStringList names{"books.srb", "books.srbbak"};

        FailingFileSystem fs;
        fs.hardLinks = c.hardLinks;
        // The file is there under its own name after every step, and no
        // temporary file is ever more open than it.
        fs.afterStep = [&] {
            EXPECT_EQ(modeOf(path), 0600);
            for (const QString& name : entriesOf(dir.path())) {
                if (SafeFileWriter::isTempName(name.toStdString())) {
                    EXPECT_EQ(modeOf(dir.filePath(name)), 0600) << name.toStdString();
                }
            }
        };
        const SafeFileWriter writer(fs);
        const auto save = [&] {
            c.backup ? writer.writeWithBackup(path, "new") : writer.write(path, "new");
        };

        std::set<std::string> failedSteps;
        for (int n = 1;; ++n) {
            ASSERT_LT(n, 30);
            fs.failAt = n;
            fs.err = n % 2 ? EIO : ENOSPC;
            fs.steps.clear();
            const std::string message = ioErrorText(save);
            if (static_cast<int>(fs.steps.size()) < n) {
                EXPECT_EQ(message, "(no error)"); // every step has been failed once
                break;
            }
            SCOPED_TRACE(fs.steps[n - 1]);
            failedSteps.insert(fs.steps[n - 1]);
            EXPECT_EQ(message, n % 2 ? "I/O エラー (5)" : io_messages::kDiskFull);
            EXPECT_EQ(readFile(path), "old");
            EXPECT_EQ(readFile(backup), "older");
            EXPECT_EQ(modeOf(path), 0600);
            EXPECT_EQ(entriesOf(dir.path()), names);
        }
        std::set<std::string> expected{"create", "mode", "write", "sync", "close", "rename"};
        if (c.backup && c.hardLinks)
            expected.insert("link");
        EXPECT_EQ(failedSteps, expected);

        EXPECT_EQ(readFile(path), "new");
        EXPECT_EQ(readFile(backup), c.backup ? "old" : "older");
        EXPECT_EQ(modeOf(path), 0600);
        EXPECT_EQ(modeOf(backup), c.backup ? 0600 : 0644);
        EXPECT_EQ(entriesOf(dir.path()), names);
    }
}

TEST(SafeFileWriter, LongNamesNewFilesAndSymbolicLinks) {
    QTemporaryDir dir;
    const SafeFileWriter writer;

    // The longest name the file system allows; its backup's name could not
    // exist, so it is saved without one.
    const QString longName = dir.filePath(QString(85, QChar(0x3042)));
    ASSERT_EQ(QFile::encodeName(QFileInfo(longName).fileName()).size(), 255);
    writer.write(longName, "first");
    writer.writeWithBackup(longName, "second");
    EXPECT_EQ(readFile(longName), "second");
    EXPECT_EQ(entriesOf(dir.path()).size(), 1);

    // A new file gets the mode the umask leaves; an empty file is a file too.
    const mode_t mask = ::umask(027);
    writer.writeWithBackup(dir.filePath("new.srb"), "");
    ::umask(mask);
    EXPECT_EQ(modeOf(dir.filePath("new.srb")), 0640);
    EXPECT_EQ(readFile(dir.filePath("new.srb")), "");
    EXPECT_EQ(entriesOf(dir.path()).size(), 2) << "no backup of a file that was not there";

    // Through a link the linked file is replaced and backed up beside itself.
    ASSERT_TRUE(QDir(dir.path()).mkdir("real"));
    const QString real = dir.filePath("real/books.srb");
    const QString link = dir.filePath("books.srb");
    writer.write(real, "old");
    ASSERT_TRUE(QFile::link(real, link));
    writer.writeWithBackup(link, "new");
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), real) << "the link stays a link";
    EXPECT_EQ(readFile(real), "new");
    EXPECT_EQ(readFile(real + "bak"), "old");
    EXPECT_EQ(entriesOf(dir.filePath("real")), (QStringList{"books.srb", "books.srbbak"}));

    // A link to a file not there yet creates that file.
    const QString dangling = dir.filePath("later.srb");
    ASSERT_TRUE(QFile::link(dir.filePath("real/later.srb"), dangling));
    writer.writeWithBackup(dangling, "first");
    EXPECT_TRUE(QFileInfo(dangling).isSymLink());
    EXPECT_EQ(readFile(dir.filePath("real/later.srb")), "first");
}

TEST(SafeFileWriter, RefusesReadOnlyFilesFoldersAndBadNames) {
    using namespace io_messages;
    QTemporaryDir dir;
    const QString readOnly = dir.filePath("readonly.srb");
    writeFile(readOnly, "old", 0444);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    writeFile(dir.filePath("plain"), "x", 0644);
    const QStringList before = entriesOf(dir.path());

    const struct {
        QString path;
        const char* message;
    } cases[] = {
        {readOnly, kAccessDenied},
        {dir.filePath("folder"), kAccessDenied},
        {"", kInvalidName},
        {dir.filePath("plain/f"), kInvalidName},
        {dir.filePath("no/such/folder/f"), kFolderMissing},
    };
    const SafeFileWriter writer;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(ioErrorText([&] { writer.write(c.path, "new"); }), c.message);
        EXPECT_EQ(ioErrorText([&] { writer.writeWithBackup(c.path, "new"); }), c.message);
    }
    EXPECT_EQ(entriesOf(dir.path()), before);
    EXPECT_EQ(readFile(readOnly), "old");
    EXPECT_TRUE(entriesOf(dir.filePath("folder")).isEmpty());
}

TEST(SafeFileWriter, RemovesOnlyItsOwnLeftoversOnceTheyAreOld) {
    QTemporaryDir dir;
    const QStringList notOurs{".sorabel-Ab3dE", ".sorabel-Ab3dE9.srb", "sorabel-Ab3dE9",
                              ".sorabel-Ab3-E9"};
    for (const QString& name : notOurs)
        writeFile(dir.filePath(name), "x", 0600);
    ASSERT_TRUE(QDir(dir.path()).mkdir(".sorabel-Zz9yY8"));
    writeFile(dir.filePath(".sorabel-Ab3dE9"), "left by a crash", 0600);

    SafeFileWriter(PosixFileSystem::instance(), 0s).write(dir.filePath("books.srb"), "x");
    QStringList expected = notOurs + QStringList{".sorabel-Zz9yY8", "books.srb"};
    expected.sort();
    EXPECT_EQ(entriesOf(dir.path()), expected);

    // A young one may be a save in progress elsewhere.
    writeFile(dir.filePath(".sorabel-Qq1wW2"), "in progress", 0600);
    SafeFileWriter().write(dir.filePath("books.srb"), "y");
    EXPECT_TRUE(QFile::exists(dir.filePath(".sorabel-Qq1wW2")));
}

namespace {
std::string attribute(const QString& path, const char* name) {
    char value[256];
    const ssize_t n = ::getxattr(QFile::encodeName(path).constData(), name, value, sizeof value);
    return n < 0 ? "(none)" : std::string(value, static_cast<size_t>(n));
}

// An access ACL: owner rw-, user 65534 r--, group r--, mask r--, others ---.
std::string aclFor65534() {
    const auto entry = [](uint16_t tag, uint16_t perm, uint32_t id) {
        std::string e(8, '\0');
        std::memcpy(e.data(), &tag, 2);
        std::memcpy(e.data() + 2, &perm, 2);
        std::memcpy(e.data() + 4, &id, 4);
        return e;
    };
    const uint32_t version = 2, none = 0xFFFFFFFF;
    std::string acl(reinterpret_cast<const char*>(&version), 4);
    return acl + entry(0x01, 6, none) + entry(0x02, 4, 65534) + entry(0x04, 4, none) +
           entry(0x10, 4, none) + entry(0x20, 0, none);
}

struct stat statOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}
} // namespace

TEST(SafeFileWriter, TheNewFileKeepsOwnerGroupAttributesAclAndHardLinks) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving a file to another user needs the superuser";
    QTemporaryDir dir;
    const QString path = dir.filePath("books.srb");
    const QString other = dir.filePath("shelf.srb");
    writeFile(path, "old", 0640);
    const QByteArray native = QFile::encodeName(path);
    ASSERT_EQ(::chown(native.constData(), 65534, 65534), 0);
    ASSERT_EQ(::setxattr(native.constData(), "user.origin", "shop", 4, 0), 0);
    const std::string acl = aclFor65534();
    ASSERT_EQ(::setxattr(native.constData(), "system.posix_acl_access", acl.data(), acl.size(), 0),
              0);

    SafeFileWriter().writeWithBackup(path, "new");
    for (const QString& file : {path, path + "bak"}) {
        SCOPED_TRACE(file.toStdString());
        EXPECT_EQ(statOf(file).st_uid, 65534u);
        EXPECT_EQ(statOf(file).st_gid, 65534u);
        EXPECT_EQ(statOf(file).st_mode & 0777, 0640u);
        EXPECT_EQ(attribute(file, "user.origin"), "shop");
        EXPECT_EQ(attribute(file, "system.posix_acl_access"), acl);
    }

    // A second name of the file goes on naming the saved catalogue; the
    // backup is a copy with the same owner.
    ASSERT_EQ(::link(native.constData(), QFile::encodeName(other).constData()), 0);
    const ino_t inode = statOf(path).st_ino;
    SafeFileWriter().writeWithBackup(path, "newer, and longer");
    EXPECT_EQ(readFile(other), "newer, and longer");
    EXPECT_EQ(statOf(path).st_ino, inode);
    EXPECT_EQ(statOf(path).st_nlink, 2u);
    EXPECT_EQ(readFile(path + "bak"), "new");
    EXPECT_EQ(statOf(path + "bak").st_uid, 65534u);
    SafeFileWriter().write(other, "short");
    EXPECT_EQ(readFile(path), "short");
    EXPECT_EQ(entriesOf(dir.path()), (QStringList{"books.srb", "books.srbbak", "shelf.srb"}));
}

TEST(SafeFileWriter, AFileSystemWithoutModesLinksOrAttributesStillSaves) {
    // FAT through FUSE: no modes (ENOSYS), no links (EPERM), no attributes.
    class BareFileSystem : public PosixFileSystem {
        int setMode(int, mode_t) override { return ENOSYS; }
        int setOwner(int, uid_t, gid_t) override { return EPERM; }
        int link(const QByteArray&, const QByteArray&) override { return EPERM; }
        int attributes(const QByteArray&, Attributes& out) override {
            out = {{"user.a", "1"}};
            return 0;
        }
        int setAttribute(int, const QByteArray&, const QByteArray&) override { return EOPNOTSUPP; }
    } fs;
    QTemporaryDir dir;
    const QString path = dir.filePath("books.srb");
    writeFile(path, "old", 0644);
    SafeFileWriter(fs).writeWithBackup(path, "new");
    EXPECT_EQ(readFile(path), "new");
    EXPECT_EQ(readFile(path + "bak"), "old");
    EXPECT_EQ(entriesOf(dir.path()), (QStringList{"books.srb", "books.srbbak"}));
}

TEST(SafeFileWriter, VanishedFilesAndFoldersAreNotCreatedAgain) {
    QTemporaryDir dir;
    const QString gone = dir.filePath("usb/books.srb");
    const QString missing = dir.filePath("books.srb");
    using R = WriteRefusal::Reason;
    EXPECT_EQ(SafeFileWriter::check(gone), R::FolderMissing);
    EXPECT_EQ(SafeFileWriter::check(missing, SafeFileWriter::Expect::ExistingFile), R::FileMissing);
    EXPECT_EQ(SafeFileWriter::check(missing), std::nullopt);
    EXPECT_EQ(ioErrorText([&] { SafeFileWriter().writeWithBackup(gone, "x"); }),
              "フォルダーが見つかりません");
    EXPECT_EQ(ioErrorText([&] {
                  SafeFileWriter().writeWithBackup(missing, "x",
                                                   SafeFileWriter::Expect::ExistingFile);
              }),
              "ファイルが見つかりません");
    EXPECT_TRUE(entriesOf(dir.path()).isEmpty());
}

TEST(SafeFileWriter, AFolderTheUserCannotWriteIsSavedInPlaceOnceAgreed) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs the superuser to act as another user";
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("shared"));
    const QString folder = dir.filePath("shared");
    const QString path = folder + "/books.srb";
    writeFile(path, "old content", 0666);
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    ::chmod(QFile::encodeName(folder).constData(), 0755); // root's folder, the file anyone's

    // As user 65534, in a child process so that this one keeps its rights.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(10);
        if (SafeFileWriter::check(path) != WriteRefusal::Reason::FolderNotWritable)
            ::_exit(11);
        if (ioErrorText([&] { SafeFileWriter().writeWithBackup(path, "x"); }) !=
            "フォルダーに書き込めないため、バックアップを作れません")
            ::_exit(12);
        try {
            SafeFileWriter().writeInPlace(path, "new");
        } catch (...) {
            ::_exit(13);
        }
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readFile(path), "new");
    EXPECT_EQ(entriesOf(folder), QStringList{"books.srb"});
}
