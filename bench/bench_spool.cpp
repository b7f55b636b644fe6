// Spool files of a printed declaration: registering and writing one
// (target 15 ms) and reading it back into pages (part of the 50 ms that
// reading and drawing a preview may take).

#include "ImpRep.h"
#include "SpoolReader.h"
#include "SpoolWriter.h"
#include "TestSuite.h"

#include <benchmark/benchmark.h>

namespace {

// About 150 lines, shaped like the asset table of a declaration: per row
// three cells and three texts.
void declarationBody(SpoolWriter& w)
{
    w.ImprimePos(300, 350, u"KALDEN", true, 16, 0);
    w.ImprimePos(4000, 850, u"Ejercicio gravable 2004", false, 7, 0);
    for (int row = 0; row < 25; ++row) {
        const int top = 3030 + row * 270;
        const int page = row < 15 ? 0 : 1;
        if (row == 15)
            w.ImprimePos(0, 0, u"pNuevaHoja", false, 8, 1);
        w.ImprimeCuadro(150, top, 8500, top + 270, page);
        w.ImprimeCuadro(8500, top, 8900, top + 270, page);
        w.ImprimeCuadro(8900, top, 11000, top + 270, page);
        w.ImprimePos(300, top + 50, u"Depreciación de Inmueble Maquinaria y Equipo", false, 8, page);
        w.ImprimePos(8550, top + 50, QString::number(300 + row), false, 8, page);
        w.ImprimePos(9000, top + 50, u"      12,345,678", false, 8, page);
    }
}

void BM_RegisterAndWriteDeclaration(benchmark::State& state)
{
    TestSuite suite;
    const QString folder = reportFolder(suite.path());
    for (auto _ : state) {
        const SpoolRegistration reg = RegistraSpool(suite.db(), QStringLiteral("ADMIN"),
                                                    QStringLiteral("AAR001"), 6, QStringLiteral("20123456789"));
        ReportContext ctx;
        ctx.codRep = QStringLiteral("AAR001");
        ctx.archivo = reg.archivo;
        const QString error = IniciaReporte(ctx, folder, declarationBody);
        if (!reg.ok() || !error.isEmpty()) {
            state.SkipWithError("registration or writing failed");
            break;
        }
    }
}
BENCHMARK(BM_RegisterAndWriteDeclaration)->Unit(benchmark::kMillisecond);

void BM_RegisterOnly(benchmark::State& state)
{
    TestSuite suite;
    for (auto _ : state)
        benchmark::DoNotOptimize(RegistraSpool(suite.db(), QStringLiteral("ADMIN"), QStringLiteral("AAR001"), 6,
                                               QStringLiteral("20123456789")));
}
BENCHMARK(BM_RegisterOnly)->Unit(benchmark::kMillisecond);

void BM_ReadDeclaration(benchmark::State& state)
{
    TestSuite suite;
    const QString folder = reportFolder(suite.path());
    ReportContext ctx;
    ctx.archivo = QStringLiteral("00000001.PRN");
    if (!IniciaReporte(ctx, folder, declarationBody).isEmpty()) {
        state.SkipWithError("writing failed");
        return;
    }
    const QString path = spoolFilePath(folder, ctx.archivo);
    for (auto _ : state) {
        const auto doc = readSpoolFile(path);
        if (!doc) {
            state.SkipWithError("reading failed");
            break;
        }
        benchmark::DoNotOptimize(previewSurfaces(*doc));
    }
}
BENCHMARK(BM_ReadDeclaration)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
