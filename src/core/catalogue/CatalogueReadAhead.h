#pragma once

#include "core/catalogue/Catalogue.h"
#include "core/format/CatalogueFile.h"

#include <QString>
#include <optional>
#include <thread>

namespace sorabel {

// Reads and parses a catalogue file on a thread of its own while the caller
// does other work (the start reads its catalogue while the windows are
// built). What was read is handed over only for the very file and only while
// it is unchanged; otherwise, or when it could not be read, the caller reads
// it again itself and reports any problem as usual.
class CatalogueReadAhead {
public:
    explicit CatalogueReadAhead(const QString& path);
    ~CatalogueReadAhead();
    CatalogueReadAhead(const CatalogueReadAhead&) = delete;
    CatalogueReadAhead& operator=(const CatalogueReadAhead&) = delete;

    struct Read {
        Catalogue catalogue; // the file taken into a new catalogue
        CatalogueFile::KeptRead read;
    };
    // Waits for the thread. What was read of `path` when that is the file read
    // and it has the same identity, size and times now as while it was read;
    // nothing otherwise. Gives it at most once.
    std::optional<Read> take(const QString& path);

    // What identifies a file's content without reading it.
    struct Stamp {
        unsigned long long device = 0, inode = 0;
        long long size = 0, modifiedNs = 0, changedNs = 0;
        bool operator==(const Stamp&) const = default;
    };

private:
    QString path_;
    std::optional<Read> read_;
    std::optional<Stamp> stamp_;
    std::thread thread_;
};

} // namespace sorabel
