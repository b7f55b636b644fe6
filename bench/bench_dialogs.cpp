// The stored-declaration dialog over 10,000 declarations of 10,000
// taxpayers: from construction to the first rows on screen (target 150 ms),
// and scrolling to the end, where the grid fetches the rest in chunks
// (counter max_fetch_ms: the longest single fetch, which the user would feel
// as a stall).

#include "BenchMain.h"
#include "MotorSql.h"
#include "FrmContAbrir.h"
#include "SuiteDePrueba.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTableView>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kDeclarations = 10000;

// One suite for every run: filling it takes longer than what is measured.
SuiteDePrueba& suite()
{
    static std::unique_ptr<SuiteDePrueba> s = [] {
        auto suite = std::make_unique<SuiteDePrueba>(QStringLiteral("ROOT"));
        QSqlDatabase db = suite->db();
        comenzarEscritura(db, nullptr);
        QSqlQuery user(db);
        user.exec(QStringLiteral("INSERT INTO CLAVES (Usuario, Tipo) VALUES ('ROOT', '0')"));
        QSqlQuery cont(db);
        cont.prepare(QStringLiteral("INSERT INTO CONT (Tip_doc_d, Doc_id_d, Tipo_Ingreso, Nombre, Usuario)"
                                    " VALUES (6, ?, 1, ?, 'ROOT')"));
        QSqlQuery cab(db);
        cab.prepare(QStringLiteral("INSERT INTO CAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, estado, cNumero)"
                                   " VALUES (6, ?, '2004', '0834', ?, '000000')"));
        for (int i = 0; i < kDeclarations; ++i) {
            const QString ruc = QStringLiteral("20%1").arg(i * 7919 % 1000000000, 9, 10, QLatin1Char('0'));
            cont.addBindValue(ruc);
            cont.addBindValue(QStringLiteral("EMPRESA NUMERO %1 S.A.C.").arg(i));
            cont.exec();
            cab.addBindValue(ruc);
            cab.addBindValue(i % 10 == 0 ? 9 : 0);
            cab.exec();
        }
        db.commit();
        return suite;
    }();
    return *s;
}

ContextoListaDeclaraciones context()
{
    return ContextoListaDeclaraciones{suite().db(), QStringLiteral("0834"), QStringLiteral("ROOT"), {}, {}};
}

void BM_FirstRowsShown(benchmark::State& state)
{
    suite();
    for (auto _ : state) {
        FrmContAbrir dlg(context(), FrmContAbrir::kModify);
        dlg.show();
        QApplication::processEvents();  // lays out and paints the grid
        benchmark::DoNotOptimize(dlg.rowCount());
        if (dlg.rowCount() == 0) {
            state.SkipWithError("no rows listed");
            break;
        }
    }
}
BENCHMARK(BM_FirstRowsShown)->Unit(benchmark::kMillisecond);

void BM_ScrollToTheEnd(benchmark::State& state)
{
    suite();
    double longestFetchMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto dlg = std::make_unique<FrmContAbrir>(context(), FrmContAbrir::kModify);
        dlg->show();
        QApplication::processEvents();
        state.ResumeTiming();
        QTableView* grid = dlg->grid();
        QElapsedTimer timer;
        // Each step drags the scroll bar to the bottom; reaching it fetches the next chunk.
        while (grid->model()->canFetchMore(QModelIndex())) {
            timer.start();
            grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
            QApplication::processEvents();
            longestFetchMs = std::max(longestFetchMs, timer.nsecsElapsed() / 1e6);
        }
        if (dlg->rowCount() != kDeclarations) {
            state.SkipWithError("not every row was fetched");
            break;
        }
        state.PauseTiming();
        dlg.reset();
        state.ResumeTiming();
    }
    state.counters["max_fetch_ms"] = longestFetchMs;
}
BENCHMARK(BM_ScrollToTheEnd)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return correMediciones<QApplication>(argc, argv);
}
