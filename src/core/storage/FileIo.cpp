#include "core/storage/FileIo.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace sorabel {

namespace {
long long g_failAfter = -1;
int g_failErrno = ENOSPC;

QByteArray nativePath(const QString& path) { return QFile::encodeName(path); }

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
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

void writeAllTo(int fd, std::string_view bytes, long long& budget) {
    size_t done = 0;
    while (done < bytes.size()) {
        size_t chunk = bytes.size() - done;
        if (budget >= 0) {
            if (budget == 0) {
                errno = g_failErrno;
                throw ioErrorFromErrno(g_failErrno, true);
            }
            chunk = std::min<size_t>(chunk, static_cast<size_t>(budget));
        }
        ssize_t n = ::write(fd, bytes.data() + done, chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw ioErrorFromErrno(errno, true);
        }
        done += static_cast<size_t>(n);
        if (budget >= 0)
            budget -= n;
    }
}
} // namespace

namespace io_messages {
std::string other(int code) { return "I/O エラー (" + std::to_string(code) + ")"; }
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

std::string FileIo::readAll(const QString& path) {
    if (path.isEmpty())
        throw IoError(io_messages::kFileNotFound);
    Fd fd(::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        throw ioErrorFromErrno(errno, false);
    struct stat st {};
    if (::fstat(fd.get(), &st) == 0 && S_ISDIR(st.st_mode))
        throw IoError(io_messages::kAccessDenied);
    std::string out;
    if (st.st_size > 0)
        out.reserve(static_cast<size_t>(st.st_size));
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
        out.append(buf, static_cast<size_t>(n));
    }
    return out;
}

void FileIo::writeAtomically(const QString& path, std::string_view bytes) {
    if (path.isEmpty())
        throw IoError(io_messages::kInvalidName);
    QFileInfo info(path);
    // A link stays a link: the file it names is the one replaced.
    if (info.isSymLink())
        info.setFile(info.exists() ? info.canonicalFilePath() : info.symLinkTarget());
    if (info.isDir())
        throw IoError(io_messages::kAccessDenied);
    const QByteArray target = nativePath(info.absoluteFilePath());
    const QByteArray dir = nativePath(info.absolutePath());
    // Renaming over a file ignores the file's own permissions; a file the user
    // made read-only must stay as it is, as a plain rewrite would leave it.
    if (::access(target.constData(), F_OK) == 0 && ::access(target.constData(), W_OK) != 0)
        throw ioErrorFromErrno(errno, true);

    // A temporary file beside the target, so that the rename stays within one file system.
    static std::mt19937_64 rng{std::random_device{}()};
    QByteArray temp;
    int raw = -1;
    for (int attempt = 0; attempt < 16 && raw < 0; ++attempt) {
        temp = target + ".tmp" + QByteArray::number(static_cast<qulonglong>(rng()), 36);
        raw = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (raw < 0 && errno != EEXIST)
            break;
    }
    if (raw < 0)
        throw ioErrorFromErrno(errno, true);
    Fd fd(raw);
    try {
        long long budget = g_failAfter;
        writeAllTo(fd.get(), bytes, budget);
        if (::fsync(fd.get()) != 0)
            throw ioErrorFromErrno(errno, true);
        // Keep the permissions of a file that is being replaced.
        struct stat st {};
        if (::stat(target.constData(), &st) == 0)
            ::fchmod(fd.get(), st.st_mode & 07777);
        if (::close(fd.release()) != 0)
            throw ioErrorFromErrno(errno, true);
        if (::rename(temp.constData(), target.constData()) != 0)
            throw ioErrorFromErrno(errno, true);
    } catch (...) {
        ::unlink(temp.constData());
        throw;
    }
    // Make the rename itself durable.
    Fd dirFd(::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.get() >= 0)
        ::fsync(dirFd.get());
}

bool FileIo::exists(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::stat(nativePath(path).constData(), &st) == 0;
}

bool FileIo::remove(const QString& path) { return ::unlink(nativePath(path).constData()) == 0; }

bool FileIo::rename(const QString& from, const QString& to) {
    return ::rename(nativePath(from).constData(), nativePath(to).constData()) == 0;
}

void FileIo::failWritesAfter(long long bytes, int err) {
    g_failAfter = bytes;
    g_failErrno = err;
}

} // namespace sorabel
