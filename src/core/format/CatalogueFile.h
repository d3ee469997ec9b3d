#pragma once

#include "core/catalogue/Catalogue.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sorabel {

// The end markers of the three choice lists in a catalogue file.
extern const Bytes kGenre1EndMarker; // --《ジャンル１ここまで》--
extern const Bytes kGenre2EndMarker; // --《ジャンル２ここまで》--
extern const Bytes kFormatEndMarker; // --《判型ここまで》--

// True for a line equal to one of the three end markers. Kept as a list
// entry or heading it would end its list early when the file is read back,
// so no such entry may enter a list.
bool isListEndMarker(const Bytes& line);

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
    // records 1..recordCount. Line breaks (CR LF, LF) in single-line values
    // become spaces; a lone CR breaks no line and is kept.
    static std::string serialise(const Catalogue& catalogue);
    static std::string serialise(const CatalogueContent& content);

    // A single-line value as the file holds it: each line break (CR LF or a
    // lone LF) becomes one space; a lone CR breaks no line and stays.
    static Bytes singleLine(std::string_view value);

    // Reading: reads and parses the whole file first; only then takes it over
    // into the catalogue, which is untouched when anything fails. Takes over
    // the header (captions become stored and live captions) and records 1..n;
    // the catalogue then holds n records. Returns the record count held before.
    static int read(const QString& path, Catalogue& catalogue);

    // read() on bytes already in memory. `completeRecords` (when given) is
    // told how many records the file held in full: fewer than the record count
    // when it ends early, the rest then read as empty. `recordsPastCount`
    // (when given) is told how many records follow the last one the count
    // line names, as another program may append them; they are not read, so
    // the next save drops them unless the user is asked first.
    static int readBytes(std::string_view bytes, Catalogue& catalogue,
                         int* completeRecords = nullptr, int* recordsPastCount = nullptr);
    // The same on bytes the catalogue may keep (`owner` keeps them where
    // they are): its records then refer to them instead of holding copies.
    static int readBytes(std::shared_ptr<const void> owner, std::string_view bytes,
                         Catalogue& catalogue, int* completeRecords = nullptr,
                         int* recordsPastCount = nullptr);

    // What reading a file in to keep tells, beside the catalogue itself.
    struct KeptRead {
        int oldCount = 0; // as read() returns it
        int complete = 0; // as readBytes() tells them
        int pastCount = 0;
        qint64 size = 0; // the file's size and hash when read
        QByteArray hash;
    };
    // read() for a catalogue that keeps the file's bytes: where it can be
    // done safely they are mapped, not copied, and left to the page cache
    // once parsed, so that a large catalogue costs the program little memory
    // until its records are looked at.
    static KeptRead readKept(const QString& path, Catalogue& catalogue);
    // Tells one version of a file's bytes from another (within one run).
    static QByteArray hashOf(std::string_view bytes);

    // Writes the whole file atomically. On failure the file on disk is as it
    // was, and IoError is thrown.
    static void write(const QString& path, const Catalogue& catalogue);
};

} // namespace sorabel
