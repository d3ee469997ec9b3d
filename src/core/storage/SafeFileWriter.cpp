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
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace sorabel {

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
} // namespace

SafeFileWriter::SafeFileWriter(FileSystem& fs, std::chrono::seconds leftoverAge)
    : fs_(&fs), leftoverAge_(leftoverAge) {}

void SafeFileWriter::write(const QString& path, std::string_view bytes) const {
    replace(path, bytes, false);
}

void SafeFileWriter::writeWithBackup(const QString& path, std::string_view bytes) const {
    replace(path, bytes, true);
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

void SafeFileWriter::replace(const QString& path, std::string_view bytes, bool keepBackup) const {
    if (path.isEmpty())
        throw IoError(io_messages::kInvalidName);
    QFileInfo info(path);
    // A link stays a link: the file it names is replaced, and backed up beside itself.
    if (info.isSymLink())
        info.setFile(info.exists() ? info.canonicalFilePath() : info.symLinkTarget());
    const QByteArray target = NativeFileName::encode(info.absoluteFilePath());
    const QByteArray dir = NativeFileName::encode(info.absolutePath());

    struct stat st {};
    const bool exists = ::stat(target.constData(), &st) == 0;
    if (!exists && errno != ENOENT)
        fail(errno);
    if (exists && !S_ISREG(st.st_mode))
        throw IoError(io_messages::kAccessDenied);
    if (exists)
        if (const int err = refusalToWrite(target, st))
            fail(err);

    removeLeftovers(dir);
    const mode_t mode = exists ? (st.st_mode & 07777) : 0666;
    const QByteArray temp = writeTemp(dir, bytes, mode, exists);

    // The old file gets a second name before the new one takes its place, so
    // it is never absent under its own name and the older backup is replaced
    // only once the new file is in place.
    const QByteArray backup = target + "bak"; // as backupPath(), in the file system's bytes
    QByteArray oldFile;
    if (keepBackup && exists && backupCanExist(dir, backup)) {
        try {
            oldFile = linkOrCopy(dir, target, mode);
        } catch (...) {
            fs().remove(temp);
            throw;
        }
    }
    if (const int err = fs().rename(temp, target)) {
        fs().remove(temp);
        if (!oldFile.isEmpty())
            fs().remove(oldFile);
        fail(err);
    }
    if (!oldFile.isEmpty()) {
        if (const int err = fs().rename(oldFile, backup)) {
            // Put the old file back: it is still whole under its second name.
            if (fs().rename(oldFile, target) != 0)
                fs().remove(oldFile);
            fail(err);
        }
    }
    // Makes the renames durable. The new file is in place by now, so a folder
    // that cannot be synced does not make the save fail.
    fs().syncFolder(dir);
}

QByteArray SafeFileWriter::writeTemp(const QByteArray& dir, std::string_view bytes, mode_t mode,
                                     bool exactMode) const {
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
    if (exactMode)
        if (const int e = fs().setMode(fd, mode))
            abandon(e);
    for (size_t done = 0; done < bytes.size();) {
        size_t n = 0;
        if (const int e = fs().write(fd, bytes.data() + done, bytes.size() - done, n))
            abandon(e);
        if (n == 0)
            abandon(ENOSPC);
        done += n;
    }
    if (const int e = fs().sync(fd))
        abandon(e);
    const int closeErr = fs().close(fd);
    fd = -1;
    if (closeErr)
        abandon(closeErr);
    return temp;
}

QByteArray SafeFileWriter::linkOrCopy(const QByteArray& dir, const QByteArray& target,
                                      mode_t mode) const {
    QByteArray name;
    int err = EEXIST;
    for (int attempt = 0; attempt < kNameAttempts && err == EEXIST; ++attempt) {
        name = tempPathIn(dir);
        err = fs().link(target, name);
    }
    if (err == 0)
        return name;
    if (!noHardLinks(err))
        fail(err);
    // Without hard links the old content is copied to the second name
    // instead, before the new file replaces it.
    return writeTemp(dir, FileIo::readAll(NativeFileName::decode(target)), mode, true);
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
