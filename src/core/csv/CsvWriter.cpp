#include "core/csv/CsvWriter.h"

#include "core/csv/HeaderMapping.h"
#include "core/storage/FileIo.h"
#include "core/text/ShiftJis.h"

#include <algorithm>

namespace sorabel {

namespace {
// Code page 932 trail bytes are 0x40 and above, so these searches never
// hit the second byte of a character.
bool needsQuotes(std::string_view cell) {
    return cell.find_first_of(",\"\r\n") != std::string_view::npos ||
           (!cell.empty() && (cell.front() == ' ' || cell.front() == '\t' || cell.back() == ' ' ||
                              cell.back() == '\t'));
}

// The size appendCell() gives a cell.
size_t cellSize(std::string_view cell) {
    if (!needsQuotes(cell))
        return cell.size();
    return cell.size() + 2 + static_cast<size_t>(std::count(cell.begin(), cell.end(), '"'));
}
} // namespace

void CsvWriter::appendCell(std::string& out, std::string_view cell) {
    if (!needsQuotes(cell)) {
        out.append(cell);
        return;
    }
    out.push_back('"');
    for (size_t from = 0;;) {
        const size_t at = cell.find('"', from);
        out.append(cell.substr(from, at == std::string_view::npos ? at : at - from));
        if (at == std::string_view::npos)
            break;
        out += "\"\"";
        from = at + 1;
    }
    out.push_back('"');
}

std::string CsvWriter::write(const Catalogue& catalogue, CsvEncoding encoding) {
    const int count = catalogue.recordCount();
    // The exact size, so that the text is never moved to a larger buffer
    // (which would hold it twice for a moment).
    size_t size = 0;
    for (const auto& info : fieldTable())
        size += cellSize(HeaderMapping::caption(catalogue, info.field)) + 1;
    for (int r = 1; r <= count; ++r)
        for (const auto& info : fieldTable())
            size += cellSize(catalogue.field(info.field, r)) + 1;
    size += 2 * static_cast<size_t>(count + 1);

    const auto appendRow = [&](std::string& out, auto&& cellOf) {
        for (const auto& info : fieldTable()) {
            if (info.number > 1)
                out.push_back(',');
            appendCell(out, cellOf(info.field));
        }
        out += "\r\n";
    };
    const auto header = [&](Field f) { return HeaderMapping::caption(catalogue, f); };
    if (encoding == CsvEncoding::ShiftJis) {
        std::string out;
        out.reserve(size);
        appendRow(out, header);
        for (int r = 1; r <= count; ++r)
            appendRow(out, [&](Field f) { return catalogue.field(f, r); });
        return out;
    }

    // Converted a row at a time, so that the whole file never exists twice
    // (and once more as UTF-16) beside the catalogue. A byte of code page 932
    // never becomes more than three bytes of UTF-8, and a doubled quote two:
    // room for that is set aside once, and only the part written is ever
    // touched.
    std::string result;
    result.reserve(size * 3 + 3);
    if (encoding == CsvEncoding::Utf8Bom)
        result.append(csv_encoding::kBom);
    std::string row;
    const auto convertRow = [&] {
        const QByteArray utf8 = sjis::decode(row).toUtf8();
        result.append(utf8.constData(), static_cast<size_t>(utf8.size()));
        row.clear();
    };
    appendRow(row, header);
    convertRow();
    for (int r = 1; r <= count; ++r) {
        appendRow(row, [&](Field f) { return catalogue.field(f, r); });
        convertRow();
    }
    return result;
}

void CsvWriter::writeFile(const QString& path, const Catalogue& catalogue, CsvEncoding encoding) {
    FileIo::writeAtomically(path, write(catalogue, encoding));
}

} // namespace sorabel
