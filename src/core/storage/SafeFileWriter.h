#pragma once

#include "core/storage/FileIo.h"
#include "core/storage/FileSystem.h"
#include "core/storage/WriteRefusal.h"

#include <QString>
#include <chrono>
#include <optional>
#include <string_view>
#include <sys/stat.h>

namespace sorabel {

// Replaces a whole file so that, whatever step fails, the file (and its
// backup) stay as they were and no temporary file is left behind.
//
// The bytes go to one temporary file beside the target, named with a short
// fixed prefix and a random part, so that every name the file system allows
// can be saved. It takes what the old file was before any byte is written:
// its permissions, its owner (when running as the superuser) and group, its
// extended attributes and ACLs; whatever the file system cannot hold (a FAT
// disk has no modes, no owners, no attributes) is left out rather than
// failing the save. It is then written, flushed, synced and renamed over the
// target. Through a symbolic link the file it names is replaced and the link
// stays. A file with further hard links is rewritten in place instead, so
// that all its names keep showing the same file; its backup is then a copy.
// A read-only file and a folder are refused with
// "ファイルへのアクセスが拒否されました".
//
// Nothing is ever created where something vanished: a missing folder, and
// (when the caller says the file was there) a missing file, are refused with
// a WriteRefusal, as is a file in a folder the user may not write, which can
// only be rewritten in place (writeInPlace, once the user agrees).
//
// Temporary files that a crash left in the folder are removed by the next
// write of a file in that folder once they are older than `leftoverAge`.
class SafeFileWriter {
public:
    static constexpr std::string_view kTempPrefix = ".sorabel-";
    static constexpr std::chrono::seconds kLeftoverAge = std::chrono::minutes(10);

    // Whether the caller knows the file to exist (it was read from there).
    enum class Expect { AnyFile, ExistingFile };

    // Writes through FileIo::fileSystem(), asked at every write.
    SafeFileWriter() = default;
    explicit SafeFileWriter(FileSystem& fs, std::chrono::seconds leftoverAge = kLeftoverAge);

    // A writer that leaves the data to the system's cache instead of waiting
    // for the disk: for scratch copies (the recovery copy) that must survive
    // the program's end, not a power cut, and are written often. The rename
    // stays atomic.
    SafeFileWriter& withoutWaitingForDisk() {
        waitForDisk_ = false;
        return *this;
    }

    // Writes the file, replacing any file of that name without a backup.
    // Throws IoError, or WriteRefusal before anything is written.
    void write(const QString& path, std::string_view bytes, Expect expect = Expect::AnyFile) const;

    // As write(), and an existing file becomes the backup "<name>bak" beside
    // it. The older backup is replaced only once the new file is in place;
    // the file is never absent under its own name. When the backup name
    // cannot exist (too long, or a folder holds it) the file is written
    // without a backup. Throws IoError or WriteRefusal.
    void writeWithBackup(const QString& path, std::string_view bytes,
                         Expect expect = Expect::AnyFile) const;

    // Rewrites an existing file's content where it is, without a temporary
    // file or a backup: the answer to WriteRefusal::Reason::FolderNotWritable.
    // A failure part-way puts the old content back as far as it can.
    // Throws IoError.
    void writeInPlace(const QString& path, std::string_view bytes) const;

    // What write() and writeWithBackup() would refuse, asked beforehand so
    // that the caller can put its question first; nothing when they would write.
    static std::optional<WriteRefusal::Reason> check(const QString& path,
                                                     Expect expect = Expect::AnyFile);

    // The backup of a file: its full name with "bak" appended.
    static QString backupPath(const QString& path);

    // True for the names this writer gives its temporary files.
    static bool isTempName(std::string_view name);

private:
    struct Target;
    void replace(const QString& path, std::string_view bytes, bool keepBackup, Expect expect) const;
    void rewriteLinked(const Target& t, std::string_view bytes, bool keepBackup) const;
    void rewriteInPlace(const QByteArray& target, std::string_view bytes,
                        const std::string* old) const;
    // `like` (with its path) is the file whose metadata the new one takes.
    QByteArray writeTemp(const QByteArray& dir, std::string_view bytes, const struct stat* like,
                         const QByteArray& likePath) const;
    void takeMetadata(int fd, const struct stat& like, const QByteArray& likePath) const;
    QByteArray linkOrCopy(const Target& t) const;
    void removeLeftovers(const QByteArray& dir) const;
    FileSystem& fs() const { return fs_ ? *fs_ : FileIo::fileSystem(); }

    FileSystem* fs_ = nullptr;
    std::chrono::seconds leftoverAge_ = kLeftoverAge;
    bool waitForDisk_ = true;
};

} // namespace sorabel
