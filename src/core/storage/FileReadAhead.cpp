#include "core/storage/FileReadAhead.h"

#include "core/storage/FileIo.h"
#include "core/storage/NativeFileName.h"

#include <QFileInfo>
#include <sys/stat.h>
#include <utility>

namespace sorabel {

namespace {

std::optional<FileReadAhead::Stamp> stampOf(const QString& path) {
    struct stat st {};
    if (::stat(NativeFileName::encode(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    const auto ns = [](const timespec& t) { return t.tv_sec * 1000000000LL + t.tv_nsec; };
    return FileReadAhead::Stamp{st.st_dev, st.st_ino, st.st_size, ns(st.st_mtim), ns(st.st_ctim)};
}

} // namespace

FileReadAhead::FileReadAhead(const QString& path) : path_(QFileInfo(path).absoluteFilePath()) {
    thread_ = std::thread([this] {
        try {
            const auto before = stampOf(path_);
            auto bytes = std::make_shared<const std::string>(FileIo::readAll(path_));
            // A file written while it was read is read again later.
            if (before && stampOf(path_) == before) {
                stamp_ = before;
                bytes_ = std::move(bytes);
            }
        } catch (...) {
            // Reading it again reports the problem where it can be shown.
        }
    });
}

FileReadAhead::~FileReadAhead() {
    if (thread_.joinable())
        thread_.join();
}

std::shared_ptr<const std::string> FileReadAhead::take(const QString& path) {
    if (thread_.joinable())
        thread_.join();
    if (!bytes_ || QFileInfo(path).absoluteFilePath() != path_ || stampOf(path_) != stamp_)
        return nullptr;
    stamp_.reset();
    return std::exchange(bytes_, nullptr);
}

} // namespace sorabel
