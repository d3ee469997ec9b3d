#include "core/storage/CatalogueLock.h"

#include "core/storage/FileIo.h"
#include "core/storage/NativeFileName.h"
#include "core/storage/SafeFileWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringList>
#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <unistd.h>

namespace sorabel {

namespace {
const QString kMagic = QStringLiteral("SorabelLock 1");
constexpr qint64 kMaxLockBytes = 4096;
// A lock file younger than this that cannot be read may be one being written.
constexpr qint64 kUnreadableGraceMs = 5000;

struct LockFile {
    CatalogueLock::Holder holder;
    QString token;
};

std::optional<LockFile> readLock(const QString& path) {
    QString text;
    try {
        text = QString::fromStdString(FileIo::readAll(path, kMaxLockBytes));
    } catch (const IoError&) {
        return std::nullopt;
    }
    const QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.isEmpty() || lines.front() != kMagic)
        return std::nullopt;
    LockFile lock;
    bool havePid = false;
    for (const QString& line : lines) {
        const qsizetype space = line.indexOf(QLatin1Char(' '));
        const QString key = line.left(space);
        const QString value = space < 0 ? QString() : line.mid(space + 1);
        if (key == QLatin1String("host"))
            lock.holder.host = value;
        else if (key == QLatin1String("user"))
            lock.holder.user = value;
        else if (key == QLatin1String("pid"))
            lock.holder.pid = value.toLongLong(&havePid);
        else if (key == QLatin1String("time"))
            lock.holder.since = QDateTime::fromString(value, Qt::ISODate).toLocalTime();
        else if (key == QLatin1String("token"))
            lock.token = value;
    }
    if (!havePid || lock.holder.host.isEmpty())
        return std::nullopt;
    return lock;
}

// When a process of this host started, from /proc; invalid when unknown.
QDateTime processStart(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    QFile system(QStringLiteral("/proc/stat"));
    if (!stat.open(QIODevice::ReadOnly) || !system.open(QIODevice::ReadOnly))
        return {};
    // The command name may hold spaces and parentheses: fields count from the last ')'.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 20)
        return {};
    const qint64 ticks = fields.at(19).toLongLong(); // starttime, field 22 of the line
    qint64 boot = 0;
    for (const QByteArray& l : system.readAll().split('\n'))
        if (l.startsWith("btime "))
            boot = l.mid(6).trimmed().toLongLong();
    const long hz = ::sysconf(_SC_CLK_TCK);
    if (boot == 0 || hz <= 0)
        return {};
    return QDateTime::fromSecsSinceEpoch(boot + ticks / hz);
}

bool processAlive(qint64 pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

bool isStale(const LockFile& lock, const QString& path) {
    const CatalogueLock::Holder me = CatalogueLock::me();
    if (lock.holder.host != me.host) {
        const QDateTime modified = QFileInfo(path).lastModified();
        return modified.secsTo(QDateTime::currentDateTime()) >
               std::chrono::seconds(CatalogueLock::kOtherHostStale).count();
    }
    if (!processAlive(lock.holder.pid))
        return true;
    // The number may have been given to a new process since (after a
    // restart, say): one that started after the lock was written is not its holder.
    const QDateTime started = processStart(lock.holder.pid);
    return started.isValid() && lock.holder.since.isValid() &&
           started.toSecsSinceEpoch() > lock.holder.since.toSecsSinceEpoch() + 1;
}
} // namespace

QString CatalogueLock::Holder::description() const {
    return QStringLiteral("ユーザー %1（ホスト %2、プロセス %3）が %4 から開いています")
        .arg(user.isEmpty() ? QStringLiteral("?") : user, host, QString::number(pid),
             since.isValid() ? since.toString(QStringLiteral("yyyy/MM/dd HH:mm"))
                             : QStringLiteral("?"));
}

CatalogueLock::~CatalogueLock() {
    release();
}

QString CatalogueLock::lockPathFor(const QString& cataloguePath) {
    const QFileInfo info(cataloguePath);
    return info.absoluteDir().filePath(QStringLiteral(".~lock.") + info.fileName() +
                                       QLatin1Char('#'));
}

CatalogueLock::Holder CatalogueLock::me() {
    Holder h;
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) == 0)
        h.host = QString::fromLocal8Bit(host);
    if (h.host.isEmpty())
        h.host = QStringLiteral("localhost");
    h.pid = QCoreApplication::applicationPid();
    if (const passwd* pw = ::getpwuid(::geteuid()))
        h.user = QString::fromLocal8Bit(pw->pw_name);
    h.since = QDateTime::currentDateTime();
    return h;
}

bool CatalogueLock::writeOurs(const QString& lockPath, bool replace) {
    token_ = QString::number(QRandomGenerator::system()->generate64(), 36);
    const Holder h = me();
    const QString text = kMagic + QStringLiteral("\nhost %1\npid %2\nuser %3\ntime %4\ntoken %5\n")
                                      .arg(h.host, QString::number(h.pid), h.user,
                                           h.since.toUTC().toString(Qt::ISODate), token_);
    const QByteArray bytes = text.toUtf8();
    if (replace) {
        SafeFileWriter().write(lockPath, std::string_view(bytes.constData(), size_t(bytes.size())));
        return true;
    }
    const QByteArray native = NativeFileName::encode(lockPath);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (errno == EEXIST)
            return false;
        throw ioErrorFromErrno(errno, true);
    }
    const bool whole = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    ::close(fd);
    if (!whole) {
        ::unlink(native.constData());
        throw IoError(io_messages::kDiskFull);
    }
    return true;
}

bool CatalogueLock::isOurs(const QString& lockPath) const {
    const auto lock = readLock(lockPath);
    return lock && !token_.isEmpty() && lock->token == token_;
}

CatalogueLock::Outcome CatalogueLock::acquire(const QString& path, bool force) {
    const QString lockPath = lockPathFor(path);
    if (held() && lockPath_ == lockPath && isOurs(lockPath))
        return Outcome::Acquired;
    release();
    holder_.reset();
    try {
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (writeOurs(lockPath, false)) {
                lockPath_ = lockPath;
                return Outcome::Acquired;
            }
            const auto existing = readLock(lockPath);
            bool takeOver = force;
            if (!existing) {
                // Unreadable: a lock being written this moment, or a damaged one.
                const QFileInfo info(lockPath);
                if (!info.exists())
                    continue; // released meanwhile: try again
                takeOver = takeOver || info.lastModified().msecsTo(QDateTime::currentDateTime()) >
                                           kUnreadableGraceMs;
                if (!takeOver) {
                    holder_ = Holder{};
                    return Outcome::HeldByOther;
                }
            } else {
                takeOver = takeOver || isStale(*existing, lockPath);
                if (!takeOver) {
                    holder_ = existing->holder;
                    return Outcome::HeldByOther;
                }
            }
            writeOurs(lockPath, true);
            // Two copies taking over at once: the one whose lock stayed wins.
            if (!isOurs(lockPath)) {
                const auto winner = readLock(lockPath);
                holder_ = winner ? winner->holder : Holder{};
                token_.clear();
                return Outcome::HeldByOther;
            }
            lockPath_ = lockPath;
            return Outcome::Acquired;
        }
    } catch (const IoError&) {
        return Outcome::NotPossible;
    }
    return Outcome::NotPossible;
}

void CatalogueLock::release() {
    if (lockPath_.isEmpty())
        return;
    if (isOurs(lockPath_))
        ::unlink(NativeFileName::encode(lockPath_).constData());
    lockPath_.clear();
    token_.clear();
}

void CatalogueLock::refresh() {
    if (!held() || !isOurs(lockPath_))
        return;
    try {
        writeOurs(lockPath_, true);
    } catch (const IoError&) {
        // The old lock stays; it still names this copy.
    }
}

} // namespace sorabel
