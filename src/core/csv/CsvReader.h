#pragma once

#include "core/csv/CsvError.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorabel {

// One row of a CSV file: its cells as the file's bytes, and the line it
// starts on.
struct CsvRow {
    int line = 0;
    std::vector<std::string> cells;
};

struct CsvParse {
    std::vector<CsvRow> rows;
    std::optional<CsvError> error; // when set, rows holds what came before it
    int moreRows = 0;              // rows past the kept ones, only counted
    int firstMoreLine = 0;         // the line the first of them starts on
};

// RFC 4180 reading, lenient where other programs are: rows end at CR LF, LF
// or a lone CR; a quoted cell may hold commas, doubled quotes and line breaks
// as they stand; a quote inside an unquoted cell, and text after a closing
// quote, are kept as text. Empty lines are skipped. The bytes must be UTF-8
// or code page 932, whose multibyte sequences never contain the bytes of
// '"', ',', CR or LF, so the cells are cut without decoding.
class CsvReader {
public:
    // Keeps the first `maxRows` rows; the rest are checked and counted.
    static CsvParse parse(std::string_view bytes, size_t maxRows = SIZE_MAX);

    // The message for a quoted cell that is never closed, starting on `line`.
    static QString unclosedQuoteMessage(int line);
};

} // namespace sorabel
