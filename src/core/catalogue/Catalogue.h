#pragma once

#include "core/catalogue/FieldTable.h"

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sorabel {

// Text in the catalogue: Shift-JIS bytes exactly as stored, never converted.
using Bytes = std::string;

struct FontValues {
    int32_t size = 0;   // points; 0 leaves the default size
    Bytes name;         // face name; empty leaves the designed face
    int32_t colour = 0; // 0x00BBGGRR, or 0x80000000 + system colour index
    bool operator==(const FontValues&) const = default;
};

// Everything that a catalogue file carries apart from the records.
struct CatalogueHeader {
    FontValues captionFont;
    FontValues contentsFont;
    std::array<Bytes, kFieldCount> flags;      // "TRUE" shows a field, anything else hides it
    std::array<Bytes, kCaptionCount> captions; // captions 1..16
    std::array<std::vector<Bytes>, kListCount> lists; // entry 0 is the heading
    int32_t spacing = 0;
    bool operator==(const CatalogueHeader&) const = default;
};

// The one document of the program: up to 2000 book records of 19 fields plus
// the values that travel with them and the run-time state the commands share.
class Catalogue {
public:
    Catalogue();

    // Record fields, records numbered 1..2000. A view stays valid until the
    // field is set again, its record is moved or removed, or other records
    // are read in.
    std::string_view field(Field f, int record) const;
    void setField(Field f, int record, Bytes text);

    // The bytes records are read from. Texts that lie inside them are kept
    // as places in them rather than copied (a 2000-book catalogue would be
    // 38,000 strings and their slots, half as large again as the file).
    // Every record read before refers to the old bytes: the caller assigns
    // or clears each of them next. `owner` keeps `bytes` where they are.
    void keepSource(std::shared_ptr<const void> owner, std::string_view bytes);
    // Sets the 19 texts (display order) of a record: a text inside the kept
    // source is referred to, any other copied.
    void assignRecord(int record, std::span<const std::string_view, kFieldCount> texts);

    // The number of records (0..2000); records 1..recordCount() are the catalogue.
    int recordCount() const { return count_; }
    // Takes `count` records: those after it are emptied. Loading a file and
    // arranging a catalogue in tests use it; the session keeps every other change.
    void resize(int count);

    // Record moves, each keeping the record count right.
    void clearRecord(int record);
    void copyRecord(int from, int to);
    // Removes `record`: the later records move up one place.
    void removeRecord(int record);
    // Inserts an empty record at `record` (1..count+1): the later ones move down.
    void insertEmptyRecord(int record);
    // Appends records after the last one, all or none: false (and nothing
    // changed) when they would pass 2000 records.
    bool appendRecords(const std::vector<std::array<Bytes, kFieldCount>>& records);
    // Reorders records 1..count: the new record i is the old record order[i-1].
    void reorder(const std::vector<int>& order);

    // Values that travel with the records.
    FontValues captionFont;
    FontValues contentsFont;
    std::array<Bytes, kFieldCount> flags;             // visibility flags
    std::array<Bytes, kCaptionCount> storedCaptions;  // as last read from a file
    std::array<Bytes, kCaptionCount> liveCaptions;    // the texts of captions 1..16
    std::array<std::vector<Bytes>, kListCount> lists; // choice lists, heading first
    int32_t spacing = 0;

    bool isShown(Field f) const { return flags[static_cast<size_t>(index(f))] == "TRUE"; }
    Bytes& flag(Field f) { return flags[static_cast<size_t>(index(f))]; }
    std::vector<Bytes>& list(ChoiceList l) { return lists[static_cast<size_t>(l)]; }
    const std::vector<Bytes>& list(ChoiceList l) const { return lists[static_cast<size_t>(l)]; }
    // Heading (entry 0) of a choice list; empty when the list is empty.
    Bytes heading(ChoiceList l) const;

    // The header as the file writer sees it (live captions).
    CatalogueHeader header() const;
    // Takes a whole header (the settings dialog's OK, taken back or done again).
    void setHeader(const CatalogueHeader& h);

    static std::array<std::vector<Bytes>, kListCount> defaultLists();
    static std::array<Bytes, kCaptionCount> defaultCaptions();

private:
    // Where a text is: `size` bytes at `at` in the source, or, with kOwn set
    // in `size`, the text own_[at].
    struct Slot {
        uint32_t at = 0;
        uint32_t size = 0;
    };
    static constexpr uint32_t kOwn = 0x80000000u;

    int count_ = 1; // a new catalogue holds one empty record
    // columns_[storage column][record - 1]. The columns grow as records are
    // stored, never shorter than the record count; a record past their end is
    // empty.
    std::array<std::vector<Slot>, kFieldCount> columns_;
    std::shared_ptr<const void> sourceOwner_;
    std::string_view source_;
    // Texts of the catalogue's own: a deque, so that a text never moves
    // while others are added.
    std::deque<Bytes> own_;
    std::vector<uint32_t> freeOwn_;

    void makeSlots(int records);
    Slot& slot(Field f, int record);
    Slot slot(Field f, int record) const;
    std::string_view text(Slot s) const;
    void release(Slot& s);
    uint32_t newOwnText(); // a free place in own_
    Slot ownCopy(std::string_view text);
};

} // namespace sorabel
