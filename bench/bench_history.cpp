// Typing and the history on a full catalogue: a keystroke in a field with the
// book list, search and statistics windows open, until the field and the
// list's row are painted; the recount search and statistics make once the
// typing pauses (a keystroke that comes then waits for it); and undo and redo
// of a sort and of an import of 2000 books. Keystrokes report their median and
// worst time as counters.
#include "core/catalogue/CatalogueSession.h"
#include "gui/booklist/BookListWindow.h"
#include "gui/main/MainWindow.h"
#include "gui/main/ProgramWindows.h"
#include "gui/search/SearchWindow.h"
#include "gui/stats/StatisticsWindow.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

#include "../tests/gui/Reach.h"
#include "FullCatalogue.h"
#include "WindowBenchmarks.h"

using namespace sorabel;

namespace {

// Counts the paint events a widget receives.
class PaintCount : public QObject {
public:
    explicit PaintCount(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// The main window with 2000 books, record 1000 shown, and the list, search
// (finding "の") and statistics windows open.
struct OpenWindows {
    CatalogueSession session;
    ProgramWindows windows{session};
    MainWindow& form = windows.mainWindow();

    OpenWindows() {
        session.takeCatalogue(bench::fullCatalogue(), 1000);
        form.show();
        form.showBookList();
        form.showSearch();
        form.showStatistics();
        reach<QLineEdit>(windows.searchWindow(), "queryBox").setText(QStringLiteral("の"));
        QApplication::processEvents();
    }
};

void BM_KeystrokeWithWindowsOpen(benchmark::State& state) {
    OpenWindows open;
    MainWindow& form = open.form;
    auto* title = &reach<QLineEdit>(form, "title");
    title->setFocus();
    // Qt paints what a keystroke changed when it handles the update requests
    // the keystroke posted; the counts show that the field and the list's
    // grid were painted within each measured time.
    PaintCount fieldPaints(title);
    PaintCount listPaints(reach<QAbstractScrollArea>(open.windows.bookList(), "grid").viewport());
    std::vector<double> times;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(title, &press);
        QApplication::sendEvent(title, &release);
        QApplication::processEvents();
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        times.push_back(seconds * 1000.0);
        if (title->text().size() > 200) {
            state.PauseTiming();
            title->clear();
            state.ResumeTiming();
        }
    }
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times[times.size() / 2];
    state.counters["worst_ms"] = times.back();
    if (open.session.catalogue().field(Field::Title, 1000).find('a') == std::string::npos)
        state.SkipWithError("the typing did not reach the catalogue");
    if (fieldPaints.count < static_cast<int>(times.size()) ||
        listPaints.count < static_cast<int>(times.size()))
        state.SkipWithError("a keystroke was not painted");
}
BENCHMARK(BM_KeystrokeWithWindowsOpen)->UseManualTime()->Unit(benchmark::kMillisecond);

// After a pause in typing, search and statistics count the books again; a
// keystroke that comes at that moment waits until they are done.
void BM_RecountAfterTypingPause(benchmark::State& state) {
    OpenWindows open;
    SearchWindow& search = open.windows.searchWindow();
    // Linked in here, the statistics module's window is the class itself.
    auto& statistics = static_cast<StatisticsWindow&>(open.windows.statisticsWindow());
    Bytes title(open.session.catalogue().field(Field::Title, 1000));
    for (auto _ : state) {
        state.PauseTiming(); // what was typed before the pause
        title += title.size() < 200 ? "a" : "";
        open.session.editField(Field::Title, title);
        QApplication::processEvents();
        state.ResumeTiming();
        search.catalogueChanged();
        statistics.catalogueChanged();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_RecountAfterTypingPause)->Unit(benchmark::kMillisecond);

std::vector<int> reversed() {
    std::vector<int> order(kMaxRecords);
    for (int i = 0; i < kMaxRecords; ++i)
        order[static_cast<size_t>(i)] = kMaxRecords - i;
    return order;
}

void BM_UndoRedoSort(benchmark::State& state) {
    CatalogueSession session;
    session.takeCatalogue(bench::fullCatalogue(), 1);
    session.applyOrder(reversed());
    for (auto _ : state) {
        session.undo();
        session.redo();
    }
}
BENCHMARK(BM_UndoRedoSort)->Unit(benchmark::kMillisecond);

void BM_UndoRedoImport(benchmark::State& state) {
    const Catalogue full = bench::fullCatalogue();
    std::vector<std::array<Bytes, kFieldCount>> records(kMaxRecords);
    for (int r = 1; r <= kMaxRecords; ++r)
        for (int i = 0; i < kFieldCount; ++i)
            records[static_cast<size_t>(r - 1)][static_cast<size_t>(i)] = full.field(fieldAt(i), r);
    CatalogueSession session;
    Catalogue empty;
    empty.resize(0);
    session.takeCatalogue(std::move(empty), 0);
    session.appendRecords(records);
    for (auto _ : state) {
        session.undo();
        session.redo();
    }
    if (session.recordCount() != kMaxRecords)
        state.SkipWithError("the import was not redone");
}
BENCHMARK(BM_UndoRedoImport)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return bench::runWindowBenchmarks(argc, argv);
}
