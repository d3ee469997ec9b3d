#pragma once

// The main() of the benchmarks that need windows: an offscreen application
// with the fonts the program uses and no modal dialog ever shown.
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/FontSubstitution.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <functional>

namespace sorabel::bench {

inline int runWindowBenchmarks(int argc, char** argv, const std::function<void()>& atEnd = {}) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    FontSubstitution::install();
    Dialogs::setTestMode(true);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (atEnd)
        atEnd(); // windows go while the application still stands
    return 0;
}

} // namespace sorabel::bench
