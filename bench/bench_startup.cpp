// Kv834 from its start to the main window shown, as a whole process (target
// 300 ms median): the host's "Qvarion" window is up on the X display, the
// suite is a test suite, and QVR_QUIT_AFTER_SHOW=1 ends the program once its
// main window is shown. Beside it, the same start over a bare Qt Widgets
// window with a menu, a tool bar and a status bar that quits once shown
// (target: Kv834 within 1.3 times it). Needs DISPLAY (bench/run.sh provides
// one with Xvfb).

#include "BenchMain.h"
#include "ProcessTiming.h"
#include "SuiteDePrueba.h"
#include "VentanasXTest.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// One host window for the whole run: Xvfb resets itself when its last client
// leaves, and would refuse the next repetition's connection meanwhile.
VentanasXTest& ventanaIntegrador()
{
    static VentanasXTest x;
    static const bool created = x.ok() && x.create(QStringLiteral("Qvarion"), true) != 0;
    (void)created;
    return x;
}

void BM_Kv834StartToMainWindow(benchmark::State& state)
{
    if (!ventanaIntegrador().ok()) {
        state.SkipWithError("no X display (DISPLAY unset)");
        return;
    }
    SuiteDePrueba suite;
    QTemporaryDir runtime;

    QProcessEnvironment env = entornoSuite(suite.path(), runtime.path());
    env.insert(QStringLiteral("QVR_QUIT_AFTER_SHOW"), QStringLiteral("1"));

    for (auto _ : state) {
        QProcess p;
        p.setProcessEnvironment(env);
        QElapsedTimer reloj;
        reloj.start();
        p.start(QStringLiteral(KV834_PATH), {});
        const bool terminado = p.waitForFinished(30000);
        const double segundos = reloj.nsecsElapsed() / 1e9;
        if (!terminado || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            p.kill();
            p.waitForFinished();
            const QByteArray motivo = "Kv834 did not start cleanly (status " + QByteArray::number(p.exitCode())
                                      + "): " + p.readAllStandardError().simplified();
            std::fprintf(stderr, "%s\n", motivo.constData());
            state.SkipWithError(motivo.constData());
            break;
        }
        state.SetIterationTime(segundos);
    }
}
BENCHMARK(BM_Kv834StartToMainWindow)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

// Wall time of one whole run of the program, in milliseconds; negative when
// it did not end cleanly.
double milisegundos(const QString& programa, const QProcessEnvironment& env)
{
    QElapsedTimer reloj;
    reloj.start();
    const bool ok = terminaLimpio(programa, {}, env);
    return ok ? reloj.nsecsElapsed() / 1e6 : -1;
}

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Both programs in turn, 21 runs each, so the machine's load falls on both
// alike; the medians and their ratio.
void BM_Kv834StartOverBareWindow(benchmark::State& state)
{
    if (!ventanaIntegrador().ok()) {
        state.SkipWithError("no X display (DISPLAY unset)");
        return;
    }
    SuiteDePrueba suite;
    QTemporaryDir runtime;
    QProcessEnvironment env = entornoSuite(suite.path(), runtime.path());
    env.insert(QStringLiteral("QVR_QUIT_AFTER_SHOW"), QStringLiteral("1"));
    constexpr int kVueltas = 21;
    for (auto _ : state) {
        std::vector<double> kv834, desnuda;
        for (int i = 0; i < kVueltas; ++i) {
            kv834.push_back(milisegundos(QStringLiteral(KV834_PATH), env));
            desnuda.push_back(milisegundos(QStringLiteral(BARE_WINDOW_PATH), env));
            if (kv834.back() < 0 || desnuda.back() < 0) {
                state.SkipWithError("a program did not end cleanly");
                return;
            }
        }
        state.counters["kv834_ms"] = mediana(kv834);
        state.counters["bare_ms"] = mediana(desnuda);
        state.counters["ratio"] = mediana(kv834) / mediana(desnuda);
    }
}
BENCHMARK(BM_Kv834StartOverBareWindow)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return correMediciones(argc, argv);
}
