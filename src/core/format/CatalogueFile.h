#pragma once

#include "core/catalogue/Catalogue.h"

#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace sorabel {

// The end markers of the three choice lists in a catalogue file.
extern const Bytes kGenre1EndMarker; // --《ジャンル１ここまで》--
extern const Bytes kGenre2EndMarker; // --《ジャンル２ここまで》--
extern const Bytes kFormatEndMarker; // --《判型ここまで》--

// One whole catalogue file, parsed.
struct CatalogueContent {
    CatalogueHeader header; // captions: as read (they become the stored captions)
    std::vector<std::array<Bytes, kFieldCount>> records; // records[i][index(field)], record i+1
    bool operator==(const CatalogueContent&) const = default;
};

// The catalogue file format (*.srb): Shift-JIS lines ended by CR LF.
class CatalogueFile {
public:
    // Parses a whole file. Throws IoError: "入力値が数値ではありません" for a
    // number line that is not a decimal integer, "読書録データの形式が正しく
    // ありません" for a damaged file (no end marker, a record count outside
    // 0..2000, impressions running past the end).
    static CatalogueContent parse(std::string_view bytes);

    // The file's bytes for a catalogue: its live captions, its choice lists and
    // records 1..recordCount. Line breaks in single-line values become spaces.
    static std::string serialise(const Catalogue& catalogue);
    static std::string serialise(const CatalogueContent& content);

    // A single-line value as the file holds it: each line break (CR LF, a lone
    // CR or a lone LF) becomes one space.
    static Bytes singleLine(std::string_view value);

    // Reading (loadCatalogue): reads and parses the whole file first; only then
    // takes it over into the catalogue, which is untouched when anything fails.
    // Takes over the header (captions become stored and live captions),
    // records 1..n, empties the records after n up to the old record count,
    // sets the record count to n and the current index to the start index
    // (bounded by n) or, when that is 0, to n. Leaves the file name and the
    // modified count alone. Returns the record count held before the read.
    static int read(const QString& path, Catalogue& catalogue);

    // read() on bytes already in memory.
    static int readBytes(std::string_view bytes, Catalogue& catalogue);

    // Takes parsed content over into the catalogue as read() does.
    static int apply(CatalogueContent content, Catalogue& catalogue);

    // Writing (writeCatalogue): writes the whole file atomically; on success sets the
    // modified count to 0. On failure the file on disk and the modified count
    // are as they were, and IoError is thrown.
    static void write(const QString& path, Catalogue& catalogue);

    // write() that keeps the file being replaced as its backup "<name>bak"
    // (SafeFileWriter::writeWithBackup); the older backup is replaced only
    // once the new file is in place.
    static void writeWithBackup(const QString& path, Catalogue& catalogue);
};

} // namespace sorabel
