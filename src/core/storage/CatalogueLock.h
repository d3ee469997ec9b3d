#pragma once

#include <QDateTime>
#include <QString>
#include <chrono>
#include <optional>

namespace sorabel {

// Tells a copy of the program that another one has the catalogue open, on
// this machine or another one sharing the folder. The lock is a small file
// beside the catalogue, ".~lock.<name>#", holding the holder's host, process
// id, user and time; books.srb and its backup books.srbbak never clash with it.
//
// A lock whose process is gone (this host: no such process, or one started
// after the lock was written) is taken over silently; a lock from another
// host counts as held until it is older than `kOtherHostStale`, since its
// process cannot be asked.
class CatalogueLock {
public:
    static constexpr std::chrono::hours kOtherHostStale{24};

    struct Holder {
        QString host;
        QString user;
        qint64 pid = 0;
        QDateTime since; // local time
        bool operator==(const Holder&) const = default;
        // For the question: "ユーザー hana（ホスト desk、プロセス 4242）が
        // 2026/12/08 09:30 から開いています".
        QString description() const;
    };

    enum class Outcome {
        Acquired,    // this copy holds the lock now
        HeldByOther, // holder() tells who
        NotPossible, // the folder takes no lock file (read-only media, no permission)
    };

    CatalogueLock() = default;
    ~CatalogueLock(); // releases
    CatalogueLock(const CatalogueLock&) = delete;
    CatalogueLock& operator=(const CatalogueLock&) = delete;

    // Tries to lock the catalogue at `path`, first releasing any lock this
    // object holds on another one. `force` takes the lock even from a live
    // holder ("それでも開く").
    Outcome acquire(const QString& path, bool force = false);
    // Gives the lock up when it is still this copy's.
    void release();
    // Writes the time again, so that a long session on a shared folder is
    // not taken for a stale one from another host.
    void refresh();

    bool held() const { return !lockPath_.isEmpty(); }
    // Who held it at the last HeldByOther.
    const std::optional<Holder>& holder() const { return holder_; }

    static QString lockPathFor(const QString& cataloguePath);
    // This process, as a lock names it.
    static Holder me();

private:
    bool writeOurs(const QString& lockPath, bool replace);
    bool isOurs(const QString& lockPath) const;

    QString lockPath_;
    QString token_;
    std::optional<Holder> holder_;
};

} // namespace sorabel
