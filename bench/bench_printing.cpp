// Printing a declaration: registering and writing its spool file from the
// database (target 15 ms), reading it back and drawing its three pages on
// images (50 ms), and a PDF of the three pages (150 ms).

#include "BenchMain.h"
#include "MotorSql.h"
#include "DeclaracionReporte.h"
#include "ImpRep.h"
#include "PintorSpool.h"
#include "LectorSpool.h"
#include "SuiteDePrueba.h"

#include <QGuiApplication>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>
#include <benchmark/benchmark.h>

namespace {

const QString kRuc = QStringLiteral("20100070970");

// A cash declaration with every printed box filled and the annex boxes.
void declaracionDeMuestra(const SuiteDePrueba& suite)
{
    suite.exec(QStringLiteral("INSERT INTO CONT (Tip_doc_d, Doc_id_d, Nombre, Usuario) VALUES "
                              "(6, '20100070970', 'COMERCIAL ANDINA S.A.', 'ADMIN')"));
    suite.exec(QStringLiteral("INSERT INTO CAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, estado, bcolibrad) "
                              "VALUES (6, '20100070970', '2004', '0834', 0, ' ')"));
    QSqlDatabase db = suite.db();
    comenzarEscritura(db, nullptr);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO DET (Tip_doc_d, Doc_id_d, Periodo, Formulario, Casilla, i_valor) "
                             "VALUES (6, '20100070970', '2004', '0834', ?, ?)"));
    const int cajas[] = {300, 301, 302, 303, 304, 305, 306, 307, 308, 310, 311, 313, 314, 315, 316, 318,
                         319, 321, 322, 323, 324, 325, 326, 327, 328, 329, 330, 395, 396, 397, 101, 104,
                         105, 108, 109, 113, 114, 139, 144, 145, 146, 160, 161, 180, 546, 547, 548, 549,
                         550, 551, 552, 553, 554, 555};
    for (int c : cajas) {
        q.addBindValue(QString::number(c));
        q.addBindValue(QString::number(c * 1234));
        q.exec();
    }
    db.commit();
}

ContextoReporte contextoDeMuestra()
{
    ContextoReporte ctx;
    ctx.ruc = kRuc;
    ctx.nombre = QStringLiteral("COMERCIAL ANDINA S.A.");
    ctx.formulario = QStringLiteral("0834");
    ctx.periodo = QStringLiteral("2004");
    ctx.imprimeAnexo = true;
    return ctx;
}

// One declaration of three pages, written once for the reading benchmarks.
struct Escrito {
    SuiteDePrueba suite;
    QString path;
    Escrito()
    {
        declaracionDeMuestra(suite);
        ContextoReporte ctx = contextoDeMuestra();
        GeneraReporteDeclaracion(suite.db(), QStringLiteral("ADMIN"), carpetaDeReportes(suite.path()), ctx);
        path = rutaArchivoSpool(carpetaDeReportes(suite.path()), ctx.archivo);
    }
};

void BM_RegisterAndWriteDeclaration(benchmark::State& state)
{
    SuiteDePrueba suite;
    declaracionDeMuestra(suite);
    for (auto _ : state) {
        ContextoReporte ctx = contextoDeMuestra();
        if (!GeneraReporteDeclaracion(suite.db(), QStringLiteral("ADMIN"), carpetaDeReportes(suite.path()), ctx).isEmpty()) {
            state.SkipWithError("printing failed");
            break;
        }
    }
}
BENCHMARK(BM_RegisterAndWriteDeclaration)->Unit(benchmark::kMillisecond);

void BM_ReadAndDrawThreePages(benchmark::State& state)
{
    Escrito w;
    const QColor fondo(0xC0, 0xFF, 0xFF);
    for (auto _ : state) {
        const std::optional<DocumentoSpool> doc = leeArchivoSpool(w.path);
        if (!doc) {
            state.SkipWithError("cannot read");
            break;
        }
        for (const QList<ElementoSpool>& page : superficiesPrevia(*doc)) {
            QImage img = dibujaSuperficie(page, fondo, 96);
            benchmark::DoNotOptimize(img.constBits());
        }
    }
}
BENCHMARK(BM_ReadAndDrawThreePages)->Unit(benchmark::kMillisecond);

void BM_PdfOfThreePages(benchmark::State& state)
{
    Escrito w;
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("d.pdf"));
    for (auto _ : state) {
        const std::optional<DocumentoSpool> doc = leeArchivoSpool(w.path);
        if (!doc || !escribePdfSpool(pdf, hojasImpresion(*doc))) {
            state.SkipWithError("cannot write the PDF");
            break;
        }
    }
}
BENCHMARK(BM_PdfOfThreePages)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return correMediciones<QGuiApplication>(argc, argv);
}
