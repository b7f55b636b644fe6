#pragma once
// The main of every benchmark program: the registered benchmarks run inside a
// Qt application of type App, because the SQLite driver and the platform are
// plugins. Programs with windows draw offscreen unless told otherwise.

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <type_traits>

template <typename App = QCoreApplication>
int correMediciones(int argc, char** argv)
{
    if constexpr (!std::is_same_v<App, QCoreApplication>) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    App app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
