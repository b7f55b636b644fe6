// 0834IMP as a whole process: start, read KV000.INI, open the database,
// register and write the spool file, the plain file and its text, copy the
// text into TMP. Target: a median of 150 ms or less.

#include "BenchMain.h"
#include "ProcessTiming.h"
#include "SuiteDePrueba.h"

#include <QTemporaryDir>

namespace {

const QString kArgumento = QStringLiteral(" 620100123453    0834200400A12345678");

void BM_0834IMPProcess(benchmark::State& state)
{
    SuiteDePrueba suite;
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
    const QProcessEnvironment env = entornoSuite(suite.path(), runtime.path());
    for (auto _ : state)
        if (!terminaLimpio(QStringLiteral(IMP0834_PATH), {kArgumento}, env))
            state.SkipWithError("0834IMP failed");
}
BENCHMARK(BM_0834IMPProcess)->Repetitions(20)->Apply(unaCorridaPorRepeticion);

} // namespace

int main(int argc, char** argv)
{
    return correMediciones(argc, argv);
}
