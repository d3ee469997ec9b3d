// The book list with a full catalogue of 2000 records: showing the list
// (rebuild and column widths), one sort, and one find over all rows.
#include "core/catalogue/CatalogueSession.h"
#include "core/text/ShiftJis.h"
#include "gui/booklist/BookListWindow.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/FindDialog.h"
#include "gui/widgets/FontSubstitution.h"
#include "gui/widgets/StringGrid.h"

#include <QApplication>
#include <QPushButton>
#include <benchmark/benchmark.h>
#include <memory>

#include "../tests/gui/Reach.h"
#include "WindowBenchmarks.h"

using namespace sorabel;

namespace {

struct Windows {
    CatalogueSession session;
    std::unique_ptr<BookListWindow> list;
    StringGrid* grid = nullptr;
    FindDialog* find = nullptr;
    QPushButton* findNext = nullptr;
};

// A catalogue as a long-time reader would have it: every field in use, long
// impressions with line breaks, repeating genres and publishers.
Catalogue filledCatalogue() {
    Catalogue cat;
    cat.resize(kMaxRecords);
    const QStringList genres{"小説", "随筆", "紀行", "論文"};
    const QStringList genres2{"時代小説", "ＳＦ", "ミステリ", "冒険小説", "歴史", "哲学"};
    const QStringList formats{"文庫", "新書", "四六版", "B5版", "A5版"};
    const QStringList publishers{"岩波書店",   "新潮社",       "講談社",  "早川書房",
                                 "東京創元社", "中央公論新社", "筑摩書房"};
    for (int i = 1; i <= kMaxRecords; ++i) {
        auto set = [&](Field f, const QString& text) { cat.setField(f, i, sjis::encode(text)); };
        set(Field::Title, QStringLiteral("読書録の本 第%1巻 %2").arg(i).arg(i % 7 ? "上" : "下"));
        set(Field::Subtitle, i % 3 ? QStringLiteral("副題その%1").arg(i * 37 % 1000) : QString());
        set(Field::Reading, QStringLiteral("どくしょろくのほん だい%1かん").arg(i));
        set(Field::Genre1, genres[i % genres.size()]);
        set(Field::Genre2, genres2[i % genres2.size()]);
        set(Field::Format, formats[i % formats.size()]);
        set(Field::Author, QStringLiteral("著者%1 太郎").arg(i % 150));
        set(Field::Translator, i % 4 ? QString() : QStringLiteral("訳者 花子%1").arg(i % 30));
        set(Field::Publisher, publishers[i % publishers.size()]);
        set(Field::Series, QStringLiteral("叢書%1").arg(i % 20));
        set(Field::Price, QStringLiteral("%1円").arg(400 + i % 2000));
        set(Field::FirstEdition, QStringLiteral("19%1年%2月").arg(50 + i % 50).arg(1 + i % 12));
        set(Field::EditionRead, QStringLiteral("第%1刷").arg(1 + i % 30));
        set(Field::Impressions, QStringLiteral("面白かった。登場人物がよく描かれている。\r\n"
                                               "二度目に読んだときは別の感想を持った。その%1。\r\n"
                                               "また読みたい。")
                                    .arg(i));
        set(Field::DateFinished, QStringLiteral("2024/%1/%2").arg(1 + i % 12).arg(1 + i % 28));
        set(Field::DateStarted, QStringLiteral("2024/%1/%2").arg(1 + i % 12).arg(1 + i % 20));
        set(Field::DateBought, QStringLiteral("2023/%1/%2").arg(1 + i % 12).arg(1 + i % 28));
        set(Field::Note1, i % 5 ? QString() : QStringLiteral("古書店で購入"));
        set(Field::Note2, QString());
    }
    return cat;
}

Windows& windows() {
    static Windows w;
    if (!w.list) {
        w.session.takeCatalogue(filledCatalogue(), 1);
        w.list = std::make_unique<BookListWindow>(w.session);
        w.grid = &reach<StringGrid>(*w.list, "grid");
        w.find = &reach<FindDialog>(*w.list, "findDialog");
        w.findNext = &reach<QPushButton>(*w.find, "findNextButton");
        w.list->showList();
        QApplication::processEvents();
    }
    return w;
}

void BM_ShowList(benchmark::State& state) {
    Windows& w = windows();
    for (auto _ : state) {
        w.list->showList();
        benchmark::DoNotOptimize(w.grid->colWidths(1));
    }
}
BENCHMARK(BM_ShowList)->Unit(benchmark::kMillisecond);

// One sort, alternately ascending and descending; state.range(0) answers the
// question whether to apply it. Not applied, the author column (many equal
// keys); applied, the title column, renumbering every record.
void BM_Sort(benchmark::State& state) {
    Windows& w = windows();
    const bool apply = state.range(0) != 0;
    w.list->showList();
    w.grid->setCol(apply ? 1 : 7);
    bool descending = false;
    for (auto _ : state) {
        Dialogs::setNextAnswer(apply);
        if (descending)
            w.list->sortDescending();
        else
            w.list->sortAscending();
        descending = !descending;
    }
    Dialogs::reset();
}
BENCHMARK(BM_Sort)->ArgName("applied")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A text in no row: the step examines all 2000 rows.
void BM_FindNothing(benchmark::State& state) {
    Windows& w = windows();
    w.list->showList();
    w.grid->setCol(14); // the impressions, the longest texts
    w.find->setFindText(QStringLiteral("見つからない言葉"));
    for (auto _ : state) {
        w.list->findDown();
        w.findNext->click();
    }
    w.find->hide();
}
BENCHMARK(BM_FindNothing)->Unit(benchmark::kMicrosecond);

// Found in the last row: the whole scan plus showing the record.
void BM_FindLastRow(benchmark::State& state) {
    Windows& w = windows();
    w.list->showList();
    w.grid->setCol(14);
    w.find->setFindText(QStringLiteral("その2000。"));
    for (auto _ : state) {
        w.list->findDown();
        w.findNext->click();
    }
    w.find->hide();
}
BENCHMARK(BM_FindLastRow)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return bench::runWindowBenchmarks(argc, argv, [] { windows().list.reset(); });
}
