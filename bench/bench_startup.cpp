// Start-up against the floor: the program with 2000 books, the program with
// an empty catalogue and an empty Japanese main window of the same size are
// started in turn, each under a fresh Xvfb, for a number of rounds
// (SORABEL_STARTUP_RUNS, 9 by default). A probe loaded into each process
// reports when the window was exposed (mapped) and when the event loop first
// went idle after its first paint (settled), with the peak memory (VmHWM).
// Each figure is the median over the rounds, printed beside the floor's.
// SORABEL_STARTUP_PROGRAM names another build to measure (an older one, say).
#include "FullCatalogue.h"
#include "core/format/CatalogueFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <optional>
#include <vector>

namespace {

long long nowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

struct Sample {
    double mappedMs = 0;
    double settledMs = 0;
    double peakMb = 0;
};

struct Subject {
    const char* name;
    QString program;
    QStringList arguments;
    std::vector<Sample> samples;
};

// One start under a display of its own; nothing when the display or the
// program failed.
std::optional<Sample> startOnce(const Subject& subject) {
    QProcess display;
    display.start(QStringLiteral("Xvfb"),
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                   QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                   QStringLiteral("tcp")});
    QByteArray number;
    while (!number.contains('\n') && display.waitForReadyRead(10000))
        number += display.readAllStandardOutput();
    if (!number.contains('\n')) {
        std::fprintf(stderr, "Xvfb did not start: %s\n", qPrintable(display.errorString()));
        return std::nullopt;
    }

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + QString::fromLatin1(number.trimmed()));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(SORABEL_STARTUP_PROBE));
    program.setProcessEnvironment(env);
    const long long started = nowNs();
    program.start(subject.program, subject.arguments);
    program.waitForFinished(30000);
    const QByteArray err = program.readAllStandardError();
    if (program.state() != QProcess::NotRunning)
        program.kill(), program.waitForFinished();
    display.terminate();
    display.waitForFinished();

    long long mapped = 0, settled = 0, hwm = 0;
    const qsizetype at = err.indexOf("startup-probe:");
    if (at < 0 ||
        std::sscanf(err.constData() + at, "startup-probe: mapped=%lld settled=%lld hwm=%lld",
                    &mapped, &settled, &hwm) != 3) {
        std::fprintf(stderr, "%s gave no figures: %s\n", subject.name, err.constData());
        return std::nullopt;
    }
    return Sample{(mapped - started) / 1e6, (settled - started) / 1e6, hwm / 1024.0};
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double medianOf(const Subject& s, double Sample::*field) {
    std::vector<double> values;
    for (const Sample& sample : s.samples)
        values.push_back(sample.*field);
    return median(values);
}

} // namespace

int main(int argc, char* argv[]) {
    const QCoreApplication app(argc, argv);
    const int rounds = qEnvironmentVariableIntValue("SORABEL_STARTUP_RUNS") > 0
                           ? qEnvironmentVariableIntValue("SORABEL_STARTUP_RUNS")
                           : 9;
    // The program keeps its settings beside itself: a copy in a folder of
    // its own starts without any, and the probe ends it before it writes one.
    QTemporaryDir folder;
    const QString program = folder.filePath(QStringLiteral("sorabel"));
    const QString books = folder.filePath(QStringLiteral("books.srb"));
    // SORABEL_STARTUP_PROGRAM measures another build of the program instead.
    const QString built = qEnvironmentVariableIsSet("SORABEL_STARTUP_PROGRAM")
                              ? qEnvironmentVariable("SORABEL_STARTUP_PROGRAM")
                              : QStringLiteral(SORABEL_PROGRAM);
    if (!QFile::copy(built, program)) {
        std::fprintf(stderr, "cannot copy the program\n");
        return 1;
    }
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    sorabel::CatalogueFile::write(books, sorabel::bench::fullCatalogue());

    std::vector<Subject> subjects{
        {"floor (empty Japanese window)", QStringLiteral(SORABEL_STARTUP_FLOOR), {}, {}},
        {"program, 2000 books", program, {books}, {}},
        {"program, empty catalogue", program, {}, {}},
    };
    // Interleaved, so that a busy moment of the machine hits all three alike.
    for (int round = 0; round < rounds; ++round)
        for (Subject& s : subjects) {
            // The probe ends each start abruptly, leaving the catalogue's lock
            // behind; a start after a normal end finds none, so neither may this
            // one (taking over a stale lock writes and syncs a file).
            QFile::remove(folder.filePath(QStringLiteral(".~lock.books.srb#")));
            if (const auto sample = startOnce(s))
                s.samples.push_back(*sample);
        }

    const Subject& floor = subjects[0];
    const double floorMapped = medianOf(floor, &Sample::mappedMs);
    const double floorSettled = medianOf(floor, &Sample::settledMs);
    const double floorPeak = medianOf(floor, &Sample::peakMb);
    std::printf("Start-up, medians of %d rounds, each start under a fresh Xvfb\n", rounds);
    std::printf("%-32s %4s %10s %10s %8s %11s %10s\n", "", "runs", "mapped ms", "settled ms",
                "x floor", "peak MB", "over floor");
    for (const Subject& s : subjects) {
        const double settled = medianOf(s, &Sample::settledMs);
        const double peak = medianOf(s, &Sample::peakMb);
        std::printf("%-32s %4zu %10.1f %10.1f %8.2f %11.1f %+10.1f\n", s.name, s.samples.size(),
                    medianOf(s, &Sample::mappedMs), settled,
                    floorSettled > 0 ? settled / floorSettled : 0.0, peak, peak - floorPeak);
    }
    std::printf("floor: mapped %.1f ms, settled %.1f ms, peak %.1f MB\n", floorMapped, floorSettled,
                floorPeak);
    return 0;
}
