// Shift-JIS conversion of every field of a full catalogue (2000 books, about
// 1 KB of Japanese impressions each), as the windows decode the fields they
// show and encode what is typed.
#include "core/text/ShiftJis.h"

#include <benchmark/benchmark.h>

#include "FullCatalogue.h"

using namespace sorabel;

namespace {

struct Fields {
    std::vector<Bytes> bytes;
    std::vector<QString> texts;
    int64_t size = 0;

    Fields() {
        const Catalogue catalogue = bench::fullCatalogue();
        for (int r = 1; r <= catalogue.recordCount(); ++r)
            for (int f = 0; f < kFieldCount; ++f) {
                bytes.emplace_back(catalogue.field(static_cast<Field>(f), r));
                texts.push_back(sjis::decode(bytes.back()));
                size += static_cast<int64_t>(bytes.back().size());
            }
    }
};

const Fields& fields() {
    static const Fields f;
    return f;
}

template <typename Convert>
void convertAll(benchmark::State& state, const auto& inputs, Convert convert) {
    for (auto _ : state)
        for (const auto& input : inputs)
            benchmark::DoNotOptimize(convert(input));
    state.SetBytesProcessed(state.iterations() * fields().size);
}

void BM_Decode(benchmark::State& state) {
    convertAll(state, fields().bytes, [](const Bytes& b) { return sjis::decode(b); });
}

void BM_DecodeSpanned(benchmark::State& state) {
    convertAll(state, fields().bytes, [](const Bytes& b) { return sjis::decodeSpanned(b); });
}

void BM_Encode(benchmark::State& state) {
    convertAll(state, fields().texts, [](const QString& t) { return sjis::tryEncode(t); });
}

void BM_EncodeSpanned(benchmark::State& state) {
    convertAll(state, fields().texts, [](const QString& t) { return sjis::encodeSpanned(t); });
}

} // namespace

BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeSpanned)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeSpanned)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
