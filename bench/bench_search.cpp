// Searching every field of a full catalogue (2000 books, 19 fields, about
// 1 KB of impressions each) as the user types, against a plain
// QString::contains over the same decoded texts, and preparing the texts.
#include "core/catalogue/Catalogue.h"
#include "core/search/CatalogueSearch.h"
#include "core/text/ShiftJis.h"
#include "gui/search/SearchWindow.h"
#include "gui/widgets/FontSubstitution.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <memory>

#include "../tests/gui/Reach.h"
#include "FullCatalogue.h"
#include "WindowBenchmarks.h"

using namespace sorabel;

namespace {

struct Fixture {
    Catalogue catalogue;
    std::vector<QString> decoded; // record by record, display order

    Fixture() {
        const char* sentences[] = {
            "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。",
            "何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。",
            "ＳＦとミステリーの間にあるような、不思議な読み心地の長編だった。",
            "The quick brown fox jumps over the lazy dog. ｶﾀｶﾅもまじる。",
        };
        const char* titles[] = {"吾輩は猫である", "坊っちゃん", "ノルウェイの森", "三四郎",
                                "海辺のカフカ"};
        const char* authors[] = {"夏目漱石", "夏目漱石", "村上春樹", "夏目漱石", "村上春樹"};
        // The shared full catalogue, with titles, authors, notes and
        // impressions that differ from book to book, as a search meets them.
        catalogue = bench::fullCatalogue();
        for (int r = 1; r <= kMaxRecords; ++r) {
            auto set = [&](Field f, const std::string& utf8) {
                catalogue.setField(f, r, sjis::fromUtf8(utf8));
            };
            const std::string n = std::to_string(r);
            set(Field::Title, std::string(titles[r % 5]) + " その" + n);
            set(Field::Author, authors[r % 5]);
            set(Field::Translator, r % 7 ? "" : "Jay Rubin");
            set(Field::Note2, "メモ" + n);
            std::string kansou;
            for (int i = 0; kansou.size() < 1500; ++i) // about 1 KB in Shift-JIS
                kansou += std::string(sentences[(r + i) % 4]) + "\r\n";
            set(Field::Impressions, kansou + "その" + n + "。");
        }
        for (int r = 1; r <= kMaxRecords; ++r)
            for (int f = 0; f < kFieldCount; ++f)
                decoded.push_back(sjis::decode(catalogue.field(fieldAt(f), r)));
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// What a user types, one keystroke at a time: common and rare words, several
// words, kana that must fold, and a word in no book.
const std::vector<QString>& keystrokes() {
    static const std::vector<QString> all = [] {
        std::vector<QString> out;
        for (const char* typed : {"ねこ 村上", "夏目 ｿﾉ1999", "見つからない言葉", "fox ＳＦ"}) {
            const QString text = QString::fromUtf8(typed);
            for (qsizetype i = 1; i <= text.size(); ++i)
                out.push_back(text.left(i));
        }
        return out;
    }();
    return all;
}

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Times each keystroke and reports the median, the 95th percentile, the first
// and the worst in milliseconds,
// as processor time of this thread (what the program itself spends, whatever
// else the machine runs) and the median as elapsed time.
template <typename Step> void perKeystroke(benchmark::State& state, Step&& step) {
    std::vector<double> cpu;
    std::vector<double> wall;
    size_t k = 0;
    int64_t found = 0;
    for (auto _ : state) {
        const QString& query = keystrokes()[k++ % keystrokes().size()];
        const auto t0 = std::chrono::steady_clock::now();
        const double c0 = threadCpuMs();
        found += step(query);
        cpu.push_back(threadCpuMs() - c0);
        wall.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count());
    }
    state.counters["median_ms"] = median(cpu);
    state.counters["worst_ms"] = *std::max_element(cpu.begin(), cpu.end());
    state.counters["p95_ms"] = percentile(cpu, 0.95);
    state.counters["first_ms"] = cpu.front(); // the first keystroke after the window opened
    state.counters["wall_median_ms"] = median(wall);
    state.counters["books_per_key"] = static_cast<double>(found) / static_cast<double>(cpu.size());
}

// Preparing after Open: every text decoded and folded.
void BM_PrepareTextsAfterOpen(benchmark::State& state) {
    for (auto _ : state) {
        CatalogueSearch search;
        search.prepare(fixture().catalogue);
        benchmark::DoNotOptimize(search.recordCount());
        state.PauseTiming(); // freeing the texts is not part of the preparation
        search = CatalogueSearch();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PrepareTextsAfterOpen)->Unit(benchmark::kMillisecond);

// Preparing again after one record's edit was stored: the other 1999 books
// keep their folded texts.
void BM_PrepareTextsAfterOneEdit(benchmark::State& state) {
    Catalogue& catalogue = fixture().catalogue;
    CatalogueSearch search;
    search.prepare(catalogue);
    const Bytes original(catalogue.field(Field::Impressions, 1000));
    int i = 0;
    for (auto _ : state) {
        catalogue.setField(Field::Impressions, 1000, original + std::to_string(i++ % 2));
        search.prepare(catalogue);
        benchmark::DoNotOptimize(search.recordCount());
    }
    catalogue.setField(Field::Impressions, 1000, original);
}
BENCHMARK(BM_PrepareTextsAfterOneEdit)->Unit(benchmark::kMillisecond);

// The search alone: fold the query and find the books.
void BM_KeystrokeFind(benchmark::State& state) {
    CatalogueSearch search;
    search.prepare(fixture().catalogue);
    perKeystroke(state, [&](const QString& query) {
        return static_cast<int64_t>(search.find(CatalogueSearch::parse(query)).size());
    });
}
BENCHMARK(BM_KeystrokeFind)->Unit(benchmark::kMillisecond);

// The search window: fold the query, search, fill the result model and update
// the count; with painted=1 also let the shown list lay out and draw its rows.
void BM_KeystrokeSearchWindow(benchmark::State& state) {
    const bool painted = state.range(0) != 0;
    SearchWindow window(fixture().catalogue);
    window.execute();
    QApplication::processEvents();
    auto& queryBox = reach<QLineEdit>(window, "queryBox");
    auto& count = reach<QLabel>(window, "countLabel");
    perKeystroke(state, [&](const QString& query) {
        queryBox.setText(query);
        if (painted)
            QApplication::processEvents();
        return count.text().chopped(1).toLongLong();
    });
}
BENCHMARK(BM_KeystrokeSearchWindow)
    ->ArgName("painted")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

// The same keystrokes with QString::contains over the decoded texts: exact
// matching only (no width, case or kana folding), all words in some field.
void BM_KeystrokePlainContains(benchmark::State& state) {
    const std::vector<QString>& texts = fixture().decoded;
    perKeystroke(state, [&](const QString& query) {
        const QStringList words = query.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        int64_t books = 0;
        for (size_t r = 0; r < kMaxRecords; ++r) {
            const auto* fields = &texts[r * kFieldCount];
            const bool all = std::all_of(words.begin(), words.end(), [&](const QString& w) {
                return std::any_of(fields, fields + kFieldCount,
                                   [&](const QString& t) { return t.contains(w); });
            });
            books += all && !words.isEmpty();
        }
        benchmark::DoNotOptimize(books);
        return books;
    });
}
BENCHMARK(BM_KeystrokePlainContains)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench::runWindowBenchmarks(argc, argv);
}
