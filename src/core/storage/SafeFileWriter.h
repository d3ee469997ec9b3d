#pragma once

#include "core/storage/FileIo.h"
#include "core/storage/FileSystem.h"

#include <QString>
#include <chrono>
#include <string_view>

namespace sorabel {

// Replaces a whole file so that, whatever step fails, the file (and its
// backup) stay as they were and no temporary file is left behind.
//
// The bytes go to one temporary file beside the target, named with a short
// fixed prefix and a random part, so that every name the file system allows
// can be saved. It gets the target's permissions from the moment it exists
// (a new file gets the usual mode after the umask), is written, flushed and
// synced, and is then renamed over the target. Through a symbolic link the
// file it names is replaced and the link stays. A read-only file and a folder
// are refused with "ファイルへのアクセスが拒否されました".
//
// Temporary files that a crash left in the folder are removed by the next
// write of a file in that folder once they are older than `leftoverAge`.
class SafeFileWriter {
public:
    static constexpr std::string_view kTempPrefix = ".sorabel-";
    static constexpr std::chrono::seconds kLeftoverAge = std::chrono::minutes(10);

    // Writes through FileIo::fileSystem(), asked at every write.
    SafeFileWriter() = default;
    explicit SafeFileWriter(FileSystem& fs, std::chrono::seconds leftoverAge = kLeftoverAge);

    // Writes the file, replacing any file of that name without a backup.
    // Throws IoError.
    void write(const QString& path, std::string_view bytes) const;

    // As write(), and an existing file becomes the backup "<name>bak" beside
    // it. The older backup is replaced only once the new file is in place;
    // the file is never absent under its own name. When the backup name
    // cannot exist (too long, or a folder holds it) the file is written
    // without a backup. Throws IoError.
    void writeWithBackup(const QString& path, std::string_view bytes) const;

    // The backup of a file: its full name with "bak" appended.
    static QString backupPath(const QString& path);

    // True for the names this writer gives its temporary files.
    static bool isTempName(std::string_view name);

private:
    void replace(const QString& path, std::string_view bytes, bool keepBackup) const;
    QByteArray writeTemp(const QByteArray& dir, std::string_view bytes, mode_t mode,
                         bool exactMode) const;
    QByteArray linkOrCopy(const QByteArray& dir, const QByteArray& target, mode_t mode) const;
    void removeLeftovers(const QByteArray& dir) const;
    FileSystem& fs() const { return fs_ ? *fs_ : FileIo::fileSystem(); }

    FileSystem* fs_ = nullptr;
    std::chrono::seconds leftoverAge_ = kLeftoverAge;
};

} // namespace sorabel
