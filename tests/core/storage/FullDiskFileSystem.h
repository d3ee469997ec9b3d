#pragma once

#include "core/storage/FileIo.h"
#include "core/storage/PosixFileSystem.h"

#include <algorithm>

namespace sorabel {

// The real file system with a full disk: writing each new file fails with
// `err` after `bytes` bytes. Every write of the program goes through it while
// it lives.
class FullDiskFileSystem : public PosixFileSystem {
public:
    FullDiskFileSystem(long long bytes, int err) : budget_(bytes), err_(err) {
        FileIo::setFileSystem(this);
    }
    ~FullDiskFileSystem() override { FileIo::setFileSystem(nullptr); }

    int createNew(const QByteArray& path, mode_t mode, int& fd) override {
        left_ = budget_;
        return PosixFileSystem::createNew(path, mode, fd);
    }
    int write(int fd, const char* data, size_t size, size_t& written) override {
        written = 0;
        if (left_ == 0)
            return err_;
        size = std::min<size_t>(size, static_cast<size_t>(left_));
        const int e = PosixFileSystem::write(fd, data, size, written);
        left_ -= static_cast<long long>(written);
        return e;
    }

private:
    long long budget_;
    int err_;
    long long left_ = 0;
};

} // namespace sorabel
