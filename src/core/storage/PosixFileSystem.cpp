#include "core/storage/PosixFileSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
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

int PosixFileSystem::setMode(int fd, mode_t mode) {
    return result(::fchmod(fd, mode));
}

int PosixFileSystem::write(int fd, const char* data, size_t size, size_t& written) {
    ssize_t n;
    do
        n = ::write(fd, data, size);
    while (n < 0 && errno == EINTR);
    written = n < 0 ? 0 : static_cast<size_t>(n);
    return n < 0 ? errno : 0;
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
