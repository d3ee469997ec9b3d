#include "core/storage/FileIo.h"
#include "core/support/TestHooks.h"

#include "core/storage/NativeFileName.h"
#include "core/storage/PosixFileSystem.h"
#include "core/storage/SafeFileWriter.h"

#include <QFile>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sorabel {

namespace {
QByteArray nativePath(const QString& path) {
    return NativeFileName::encode(path);
}

// A large file's buffer is fresh memory: its pages are made in one call
// instead of one fault at a time as the buffer fills (some 600 faults, a
// few milliseconds, for a full catalogue read at start). Kernels without
// the call fault as before.
void prefault(char* data, size_t size) {
    if (size < (1u << 18))
        return;
#ifdef MADV_POPULATE_WRITE
    const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto first = (reinterpret_cast<uintptr_t>(data) + page - 1) & ~(page - 1);
    const auto end = (reinterpret_cast<uintptr_t>(data) + size) & ~(page - 1);
    if (end > first)
        ::madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#endif
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

FileSystem* installed = nullptr; // a test's file system, when one is put in between
} // namespace

namespace io_messages {
std::string other(int code) {
    return "I/O エラー (" + std::to_string(code) + ")";
}
} // namespace io_messages

IoError ioErrorFromErrno(int err, bool writing) {
    using namespace io_messages;
    switch (err) {
    case ENOENT:
        return IoError(writing ? kInvalidName : kFileNotFound);
    case ENOTDIR:
    case EISDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
        return IoError(kInvalidName);
    case EMFILE:
    case ENFILE:
        return IoError(kTooManyFiles);
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EBUSY:
        return IoError(kAccessDenied);
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return IoError(kDiskFull);
    default:
        return IoError(other(err));
    }
}

std::string FileIo::readAll(const QString& path, qint64 maxBytes, const char* tooLarge) {
    if (path.isEmpty())
        throw IoError(io_messages::kFileNotFound);
    // Non-blocking, so that opening a FIFO named as a catalogue never waits for a writer.
    Fd fd(::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        throw ioErrorFromErrno(errno, false);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        throw ioErrorFromErrno(errno, false);
    if (!S_ISREG(st.st_mode))
        throw IoError(io_messages::kAccessDenied);
    if (st.st_size > maxBytes)
        throw IoError(tooLarge);
    std::string out;
    if (st.st_size > 0) {
        out.reserve(static_cast<size_t>(st.st_size));
        prefault(out.data(), out.capacity());
        // The size the file has now is read straight into place; what it
        // gains meanwhile comes after, through the buffer below.
        out.resize(static_cast<size_t>(st.st_size));
        size_t got = 0;
        while (got < out.size()) {
            const ssize_t n = ::read(fd.get(), out.data() + got, out.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                throw ioErrorFromErrno(errno, false);
            if (n == 0)
                break;
            got += static_cast<size_t>(n);
        }
        out.resize(got);
        if (got < static_cast<size_t>(st.st_size))
            return out; // it shrank while it was read
    }
    char buf[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw ioErrorFromErrno(errno, false);
        }
        if (n == 0)
            break;
        // A file that grows while it is read is still held to the limit.
        if (static_cast<qint64>(out.size()) + n > maxBytes)
            throw IoError(tooLarge);
        out.append(buf, static_cast<size_t>(n));
    }
    return out;
}

void FileIo::writeAtomically(const QString& path, std::string_view bytes) {
    SafeFileWriter().write(path, bytes);
}

bool FileIo::exists(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::stat(nativePath(path).constData(), &st) == 0;
}

bool FileIo::remove(const QString& path) {
    return ::unlink(nativePath(path).constData()) == 0;
}

FileSystem& FileIo::fileSystem() {
    return installed ? *installed : PosixFileSystem::instance();
}

void FileIo::setFileSystem(FileSystem* fileSystem) {
    TestHooks::onReset(&installed, [] { installed = nullptr; });
    installed = fileSystem;
}

} // namespace sorabel
