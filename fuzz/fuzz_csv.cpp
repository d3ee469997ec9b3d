// Arbitrary bytes as a CSV file to import: reading either reports an error or
// gives rows that map onto a catalogue; every prepared record fits the file
// format, and appending them never passes the record limit.
#include "core/catalogue/Catalogue.h"
#include "core/csv/CsvImport.h"
#include "core/csv/HeaderMapping.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace sorabel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const CsvRead read = CsvImport::read(bytes);
    if (read.error)
        return 0;
    Catalogue catalogue;
    const auto columns = HeaderMapping::guess(read.document.header, catalogue);
    if (HeaderMapping::check(columns, catalogue))
        return 0;
    for (auto policy : {UnencodablePolicy::Replace, UnencodablePolicy::Skip}) {
        const CsvImportResult result =
            CsvImport::prepare(read.document, columns, policy, catalogue);
        Catalogue copy;
        const bool fits = copy.appendRecords(result.records);
        if (fits != (result.records.size() <= static_cast<size_t>(kMaxRecords - 1)))
            std::abort();
        if (copy.recordCount() > kMaxRecords)
            std::abort();
    }
    return 0;
}
