#include "core/catalogue/CatalogueReadAhead.h"

#include "core/storage/NativeFileName.h"

#include <QFileInfo>
#include <sys/stat.h>
#include <utility>

namespace sorabel {

namespace {

std::optional<CatalogueReadAhead::Stamp> stampOf(const QString& path) {
    struct stat st {};
    if (::stat(NativeFileName::encode(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    const auto ns = [](const timespec& t) { return t.tv_sec * 1000000000LL + t.tv_nsec; };
    return CatalogueReadAhead::Stamp{st.st_dev, st.st_ino, st.st_size, ns(st.st_mtim),
                                     ns(st.st_ctim)};
}

} // namespace

CatalogueReadAhead::CatalogueReadAhead(const QString& path)
    : path_(QFileInfo(path).absoluteFilePath()) {
    thread_ = std::thread([this] {
        try {
            const auto before = stampOf(path_);
            Read read;
            read.read = CatalogueFile::readKept(path_, read.catalogue);
            // A file written while it was read is read again later.
            if (before && stampOf(path_) == before) {
                stamp_ = before;
                read_ = std::move(read);
            }
        } catch (...) {
            // Reading it again reports the problem where it can be shown.
        }
    });
}

CatalogueReadAhead::~CatalogueReadAhead() {
    if (thread_.joinable())
        thread_.join();
}

std::optional<CatalogueReadAhead::Read> CatalogueReadAhead::take(const QString& path) {
    if (thread_.joinable())
        thread_.join();
    if (!read_ || QFileInfo(path).absoluteFilePath() != path_ || stampOf(path_) != stamp_)
        return std::nullopt;
    stamp_.reset();
    return std::exchange(read_, std::nullopt);
}

} // namespace sorabel
