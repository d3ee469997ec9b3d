#pragma once

#include "core/catalogue/Catalogue.h"
#include "core/csv/CsvEncoding.h"
#include "core/csv/CsvError.h"
#include "core/csv/CsvPreset.h"
#include "core/csv/CsvReader.h"
#include "core/csv/HeaderMapping.h"

#include <QString>
#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace sorabel {

// A CSV file read for import: its encoding, header and data rows.
struct CsvDocument {
    CsvEncoding encoding = CsvEncoding::Utf8;
    std::vector<QString> header;
    std::vector<CsvRow> rows; // cells in the file's own encoding
    int moreRows = 0;         // rows past kMaxRows, counted only
    int firstMoreLine = 0;
    bool headerless = false; // the first row is a book; `header` names the columns
    CsvPresetId preset = CsvPresetId::Generic; // the service the file comes from
    // Bytes that could not be read in the encoding and became "〓": the line
    // and the bytes in hex.
    std::vector<std::pair<int, QString>> undecodable;

    // A cell as text, for showing it.
    QString text(const std::string& cell) const;
};

// How to read a file; what is not given is told from the file.
struct CsvReadOptions {
    std::optional<CsvEncoding> encoding;
    std::optional<CsvPresetId> preset;
    std::optional<bool> firstRowIsData; // "1行目はデータ"
};

struct CsvRead {
    CsvDocument document;
    std::optional<CsvError> error;
};

// What to do with text the catalogue cannot hold.
enum class UnencodablePolicy {
    Replace, // each such character becomes "〓"
    Skip,    // the row is not taken in
};

// One line of the import's report.
struct CsvImportNote {
    enum class Kind {
        Replaced,      // characters became "〓"; the record is taken in
        SkippedText,   // the row holds characters the catalogue cannot hold
        SkippedRagged, // the row has another number of cells than the header
        LineBreaks,    // line breaks in a one-line field became spaces
        OverLimit,     // rows past the 2000th record
        Padded,        // a short row: the missing cells count as empty
        Undecodable,   // bytes not readable in the encoding became "〓"
    };
    Kind kind;
    int line = 0;               // the CSV line the row starts on
    int record = 0;             // the record number it becomes; 0 when not taken in
    std::optional<Field> field; // the field concerned, if one
    QString characters;         // the characters replaced or refused
    int count = 0;              // OverLimit: how many rows are refused
    QString text;               // the line as shown to the user
};

using Record = std::array<Bytes, kFieldCount>;

struct CsvImportResult {
    std::vector<Record> records; // to append, in file order
    int firstRecord = 1;         // the number the first of them gets
    std::vector<CsvImportNote> notes;
    int skipped = 0;   // rows not taken in (ragged or refused text)
    int overLimit = 0; // rows refused for the 2000-record limit
    int replaced = 0;  // fields in which characters became "〓"
};

// Turning a CSV file into records of this catalogue.
class CsvImport {
public:
    // Files larger than this are refused before they are read.
    static constexpr qint64 kMaxFileBytes = 32 * 1024 * 1024;
    // Rows kept from a file: ten catalogues' worth. Rows past them can never
    // come in and are only counted, so that a file of millions of short
    // lines costs no more memory than its size.
    static constexpr size_t kMaxRows = 10 * kMaxRecords;
    // Columns a file may have; each has its mapping box in the dialog.
    static constexpr size_t kMaxColumns = 1000;
    static inline const QString kReplacement = QStringLiteral("〓");

    // Undecodable bytes a file may have and still be read, each made "〓".
    static constexpr int kMaxUndecodable = 64;

    // Reads and checks the bytes: too large, empty, a NUL byte, an encoding
    // that cannot be told or does not fit (a few stray bytes are made "〓"),
    // an unclosed quote, only a header. The first row is the header unless
    // it is data: as asked, for a service that writes no header, or when it
    // looks like the first book of such a service's file.
    static CsvRead read(std::string_view bytes, const CsvReadOptions& options);
    static CsvRead read(std::string_view bytes, std::optional<CsvEncoding> encoding = {}) {
        return read(bytes, CsvReadOptions{encoding, {}, {}});
    }
    // The whole file into `bytes`; too large a file is refused before it is
    // read, and reading errors become CsvErrors.
    static std::optional<CsvError> load(const QString& path, std::string& bytes);
    // read() on a file.
    static CsvRead readFile(const QString& path, const CsvReadOptions& options);
    static CsvRead readFile(const QString& path, std::optional<CsvEncoding> encoding = {}) {
        return readFile(path, CsvReadOptions{encoding, {}, {}});
    }

    // The records the rows make with this mapping, after `recordCount`
    // records: look-alikes are mapped to their code page 932 forms, line
    // breaks stay as they are in the impressions and become a space
    // elsewhere, rows with
    // another number of cells than the header are skipped, text the catalogue
    // cannot hold is replaced or its row skipped, rows past the 2000th record
    // are refused. Every change and refusal is in the notes.
    static CsvImportResult prepare(const CsvDocument& document,
                                   const HeaderMapping::Columns& columns, UnencodablePolicy policy,
                                   const Catalogue& catalogue);
    // The same with a service's plan: notes, cleaning and reading states as
    // CsvBookBuilder makes them. Short rows are padded.
    static CsvImportResult prepare(const CsvDocument& document, const ImportPlan& plan,
                                   UnencodablePolicy policy, const Catalogue& catalogue,
                                   CsvPresetId preset);

    // The report as lines of text, one a note.
    static QStringList reportLines(const CsvImportResult& result);
};

} // namespace sorabel
