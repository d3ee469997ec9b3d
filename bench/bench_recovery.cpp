// Writing the recovery copy of a full catalogue (2000 books) beside a plain
// Save of it with its backup: both serialise the catalogue and write it
// through the safe writer.
#include "core/format/CatalogueFile.h"
#include "core/storage/RecoveryStore.h"
#include "core/storage/SafeFileWriter.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "FullCatalogue.h"

using namespace sorabel;

namespace {

struct Fixture {
    Catalogue catalogue = bench::fullCatalogue();
    QTemporaryDir dir;
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_SaveWithBackup(benchmark::State& state) {
    const QString path = fixture().dir.filePath("books.srb");
    for (auto _ : state)
        SafeFileWriter().writeWithBackup(path, CatalogueFile::serialise(fixture().catalogue));
}

void BM_WriteRecoveryCopy(benchmark::State& state) {
    RecoveryStore store(fixture().dir.filePath("state"));
    for (auto _ : state) {
        RecoveryCopy copy;
        copy.originalPath = fixture().dir.filePath("books.srb");
        copy.cleanPoint = 3;
        copy.catalogue = CatalogueFile::serialise(fixture().catalogue);
        store.write(copy);
    }
    store.remove();
}

// The part a pause in typing costs the window: the catalogue serialised on
// its thread; the disk write then runs on a worker.
void BM_RecoveryCopyOnTheWindowThread(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(CatalogueFile::serialise(fixture().catalogue));
}

} // namespace

BENCHMARK(BM_RecoveryCopyOnTheWindowThread)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveWithBackup)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteRecoveryCopy)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
