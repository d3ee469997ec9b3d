#include "core/csv/CsvImport.h"

#include "core/format/CatalogueFile.h"
#include "core/storage/FileIo.h"
#include "core/text/LookAlikes.h"
#include "core/text/ShiftJis.h"

#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace sorabel {

namespace {

const QString kLimitMessage = QStringLiteral("記録できるのは２０００冊までです");

CsvRead failure(int line, const QString& message) {
    CsvRead r;
    r.error = CsvError{line, message};
    return r;
}

CsvRead tooLarge(qint64 size) {
    return failure(0,
                   QStringLiteral("ファイルが大きすぎます（%1 MB）。取り込めるのは %2 MB までです")
                       .arg((size + (1 << 20) - 1) >> 20)
                       .arg(CsvImport::kMaxFileBytes >> 20));
}

bool isAscii(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return (c & 0x80) == 0; });
}

// The text with every character of `bad` (each code point once) replaced.
QString replaced(const QString& text, const QString& bad) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype step =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()
                ? 2
                : 1;
        const QString ch = text.mid(i, step);
        out += bad.contains(ch) ? CsvImport::kReplacement : ch;
        i += step;
    }
    return out;
}

struct Converted {
    Bytes bytes;
    QString unencodable; // characters that were replaced
};

Converted toCatalogueText(const std::string& cell, CsvEncoding encoding) {
    if (encoding == CsvEncoding::ShiftJis || isAscii(cell))
        return {cell, {}};
    const QString text =
        toCodePageLookAlikes(QString::fromUtf8(cell.data(), static_cast<qsizetype>(cell.size())));
    sjis::Encoded e = sjis::tryEncode(text);
    if (e.ok())
        return {std::move(e.bytes), {}};
    return {sjis::encode(replaced(text, e.unencodable)), e.unencodable};
}

} // namespace

QString CsvDocument::text(const std::string& cell) const {
    if (encoding == CsvEncoding::ShiftJis)
        return sjis::decode(cell);
    return QString::fromUtf8(cell.data(), static_cast<qsizetype>(cell.size()));
}

CsvRead CsvImport::read(std::string_view bytes, std::optional<CsvEncoding> encoding) {
    if (static_cast<qint64>(bytes.size()) > kMaxFileBytes)
        return tooLarge(static_cast<qint64>(bytes.size()));
    if (bytes.find_first_not_of("\r\n", bytes.starts_with(csv_encoding::kBom) ? 3 : 0) ==
        std::string_view::npos)
        return failure(0, QStringLiteral("ファイルが空です"));
    if (const void* nul = std::memchr(bytes.data(), '\0', bytes.size())) {
        const int line = csv_encoding::lineAt(
            bytes, static_cast<size_t>(static_cast<const char*>(nul) - bytes.data()));
        return failure(line, QStringLiteral("%1 行目に NUL 文字があります。"
                                            "テキストの CSV ファイルではないようです")
                                 .arg(line));
    }

    CsvRead out;
    if (encoding) {
        if (auto error = csv_encoding::check(bytes, *encoding)) {
            out.error = error;
            return out;
        }
        out.document.encoding = *encoding;
    } else if (auto detected = csv_encoding::detect(bytes)) {
        out.document.encoding = *detected;
    } else {
        return failure(0, QStringLiteral("文字コードを判別できません。UTF-8 か Shift-JIS の"
                                         " CSV ファイルではないようです"));
    }

    const std::string_view body =
        out.document.encoding == CsvEncoding::ShiftJis ? bytes : csv_encoding::withoutBom(bytes);
    // The header and kMaxRows data rows.
    CsvParse parsed = CsvReader::parse(body, kMaxRows + 1);
    if (parsed.error) {
        out.error = parsed.error;
        return out;
    }
    if (parsed.rows.size() < 2)
        return failure(1, QStringLiteral("見出しの行しかありません。取り込む行がありません"));
    if (parsed.rows.front().cells.size() > kMaxColumns)
        return failure(1, QStringLiteral("列が多すぎます（%1 列）。取り込めるのは %2 列までです")
                              .arg(parsed.rows.front().cells.size())
                              .arg(kMaxColumns));
    for (const auto& cell : parsed.rows.front().cells)
        out.document.header.push_back(out.document.text(cell));
    parsed.rows.erase(parsed.rows.begin());
    out.document.rows = std::move(parsed.rows);
    out.document.moreRows = parsed.moreRows;
    out.document.firstMoreLine = parsed.firstMoreLine;
    return out;
}

std::optional<CsvError> CsvImport::load(const QString& path, std::string& bytes) {
    const QFileInfo info(path);
    // Refused before reading, so that a huge file costs nothing.
    if (info.isFile() && info.size() > kMaxFileBytes)
        return tooLarge(info.size()).error;
    try {
        bytes = FileIo::readAll(path, FileIo::kMaxCatalogueBytes, io_messages::kFileTooLarge);
    } catch (const std::exception& e) {
        return CsvError{0, QString::fromUtf8(e.what())};
    }
    return std::nullopt;
}

CsvRead CsvImport::readFile(const QString& path, std::optional<CsvEncoding> encoding) {
    std::string bytes;
    if (auto error = load(path, bytes))
        return CsvRead{{}, error};
    return read(bytes, encoding);
}

CsvImportResult CsvImport::prepare(const CsvDocument& document,
                                   const HeaderMapping::Columns& columns, UnencodablePolicy policy,
                                   const Catalogue& catalogue) {
    CsvImportResult result;
    const int room = kMaxRecords - catalogue.recordCount();
    result.firstRecord = kMaxRecords - room + 1;
    const size_t width = document.header.size();
    std::array<QString, kFieldCount> captions;
    for (const auto& info : fieldTable())
        captions[static_cast<size_t>(index(info.field))] =
            HeaderMapping::captionText(catalogue, info.field);
    auto captionOf = [&](Field f) { return captions[static_cast<size_t>(index(f))]; };

    int firstRefusedLine = 0;
    for (const CsvRow& row : document.rows) {
        if (static_cast<int>(result.records.size()) >= room) {
            if (!result.overLimit++)
                firstRefusedLine = row.line;
            continue;
        }
        const bool extraText =
            row.cells.size() > width &&
            std::any_of(row.cells.begin() + static_cast<std::ptrdiff_t>(width), row.cells.end(),
                        [](const std::string& c) { return !c.empty(); });
        if (row.cells.size() < width || extraText) {
            ++result.skipped;
            result.notes.push_back(
                {CsvImportNote::Kind::SkippedRagged,
                 row.line,
                 0,
                 std::nullopt,
                 {},
                 0,
                 QStringLiteral("%1 行目: 列の数（%2）が見出しの列の数（%3）と違います。"
                                "この行は取り込みません")
                     .arg(row.line)
                     .arg(row.cells.size())
                     .arg(width)});
            continue;
        }

        const int recordNo = result.firstRecord + static_cast<int>(result.records.size());
        Record record;
        std::vector<CsvImportNote> notes;
        bool refused = false;
        for (size_t c = 0; c < width && c < columns.size(); ++c) {
            if (!columns[c])
                continue;
            const Field f = *columns[c];
            Converted value = toCatalogueText(row.cells[c], document.encoding);
            if (!value.unencodable.isEmpty()) {
                if (policy == UnencodablePolicy::Skip) {
                    refused = true;
                    notes.push_back({CsvImportNote::Kind::SkippedText, row.line, 0, f,
                                     value.unencodable, 0,
                                     QStringLiteral("%1 行目「%2」: 「%3」は読書録に記録できない"
                                                    "文字です。この行は取り込みません")
                                         .arg(row.line)
                                         .arg(captionOf(f), value.unencodable)});
                } else {
                    notes.push_back({CsvImportNote::Kind::Replaced, row.line, recordNo, f,
                                     value.unencodable, 0,
                                     QStringLiteral("%1 行目（記録 %2）「%3」: 「%4」を「%5」に"
                                                    "置き換えました")
                                         .arg(row.line)
                                         .arg(recordNo)
                                         .arg(captionOf(f), value.unencodable, kReplacement)});
                }
            }
            Bytes& slot = record[static_cast<size_t>(index(f))];
            // The impressions keep their line breaks byte for byte (the
            // record view shows CR LF, LF and CR alike), so that an export
            // comes back exactly as it was.
            if (f == Field::Impressions) {
                slot = std::move(value.bytes);
            } else {
                slot = CatalogueFile::singleLine(value.bytes);
                if (slot.size() != value.bytes.size() || slot != value.bytes)
                    notes.push_back({CsvImportNote::Kind::LineBreaks,
                                     row.line,
                                     recordNo,
                                     f,
                                     {},
                                     0,
                                     QStringLiteral("%1 行目（記録 %2）「%3」: 一行の項目なので"
                                                    "改行を空白にしました")
                                         .arg(row.line)
                                         .arg(recordNo)
                                         .arg(captionOf(f))});
            }
        }
        if (refused) {
            ++result.skipped;
            for (auto& n : notes)
                if (n.kind == CsvImportNote::Kind::SkippedText)
                    result.notes.push_back(std::move(n));
            continue;
        }
        for (auto& n : notes) {
            if (n.kind == CsvImportNote::Kind::Replaced)
                ++result.replaced;
            result.notes.push_back(std::move(n));
        }
        result.records.push_back(std::move(record));
    }
    if (document.moreRows) {
        if (!result.overLimit)
            firstRefusedLine = document.firstMoreLine;
        result.overLimit += document.moreRows;
    }
    if (result.overLimit)
        result.notes.push_back({CsvImportNote::Kind::OverLimit,
                                firstRefusedLine,
                                0,
                                std::nullopt,
                                {},
                                result.overLimit,
                                QStringLiteral("%1。%2 行目から後の %3 行は取り込みません")
                                    .arg(kLimitMessage)
                                    .arg(firstRefusedLine)
                                    .arg(result.overLimit)});
    return result;
}

QStringList CsvImport::reportLines(const CsvImportResult& result) {
    QStringList out;
    for (const auto& note : result.notes)
        out << note.text;
    return out;
}

} // namespace sorabel
