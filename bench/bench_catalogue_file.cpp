// Reading and writing a full catalogue (2000 records, about 1 KB of Japanese
// impressions each) against plain file access to the same bytes.
#include "core/format/CatalogueFile.h"
#include "core/storage/FileIo.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <unistd.h>

#include "FullCatalogue.h"

using namespace sorabel;

namespace {

struct Fixture {
    Catalogue catalogue;
    std::string bytes;
    QTemporaryDir dir;
    QString source; // the catalogue file read by the read benchmarks
    QString target; // the file the write benchmarks replace

    Fixture() {
        catalogue = bench::fullCatalogue();
        bytes = CatalogueFile::serialise(catalogue);
        source = dir.filePath("source.srb");
        target = dir.filePath("target.srb");
        FileIo::writeAtomically(source, bytes);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void setBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(fixture().bytes.size()));
}

void BM_PlainCopy(benchmark::State& state) {
    const std::string& bytes = fixture().bytes;
    std::string copy(bytes.size(), '\0');
    for (auto _ : state) {
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    setBytes(state);
}

void BM_PlainRead(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(FileIo::readAll(fixture().source));
    setBytes(state);
}

void BM_PlainWrite(benchmark::State& state) {
    for (auto _ : state)
        FileIo::writeAtomically(fixture().target, fixture().bytes);
    setBytes(state);
}

void BM_Parse(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(CatalogueFile::parse(fixture().bytes));
    setBytes(state);
}

// What reading does once the bytes are in memory.
void BM_ParseApply(benchmark::State& state) {
    Catalogue c;
    for (auto _ : state)
        CatalogueFile::readBytes(fixture().bytes, c);
    setBytes(state);
}

// The same into a catalogue that holds nothing yet, as at start-up: every
// text is allocated anew.
void BM_ParseApplyFresh(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto c = std::make_unique<Catalogue>();
        state.ResumeTiming();
        CatalogueFile::readBytes(fixture().bytes, *c);
        state.PauseTiming();
        c.reset();
        state.ResumeTiming();
    }
    setBytes(state);
}

void BM_ReadCatalogue(benchmark::State& state) {
    Catalogue c;
    for (auto _ : state)
        CatalogueFile::read(fixture().source, c);
    setBytes(state);
}

void BM_Serialise(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(CatalogueFile::serialise(fixture().catalogue));
    setBytes(state);
}

void BM_WriteCatalogue(benchmark::State& state) {
    for (auto _ : state)
        CatalogueFile::write(fixture().target, fixture().catalogue);
    setBytes(state);
}

BENCHMARK(BM_PlainCopy);
BENCHMARK(BM_PlainRead);
BENCHMARK(BM_PlainWrite)->UseRealTime();
BENCHMARK(BM_Parse);
BENCHMARK(BM_ParseApply);
BENCHMARK(BM_ParseApplyFresh);
BENCHMARK(BM_ReadCatalogue);
BENCHMARK(BM_Serialise);
BENCHMARK(BM_WriteCatalogue)->UseRealTime();

// Keeps each benchmark's time per iteration for the ratios printed at the end:
// CPU time, except for the file writes, whose time is mostly waiting for the disk.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(::isatty(1) ? OO_ColorTabular : OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            if (run.run_type != Run::RT_Iteration)
                continue;
            const std::string name = run.benchmark_name();
            const bool real = name.find("real_time") != std::string::npos;
            times[name.substr(0, name.find('/'))] =
                real ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime();
        }
    }
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    std::printf("catalogue file: %zu bytes, %d records\n", fixture().bytes.size(), kMaxRecords);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    auto& t = reporter.times;
    auto ratio = [&](const char* what, double slow, double fast, bool target) {
        if (slow <= 0 || fast <= 0)
            return;
        const double r = slow / fast;
        std::printf("%-52s %6.2fx%s\n", what, r,
                    target ? (r <= 3.0 ? "  (target 3x: met)" : "  (target 3x: MISSED)") : "");
    };
    ratio("read (file+parse+apply) / plain file read", t["BM_ReadCatalogue"], t["BM_PlainRead"],
          true);
    ratio("read (file+parse+apply) / plain file read + memcpy", t["BM_ReadCatalogue"],
          t["BM_PlainRead"] + t["BM_PlainCopy"], false);
    ratio("write (serialise+file) / plain file write", t["BM_WriteCatalogue"], t["BM_PlainWrite"],
          true);
    ratio("parse+apply in memory / memcpy", t["BM_ParseApply"], t["BM_PlainCopy"], true);
    ratio("parse+apply into a new catalogue / memcpy", t["BM_ParseApplyFresh"], t["BM_PlainCopy"],
          false);
    ratio("serialise in memory / memcpy", t["BM_Serialise"], t["BM_PlainCopy"], true);
    return 0;
}
