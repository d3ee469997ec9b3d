#pragma once

#include <QByteArray>
#include <cstddef>
#include <sys/types.h>

namespace sorabel {

// The file operations a safe write is made of. Each returns 0 or the errno it
// failed with, so that a test can put a file system in between that fails any
// chosen step. Paths are in the file system's own encoding.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Creates a file that must not exist yet; `fd` receives its descriptor.
    virtual int createNew(const QByteArray& path, mode_t mode, int& fd) = 0;
    virtual int setMode(int fd, mode_t mode) = 0;
    // Writes part of the data; `written` receives how much.
    virtual int write(int fd, const char* data, size_t size, size_t& written) = 0;
    virtual int sync(int fd) = 0;
    virtual int close(int fd) = 0;
    virtual int link(const QByteArray& from, const QByteArray& to) = 0;
    virtual int rename(const QByteArray& from, const QByteArray& to) = 0;
    virtual int remove(const QByteArray& path) = 0;
    virtual int syncFolder(const QByteArray& path) = 0;
};

} // namespace sorabel
