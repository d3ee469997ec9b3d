// An ISBN typed and Enter pressed, to the filled preview, against a local
// server answering as openBD and the National Diet Library do; and the
// longest the event loop waits between two timer ticks meanwhile (a stall
// the user would feel as a frozen window).
#include "core/catalogue/CatalogueSession.h"
#include "core/lookup/LookupSettings.h"
#include "core/storage/FileIo.h"
#include "gui/lookup/IsbnLookupWindow.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>

#include "../tests/gui/Reach.h"
#include "../tests/gui/lookup/LocalBookServer.h"
#include "WindowBenchmarks.h"

using namespace sorabel;

namespace {

QByteArray answer(const char* name) {
    return QByteArray::fromStdString(
        FileIo::readAll(QStringLiteral(SORABEL_SOURCE_DIR) + "/tests/data/lookup/" + name));
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void BM_LookupToPreview(benchmark::State& state) {
    LocalBookServer server;
    server.set("/v1/get", "9784101010014", {200, answer("openbd-9784101010014.json")});
    server.set("/api/sru", "9784101010014", {200, answer("ndl-9784101010014.xml")});
    server.set("/v1/get", "9784915512377", {200, "[null]"});
    server.set("/api/sru", "9784915512377", {200, answer("ndl-9784915512377.xml")});
    QTemporaryDir dir;
    const QString ini = dir.filePath("SorabeIni.INI");
    LookupSettings settings;
    settings.openBdUrl = settings.ndlUrl = server.baseUrl();
    settings.write(ini);

    CatalogueSession session;
    IsbnLookupWindow window(session, nullptr, ini);
    window.present();
    // The user sees the window before the first code is typed: it has been
    // painted once (the offscreen platform paints only when asked).
    window.grab();
    QEventLoop loop;
    QObject::connect(&window, &IsbnLookupWindow::outcomeShown, &loop, &QEventLoop::quit);

    // A tick every millisecond: the gap between ticks is how long the loop was busy.
    QElapsedTimer tickClock;
    double longestGap = 0; // this lookup's
    qint64 lastTick = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = tickClock.nsecsElapsed();
        longestGap = std::max(longestGap, (now - lastTick) / 1e6);
        lastTick = now;
    });

    std::vector<double> times, stalls;
    const char* codes[] = {"9784101010014", "9784915512377"};
    int n = 0;
    auto& isbnBox = reach<QLineEdit>(window, "isbnBox");
    for (auto _ : state) {
        isbnBox.setText(QString::fromLatin1(codes[n++ % 2]));
        QElapsedTimer clock;
        clock.start();
        tickClock.start();
        lastTick = 0;
        longestGap = 0;
        ticker.start();
        emit isbnBox.returnPressed();
        loop.exec();
        ticker.stop();
        times.push_back(clock.nsecsElapsed() / 1e6);
        stalls.push_back(longestGap);
    }
    state.counters["median_ms"] = median(times);
    state.counters["worst_ms"] = *std::max_element(times.begin(), times.end());
    // The first lookup also fills the table for the first time and opens the connections.
    state.counters["first_stall_ms"] = stalls.front();
    stalls.erase(stalls.begin());
    state.counters["stall_median_ms"] = median(stalls);
    state.counters["stall_worst_ms"] = *std::max_element(stalls.begin(), stalls.end());
}
BENCHMARK(BM_LookupToPreview)->Unit(benchmark::kMillisecond)->Iterations(50);

} // namespace

int main(int argc, char** argv) {
    return bench::runWindowBenchmarks(argc, argv);
}
