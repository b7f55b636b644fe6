// Alt834 as a whole process: start, read KV000.INI, open the database, check
// the data file and install every row, on a suite that already holds them
// (the usual re-install, all updates). Target: a median of 150 ms or less.

#include "BenchMain.h"
#include "ProcessTiming.h"
#include "TestSuite.h"

#include <QFile>

namespace {

QByteArray dataFile(int lines)
{
    QByteArray text;
    for (int i = 1; i <= lines; ++i)
        text += QByteArray::number(i) + "|TABLA" + QByteArray::number(i) + "|H" + QByteArray::number(i) +
                "|EXT|" + QByteArray::number(i % 256) + "|1|1|1|1|1|0|0|0|\r\n";
    return text;
}

bool runOnce(const QProcessEnvironment& env)
{
    return runsCleanly(QStringLiteral(ALT834_PATH), {}, env);
}

void BM_Alt834Process(benchmark::State& state)
{
    TestSuite suite;
    QFile f(suite.path() + QStringLiteral("TMP/env834.txt"));
    if (!f.open(QIODevice::WriteOnly) || f.write(dataFile(static_cast<int>(state.range(0)))) < 0) {
        state.SkipWithError("cannot write the data file");
        return;
    }
    f.close();
    const QProcessEnvironment env = suiteEnvironment(suite.path());
    if (!runOnce(env)) {   // first install: inserts
        state.SkipWithError("Alt834 failed");
        return;
    }
    for (auto _ : state)
        if (!runOnce(env))
            state.SkipWithError("Alt834 failed");
}
BENCHMARK(BM_Alt834Process)
    ->Arg(20)
    ->Arg(200)
    ->Repetitions(25)
    ->Apply(oneRunPerRepetition);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv);
}
