#include "core/csv/CsvWriter.h"

#include "core/csv/HeaderMapping.h"
#include "core/storage/FileIo.h"
#include "core/text/ShiftJis.h"

#include <algorithm>

namespace sorabel {

void CsvWriter::appendCell(std::string& out, std::string_view cell) {
    // Code page 932 trail bytes are 0x40 and above, so these searches never
    // hit the second byte of a character.
    const bool quote = cell.find_first_of(",\"\r\n") != std::string_view::npos ||
                       (!cell.empty() && (cell.front() == ' ' || cell.front() == '\t' ||
                                          cell.back() == ' ' || cell.back() == '\t'));
    if (!quote) {
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
    // The whole file is built in code page 932 and converted once at the end.
    std::string out;
    const int count = catalogue.recordCount();
    size_t size = 256;
    for (int r = 1; r <= count; ++r)
        for (const auto& info : fieldTable())
            size += catalogue.field(info.field, r).size() + 3;
    out.reserve(size);

    for (const auto& info : fieldTable()) {
        if (info.number > 1)
            out.push_back(',');
        appendCell(out, HeaderMapping::caption(catalogue, info.field));
    }
    out += "\r\n";
    for (int r = 1; r <= count; ++r) {
        for (const auto& info : fieldTable()) {
            if (info.number > 1)
                out.push_back(',');
            appendCell(out, catalogue.field(info.field, r));
        }
        out += "\r\n";
    }
    if (encoding == CsvEncoding::ShiftJis)
        return out;
    const QByteArray utf8 = sjis::decode(out).toUtf8();
    std::string result;
    result.reserve(static_cast<size_t>(utf8.size()) + 3);
    if (encoding == CsvEncoding::Utf8Bom)
        result.append(csv_encoding::kBom);
    result.append(utf8.constData(), static_cast<size_t>(utf8.size()));
    return result;
}

void CsvWriter::writeFile(const QString& path, const Catalogue& catalogue, CsvEncoding encoding) {
    FileIo::writeAtomically(path, write(catalogue, encoding));
}

} // namespace sorabel
