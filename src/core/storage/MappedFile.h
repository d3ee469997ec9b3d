#pragma once

#include <QString>
#include <cstddef>
#include <memory>
#include <string_view>

namespace sorabel {

// A regular file's bytes mapped read-only, for a reader that keeps the texts
// where they lie instead of copying them into the program's own memory. The
// kernel's page cache holds them once for everyone; a page the program has
// not looked at costs it nothing, and one it has let go of comes back when
// looked at again.
//
// Nobody may change them underneath: the file is held with a read lease, so
// before any process (this one included) opens it for writing or truncates
// it, the kernel tells this one, and the mapping is replaced by a private
// copy of the same bytes at the same addresses before the writer goes on.
// Every view into bytes() therefore stays valid and unchanged for the
// object's life, whatever happens to the file.
class MappedFile {
public:
    // The file mapped and leased; nullptr when that cannot be done safely
    // (not a regular file, empty or larger than `maxBytes`, already open for
    // writing, another user's, a file system without leases): the caller
    // reads the file into memory instead and reports any problem as usual.
    static std::shared_ptr<const MappedFile> open(const QString& path, qint64 maxBytes);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::string_view bytes() const { return {data_, size_}; }
    // Gives the pages read so far back to the page cache (after a whole
    // file has been parsed, say); the bytes stay as they are.
    void letGo() const;

private:
    MappedFile() = default;
    int slot_ = -1; // its place in the table of leases, once it has one
    const char* data_ = nullptr;
    size_t size_ = 0;
};

} // namespace sorabel
