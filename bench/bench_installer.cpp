// Alt834 as a whole process: start, read KV000.INI, open the database, check
// the data file and install every row, on a suite that already holds them
// (the usual re-install, all updates). Target: a median of 150 ms or less.

#include "BenchMain.h"
#include "ProcessTiming.h"
#include "SuiteDePrueba.h"

#include <QFile>

namespace {

QByteArray archivoDatos(int lines)
{
    QByteArray text;
    for (int i = 1; i <= lines; ++i)
        text += QByteArray::number(i) + "|TABLA" + QByteArray::number(i) + "|H" + QByteArray::number(i) +
                "|EXT|" + QByteArray::number(i % 256) + "|1|1|1|1|1|0|0|0|\r\n";
    return text;
}

bool correUnaVez(const QProcessEnvironment& env)
{
    return terminaLimpio(QStringLiteral(ALT834_PATH), {}, env);
}

void BM_Alt834Process(benchmark::State& state)
{
    SuiteDePrueba suite;
    QFile f(suite.path() + QStringLiteral("TMP/env834.txt"));
    if (!f.open(QIODevice::WriteOnly) || f.write(archivoDatos(static_cast<int>(state.range(0)))) < 0) {
        state.SkipWithError("cannot write the data file");
        return;
    }
    f.close();
    const QProcessEnvironment env = entornoSuite(suite.path());
    if (!correUnaVez(env)) {   // first install: inserts
        state.SkipWithError("Alt834 failed");
        return;
    }
    for (auto _ : state)
        if (!correUnaVez(env))
            state.SkipWithError("Alt834 failed");
}
BENCHMARK(BM_Alt834Process)
    ->Arg(20)
    ->Arg(200)
    ->Repetitions(25)
    ->Apply(unaCorridaPorRepeticion);

} // namespace

int main(int argc, char** argv)
{
    return correMediciones(argc, argv);
}
