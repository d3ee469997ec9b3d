#include "core/csv/CsvCommandLine.h"

#include "core/csv/CsvImport.h"
#include "core/csv/CsvWriter.h"
#include "core/csv/DuplicateBooks.h"
#include "core/format/CatalogueFile.h"
#include "core/storage/FileIo.h"
#include "core/storage/SafeFileWriter.h"

#include <algorithm>

#include <exception>
#include <string_view>

namespace sorabel {

namespace {

const QString kExport = QStringLiteral("--export-csv");
const QString kImport = QStringLiteral("--import-csv");
const QString kEncoding = QStringLiteral("--encoding");

int usage(QTextStream& err) {
    err << QStringLiteral("使い方:\n"
                          "  sorabel --export-csv 読書録.srb 出力.csv "
                          "[--encoding utf-8|utf-8-bom|shift-jis]\n"
                          "  sorabel --import-csv 入力.csv 読書録.srb "
                          "[--encoding utf-8|utf-8-bom|shift-jis]\n"
                          "        [--preset generic|booklog|bookmeter|goodreads|calibre|"
                          "librarything|collection]\n"
                          "        [--no-header] [--map '列名=項目名,…'] [--allow-duplicates] "
                          "[--dry-run]\n");
    err.flush();
    return 1;
}

int fail(QTextStream& err, const QString& file, const QString& message) {
    err << file << QStringLiteral(": ") << message << '\n';
    err.flush();
    return 1;
}

int exportCsv(const QString& catalogueFile, const QString& csvFile, CsvEncoding encoding,
              QTextStream& err) {
    Catalogue catalogue;
    try {
        CatalogueFile::read(catalogueFile, catalogue);
    } catch (const std::exception& e) {
        return fail(err, catalogueFile, QString::fromUtf8(e.what()));
    }
    try {
        CsvWriter::writeFile(csvFile, catalogue, encoding);
    } catch (const std::exception& e) {
        return fail(err, csvFile, QString::fromUtf8(e.what()));
    }
    return 0;
}

struct ImportOptions {
    CsvReadOptions read;
    QString map;
    bool dryRun = false;
    bool allowDuplicates = false;
};

QString roleText(const ColumnPlan& p, const Catalogue& catalogue) {
    switch (p.role) {
    case ColumnRole::Ignore:
        return QStringLiteral("取り込まない");
    case ColumnRole::Field:
        return p.field ? HeaderMapping::captionText(catalogue, *p.field) : QString();
    case ColumnRole::Genres:
        return QStringLiteral("%1・%2").arg(HeaderMapping::captionText(catalogue, Field::Genre1),
                                            HeaderMapping::captionText(catalogue, Field::Genre2));
    case ColumnRole::Identifier:
        return QStringLiteral("%1（%2: 値）")
            .arg(HeaderMapping::captionText(catalogue, Field::Note2), p.label);
    case ColumnRole::Memo:
        return QStringLiteral("%1の後（%2: 値）")
            .arg(HeaderMapping::captionText(catalogue, Field::Impressions), p.label);
    case ColumnRole::Shelf:
        return QStringLiteral("%1（%2: 値）と読書状況の日付")
            .arg(HeaderMapping::captionText(catalogue, Field::Note1), p.label);
    case ColumnRole::Note:
    case ColumnRole::Rating:
    case ColumnRole::Flag:
    case ColumnRole::Added:
        break;
    }
    return QStringLiteral("%1（%2: 値）")
        .arg(HeaderMapping::captionText(catalogue, Field::Note1), p.label);
}

// --map 'Primary Author=著作者・編者,Tags=備考,Summary=取り込まない': a column by
// its name or number, a field by its caption (or 備考: a note, 取り込まない).
std::optional<QString> applyMap(const QString& spec, const std::vector<QString>& header,
                                ImportPlan& plan, const Catalogue& catalogue) {
    for (const QString& item : spec.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const qsizetype eq = item.lastIndexOf(QLatin1Char('='));
        if (eq <= 0)
            return QStringLiteral("--map の「%1」は「列名=項目名」の形ではありません").arg(item);
        const QString column = item.left(eq).trimmed();
        const QString target = item.mid(eq + 1).trimmed();
        int at = -1;
        bool isNumber = false;
        const int number = column.toInt(&isNumber);
        for (size_t c = 0; c < header.size() && at < 0; ++c)
            if (HeaderMapping::normalise(header[c]) == HeaderMapping::normalise(column))
                at = static_cast<int>(c);
        if (at < 0 && isNumber && number >= 1 && static_cast<size_t>(number) <= header.size())
            at = number - 1;
        if (at < 0)
            return QStringLiteral("--map: 列「%1」がファイルにありません").arg(column);
        ColumnPlan& p = plan[static_cast<size_t>(at)];
        if (target == QStringLiteral("取り込まない")) {
            p = {ColumnRole::Ignore, std::nullopt, header[static_cast<size_t>(at)]};
        } else if (target == QStringLiteral("備考")) {
            p = {ColumnRole::Note, std::nullopt, header[static_cast<size_t>(at)]};
        } else if (const auto f = HeaderMapping::fieldFor(target, catalogue)) {
            // The field leaves the column that had it.
            for (ColumnPlan& other : plan)
                if (other.role == ColumnRole::Field && other.field == f)
                    other = {ColumnRole::Ignore, std::nullopt, other.label};
            p = {ColumnRole::Field, f, header[static_cast<size_t>(at)]};
        } else {
            return QStringLiteral("--map: 項目「%1」がありません").arg(target);
        }
    }
    return std::nullopt;
}

int importCsv(const QString& csvFile, const QString& catalogueFile, const ImportOptions& options,
              QTextStream& out, QTextStream& err) {
    Catalogue catalogue;
    catalogue.resize(0); // a new catalogue holds just the imported books
    const bool existing = FileIo::exists(catalogueFile);
    if (existing) {
        try {
            CatalogueFile::read(catalogueFile, catalogue);
        } catch (const std::exception& e) {
            return fail(err, catalogueFile, QString::fromUtf8(e.what()));
        }
    }
    const CsvRead read = CsvImport::readFile(csvFile, options.read);
    if (read.error)
        return fail(err, csvFile, read.error->message);
    const CsvDocument& document = read.document;

    const CsvPreset& preset = CsvPreset::get(document.preset);
    ImportPlan plan = preset.plan(document.header, catalogue);
    if (auto error = applyMap(options.map, document.header, plan, catalogue))
        return fail(err, csvFile, *error);
    HeaderMapping::Columns fields(plan.size());
    bool any = false;
    for (size_t c = 0; c < plan.size(); ++c) {
        fields[c] = plan[c].role == ColumnRole::Field ? plan[c].field : std::nullopt;
        any |= plan[c].role != ColumnRole::Ignore;
    }
    const bool anyField = std::any_of(fields.begin(), fields.end(),
                                      [](const std::optional<Field>& f) { return f.has_value(); });
    if (auto error = HeaderMapping::check(fields, catalogue); error && (anyField || !any))
        return fail(err, csvFile, error->message);

    CsvImportResult result =
        CsvImport::prepare(document, plan, UnencodablePolicy::Replace, catalogue, document.preset);

    // Rows that look like books already in the catalogue (importing a file twice).
    int duplicates = 0;
    if (existing) {
        const DuplicateBooks known(catalogue);
        const auto kept =
            std::remove_if(result.records.begin(), result.records.end(), [&](const Record& r) {
                const bool dup = known.contains(r);
                duplicates += dup;
                return dup && !options.allowDuplicates;
            });
        result.records.erase(kept, result.records.end());
    }
    QString duplicateNote;
    if (duplicates)
        duplicateNote = options.allowDuplicates
                            ? QStringLiteral("%1 行は読書録にすでにある本と同じようですが、"
                                             "--allow-duplicates により加えます")
                                  .arg(duplicates)
                            : QStringLiteral("%1 行は読書録にすでにある本と同じようなので"
                                             "加えません（加えるには --allow-duplicates）")
                                  .arg(duplicates);

    if (options.dryRun) {
        out << QStringLiteral("%1: %2として読みます（%3、%4）\n")
                   .arg(csvFile, QString::fromUtf8(preset.displayName),
                        csv_encoding::displayName(document.encoding),
                        document.headerless ? QStringLiteral("1行目はデータ")
                                            : QStringLiteral("1行目は見出し"));
        const auto& first = document.rows.empty() ? CsvRow{} : document.rows.front();
        for (size_t c = 0; c < plan.size(); ++c) {
            const QString sample = c < first.cells.size()
                                       ? document.text(first.cells[c]).simplified().left(30)
                                       : QString();
            out << QStringLiteral("  %1 列目「%2」→ %3")
                       .arg(c + 1)
                       .arg(document.header[c], roleText(plan[c], catalogue));
            if (!sample.isEmpty() && plan[c].role != ColumnRole::Ignore)
                out << QStringLiteral("　例: %1").arg(sample);
            out << '\n';
        }
        for (const QString& line : CsvImport::reportLines(result))
            out << line << '\n';
        if (!duplicateNote.isEmpty())
            out << duplicateNote << '\n';
        out << QStringLiteral("%1 件を %2 に加えます（--dry-run のため何も書き込みません）\n")
                   .arg(result.records.size())
                   .arg(catalogueFile);
        out.flush();
        return 0;
    }

    for (const QString& line : CsvImport::reportLines(result))
        err << csvFile << QStringLiteral(": ") << line << '\n';
    // Without a window to ask, a partial import would go unnoticed: refuse it.
    if (result.overLimit)
        return fail(err, catalogueFile, QStringLiteral("読書録は変更していません"));
    if (!duplicateNote.isEmpty())
        err << csvFile << QStringLiteral(": ") << duplicateNote << '\n';
    try {
        if (!catalogue.appendRecords(result.records))
            return fail(err, catalogueFile, QStringLiteral("記録できるのは２０００冊までです"));
        // An existing catalogue keeps its old self as the backup, as Save does.
        if (existing)
            SafeFileWriter().writeWithBackup(catalogueFile, CatalogueFile::serialise(catalogue));
        else
            CatalogueFile::write(catalogueFile, catalogue);
    } catch (const std::exception& e) {
        return fail(err, catalogueFile, QString::fromUtf8(e.what()));
    }
    err << catalogueFile << QStringLiteral(": %1 件を加えました").arg(result.records.size())
        << '\n';
    err.flush();
    return 0;
}

} // namespace

bool CsvCommandLine::wanted(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i)
        if (argv[i] == std::string_view("--export-csv") ||
            argv[i] == std::string_view("--import-csv"))
            return true;
    return false;
}

int CsvCommandLine::run(const QStringList& args, QTextStream& out, QTextStream& err) {
    QStringList rest = args.mid(1);
    ImportOptions options;
    // An option and the value after it, taken out of `rest`.
    const auto valueOf = [&](const QString& name, QString& value) -> int {
        const qsizetype at = rest.indexOf(name);
        if (at < 0)
            return 0;
        if (at + 1 >= rest.size())
            return -1;
        value = rest.at(at + 1);
        rest.remove(at, 2);
        return 1;
    };
    const auto flag = [&](const QString& name) { return rest.removeAll(name) > 0; };

    QString value;
    int found = valueOf(kEncoding, value);
    if (found < 0)
        return usage(err);
    if (found) {
        options.read.encoding = csv_encoding::fromOptionName(value);
        if (!options.read.encoding) {
            err << QStringLiteral(
                       "文字コード「%1」は使えません（utf-8、utf-8-bom、shift-jis のどれか）\n")
                       .arg(value);
            err.flush();
            return 1;
        }
    }
    if ((found = valueOf(QStringLiteral("--preset"), value)) < 0)
        return usage(err);
    if (found) {
        options.read.preset = CsvPreset::fromOptionName(value);
        if (!options.read.preset) {
            err << QStringLiteral("形式「%1」は使えません（%2 のどれか）\n")
                       .arg(value, CsvPreset::optionNames());
            err.flush();
            return 1;
        }
    }
    if (valueOf(QStringLiteral("--map"), options.map) < 0)
        return usage(err);
    if (flag(QStringLiteral("--no-header")))
        options.read.firstRowIsData = true;
    options.dryRun = flag(QStringLiteral("--dry-run"));
    options.allowDuplicates = flag(QStringLiteral("--allow-duplicates"));

    if (rest.size() != 3)
        return usage(err);
    if (rest.at(0) == kExport)
        return exportCsv(rest.at(1), rest.at(2),
                         options.read.encoding.value_or(CsvEncoding::Utf8Bom), err);
    if (rest.at(0) == kImport)
        return importCsv(rest.at(1), rest.at(2), options, out, err);
    return usage(err);
}

} // namespace sorabel
