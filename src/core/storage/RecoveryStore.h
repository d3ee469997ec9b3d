#pragma once

#include <QDateTime>
#include <QString>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sorabel {

// What a recovery file holds: the unsaved catalogue and where it belongs.
struct RecoveryCopy {
    QString originalPath;  // full path of the catalogue file; empty for one never saved
    QString shownName;     // the name the status bar showed
    int current = 0;       // the record shown
    int cleanPoint = -1;   // the history position that matches the file on disk; -1: none
    QDateTime written;     // when the copy was written (local time)
    std::string catalogue; // the catalogue file's bytes
};

// Recovery files of unsaved changes, one per running copy of the program, in
// the user's state folder ($XDG_STATE_HOME/sorabel, ~/.local/state/sorabel),
// or beside the settings when the program runs as a portable copy.
//
// Each copy names its file with its process id and a random part and holds
// a lock (flock) on a companion lock file for as long as it runs; the lock
// goes with the process however it ends, so a file whose lock can be taken
// is a leftover of a copy that is gone. Files are written through the safe
// writer: a crash mid-write leaves the previous recovery copy whole.
//
// File layout (version 1): a header of text lines ending in LF, an empty
// line, then exactly `length` bytes of catalogue:
//   SorabelRecovery 1
//   path <original path, UTF-8, percent-encoded>
//   clean <clean point>
//   shown <the name shown, percent-encoded>
//   current <the record shown>
//   written <ISO 8601 date and time>
//   length <bytes of catalogue>
//   crc32 <CRC-32 of the catalogue bytes, 8 hexadecimal digits>
// Unknown header lines are skipped, so later versions may add some.
class RecoveryStore {
public:
    // A leftover recovery file, claimed by this copy (its lock held) so that
    // a second copy starting at the same time does not offer it as well.
    class Leftover {
    public:
        Leftover(QString path, int lockFd);
        ~Leftover();
        Leftover(Leftover&&) noexcept;
        Leftover& operator=(Leftover&&) noexcept;
        Leftover(const Leftover&) = delete;
        Leftover& operator=(const Leftover&) = delete;
        const QString& path() const { return path_; }

    private:
        friend class RecoveryStore;
        QString path_;
        int lockFd_ = -1;
    };

    // The store in `folder`, which is created when the first copy is written.
    explicit RecoveryStore(QString folder);
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    // $XDG_STATE_HOME/sorabel, or the settings folder of a portable copy.
    static QString defaultFolder();

    const QString& folder() const { return folder_; }
    // This copy's recovery file (it may not exist yet).
    QString filePath() const;

    // Writes (or replaces) this copy's recovery file. Throws IoError.
    void write(const RecoveryCopy& copy);
    // Removes this copy's recovery file: the changes are saved or given up.
    void remove();

    // Recovery files left by copies no longer running, oldest first.
    std::vector<Leftover> find() const;

    // Reads a recovery file. A damaged one is refused with IoError
    // "復元用のデータが壊れています" and left where it is.
    static RecoveryCopy read(const QString& path);
    // The bytes of a recovery file for a copy (without the time: now).
    static std::string serialise(const RecoveryCopy& copy);
    static RecoveryCopy parse(std::string_view bytes);

    // Keeps a leftover's catalogue one more time as
    // "recovered-YYYYMMDD-HHMMSS.srb" in the folder (the time it was written)
    // and returns that path. Throws IoError.
    QString keepAs(const Leftover& leftover) const;
    // Puts a damaged leftover aside as "damaged-YYYYMMDD-HHMMSS.srbrec", so
    // that it is kept but not offered again.
    QString setAside(Leftover& leftover) const;
    // Removes a leftover and its lock file.
    void discard(Leftover& leftover) const;

    static constexpr std::string_view kDamagedMessage = "復元用のデータが壊れています";

private:
    QString lockPathFor(const QString& recoveryPath) const;
    QString freeName(const QString& prefix, const QDateTime& when, const QString& suffix) const;
    void lock();

    QString folder_;
    QString id_;
    int lockFd_ = -1;
};

} // namespace sorabel
