#include "core/storage/PosixFileSystem.h"

#include <QList>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace sorabel {

namespace {
// 0 when the call succeeded, otherwise its errno.
int result(int rc) {
    return rc == 0 ? 0 : errno;
}
} // namespace

PosixFileSystem& PosixFileSystem::instance() {
    static PosixFileSystem fs;
    return fs;
}

int PosixFileSystem::createNew(const QByteArray& path, mode_t mode, int& fd) {
    do
        fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    return fd < 0 ? errno : 0;
}

int PosixFileSystem::openExisting(const QByteArray& path, int& fd) {
    do
        fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    while (fd < 0 && errno == EINTR);
    return fd < 0 ? errno : 0;
}

int PosixFileSystem::setMode(int fd, mode_t mode) {
    return result(::fchmod(fd, mode));
}

int PosixFileSystem::setOwner(int fd, uid_t owner, gid_t group) {
    return result(::fchown(fd, owner, group));
}

int PosixFileSystem::attributes(const QByteArray& path, Attributes& out) {
    out.clear();
    // The list may grow between the two calls: asked again until it fits.
    QByteArray names;
    for (int attempt = 0; attempt < 5; ++attempt) {
        const ssize_t size = ::llistxattr(path.constData(), nullptr, 0);
        if (size < 0)
            return errno == ENOTSUP || errno == ENOSYS ? 0 : errno;
        names.resize(size);
        const ssize_t got = ::llistxattr(path.constData(), names.data(), names.size());
        if (got >= 0) {
            names.truncate(got);
            break;
        }
        if (errno != ERANGE)
            return errno;
        names.clear();
    }
    for (const QByteArray& name : names.split('\0')) {
        if (name.isEmpty())
            continue;
        QByteArray value;
        ssize_t size = ::lgetxattr(path.constData(), name.constData(), nullptr, 0);
        if (size < 0)
            continue; // removed meanwhile, or not readable by us
        value.resize(size);
        size = ::lgetxattr(path.constData(), name.constData(), value.data(), value.size());
        if (size < 0)
            continue;
        value.truncate(size);
        out.emplace_back(name, value);
    }
    return 0;
}

int PosixFileSystem::setAttribute(int fd, const QByteArray& name, const QByteArray& value) {
    return result(
        ::fsetxattr(fd, name.constData(), value.constData(), static_cast<size_t>(value.size()), 0));
}

int PosixFileSystem::write(int fd, const char* data, size_t size, size_t& written) {
    ssize_t n;
    do
        n = ::write(fd, data, size);
    while (n < 0 && errno == EINTR);
    written = n < 0 ? 0 : static_cast<size_t>(n);
    return n < 0 ? errno : 0;
}

int PosixFileSystem::truncate(int fd, off_t size) {
    int rc;
    do
        rc = ::ftruncate(fd, size);
    while (rc != 0 && errno == EINTR);
    return result(rc);
}

int PosixFileSystem::sync(int fd) {
    return result(::fsync(fd));
}

// The descriptor is gone whatever close() reports, so EINTR is not retried.
int PosixFileSystem::close(int fd) {
    return result(::close(fd));
}

int PosixFileSystem::link(const QByteArray& from, const QByteArray& to) {
    return result(::link(from.constData(), to.constData()));
}

int PosixFileSystem::rename(const QByteArray& from, const QByteArray& to) {
    return result(::rename(from.constData(), to.constData()));
}

int PosixFileSystem::remove(const QByteArray& path) {
    return result(::unlink(path.constData()));
}

int PosixFileSystem::syncFolder(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int err = result(::fsync(fd));
    ::close(fd);
    return err;
}

} // namespace sorabel
