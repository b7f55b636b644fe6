// The declaration model and the data layer under the user's hands:
//  - one typed change of an asset box, with the whole cascade down to box 146
//    (target 20 us median);
//  - the control code of a DET row;
//  - the taxpayer list over 10,000 CONT rows (target 20 ms), for a user who
//    sees every taxpayer and for one restricted to their own.

#include "BenchMain.h"
#include "MotorSql.h"
#include "Casillas834.h"
#include "CodigoControl.h"
#include "Declaracion834.h"
#include "ConsultasParam.h"
#include "SuiteDePrueba.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kTaxpayers = 10000;

// A declaration as a user leaves it before changing box 301: every asset and
// the payment boxes filled, nine instalments, exercise 2003 (so 114 computes).
std::unique_ptr<Declaracion834> declaracionLlena()
{
    auto d = std::make_unique<Declaracion834>();
    d->aplicarEjercicio(QStringLiteral("2003"), Dinero::deEntero(3100), QStringLiteral("1.011"));
    for (int numero : casillas834::activos())
        d->setCasilla(numero, QStringLiteral("100000"));
    d->setCasilla(104, QStringLiteral("25000"));
    d->setCasilla(160, QStringLiteral("2"));
    d->setCasilla(144, QStringLiteral("(500)"));
    d->setCasilla(145, QStringLiteral("20"));
    return d;
}

void BM_TypedAssetChange(benchmark::State& state)
{
    const std::unique_ptr<Declaracion834> d = declaracionLlena();
    // Two amounts far enough apart that 113 and everything below it change too.
    const QString textos[2] = {QStringLiteral("3000000"), QStringLiteral("3100000")};
    int i = 0;
    int recorridos = 0;
    for (auto _ : state) {
        const QString antes = d->casilla(146);
        d->setCasilla(301, textos[i]);
        i ^= 1;
        recorridos += d->casilla(146) != antes;
        benchmark::DoNotOptimize(d->casilla(146));
    }
    // Every change must have reached box 146, or the figure means nothing.
    if (recorridos != static_cast<int>(state.iterations()))
        state.SkipWithError("the cascade stopped before box 146");
}
BENCHMARK(BM_TypedAssetChange);

SuiteDePrueba& suite()
{
    static std::unique_ptr<SuiteDePrueba> s = [] {
        auto suite = std::make_unique<SuiteDePrueba>(QStringLiteral("ROOT"));
        QSqlDatabase db = suite->db();
        comenzarEscritura(db, nullptr);
        QSqlQuery claves(db);
        claves.exec(QStringLiteral("INSERT INTO CLAVES (Usuario, Tipo) VALUES ('ROOT', '0'), ('ANA', '1')"));
        QSqlQuery cont(db);
        cont.prepare(QStringLiteral("INSERT INTO CONT (Tip_doc_d, Doc_id_d, Tipo_Ingreso, Nombre, Usuario)"
                                    " VALUES (6, ?, 1, ?, ?)"));
        for (int i = 0; i < kTaxpayers; ++i) {
            cont.addBindValue(QStringLiteral("20%1").arg(i * 7919 % 1000000000, 9, 10, QLatin1Char('0')));
            cont.addBindValue(QStringLiteral("EMPRESA NUMERO %1 S.A.C.").arg(i));
            cont.addBindValue(i % 2 ? QStringLiteral("ANA") : QStringLiteral("ROOT"));
            cont.exec();
        }
        db.commit();
        return suite;
    }();
    return *s;
}

void BM_DetControlCode(benchmark::State& state)
{
    QSqlRecord fila = columnasDeTabla(suite().db(), QStringLiteral("DET"));
    const QVariant valores[] = {6, QStringLiteral("20100070970"), QStringLiteral("2004"), QStringLiteral("0834"),
                                QStringLiteral("301"), QStringLiteral("3000000"), QStringLiteral("01"), QString()};
    for (int c = 0; c < fila.count(); ++c)
        fila.setValue(c, valores[c]);
    for (auto _ : state)
        benchmark::DoNotOptimize(codigoControl(fila, kControlCountDet));
}
BENCHMARK(BM_DetControlCode);

// state.range(0): 1 for the unrestricted user (all 10,000 rows), 0 for a
// user restricted to their own (half of them, through the bound Usuario).
void BM_TaxpayerList(benchmark::State& state)
{
    const QString usuario = state.range(0) ? QStringLiteral("ROOT") : QStringLiteral("ANA");
    const qsizetype esperadas = state.range(0) ? kTaxpayers : kTaxpayers / 2;
    QSqlDatabase db = suite().db();
    for (auto _ : state) {
        const QList<Contribuyente> lista = listaContribuyentes(db, usuario);
        if (lista.size() != esperadas) {
            state.SkipWithError("wrong number of taxpayers");
            break;
        }
        benchmark::DoNotOptimize(lista.constData());
    }
}
BENCHMARK(BM_TaxpayerList)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return correMediciones(argc, argv);
}
