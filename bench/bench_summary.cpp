// 0834IMP as a whole process: start, read KV000.INI, open the database,
// register and write the spool file, the plain file and its text, copy the
// text into TMP. Target: a median of 150 ms or less.

#include "TestSuite.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QString kArgumento = QStringLiteral(" 620100123453    0834200400A12345678");

bool runOnce(const QProcessEnvironment& env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(IMP0834_PATH), {kArgumento});
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

void BM_0834IMPProcess(benchmark::State& state)
{
    TestSuite suite;
    QTemporaryDir runtime;
    const bool filled =
        suite.exec(QStringLiteral("INSERT INTO CONT VALUES (6, '20100123453', 1, 'DISTRIBUIDORA ANDINA S.A.C.', 'ADMIN')")) &&
        suite.exec(QStringLiteral("INSERT INTO CAB VALUES (6, '20100123453', '2004', '0834', 0, '15/03/2005', '02', "
                                  "'00123456', '5000', '', '0', '123456')")) &&
        suite.exec(QStringLiteral("INSERT INTO DET VALUES (6, '20100123453', '2004', '0834', '146', '12345', '1', '1')")) &&
        suite.exec(QStringLiteral("INSERT INTO DET VALUES (6, '20100123453', '2004', '0834', '180', '5000', '1', '1')"));
    if (!filled) {
        state.SkipWithError("cannot fill the suite");
        return;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QVR_WINDIR"), suite.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    for (auto _ : state)
        if (!runOnce(env))
            state.SkipWithError("0834IMP failed");
}
BENCHMARK(BM_0834IMPProcess)
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);   // the SQLite driver is a plugin
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
