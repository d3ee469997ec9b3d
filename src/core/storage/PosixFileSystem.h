#pragma once

#include "core/storage/FileSystem.h"

namespace sorabel {

// The real file system, through the POSIX calls.
class PosixFileSystem : public FileSystem {
public:
    static PosixFileSystem& instance();

    int createNew(const QByteArray& path, mode_t mode, int& fd) override;
    int openExisting(const QByteArray& path, int& fd) override;
    int setMode(int fd, mode_t mode) override;
    int setOwner(int fd, uid_t owner, gid_t group) override;
    int attributes(const QByteArray& path, Attributes& out) override;
    int setAttribute(int fd, const QByteArray& name, const QByteArray& value) override;
    int write(int fd, const char* data, size_t size, size_t& written) override;
    int truncate(int fd, off_t size) override;
    int sync(int fd) override;
    int close(int fd) override;
    int link(const QByteArray& from, const QByteArray& to) override;
    int rename(const QByteArray& from, const QByteArray& to) override;
    int remove(const QByteArray& path) override;
    int syncFolder(const QByteArray& path) override;
};

} // namespace sorabel
