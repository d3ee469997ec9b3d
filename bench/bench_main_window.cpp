// The main window: start-up with a full catalogue loaded through the settings
// file, the field layout and showing a record. Peak memory is reported as a
// counter (getrusage maxrss).
#include "core/catalogue/CatalogueSession.h"
#include "core/format/CatalogueFile.h"
#include "core/format/SettingsFile.h"
#include "core/storage/ProgramFolder.h"
#include "core/text/ShiftJis.h"
#include "gui/main/MainWindow.h"
#include "gui/widgets/Dialogs.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <memory>
#include <sys/resource.h>

#include "../tests/gui/Reach.h"
#include "WindowBenchmarks.h"

using namespace sorabel;

namespace {

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// A program folder holding a settings file that names a catalogue of 2000
// records of everyday size (titles, names, dates and a few lines of impressions).
struct FullCatalogue {
    QTemporaryDir dir;
    FullCatalogue() {
        Catalogue c;
        c.resize(kMaxRecords);
        const Bytes impressions =
            sjis::fromUtf8("港町で育った少年が古い海図を手に旅立つ話。\r\n前半はゆっくりだが、"
                           "嵐の章から一気に読ませる。\r\n再読したい。");
        for (int i = 1; i <= kMaxRecords; ++i) {
            const std::string n = std::to_string(i);
            c.setField(Field::Title, i, sjis::fromUtf8("星降る港の物語 第") + n);
            c.setField(Field::Reading, i, sjis::fromUtf8("ほしふるみなとのものがたり"));
            c.setField(Field::Genre1, i, sjis::fromUtf8("小説"));
            c.setField(Field::Format, i, sjis::fromUtf8("文庫"));
            c.setField(Field::Author, i, sjis::fromUtf8("青木 遥"));
            c.setField(Field::Publisher, i, sjis::fromUtf8("白波書房"));
            c.setField(Field::Price, i, sjis::fromUtf8("680円"));
            c.setField(Field::DateFinished, i, "2024/05/" + std::to_string(1 + i % 28));
            c.setField(Field::Impressions, i, impressions);
        }
        const QString file = dir.filePath(QStringLiteral("full.srb"));
        CatalogueFile::write(file, c);
        SettingsValues v;
        v.file = QFile::encodeName(file).toStdString();
        v.left = 174;
        v.top = 121;
        v.width = 711;
        v.height = 611;
        ProgramFolder::setOverride(dir.path());
        SettingsFile::writeAtExit(SettingsFile::defaultPath(), v);
    }
};

FullCatalogue& full() {
    static FullCatalogue f;
    return f;
}

QString shownTitle(const MainWindow& form) {
    return reach<QLineEdit>(form, "title").text();
}

void BM_StartUpWithFullCatalogue(benchmark::State& state) {
    full();
    for (auto _ : state) {
        CatalogueSession session;
        auto form = std::make_unique<MainWindow>(session);
        form->show(); // the start-up sequence runs on the first show
        if (session.recordCount() != kMaxRecords || shownTitle(*form).isEmpty())
            state.SkipWithError("the catalogue was not loaded");
        benchmark::DoNotOptimize(shownTitle(*form));
        state.PauseTiming();
        form.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_StartUpWithFullCatalogue)->Unit(benchmark::kMillisecond);

void BM_LayOutFields(benchmark::State& state) {
    full();
    CatalogueSession session;
    MainWindow form(session);
    form.show();
    for (auto _ : state)
        form.layOutFields();
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_LayOutFields)->Unit(benchmark::kMicrosecond);

void BM_ShowRecord(benchmark::State& state) {
    full();
    CatalogueSession session;
    MainWindow form(session);
    form.show();
    int i = 0;
    for (auto _ : state)
        session.showRecord(1 + (i++ % kMaxRecords));
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_ShowRecord)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return bench::runWindowBenchmarks(argc, argv);
}
