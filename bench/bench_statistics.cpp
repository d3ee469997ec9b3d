// Reading statistics of a full catalogue (2000 books with dates in every form
// readers type) against the budget of 10 ms for reading all dates and
// computing every table; decoding the same date texts alone is shown beside.
#include "core/stats/ReadingStatistics.h"
#include "core/text/DateReader.h"
#include "core/text/ShiftJis.h"

#include <benchmark/benchmark.h>

using namespace sorabel;

namespace {

const Catalogue& catalogue() {
    static const Catalogue c = [] {
        Catalogue c;
        const char* genres1[] = {"小説", "論文", "随筆", "紀行", "漫画"};
        const char* genres2[] = {"ミステリ", "ＳＦ", "歴史", "", "思想", "時代小説", "地理"};
        const char* formats[] = {"文庫", "新書", "四六版", "A5版"};
        for (int r = 1; r <= kMaxRecords; ++r) {
            const int y = 2000 + r % 25, m = 1 + r % 12, d = 1 + r % 28;
            const std::string ymd[] = {
                std::to_string(y) + "/" + std::to_string(m) + "/" + std::to_string(d),
                "令和" + std::to_string(1 + r % 6) + "年" + std::to_string(m) + "月" +
                    std::to_string(d) + "日",
                "H" + std::to_string(1 + r % 30) + "." + std::to_string(m) + "." +
                    std::to_string(d),
                "２０２３／１１／３０",
                std::to_string(y) + "年" + std::to_string(m) + "月",
                "",
                "そのうち",
            };
            auto set = [&](Field f, const std::string& utf8) {
                c.setField(f, r, sjis::fromUtf8(utf8));
            };
            set(Field::Title, "本" + std::to_string(r));
            set(Field::Genre1, genres1[r % 5]);
            set(Field::Genre2, genres2[r % 7]);
            set(Field::Format, formats[r % 4]);
            // Mostly plain western dates, as most readers type them.
            set(Field::DateFinished, ymd[r % 10 < 6 ? 0 : r % 7]);
            set(Field::DateStarted, ymd[r % 3 == 0 ? 5 : 0]);
            set(Field::DateBought, ymd[r % 9 < 5 ? 0 : r % 7]);
        }
        c.resize(kMaxRecords);
        return c;
    }();
    return c;
}

const Field kDates[] = {Field::DateFinished, Field::DateStarted, Field::DateBought};

void BM_DecodeDatesOnly(benchmark::State& state) {
    const Catalogue& c = catalogue();
    for (auto _ : state)
        for (int r = 1; r <= c.recordCount(); ++r)
            for (Field f : kDates)
                benchmark::DoNotOptimize(sjis::decode(c.field(f, r)));
}
BENCHMARK(BM_DecodeDatesOnly)->Unit(benchmark::kMillisecond);

void BM_ReadAllDates(benchmark::State& state) {
    const Catalogue& c = catalogue();
    for (auto _ : state)
        for (int r = 1; r <= c.recordCount(); ++r)
            for (Field f : kDates)
                benchmark::DoNotOptimize(readDate(sjis::decode(c.field(f, r))));
}
BENCHMARK(BM_ReadAllDates)->Unit(benchmark::kMillisecond);

// Everything the window shows, for both dates: every year's months, the years,
// each breakdown for every year and for all years, the undated books and the
// reading status. Budget: 10 ms.
void BM_EveryTable(benchmark::State& state) {
    const Catalogue& c = catalogue();
    for (auto _ : state) {
        const ReadingStatistics s(c);
        for (DateBasis b : {DateBasis::Finished, DateBasis::Bought}) {
            benchmark::DoNotOptimize(s.perYear(b));
            benchmark::DoNotOptimize(s.undated(b).size());
            for (int year : s.years(b)) {
                benchmark::DoNotOptimize(s.perMonth(b, year));
                for (ChoiceList l : {ChoiceList::Genre1, ChoiceList::Genre2, ChoiceList::Format})
                    benchmark::DoNotOptimize(s.byGroup(b, l, year));
            }
            for (ChoiceList l : {ChoiceList::Genre1, ChoiceList::Genre2, ChoiceList::Format})
                benchmark::DoNotOptimize(s.byGroup(b, l, std::nullopt));
        }
        benchmark::DoNotOptimize(s.withStatus(ReadingStatus::Reading).size());
    }
}
BENCHMARK(BM_EveryTable)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
