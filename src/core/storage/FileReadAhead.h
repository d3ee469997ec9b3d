#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace sorabel {

// Reads a whole file on a thread of its own while the caller does other work
// (the start reads the catalogue while the windows are built). The bytes are
// handed over only for the very file read and only while it is unchanged;
// otherwise the caller reads it again itself, with its own error handling.
class FileReadAhead {
public:
    explicit FileReadAhead(const QString& path);
    ~FileReadAhead();
    FileReadAhead(const FileReadAhead&) = delete;
    FileReadAhead& operator=(const FileReadAhead&) = delete;

    // Waits for the read. The bytes of `path` when that is the file read and
    // it has the same identity, size and times now as while it was read;
    // nothing otherwise. Gives the bytes at most once.
    std::shared_ptr<const std::string> take(const QString& path);

    // What identifies a file's content without reading it.
    struct Stamp {
        unsigned long long device = 0, inode = 0;
        long long size = 0, modifiedNs = 0, changedNs = 0;
        bool operator==(const Stamp&) const = default;
    };

private:
    QString path_;
    std::shared_ptr<const std::string> bytes_;
    std::optional<Stamp> stamp_;
    std::thread thread_;
};

} // namespace sorabel
