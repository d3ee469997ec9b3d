#pragma once

#include "core/catalogue/Catalogue.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <span>
#include <vector>

namespace sorabel {

// The reading-log services and programs whose exports the import knows.
enum class CsvPresetId {
    Generic,
    Booklog,
    Bookmeter,
    Goodreads,
    Calibre,
    LibraryThing,
    Collection
};

// What a column of an export becomes.
enum class ColumnRole {
    Ignore,     // not taken in
    Field,      // the text of one field
    Genres,     // "SF; 評論": the first two into genre 1 and genre 2
    Note,       // a "名前: 値" entry in 備考１
    Identifier, // a "名前: 値" entry in 備考２ (ISBN, ASIN, URL)
    Memo,       // a "名前: 値" paragraph after the impressions
    Rating,     // a note; 0 means not rated
    Flag,       // a note only when set (true, 1, あり)
    Shelf,      // the service's reading state: a note, and the dates the state needs
    Added,      // the day the book was put on the service: a note, and the date a state
                // needs when the file has none of its own
};

struct ColumnPlan {
    ColumnRole role = ColumnRole::Ignore;
    std::optional<Field> field; // for Field
    QString label;              // the name in notes: the column's own name or a Japanese one
};
// One entry a column of the file.
using ImportPlan = std::vector<ColumnPlan>;

class CsvPreset {
public:
    struct Column {
        const char* name; // as the service writes it in its header
        ColumnRole role;
        Field field;       // for Field
        const char* label; // for notes; nullptr: the column's name
    };

    CsvPresetId id;
    const char* optionName;  // for --preset
    const char* displayName; // in the dialog
    bool headerless;         // the service writes no header row
    std::span<const Column> columns;

    static const CsvPreset& get(CsvPresetId id);
    static std::span<const CsvPresetId> all();
    static std::optional<CsvPresetId> fromOptionName(const QString& name);
    // "generic, booklog, ..." for messages.
    static QString optionNames();

    // The service whose header this is, when it is one.
    static std::optional<CsvPresetId> fromHeader(const std::vector<QString>& header);
    // Whether a row without header looks like the first book of a ブクログ
    // export: its column count, a service number, a date-time, a reading state.
    static bool looksLikeHeaderlessBooklog(const std::vector<QString>& row);

    // The column names for a file without header: the service's own names
    // for a headerless service, "1 列目", "2 列目", ... otherwise.
    std::vector<QString> headerFor(size_t columnCount) const;

    // What every column becomes: the service's table for the columns it
    // names, then the catalogue's captions and the common names of other
    // programs (HeaderMapping::guess) for the rest.
    ImportPlan plan(const std::vector<QString>& header, const Catalogue& catalogue) const;
};

// A reading state word of a service: which date it needs.
enum class ShelfState { None, Stacked, Reading, Finished };
ShelfState shelfStateOf(const QString& word);

} // namespace sorabel
