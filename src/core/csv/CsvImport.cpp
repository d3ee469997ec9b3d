#include "core/csv/CsvImport.h"

#include "core/csv/CsvBookBuilder.h"
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

Converted toCatalogueText(const QString& source) {
    // ASCII is the same in code page 932: no converter for dates, numbers, ISBNs.
    if (std::all_of(source.begin(), source.end(), [](QChar c) { return c.unicode() < 0x80; })) {
        const QByteArray latin = source.toLatin1();
        return {Bytes(latin.constData(), static_cast<size_t>(latin.size())), {}};
    }
    const QString text = toCodePageLookAlikes(source);
    sjis::Encoded e = sjis::tryEncode(text);
    if (e.ok())
        return {std::move(e.bytes), {}};
    return {sjis::encode(replaced(text, e.unencodable)), e.unencodable};
}

Converted toCatalogueText(const std::string& cell, CsvEncoding encoding) {
    if (encoding == CsvEncoding::ShiftJis || isAscii(cell))
        return {cell, {}};
    return toCatalogueText(QString::fromUtf8(cell.data(), static_cast<qsizetype>(cell.size())));
}

// The bytes with each one that is not valid in the encoding made "〓"; false
// when there are more than a few (the file is in another encoding).
bool repair(std::string_view bytes, CsvEncoding encoding, std::string& out,
            std::vector<std::pair<int, QString>>& undecodable) {
    const bool sjis = encoding == CsvEncoding::ShiftJis;
    const std::string_view mark =
        sjis ? std::string_view("\x81\xAC") : std::string_view("\xE3\x80\x93");
    const size_t skip = sjis ? 0 : csv_encoding::withoutBom(bytes).size() == bytes.size() ? 0 : 3;
    out.assign(bytes.substr(0, skip));
    std::string_view rest = bytes.substr(skip);
    int line = 1;
    int count = 0;
    while (!rest.empty()) {
        const size_t at =
            sjis ? csv_encoding::invalidShiftJisAt(rest) : csv_encoding::invalidUtf8At(rest);
        if (at == std::string_view::npos) {
            out.append(rest);
            break;
        }
        // A few in a text, not a text in another encoding or no text at all.
        if (++count > CsvImport::kMaxUndecodable || size_t(count) * 20 > bytes.size())
            return false;
        line += static_cast<int>(
            std::count(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
        out.append(rest.substr(0, at));
        out.append(mark);
        undecodable.emplace_back(
            line, QStringLiteral("0x%1")
                      .arg(static_cast<unsigned char>(rest[at]), 2, 16, QLatin1Char('0'))
                      .toUpper()
                      .replace(QStringLiteral("0X"), QStringLiteral("0x")));
        rest.remove_prefix(at + 1);
    }
    return true;
}

// Whether the builder would leave a Shift-JIS cell as it is: no spaces to
// trim, no markup or entity, no ="…", and line breaks only as CR LF in the
// impressions. Multibyte characters never hold these ASCII bytes.
bool passesUnchanged(const std::string& cell, bool impressions) {
    std::string_view text = cell;
    while (impressions && text.ends_with("\r\n"))
        text.remove_suffix(2); // trimmed by rawBytes
    if (text.empty())
        return false;
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    if (space(text.front()) || space(text.back()) || text.starts_with("=\"") ||
        text.starts_with("\x81\x40") || text.back() == '\x40')
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '<' || c == '&')
            return false;
        if (c == '\r' || c == '\n') {
            if (!impressions || c == '\n' || i + 1 >= text.size() || text[i + 1] != '\n')
                return false;
            ++i;
        }
    }
    return true;
}

} // namespace

QString CsvDocument::text(const std::string& cell) const {
    if (isAscii(cell))
        return QString::fromLatin1(cell.data(), static_cast<qsizetype>(cell.size()));
    if (encoding == CsvEncoding::ShiftJis)
        return sjis::decode(cell);
    return QString::fromUtf8(cell.data(), static_cast<qsizetype>(cell.size()));
}

CsvRead CsvImport::read(std::string_view bytes, const CsvReadOptions& options) {
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
    std::string repaired;
    if (options.encoding) {
        if (auto error = csv_encoding::check(bytes, *options.encoding)) {
            if (!repair(bytes, *options.encoding, repaired, out.document.undecodable)) {
                out.error = error;
                return out;
            }
            bytes = repaired;
        }
        out.document.encoding = *options.encoding;
    } else if (auto detected = csv_encoding::detect(bytes)) {
        out.document.encoding = *detected;
        // A byte-order mark says UTF-8 without saying that all of it is.
        if (*detected == CsvEncoding::Utf8Bom && csv_encoding::check(bytes, *detected)) {
            if (!repair(bytes, *detected, repaired, out.document.undecodable))
                return out.error = csv_encoding::check(bytes, *detected), out;
            bytes = repaired;
        }
    } else {
        // A few stray bytes (one Latin-1 letter in a UTF-8 file) should not
        // keep the rest out: the encoding they spoil least is taken.
        bool done = false;
        for (CsvEncoding e : {CsvEncoding::Utf8, CsvEncoding::ShiftJis}) {
            out.document.undecodable.clear();
            if (repair(bytes, e, repaired, out.document.undecodable)) {
                out.document.encoding =
                    e == CsvEncoding::Utf8 && bytes.starts_with(csv_encoding::kBom)
                        ? CsvEncoding::Utf8Bom
                        : e;
                bytes = repaired;
                done = true;
                break;
            }
        }
        if (!done)
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
    if (parsed.rows.front().cells.size() > kMaxColumns)
        return failure(1, QStringLiteral("列が多すぎます（%1 列）。取り込めるのは %2 列までです")
                              .arg(parsed.rows.front().cells.size())
                              .arg(kMaxColumns));
    std::vector<QString> first;
    for (const auto& cell : parsed.rows.front().cells)
        first.push_back(out.document.text(cell));

    CsvDocument& doc = out.document;
    if (options.preset) {
        doc.preset = *options.preset;
        doc.headerless = options.firstRowIsData.value_or(CsvPreset::get(doc.preset).headerless);
    } else if (auto preset = CsvPreset::fromHeader(first)) {
        doc.preset = *preset;
        doc.headerless = options.firstRowIsData.value_or(false);
    } else if (CsvPreset::looksLikeHeaderlessBooklog(first)) {
        doc.preset = CsvPresetId::Booklog;
        doc.headerless = options.firstRowIsData.value_or(true);
    } else {
        doc.headerless = options.firstRowIsData.value_or(false);
    }

    if (doc.headerless) {
        doc.header = CsvPreset::get(doc.preset).headerFor(first.size());
    } else {
        if (parsed.rows.size() < 2)
            return failure(1, QStringLiteral("見出しの行しかありません。取り込む行がありません"));
        doc.header = std::move(first);
        parsed.rows.erase(parsed.rows.begin());
    }
    // The header row itself is not kept, so a headerless file keeps one row more.
    if (doc.headerless && parsed.rows.size() > kMaxRows) {
        ++parsed.moreRows;
        if (parsed.moreRows == 1)
            parsed.firstMoreLine = parsed.rows.back().line;
        parsed.rows.pop_back();
    }
    doc.rows = std::move(parsed.rows);
    doc.moreRows = parsed.moreRows;
    doc.firstMoreLine = parsed.firstMoreLine;
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

CsvRead CsvImport::readFile(const QString& path, const CsvReadOptions& options) {
    std::string bytes;
    if (auto error = load(path, bytes))
        return CsvRead{{}, error};
    return read(bytes, options);
}

CsvImportResult CsvImport::prepare(const CsvDocument& document,
                                   const HeaderMapping::Columns& columns, UnencodablePolicy policy,
                                   const Catalogue& catalogue) {
    ImportPlan plan(document.header.size());
    for (size_t c = 0; c < plan.size() && c < columns.size(); ++c)
        if (columns[c])
            plan[c] = {ColumnRole::Field, columns[c], document.header[c]};
    return prepare(document, plan, policy, catalogue, CsvPresetId::Generic);
}

CsvImportResult CsvImport::prepare(const CsvDocument& document, const ImportPlan& plan,
                                   UnencodablePolicy policy, const Catalogue& catalogue,
                                   CsvPresetId preset) {
    CsvImportResult result;
    const int room = kMaxRecords - catalogue.recordCount();
    result.firstRecord = kMaxRecords - room + 1;
    const size_t width = document.header.size();
    std::array<QString, kFieldCount> captions;
    for (const auto& info : fieldTable())
        captions[static_cast<size_t>(index(info.field))] =
            HeaderMapping::captionText(catalogue, info.field);
    auto captionOf = [&](Field f) { return captions[static_cast<size_t>(index(f))]; };

    for (const auto& [line, bytes] : document.undecodable)
        result.notes.push_back(
            {CsvImportNote::Kind::Undecodable, line, 0, std::nullopt, kReplacement, 0,
             QStringLiteral("%1 行目: %2 として読めないバイト %3 を「%4」に"
                            "しました")
                 .arg(line)
                 .arg(document.encoding == CsvEncoding::ShiftJis ? QStringLiteral("Shift-JIS")
                                                                 : QStringLiteral("UTF-8"),
                      bytes, kReplacement)});

    // Straight column-to-field copies keep the file's bytes, so that this
    // program's own export comes back exactly; anything a service needs
    // goes through the builder's text.
    const bool straight =
        preset == CsvPresetId::Generic &&
        std::all_of(plan.begin(), plan.end(), [](const ColumnPlan& p) {
            return p.role == ColumnRole::Ignore || (p.role == ColumnRole::Field && p.field);
        });
    const CsvBookBuilder builder(document.header, plan, preset);
    // Fields whose Shift-JIS cells may keep their bytes: not the dates (made
    // plain), not the notes (entries are added) and not what a service's own
    // rules rewrite.
    std::array<bool, kFieldCount> sjisRaw{};
    if (document.encoding == CsvEncoding::ShiftJis)
        for (const Field f : {Field::Title, Field::Subtitle, Field::Reading, Field::Genre2,
                              Field::Format, Field::Author, Field::Translator, Field::Publisher,
                              Field::Series, Field::Price, Field::EditionRead, Field::Impressions})
            sjisRaw[static_cast<size_t>(index(f))] = true;
    if (preset == CsvPresetId::Goodreads)
        sjisRaw[static_cast<size_t>(index(Field::Title))] = false;
    if (preset == CsvPresetId::Calibre)
        sjisRaw[static_cast<size_t>(index(Field::Author))] =
            sjisRaw[static_cast<size_t>(index(Field::Series))] = false;
    if (preset == CsvPresetId::LibraryThing)
        sjisRaw[static_cast<size_t>(index(Field::Publisher))] =
            sjisRaw[static_cast<size_t>(index(Field::Translator))] = false;
    std::vector<QString> texts;

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
        if (extraText) {
            ++result.skipped;
            result.notes.push_back(
                {CsvImportNote::Kind::SkippedRagged,
                 row.line,
                 0,
                 std::nullopt,
                 {},
                 0,
                 QStringLiteral("%1 行目: 列の数（%2）が見出しの列の数（%3）より多いので、"
                                "この行は取り込みません")
                     .arg(row.line)
                     .arg(row.cells.size())
                     .arg(width)});
            continue;
        }

        const int recordNo = result.firstRecord + static_cast<int>(result.records.size());
        if (row.cells.size() < width)
            result.notes.push_back(
                {CsvImportNote::Kind::Padded,
                 row.line,
                 recordNo,
                 std::nullopt,
                 {},
                 0,
                 QStringLiteral("%1 行目（記録 %2）: 列が %3 つしかないので、後ろの %4 列は空欄に"
                                "しました")
                     .arg(row.line)
                     .arg(recordNo)
                     .arg(row.cells.size())
                     .arg(width - row.cells.size())});
        Record record;
        std::vector<CsvImportNote> notes;
        bool refused = false;
        const auto store = [&](Field f, Converted value) {
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
        };
        if (straight) {
            for (size_t c = 0; c < width && c < plan.size(); ++c)
                if (plan[c].field && c < row.cells.size())
                    store(*plan[c].field, toCatalogueText(row.cells[c], document.encoding));
        } else {
            // Shift-JIS cells the builder would pass through unchanged are not
            // decoded at all (decoding is most of an import's time): their
            // bytes go straight in, the impressions with any memo after them.
            std::array<int, kFieldCount> raw;
            raw.fill(-1);
            texts.clear();
            for (size_t c = 0; c < row.cells.size(); ++c) {
                const std::string& cell = row.cells[c];
                const int f = c < plan.size() && plan[c].role == ColumnRole::Field && plan[c].field
                                  ? index(*plan[c].field)
                                  : -1;
                if (f >= 0 && sjisRaw[static_cast<size_t>(f)] &&
                    passesUnchanged(cell, fieldAt(f) == Field::Impressions)) {
                    raw[static_cast<size_t>(f)] = static_cast<int>(c);
                    texts.emplace_back();
                } else {
                    texts.push_back(document.text(cell));
                }
            }
            const CsvBookBuilder::FieldTexts fields = builder.build(texts);
            for (int i = 0; i < kFieldCount; ++i) {
                const QString& text = fields[static_cast<size_t>(i)];
                if (const int c = raw[static_cast<size_t>(i)]; c >= 0) {
                    Converted value{row.cells[static_cast<size_t>(c)], {}};
                    while (value.bytes.ends_with("\r\n"))
                        value.bytes.resize(value.bytes.size() - 2);
                    if (!text.isEmpty()) { // the memos after the impressions
                        Converted more = toCatalogueText(text);
                        value.bytes += "\r\n\r\n" + more.bytes;
                        value.unencodable = more.unencodable;
                    }
                    store(fieldAt(i), std::move(value));
                } else if (!text.isEmpty()) {
                    store(fieldAt(i), toCatalogueText(text));
                }
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
