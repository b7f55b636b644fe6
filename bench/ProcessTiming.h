#pragma once
// Timing one of the suite's programs as a whole process: one run per
// repetition, wall time, the median over the repetitions.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <benchmark/benchmark.h>

// The environment a program of the suite runs in: the suite folder, no
// screen, and (when given) its own runtime folder.
inline QProcessEnvironment entornoSuite(const QString& suitePath, const QString& runtimeDir = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QVR_WINDIR"), suitePath);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (!runtimeDir.isEmpty())
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    return env;
}

// Runs the program once; true when it ended by itself with exit code 0.
inline bool terminaLimpio(const QString& program, const QStringList& arguments, const QProcessEnvironment& env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// For ->Apply(): each repetition is a single run of the program, reported in
// wall-clock milliseconds as mean, median and spread only.
inline void unaCorridaPorRepeticion(benchmark::internal::Benchmark* b)
{
    b->Iterations(1)->ReportAggregatesOnly(true)->UseRealTime()->Unit(benchmark::kMillisecond);
}
