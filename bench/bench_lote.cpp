// The batch commands of f0834, in-process, on suites made as the host makes
// them (SQLite, write-ahead log) with 1,000 more taxpayers of the user:
//  - importing 1,000 declarations from one file (target 5 s), beside one
//    f0834 save of one declaration (target: the import's time per
//    declaration within 1.5 times the save's);
//  - exporting the 1,000 stored declarations (target 1 s);
//  - print --all of 100 stored declarations to PDF files (target 10 s).
// Each repetition of the import starts from a suite without declarations.

#include "BenchMain.h"
#include "MotorSql.h"
#include "ObjFunciones.h"
#include "PrintCommand.h"
#include "Subcomandos.h"
#include "Suite.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>

namespace {

constexpr int kDeclaraciones = 1000;
constexpr int kPdfs = 100;

const QString kCabecera = QStringLiteral(
    "ruc,ejercicio,telefono,rectifica,ajuste,liquidacion,reorganizacion,formapago,banco,numcheque,tipodoc,numdoc,"
    "apellidos,nombres,300,301,303,318,328,104,160,144,180,546,550\n");

// The n-th RUC of the office's taxpayers: "20" and eight digits, then the check digit.
QString ruc(int n)
{
    const QString base = QStringLiteral("20") + QStringLiteral("%1").arg(40000000 + n, 8, 10, QLatin1Char('0'));
    const ObjFunciones f;
    for (int d = 0; d <= 9; ++d)
        if (f.RucValido(base + QString::number(d)))
            return base + QString::number(d);
    qFatal("no check digit for %s", qPrintable(base));
}

// One declaration per taxpayer, as an office's accounting system writes them.
QByteArray archivo(int filas)
{
    QString t = kCabecera;
    for (int i = 0; i < filas; ++i)
        t += QStringLiteral("%1,2004,4567890,0,0,0,0,C,02,%2,01,12345678,QUISPE MAMANI,ROSA ELENA,"
                            "15000,\"%3\",900,250000,5000,12000,1,300,0,1000,2500\n")
                 .arg(ruc(i))
                 .arg(100000 + i)
                 .arg(QLocale::c().toString(1000000 + 997 * i));
    return t.toUtf8();
}

// A suite of the host with the office's taxpayers and the file to import.
struct Oficina {
    QTemporaryDir dir;
    QString ini;
    QString csv;

    explicit Oficina(int filas)
    {
        const QString carpeta = dir.path() + u'/';
        if (const QString e = qvrhost::creaSuite(carpeta); !e.isEmpty())
            qFatal("createSuite: %s", qPrintable(e));
        ini = carpeta + QStringLiteral("KV000.INI");
        {
            const QString conexion = QStringLiteral("bench-lote");
            if (const QString e = qvrhost::abreBaseSuite(carpeta + QLatin1String(qvrhost::kDatabaseName), conexion);
                !e.isEmpty())
                qFatal("open: %s", qPrintable(e));
            QSqlDatabase db = QSqlDatabase::database(conexion);
            comenzarEscritura(db, nullptr);
            QSqlQuery q(db);
            q.prepare(QStringLiteral("INSERT INTO CONT (Tip_doc_d, Doc_id_d, Tipo_Ingreso, Nombre, Usuario) "
                                     "VALUES (6, ?, 1, ?, 'ADMIN')"));
            for (int i = 0; i < filas; ++i) {
                q.addBindValue(ruc(i));
                q.addBindValue(QStringLiteral("EMPRESA %1 S.A.C.").arg(i));
                if (!q.exec())
                    qFatal("CONT: %s", qPrintable(q.lastError().text()));
            }
            db.commit();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bench-lote"));
        csv = carpeta + QStringLiteral("oficina.csv");
        QFile f(csv);
        if (!f.open(QIODevice::WriteOnly) || f.write(archivo(filas)) < 0)
            qFatal("cannot write %s", qPrintable(csv));
    }
};

// A subcommand run in-process; false when it did not end with 0.
bool ejecuta(int (*subcomando)(const QStringList&, Consola&), const QStringList& args, const QByteArray& json = {})
{
    QByteArray bytes = json;
    QBuffer entrada(&bytes);
    entrada.open(QIODevice::ReadOnly);
    QString salida, errores;
    QTextStream s(&salida), e(&errores);
    Consola consola{entrada, s, e};
    const int r = subcomando(args, consola);
    if (r != kSalidaBien) {
        e.flush();
        std::fprintf(stderr, "%s\n", qPrintable(errores));
    }
    return r == kSalidaBien;
}

// A suite holding the file's declarations, made once for export and printing.
Oficina& conDeclaraciones(int filas)
{
    static std::map<int, std::unique_ptr<Oficina>> hechas;
    std::unique_ptr<Oficina>& o = hechas[filas];
    if (!o) {
        o = std::make_unique<Oficina>(filas);
        if (!ejecuta(importar, {"--ini", o->ini, o->csv}))
            qFatal("import failed");
    }
    return *o;
}

void BM_Import1000(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto oficina = std::make_unique<Oficina>(kDeclaraciones);
        state.ResumeTiming();
        if (!ejecuta(importar, {"--ini", oficina->ini, oficina->csv})) {
            state.SkipWithError("a row was not stored");
            break;
        }
        state.PauseTiming();
        oficina.reset();
        state.ResumeTiming();
    }
    state.counters["s_per_declaration"] = benchmark::Counter(double(state.iterations()) * kDeclaraciones,
                                                             benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Import1000)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// The single save path: f0834 save of one declaration, its settings read and
// its database opened as the command does, without the process start.
void BM_SaveOne(benchmark::State& state)
{
    Oficina oficina(1);
    const QByteArray json = QStringLiteral(
        R"({"ruc":"%1","razonSocial":"EMPRESA 0 S.A.C.","ejercicio":"2004","telefono":"4567890","rectifica":"0",
        "ajuste":"0","liquidacion":"0","reorganizacion":"0","nuevo":false,
        "formaPago":{"formapago":"C","banco":"02","numcheque":"100000"},
        "representante":{"tipoDoc":"01","numDoc":"12345678","apellidos":"QUISPE MAMANI","nombres":"ROSA ELENA"},
        "casillas":{"300":"15000","301":"1000000","303":"900","318":"250000","328":"5000","104":"12000",
                    "160":"1","144":"300","180":"0"},
        "deducciones":{"546":"1000","550":"2500"}})").arg(ruc(0)).toUtf8();
    for (auto _ : state)
        if (!ejecuta(save, {"--ini", oficina.ini}, json)) {
            state.SkipWithError("the save failed");
            break;
        }
}
BENCHMARK(BM_SaveOne)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_Export1000(benchmark::State& state)
{
    Oficina& oficina = conDeclaraciones(kDeclaraciones);
    const QString destino = oficina.dir.path() + QStringLiteral("/exportadas.csv");
    for (auto _ : state)
        if (!ejecuta(exportar, {"--ini", oficina.ini, destino})) {
            state.SkipWithError("the export failed");
            break;
        }
}
BENCHMARK(BM_Export1000)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_PrintAll100ToPdf(benchmark::State& state)
{
    Oficina& oficina = conDeclaraciones(kPdfs);
    const QString carpeta = oficina.dir.path() + QStringLiteral("/pdf");
    for (auto _ : state)
        if (!ejecuta(static_cast<int (*)(const QStringList&, Consola&)>(ejecutaPrint), {"--ini", oficina.ini, "--all", "--pdf-dir", carpeta})) {
            state.SkipWithError("printing failed");
            break;
        }
}
BENCHMARK(BM_PrintAll100ToPdf)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return correMediciones<QGuiApplication>(argc, argv);
}
