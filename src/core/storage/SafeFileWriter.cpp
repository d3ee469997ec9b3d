#include "core/storage/SafeFileWriter.h"

#include "core/storage/NativeFileName.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <unistd.h>
#include <vector>

namespace sorabel {

struct SafeFileWriter::Target {
    QByteArray path;
    QByteArray dir;
    bool exists = false;
    struct stat st {};
};

namespace {
constexpr int kRandomLength = 6;
constexpr int kNameAttempts = 100;
constexpr std::string_view kNameChars =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

QByteArray tempPathIn(const QByteArray& dir) {
    QByteArray path =
        dir + '/' +
        QByteArray(SafeFileWriter::kTempPrefix.data(), SafeFileWriter::kTempPrefix.size());
    for (int i = 0; i < kRandomLength; ++i)
        path += kNameChars[QRandomGenerator::global()->bounded(int(kNameChars.size()))];
    return path;
}

[[noreturn]] void fail(int err) {
    throw ioErrorFromErrno(err, true);
}

// Renaming over a file ignores the file's own permissions; a file made
// read-only must stay as it is, as a plain rewrite would leave it. The write
// bits are looked at as well, since the superuser passes every access check.
int refusalToWrite(const QByteArray& target, const struct stat& st) {
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return EACCES;
    return ::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) == 0 ? 0 : errno;
}

bool folderWritable(const QByteArray& dir) {
    return ::faccessat(AT_FDCWD, dir.constData(), W_OK | X_OK, AT_EACCESS) == 0;
}

// A backup that cannot exist does not stop the save: the name may be too
// long once "bak" is appended, or a folder may hold it.
bool backupCanExist(const QByteArray& dir, const QByteArray& backup) {
    long nameMax = ::pathconf(dir.constData(), _PC_NAME_MAX);
    if (nameMax <= 0)
        nameMax = NAME_MAX;
    if (backup.size() - backup.lastIndexOf('/') - 1 > nameMax)
        return false;
    struct stat st {};
    return !(::lstat(backup.constData(), &st) == 0 && S_ISDIR(st.st_mode));
}

// Errors by which a file system says it has no hard links (FAT, some shares).
bool noHardLinks(int err) {
    return err == EPERM || err == EOPNOTSUPP || err == EXDEV || err == EMLINK || err == ENOSYS;
}

// Errors by which a file system says it keeps no such metadata (modes,
// owners, attributes on FAT through FUSE, or attributes only the superuser
// may set): the file is written without it.
bool unsupported(int err) {
    return err == ENOSYS || err == EPERM || err == EOPNOTSUPP || err == ENOTSUP || err == EACCES ||
           err == EINVAL;
}

// The file a path names (through a symbolic link) and its folder.
std::pair<QByteArray, QByteArray> resolve(const QString& path) {
    QFileInfo info(path);
    // A link stays a link: the file it names is replaced, and backed up beside itself.
    if (info.isSymLink())
        info.setFile(info.exists() ? info.canonicalFilePath() : info.symLinkTarget());
    return {NativeFileName::encode(info.absoluteFilePath()), NativeFileName::encode(info.absolutePath())};
}

// Where the file is, whether it is there, and what would stop it being written.
std::optional<WriteRefusal::Reason> inspect(const QString& path, SafeFileWriter::Expect expect,
                                            QByteArray& target, QByteArray& dir, bool& exists,
                                            struct stat& st) {
    if (path.isEmpty())
        throw IoError(io_messages::kInvalidName);
    std::tie(target, dir) = resolve(path);
    struct stat dst {};
    if (::stat(dir.constData(), &dst) != 0) {
        if (errno == ENOENT)
            return WriteRefusal::Reason::FolderMissing;
        fail(errno);
    }
    if (!S_ISDIR(dst.st_mode))
        throw IoError(io_messages::kInvalidName);
    exists = ::stat(target.constData(), &st) == 0;
    if (!exists && errno != ENOENT)
        fail(errno);
    if (!exists)
        return expect == SafeFileWriter::Expect::ExistingFile
                   ? std::optional(WriteRefusal::Reason::FileMissing)
                   : std::nullopt;
    if (!S_ISREG(st.st_mode))
        throw IoError(io_messages::kAccessDenied);
    if (const int err = refusalToWrite(target, st))
        fail(err);
    if (!folderWritable(dir))
        return WriteRefusal::Reason::FolderNotWritable;
    return std::nullopt;
}
} // namespace

SafeFileWriter::SafeFileWriter(FileSystem& fs, std::chrono::seconds leftoverAge)
    : fs_(&fs), leftoverAge_(leftoverAge) {}

void SafeFileWriter::write(const QString& path, std::string_view bytes, Expect expect) const {
    replace(path, bytes, false, expect);
}

void SafeFileWriter::writeWithBackup(const QString& path, std::string_view bytes,
                                     Expect expect) const {
    replace(path, bytes, true, expect);
}

std::optional<WriteRefusal::Reason> SafeFileWriter::check(const QString& path, Expect expect) {
    QByteArray target, dir;
    bool exists = false;
    struct stat st {};
    try {
        return inspect(path, expect, target, dir, exists, st);
    } catch (const IoError&) {
        return std::nullopt; // the write itself reports it
    }
}

QString SafeFileWriter::backupPath(const QString& path) {
    return path + QStringLiteral("bak");
}

bool SafeFileWriter::isTempName(std::string_view name) {
    if (name.size() != kTempPrefix.size() + kRandomLength || !name.starts_with(kTempPrefix))
        return false;
    for (char c : name.substr(kTempPrefix.size()))
        if (kNameChars.find(c) == std::string_view::npos)
            return false;
    return true;
}

void SafeFileWriter::replace(const QString& path, std::string_view bytes, bool keepBackup,
                             Expect expect) const {
    Target t;
    if (const auto refusal = inspect(path, expect, t.path, t.dir, t.exists, t.st))
        throw WriteRefusal(*refusal);

    removeLeftovers(t.dir);
    if (t.exists && t.st.st_nlink > 1) {
        rewriteLinked(t, bytes, keepBackup);
        return;
    }
    const QByteArray temp = writeTemp(t.dir, bytes, t.exists ? &t.st : nullptr, t.path);

    // The old file gets a second name before the new one takes its place, so
    // it is never absent under its own name and the older backup is replaced
    // only once the new file is in place.
    const QByteArray backup = t.path + "bak"; // as backupPath(), in the file system's bytes
    QByteArray oldFile;
    if (keepBackup && t.exists && backupCanExist(t.dir, backup)) {
        try {
            oldFile = linkOrCopy(t);
        } catch (...) {
            fs().remove(temp);
            throw;
        }
    }
    if (const int err = fs().rename(temp, t.path)) {
        fs().remove(temp);
        if (!oldFile.isEmpty())
            fs().remove(oldFile);
        fail(err);
    }
    if (!oldFile.isEmpty()) {
        if (const int err = fs().rename(oldFile, backup)) {
            // Put the old file back: it is still whole under its second name.
            if (fs().rename(oldFile, t.path) != 0)
                fs().remove(oldFile);
            fail(err);
        }
    }
    // Makes the renames durable. The new file is in place by now, so a folder
    // that cannot be synced does not make the save fail.
    if (waitForDisk_)
        fs().syncFolder(t.dir);
}

// Renaming a new file over one name of a multiply-linked file would split it
// from its other names, which would go on showing the old content.
void SafeFileWriter::rewriteLinked(const Target& t, std::string_view bytes, bool keepBackup) const {
    const std::string old =
        FileIo::readAll(NativeFileName::decode(t.path), std::numeric_limits<qint64>::max());
    const QByteArray backup = t.path + "bak";
    if (keepBackup && backupCanExist(t.dir, backup)) {
        const QByteArray copy = writeTemp(t.dir, old, &t.st, t.path);
        if (const int err = fs().rename(copy, backup)) {
            fs().remove(copy);
            fail(err);
        }
    }
    rewriteInPlace(t.path, bytes, &old);
    fs().syncFolder(t.dir);
}

void SafeFileWriter::writeInPlace(const QString& path, std::string_view bytes) const {
    QByteArray target, dir;
    bool exists = false;
    struct stat st {};
    inspect(path, Expect::ExistingFile, target, dir, exists, st);
    if (!exists)
        throw WriteRefusal(WriteRefusal::Reason::FileMissing);
    const std::string old =
        FileIo::readAll(NativeFileName::decode(target), std::numeric_limits<qint64>::max());
    rewriteInPlace(target, bytes, &old);
}

void SafeFileWriter::rewriteInPlace(const QByteArray& target, std::string_view bytes,
                                    const std::string* old) const {
    const auto put = [&](std::string_view content) -> int {
        int fd = -1;
        if (const int e = fs().openExisting(target, fd))
            return e;
        int err = 0;
        for (size_t done = 0; done < content.size() && !err;) {
            size_t n = 0;
            err = fs().write(fd, content.data() + done, content.size() - done, n);
            if (!err && n == 0)
                err = ENOSPC;
            done += n;
        }
        if (!err)
            err = fs().truncate(fd, static_cast<off_t>(content.size()));
        if (!err)
            err = fs().sync(fd);
        const int closeErr = fs().close(fd);
        return err ? err : closeErr;
    };
    if (const int err = put(bytes)) {
        if (old)
            put(*old); // the best that can be done; the error is the first one
        fail(err);
    }
}

QByteArray SafeFileWriter::writeTemp(const QByteArray& dir, std::string_view bytes,
                                     const struct stat* like, const QByteArray& likePath) const {
    const mode_t mode = like ? (like->st_mode & 07777) : 0666;
    QByteArray temp;
    int fd = -1;
    int err = EEXIST;
    // Created with no more permissions than it ends with (the umask may take
    // some away; setMode gives them back).
    for (int attempt = 0; attempt < kNameAttempts && err == EEXIST; ++attempt) {
        temp = tempPathIn(dir);
        err = fs().createNew(temp, mode & 0777, fd);
    }
    if (err)
        fail(err);
    const auto abandon = [&](int failure) {
        if (fd >= 0)
            fs().close(fd);
        fs().remove(temp);
        fail(failure);
    };
    if (like) {
        try {
            takeMetadata(fd, *like, likePath);
        } catch (...) {
            fs().close(fd);
            fs().remove(temp);
            throw;
        }
    }
    for (size_t done = 0; done < bytes.size();) {
        size_t n = 0;
        if (const int e = fs().write(fd, bytes.data() + done, bytes.size() - done, n))
            abandon(e);
        if (n == 0)
            abandon(ENOSPC);
        done += n;
    }
    if (waitForDisk_)
        if (const int e = fs().sync(fd))
            abandon(e);
    const int closeErr = fs().close(fd);
    fd = -1;
    if (closeErr)
        abandon(closeErr);
    return temp;
}

// Owner first (a change of owner clears the set-id bits), then the mode, then
// the attributes (an ACL sets the group bits of the mode itself).
void SafeFileWriter::takeMetadata(int fd, const struct stat& like,
                                  const QByteArray& likePath) const {
    // Only the superuser may give a file away; anyone may give it a group
    // they belong to. Where neither is possible the file is the writer's.
    const uid_t owner = ::geteuid() == 0 ? like.st_uid : static_cast<uid_t>(-1);
    fs().setOwner(fd, owner, like.st_gid);
    if (const int e = fs().setMode(fd, like.st_mode & 07777); e && !unsupported(e))
        fail(e);
    FileSystem::Attributes attributes;
    if (fs().attributes(likePath, attributes) != 0)
        return; // an old file whose attributes cannot be read gives none
    for (const auto& [name, value] : attributes)
        if (const int e = fs().setAttribute(fd, name, value); e && !unsupported(e))
            fail(e);
}

QByteArray SafeFileWriter::linkOrCopy(const Target& t) const {
    QByteArray name;
    int err = EEXIST;
    for (int attempt = 0; attempt < kNameAttempts && err == EEXIST; ++attempt) {
        name = tempPathIn(t.dir);
        err = fs().link(t.path, name);
    }
    if (err == 0)
        return name;
    if (!noHardLinks(err))
        fail(err);
    // Without hard links the old content is copied to the second name
    // instead, before the new file replaces it.
    return writeTemp(t.dir,
                     FileIo::readAll(NativeFileName::decode(t.path), std::numeric_limits<qint64>::max()),
                     &t.st, t.path);
}

void SafeFileWriter::removeLeftovers(const QByteArray& dir) const {
    DIR* d = ::opendir(dir.constData());
    if (!d)
        return;
    const time_t now = ::time(nullptr);
    const uid_t me = ::geteuid();
    std::vector<QByteArray> leftovers;
    while (const dirent* entry = ::readdir(d)) {
        if (!isTempName(entry->d_name))
            continue;
        struct stat st {};
        if (::fstatat(::dirfd(d), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        // Only our own plain files, untouched for a while: a young one may be
        // a save in progress in another window. The change time, because a
        // backup link keeps the old file's modification time.
        if (S_ISREG(st.st_mode) && st.st_uid == me && now - st.st_ctime >= leftoverAge_.count())
            leftovers.push_back(dir + '/' + entry->d_name);
    }
    ::closedir(d);
    for (const QByteArray& path : leftovers)
        fs().remove(path); // one that stays is tried again at the next save
}

} // namespace sorabel
