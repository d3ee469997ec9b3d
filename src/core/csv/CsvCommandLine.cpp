#include "core/csv/CsvCommandLine.h"

#include "core/csv/CsvImport.h"
#include "core/csv/CsvWriter.h"
#include "core/format/CatalogueFile.h"
#include "core/storage/FileIo.h"

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
                          "[--encoding utf-8|utf-8-bom|shift-jis]\n");
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

int importCsv(const QString& csvFile, const QString& catalogueFile,
              std::optional<CsvEncoding> encoding, QTextStream& err) {
    Catalogue catalogue;
    catalogue.resize(0); // a new catalogue holds just the imported books
    if (FileIo::exists(catalogueFile)) {
        try {
            CatalogueFile::read(catalogueFile, catalogue);
        } catch (const std::exception& e) {
            return fail(err, catalogueFile, QString::fromUtf8(e.what()));
        }
    }
    const CsvRead read = CsvImport::readFile(csvFile, encoding);
    if (read.error)
        return fail(err, csvFile, read.error->message);

    const auto columns = HeaderMapping::guess(read.document.header, catalogue);
    if (auto error = HeaderMapping::check(columns, catalogue))
        return fail(err, csvFile, error->message);
    for (const QString& note : HeaderMapping::notes(read.document.header, columns, catalogue))
        err << csvFile << QStringLiteral(": ") << note << '\n';

    const CsvImportResult result =
        CsvImport::prepare(read.document, columns, UnencodablePolicy::Replace, catalogue);
    // Without a window to ask, a partial import would go unnoticed: refuse it.
    if (result.overLimit) {
        for (const QString& line : CsvImport::reportLines(result))
            err << csvFile << QStringLiteral(": ") << line << '\n';
        return fail(err, catalogueFile, QStringLiteral("読書録は変更していません"));
    }
    for (const QString& line : CsvImport::reportLines(result))
        err << csvFile << QStringLiteral(": ") << line << '\n';
    try {
        if (!catalogue.appendRecords(result.records))
            return fail(err, catalogueFile, QStringLiteral("記録できるのは２０００冊までです"));
        CatalogueFile::write(catalogueFile, catalogue);
    } catch (const std::exception& e) {
        return fail(err, catalogueFile, QString::fromUtf8(e.what()));
    }
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

int CsvCommandLine::run(const QStringList& args, QTextStream& err) {
    QStringList rest = args.mid(1);
    std::optional<CsvEncoding> encoding;
    const qsizetype at = rest.indexOf(kEncoding);
    if (at >= 0) {
        if (at + 1 >= rest.size())
            return usage(err);
        encoding = csv_encoding::fromOptionName(rest.at(at + 1));
        if (!encoding) {
            err << QStringLiteral(
                       "文字コード「%1」は使えません（utf-8、utf-8-bom、shift-jis のどれか）\n")
                       .arg(rest.at(at + 1));
            err.flush();
            return 1;
        }
        rest.remove(at, 2);
    }
    if (rest.size() != 3)
        return usage(err);
    if (rest.at(0) == kExport)
        return exportCsv(rest.at(1), rest.at(2), encoding.value_or(CsvEncoding::Utf8Bom), err);
    if (rest.at(0) == kImport)
        return importCsv(rest.at(1), rest.at(2), encoding, err);
    return usage(err);
}

} // namespace sorabel
