// CSV export and import of a full catalogue (2000 books, about 1 KB of
// Japanese impressions each) beside the catalogue file's own writing and
// reading of the same books.
#include "core/csv/CsvImport.h"
#include "core/csv/CsvWriter.h"
#include "core/format/CatalogueFile.h"
#include "core/storage/FileIo.h"

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
    QString srb, csvUtf8, csvSjis, target;

    Fixture() {
        catalogue = bench::fullCatalogue("再読, \"二度目\"");
        srb = dir.filePath("books.srb");
        csvUtf8 = dir.filePath("books-utf8.csv");
        csvSjis = dir.filePath("books-sjis.csv");
        target = dir.filePath("target");
        FileIo::writeAtomically(srb, CatalogueFile::serialise(catalogue));
        CsvWriter::writeFile(csvUtf8, catalogue, CsvEncoding::Utf8Bom);
        CsvWriter::writeFile(csvSjis, catalogue, CsvEncoding::ShiftJis);
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
    return 0;
}
