#include "core/storage/RecoveryStore.h"

#include "core/storage/ConfigLocation.h"
#include "core/storage/FileIo.h"
#include "core/storage/NativeFileName.h"
#include "core/storage/SafeFileWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QUrl>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <zlib.h>

namespace sorabel {

namespace {
constexpr std::string_view kMagic = "SorabelRecovery 1";
const QString kPrefix = QStringLiteral("recovery-");
const QString kSuffix = QStringLiteral(".srbrec");
const QString kLockSuffix = QStringLiteral(".lock");
constexpr qint64 kMaxRecoveryBytes = FileIo::kMaxCatalogueBytes + 64 * 1024;

[[noreturn]] void damaged() {
    throw IoError(std::string(RecoveryStore::kDamagedMessage));
}

// An open lock file with its exclusive lock, or -1 when another process holds it.
int takeLock(const QString& path, bool create) {
    const int fd = ::open(NativeFileName::encode(path).constData(),
                          O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// CRC-32 of the catalogue, in hexadecimal: it catches a damaged file, and
// costs a fraction of the write (a cryptographic digest would double it).
QByteArray checksum(std::string_view bytes) {
    uLong crc = ::crc32(0L, Z_NULL, 0);
    for (size_t at = 0; at < bytes.size();) {
        const size_t n = std::min<size_t>(bytes.size() - at, 1u << 30);
        crc = ::crc32(crc, reinterpret_cast<const Bytef*>(bytes.data() + at), static_cast<uInt>(n));
        at += n;
    }
    return QByteArray::number(static_cast<qulonglong>(crc), 16).rightJustified(8, '0');
}

bool toInt(std::string_view text, long long& out) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}
} // namespace

// ---------------------------------------------------------------- leftovers

RecoveryStore::Leftover::Leftover(QString path, int lockFd)
    : path_(std::move(path)), lockFd_(lockFd) {}

RecoveryStore::Leftover::~Leftover() {
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

RecoveryStore::Leftover::Leftover(Leftover&& other) noexcept
    : path_(std::move(other.path_)), lockFd_(std::exchange(other.lockFd_, -1)) {}

RecoveryStore::Leftover& RecoveryStore::Leftover::operator=(Leftover&& other) noexcept {
    if (this != &other) {
        if (lockFd_ >= 0)
            ::close(lockFd_);
        path_ = std::move(other.path_);
        lockFd_ = std::exchange(other.lockFd_, -1);
    }
    return *this;
}

// ---------------------------------------------------------------- the store

RecoveryStore::RecoveryStore(QString folder) : folder_(std::move(folder)) {
    id_ = QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-') +
          QString::number(QRandomGenerator::system()->generate() % 0x1000000, 36);
}

RecoveryStore::~RecoveryStore() {
    // The recovery file itself stays when there is one: the changes in it
    // were not saved. Without its lock it is a leftover for the next start.
    if (lockFd_ >= 0) {
        ::unlink(NativeFileName::encode(lockPathFor(filePath())).constData());
        ::close(lockFd_);
    }
}

QString RecoveryStore::defaultFolder() {
    if (ConfigLocation::isPortable())
        return ConfigLocation::folder();
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::home().filePath(QStringLiteral(".local/state"));
    return QDir(state).filePath(QStringLiteral("sorabel"));
}

QString RecoveryStore::filePath() const {
    return QDir(folder_).filePath(kPrefix + id_ + kSuffix);
}

QString RecoveryStore::lockPathFor(const QString& recoveryPath) const {
    QString base = recoveryPath;
    base.chop(kSuffix.size());
    return base + kLockSuffix;
}

void RecoveryStore::lock() {
    if (lockFd_ >= 0)
        return;
    if (!QDir().mkpath(folder_))
        throw IoError(io_messages::kFolderMissing);
    QFile::setPermissions(folder_,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    lockFd_ = takeLock(lockPathFor(filePath()), true);
    if (lockFd_ < 0)
        throw ioErrorFromErrno(errno ? errno : EAGAIN, true);
}

void RecoveryStore::write(const RecoveryCopy& copy) {
    lock();
    // Written often, and needed after a crash of the program, not of the system.
    SafeFileWriter().withoutWaitingForDisk().write(filePath(), serialise(copy));
}

void RecoveryStore::remove() {
    ::unlink(NativeFileName::encode(filePath()).constData());
}

std::vector<RecoveryStore::Leftover> RecoveryStore::find() const {
    // Matched by hand: a wildcard name filter would compile a regular
    // expression, and this runs at every start.
    const QFileInfoList files =
        QDir(folder_).entryInfoList(QDir::Files, QDir::Time | QDir::Reversed);
    std::vector<Leftover> found;
    for (const QFileInfo& file : files) {
        const QString name = file.fileName();
        if (!name.startsWith(kPrefix) || !name.endsWith(kSuffix))
            continue;
        const QString path = file.absoluteFilePath();
        if (path == QFileInfo(filePath()).absoluteFilePath())
            continue;
        const int fd = takeLock(lockPathFor(path), true);
        if (fd >= 0)
            found.emplace_back(path, fd);
    }
    return found;
}

// ---------------------------------------------------------------- the file

std::string RecoveryStore::serialise(const RecoveryCopy& copy) {
    const QDateTime when = copy.written.isValid() ? copy.written : QDateTime::currentDateTime();
    const QByteArray path =
        QUrl::toPercentEncoding(copy.originalPath, QByteArrayLiteral("/"), QByteArrayLiteral(" "));
    std::string out;
    out.reserve(copy.catalogue.size() + 256 + static_cast<size_t>(path.size()));
    out.append(kMagic).append("\n");
    out.append("path ").append(path.constData(), static_cast<size_t>(path.size())).append("\n");
    out.append("clean ").append(std::to_string(copy.cleanPoint)).append("\n");
    const QByteArray shown =
        QUrl::toPercentEncoding(copy.shownName, QByteArrayLiteral("/"), QByteArrayLiteral(" "));
    out.append("shown ").append(shown.constData(), static_cast<size_t>(shown.size())).append("\n");
    out.append("current ").append(std::to_string(copy.current)).append("\n");
    out.append("written ").append(when.toString(Qt::ISODateWithMs).toStdString()).append("\n");
    out.append("length ").append(std::to_string(copy.catalogue.size())).append("\n");
    out.append("crc32 ").append(checksum(copy.catalogue).toStdString()).append("\n\n");
    out.append(copy.catalogue);
    return out;
}

RecoveryCopy RecoveryStore::parse(std::string_view bytes) {
    RecoveryCopy copy;
    size_t at = 0;
    const auto line = [&]() -> std::string_view {
        const size_t end = bytes.find('\n', at);
        if (end == std::string_view::npos)
            damaged();
        const std::string_view text = bytes.substr(at, end - at);
        at = end + 1;
        return text;
    };
    if (line() != kMagic)
        damaged();
    long long length = -1;
    std::string_view digest;
    bool havePath = false;
    for (std::string_view text = line(); !text.empty(); text = line()) {
        const size_t space = text.find(' ');
        const std::string_view key = text.substr(0, space);
        const std::string_view value =
            space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
        long long number = 0;
        if (key == "path") {
            copy.originalPath = QUrl::fromPercentEncoding(
                QByteArray(value.data(), static_cast<qsizetype>(value.size())));
            havePath = true;
        } else if (key == "clean") {
            if (!toInt(value, number) || number < -1 || number > INT32_MAX)
                damaged();
            copy.cleanPoint = static_cast<int>(number);
        } else if (key == "shown") {
            copy.shownName = QUrl::fromPercentEncoding(
                QByteArray(value.data(), static_cast<qsizetype>(value.size())));
        } else if (key == "current") {
            if (toInt(value, number) && number >= 0 && number <= INT32_MAX)
                copy.current = static_cast<int>(number);
        } else if (key == "written") {
            copy.written = QDateTime::fromString(
                QString::fromUtf8(value.data(), qsizetype(value.size())), Qt::ISODateWithMs);
        } else if (key == "length") {
            if (!toInt(value, length) || length < 0)
                damaged();
        } else if (key == "crc32") {
            digest = value;
        }
    }
    if (!havePath || length < 0 || bytes.size() - at != static_cast<size_t>(length))
        damaged();
    const std::string_view catalogue = bytes.substr(at);
    if (digest.empty() ||
        checksum(catalogue) != QByteArray(digest.data(), qsizetype(digest.size())))
        damaged();
    copy.catalogue.assign(catalogue);
    return copy;
}

RecoveryCopy RecoveryStore::read(const QString& path) {
    return parse(FileIo::readAll(path, kMaxRecoveryBytes, RecoveryStore::kDamagedMessage.data()));
}

QString RecoveryStore::freeName(const QString& prefix, const QDateTime& when,
                                const QString& suffix) const {
    const QString stamp = prefix + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = stamp + suffix;
    for (int n = 2; QFileInfo::exists(QDir(folder_).filePath(name)); ++n)
        name = stamp + QLatin1Char('-') + QString::number(n) + suffix;
    return QDir(folder_).filePath(name);
}

QString RecoveryStore::keepAs(const Leftover& leftover) const {
    const RecoveryCopy copy = read(leftover.path());
    const QDateTime when =
        copy.written.isValid() ? copy.written : QFileInfo(leftover.path()).lastModified();
    const QString kept = freeName(QStringLiteral("recovered-"), when, QStringLiteral(".srb"));
    SafeFileWriter().write(kept, copy.catalogue);
    return kept;
}

QString RecoveryStore::setAside(Leftover& leftover) const {
    const QString aside =
        freeName(QStringLiteral("damaged-"), QFileInfo(leftover.path()).lastModified(), kSuffix);
    if (::rename(NativeFileName::encode(leftover.path()).constData(),
                 NativeFileName::encode(aside).constData()) != 0)
        throw ioErrorFromErrno(errno, true);
    discard(leftover);
    return aside;
}

void RecoveryStore::discard(Leftover& leftover) const {
    ::unlink(NativeFileName::encode(leftover.path()).constData());
    ::unlink(NativeFileName::encode(lockPathFor(leftover.path())).constData());
    if (leftover.lockFd_ >= 0)
        ::close(std::exchange(leftover.lockFd_, -1));
}

} // namespace sorabel
