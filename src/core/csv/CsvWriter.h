#pragma once

#include "core/catalogue/Catalogue.h"
#include "core/csv/CsvEncoding.h"

#include <QString>
#include <string>

namespace sorabel {

// A catalogue as CSV: a header row of the field captions, then records
// 1..recordCount, the 19 fields in display order; RFC 4180 quoting, CR LF
// between rows, the impressions' line breaks kept inside their quotes.
class CsvWriter {
public:
    static std::string write(const Catalogue& catalogue, CsvEncoding encoding);

    // Written atomically; throws IoError.
    static void writeFile(const QString& path, const Catalogue& catalogue, CsvEncoding encoding);

    // Appends one cell, quoted when it holds a comma, a quote, a line break
    // or spaces at either end (which some programs would trim).
    static void appendCell(std::string& out, std::string_view cell);
};

} // namespace sorabel
