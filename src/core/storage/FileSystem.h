#pragma once

#include <QByteArray>
#include <cstddef>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace sorabel {

// The file operations a safe write is made of. Each returns 0 or the errno it
// failed with, so that a test can put a file system in between that fails any
// chosen step. Paths are in the file system's own encoding.
class FileSystem {
public:
    // Extended attributes (ACLs among them) as name and value.
    using Attributes = std::vector<std::pair<QByteArray, QByteArray>>;

    virtual ~FileSystem() = default;

    // Creates a file that must not exist yet; `fd` receives its descriptor.
    virtual int createNew(const QByteArray& path, mode_t mode, int& fd) = 0;
    // Opens an existing file for writing over its content, without emptying it.
    virtual int openExisting(const QByteArray& path, int& fd) = 0;
    virtual int setMode(int fd, mode_t mode) = 0;
    // (uid_t)-1 or (gid_t)-1 leaves that one as it is.
    virtual int setOwner(int fd, uid_t owner, gid_t group) = 0;
    // The attributes of a file (not of a link's target); none where unsupported.
    virtual int attributes(const QByteArray& path, Attributes& out) = 0;
    virtual int setAttribute(int fd, const QByteArray& name, const QByteArray& value) = 0;
    // Writes part of the data; `written` receives how much.
    virtual int write(int fd, const char* data, size_t size, size_t& written) = 0;
    virtual int truncate(int fd, off_t size) = 0;
    virtual int sync(int fd) = 0;
    virtual int close(int fd) = 0;
    virtual int link(const QByteArray& from, const QByteArray& to) = 0;
    virtual int rename(const QByteArray& from, const QByteArray& to) = 0;
    virtual int remove(const QByteArray& path) = 0;
    virtual int syncFolder(const QByteArray& path) = 0;
};

} // namespace sorabel
