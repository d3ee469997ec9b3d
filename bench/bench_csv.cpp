// CSV export and import of a full catalogue (2000 books, about 1 KB of
// Japanese impressions each) beside the catalogue file's own writing and
// reading of the same books.
#include "core/csv/CsvImport.h"
#include "core/csv/CsvWriter.h"
#include "core/format/CatalogueFile.h"
#include "core/storage/FileIo.h"
#include "core/text/ShiftJis.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <unistd.h>

#include "FullCatalogue.h"

using namespace sorabel;

namespace {

struct Fixture {
    Catalogue catalogue;
    QTemporaryDir dir;
    QString srb, csvUtf8, csvSjis, booklog, goodreads, target;

    Fixture() {
        catalogue = bench::fullCatalogue("再読, \"二度目\"");
        srb = dir.filePath("books.srb");
        csvUtf8 = dir.filePath("books-utf8.csv");
        csvSjis = dir.filePath("books-sjis.csv");
        target = dir.filePath("target");
        FileIo::writeAtomically(srb, CatalogueFile::serialise(catalogue));
        CsvWriter::writeFile(csvUtf8, catalogue, CsvEncoding::Utf8Bom);
        CsvWriter::writeFile(csvSjis, catalogue, CsvEncoding::ShiftJis);
        booklog = dir.filePath("booklog.csv");
        goodreads = dir.filePath("goodreads.csv");
        writeServiceExports();
    }

    // The same books as a service would export them: ブクログ's headerless
    // Shift-JIS with every cell quoted, and Goodreads' UTF-8 with ="…" ISBNs,
    // HTML breaks and shelves.
    void writeServiceExports() {
        const auto text = [&](Field f, int r) {
            QString t = sjis::decode(catalogue.field(f, r));
            t.replace(u'"', QStringLiteral("\"\""));
            return t;
        };
        const char* states[] = {"読み終わった", "積読", "いま読んでる", "読みたい"};
        const char* shelves[] = {"read", "to-read", "currently-reading", "read"};
        QString b, g = QStringLiteral(
                       "Book Id,Title,Author,Author l-f,Additional Authors,ISBN,ISBN13,My "
                       "Rating,Average Rating,Publisher,Binding,Number of Pages,Year "
                       "Published,Original Publication Year,Date Read,Date Added,Bookshelves,"
                       "Bookshelves with positions,Exclusive Shelf,My Review,Spoiler,Private "
                       "Notes,Read Count,Owned Copies\r\n");
        for (int r = 1; r <= catalogue.recordCount(); ++r) {
            const QString isbn = QStringLiteral("97841%1").arg(r, 8, 10, QLatin1Char('0'));
            QString review = text(Field::Impressions, r);
            review.replace(QStringLiteral("\r\n"), QStringLiteral("<br/>"));
            b += QStringLiteral("\"1\",\"%1\",\"%2\",\"小説\",\"%3\",\"%4\",\"%5\",\"SF,名作\","
                                "\"メモ\",\"2024-01-10 12:34:56\",\"%6\",\"%7\",\"%8\",\"%9\","
                                "\"2015\",\"%10\",\"320\",\"%11\"\r\n")
                     .arg(isbn.mid(3, 10), isbn, QString::number(r % 6),
                          QString::fromUtf8(states[r % 4]), text(Field::Impressions, r),
                          r % 4 ? QString() : QStringLiteral("2024-03-05 00:00:00"),
                          text(Field::Title, r), text(Field::Author, r), text(Field::Publisher, r))
                     .arg(text(Field::Genre1, r), text(Field::Price, r));
            g += QStringLiteral("%1,\"%2\",\"%3\",,\"%4\",\"=\"\"%5\"\"\",\"=\"\"%6\"\"\",%7,3.9,"
                                "\"%8\",Paperback,320,2019,2015,%9,2024/01/10,%10,,%10,\"%11\","
                                "false,,1,0\r\n")
                     .arg(r)
                     .arg(text(Field::Title, r), text(Field::Author, r), text(Field::Translator, r),
                          isbn.mid(3, 10), isbn)
                     .arg(r % 6)
                     .arg(text(Field::Publisher, r),
                          r % 4 ? QString() : QStringLiteral("2024/03/05"),
                          QString::fromUtf8(shelves[r % 4]), review);
        }
        FileIo::writeAtomically(booklog, sjis::encode(b));
        FileIo::writeAtomically(goodreads, g.toStdString());
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_CatalogueWrite(benchmark::State& state) {
    Catalogue& c = fixture().catalogue;
    for (auto _ : state)
        CatalogueFile::write(fixture().target, c);
}

void BM_CatalogueRead(benchmark::State& state) {
    Catalogue c;
    for (auto _ : state)
        CatalogueFile::read(fixture().srb, c);
}

void exportCsv(benchmark::State& state, CsvEncoding encoding) {
    for (auto _ : state)
        CsvWriter::writeFile(fixture().target, fixture().catalogue, encoding);
}
void BM_CsvExportUtf8Bom(benchmark::State& state) {
    exportCsv(state, CsvEncoding::Utf8Bom);
}
void BM_CsvExportShiftJis(benchmark::State& state) {
    exportCsv(state, CsvEncoding::ShiftJis);
}

// Read, detect, map by the header, convert, append: the whole import into an
// empty catalogue.
void importCsv(benchmark::State& state, const QString& path) {
    Catalogue c;
    for (auto _ : state) {
        c.resize(0);
        const CsvRead read = CsvImport::readFile(path);
        if (read.error) {
            state.SkipWithError(read.error->message.toStdString().c_str());
            return;
        }
        const auto result =
            CsvImport::prepare(read.document, HeaderMapping::guess(read.document.header, c),
                               UnencodablePolicy::Replace, c);
        c.appendRecords(result.records);
    }
    if (c.recordCount() != kMaxRecords)
        state.SkipWithError("not every record came in");
}
// A service's export: told from its header or shape, cleaned, notes made.
void importService(benchmark::State& state, const QString& path) {
    Catalogue c;
    for (auto _ : state) {
        c.resize(0);
        const CsvRead read = CsvImport::readFile(path);
        if (read.error) {
            state.SkipWithError(read.error->message.toStdString().c_str());
            return;
        }
        const CsvPreset& preset = CsvPreset::get(read.document.preset);
        const auto result = CsvImport::prepare(read.document, preset.plan(read.document.header, c),
                                               UnencodablePolicy::Replace, c, read.document.preset);
        c.appendRecords(result.records);
    }
    if (c.recordCount() != kMaxRecords)
        state.SkipWithError("not every record came in");
}
void BM_CsvImportBooklog(benchmark::State& state) {
    importService(state, fixture().booklog);
}
void BM_CsvImportGoodreads(benchmark::State& state) {
    importService(state, fixture().goodreads);
}

void BM_CsvImportUtf8Bom(benchmark::State& state) {
    importCsv(state, fixture().csvUtf8);
}
void BM_CsvImportShiftJis(benchmark::State& state) {
    importCsv(state, fixture().csvSjis);
}

BENCHMARK(BM_CatalogueWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CsvExportUtf8Bom)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CsvExportShiftJis)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CatalogueRead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CsvImportUtf8Bom)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CsvImportShiftJis)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CsvImportBooklog)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CsvImportGoodreads)->Unit(benchmark::kMillisecond)->UseRealTime();

// Keeps each benchmark's real time per iteration for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    SummaryReporter() : ConsoleReporter(::isatty(1) ? OO_ColorTabular : OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs)
            if (run.run_type == Run::RT_Iteration) {
                const std::string name = run.benchmark_name();
                times[name.substr(0, name.find('/'))] = run.GetAdjustedRealTime();
            }
    }
    std::map<std::string, double> times; // milliseconds
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    std::printf(
        "2000 books: catalogue file %lld bytes, CSV %lld bytes (UTF-8), %lld bytes (Shift-JIS)\n",
        static_cast<long long>(QFileInfo(fixture().srb).size()),
        static_cast<long long>(QFileInfo(fixture().csvUtf8).size()),
        static_cast<long long>(QFileInfo(fixture().csvSjis).size()));
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    auto& t = reporter.times;
    auto line = [&](const char* what, const char* csv, const char* own) {
        if (!t.count(csv) || !t.count(own))
            return;
        std::printf("%-34s %7.2f ms   catalogue file %7.2f ms   (target 50 ms: %s)\n", what, t[csv],
                    t[own], t[csv] <= 50.0 ? "met" : "MISSED");
    };
    line("export, UTF-8 with BOM", "BM_CsvExportUtf8Bom", "BM_CatalogueWrite");
    line("export, Shift-JIS", "BM_CsvExportShiftJis", "BM_CatalogueWrite");
    line("import, UTF-8 with BOM", "BM_CsvImportUtf8Bom", "BM_CatalogueRead");
    line("import, Shift-JIS", "BM_CsvImportShiftJis", "BM_CatalogueRead");
    line("import, ブクログ (headerless)", "BM_CsvImportBooklog", "BM_CatalogueRead");
    line("import, Goodreads", "BM_CsvImportGoodreads", "BM_CatalogueRead");
    return 0;
}
