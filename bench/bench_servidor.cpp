// The office server far away: round trips of each operation on the throwaway
// PostgreSQL server reached through a link that holds every packet 5 ms in
// each direction (EnlaceLento), as a branch office on a VPN reaches its
// server. Each benchmark runs its operation once per repetition and reports
// "round_trips" (and "connections" for whole processes):
//  - the window's open of a stored declaration, its save ("&Grabar", the
//    stamp checked), the stored-declaration list (opened, then reloaded) and
//    the bank list, on the session's open connection;
//  - the session's open as the programs do it (connection and suite check);
//  - f0834 save, show and print as whole processes, connection included;
//  - Kv834's start to its main window (needs an X display).
// Targets, connection included: save <= 15, show <= 8, print <= 10, Kv834's
// start <= 8; the window's open, save and list no more than the command
// line's. Needs QVR_TEST_PG (bench/run.sh starts the server).

#include "BenchMain.h"
#include "DeclaracionLlena.h"
#include "EnlaceLento.h"
#include "ProcessTiming.h"

#include "Comandos834.h"
#include "FrmConsultas.h"
#include "FrmContAbrir.h"
#include "Frm834.h"
#include "Grabacion834.h"
#include "ArchivoIni.h"
#include "Sesion.h"
#include "Configuracion.h"
#include "Suite.h"
#include "SuiteDePrueba.h"
#include "VentanasXTest.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

const QString kConexion = QStringLiteral("bench-servidor");
constexpr int kRetrasoMs = 5;

// A suite on the server whose KV000.INI reaches it through the slow link,
// with one declaration stored by f0834 from a complete JSON one.
struct Oficina {
    QTemporaryDir dir;
    QString sysPath;
    QString ini;
    std::unique_ptr<EnlaceLento> enlace;
    QString error;

    Oficina()
    {
        const QString socket = qEnvironmentVariable("QVR_TEST_PG");
        if (socket.isEmpty()) {
            error = QStringLiteral("QVR_TEST_PG unset (bench/run.sh starts the server)");
            return;
        }
        enlace = std::make_unique<EnlaceLento>(socket + QStringLiteral("/.s.PGSQL.5432"), kRetrasoMs);
        if (!enlace->ok()) {
            error = QStringLiteral("the slow link did not start");
            return;
        }
        sysPath = dir.path() + u'/';
        ini = sysPath + QStringLiteral("KV000.INI");
        const QString base = SuiteDePrueba::creaBaseServidor(false);
        const QString url = SuiteDePrueba::urlServidor(base);
        error = qvrhost::creaSuiteEnServidor(sysPath, QString(url).replace("postgresql://", "postgresql://postgres@"),
                                             false);
        if (!error.isEmpty())
            return;
        // Through the link on TCP, as a workstation of a branch reaches the server.
        ArchivoIni::escribe(ini, QStringLiteral("Options"), QStringLiteral("DBPath"),
                       QStringLiteral("postgresql://127.0.0.1:%1/").arg(enlace->puerto()));
        ArchivoIni::escribe(ini, QStringLiteral("Options"), QStringLiteral("DBName"), base);
        guardarPrimera();
    }

    // One declaration stored as the window stores it, deductions included.
    void guardarPrimera();

    // Runs f0834 with --ini after the subcommand's own arguments.
    bool f0834(QStringList argumentos, const QByteArray& entrada, QByteArray* salida) const
    {
        argumentos.insert(1, QStringLiteral("--ini"));
        argumentos.insert(2, ini);
        QProcess p;
        p.setProcessEnvironment(entornoSuite(sysPath));
        p.start(QStringLiteral(F0834_PATH), argumentos);
        p.write(entrada);
        p.closeWriteChannel();
        const bool ok = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        *salida = ok ? p.readAllStandardOutput() : p.readAllStandardError();
        return ok;
    }
};

Oficina& oficina()
{
    static Oficina o;
    return o;
}

bool listo(benchmark::State& state)
{
    if (!oficina().error.isEmpty()) {
        state.SkipWithError(qPrintable(oficina().error));
        return false;
    }
    return true;
}

void informar(benchmark::State& state, long idas, long conexiones = -1)
{
    state.counters["round_trips"] = static_cast<double>(idas);
    if (conexiones >= 0)
        state.counters["connections"] = static_cast<double>(conexiones);
}

// The session the window works on, opened as Kv834 opens it.
class Sesion {
public:
    explicit Sesion(const QString& ini = oficina().ini)
    {
        OpcionesApertura opciones;
        opciones.connectionName = kConexion;
        opciones.writeSystemDb = false;
        fallo_ = abreBaseDatos(leeConfiguracion(ini), ini, opciones);
    }
    ~Sesion() { cierraBaseDatos(kConexion); }
    bool abierta() const { return !fallo_; }
    QString error() const { return fallo_ ? mensajeFalloApertura(*fallo_) : QString(); }
    QSqlDatabase db() const { return QSqlDatabase::database(kConexion, false); }

private:
    std::optional<FalloApertura> fallo_;
};

void Oficina::guardarPrimera()
{
    Sesion s(ini);
    if (!s.abierta()) {
        error = s.error();
        return;
    }
    const auto d = declaracionLlena(s.db());
    validacion834::Contexto c;
    c.rucMostrado = kRuc;
    c.ejercicio = kPeriodo;
    c.db = s.db();
    const grabacion834::Grabado g = grabacion834::grabar(s.db(), *d, c, d->detalle105());
    if (!g.ok)
        error = QStringLiteral("the first save failed: ") + g.error;
}

ContextoDeclaracion contextoForm(const QSqlDatabase& db)
{
    ContextoDeclaracion c;
    c.db = db;
    c.sysUser = QStringLiteral("ADMIN");
    c.sysPath = oficina().sysPath;
    c.periodoSeleccionado = kPeriodo;
    return c;
}

// The form with its message boxes answered silently: a save asks nothing
// and tells nothing here.
class FormSinCajas : public Frm834 {
public:
    using Frm834::Frm834;
    using Frm834::onGrabar;
    void mostrar(const validacion834::Resultado& aviso) override { ultimo = aviso; }
    bool preguntar(const QString&, bool) override { return false; }
    validacion834::Resultado ultimo;
};

std::unique_ptr<FormSinCajas> abreForm(const QSqlDatabase& db)
{
    auto frm = std::make_unique<FormSinCajas>(contextoForm(db));
    frm->setApertura(1, {kRuc, kNombre, false});
    frm->cargar();
    return frm;
}

void BM_SessionOpen(benchmark::State& state)
{
    if (!listo(state))
        return;
    for (auto _ : state) {
        oficina().enlace->reiniciar();
        Sesion s;
        if (!s.abierta()) {
            state.SkipWithError(qPrintable(s.error()));
            return;
        }
        informar(state, oficina().enlace->idasYVueltas());
    }
}
BENCHMARK(BM_SessionOpen)->Apply(unaCorridaPorRepeticion);

void BM_WindowOpen(benchmark::State& state)
{
    if (!listo(state))
        return;
    Sesion s;
    for (auto _ : state) {
        oficina().enlace->reiniciar();
        const auto frm = abreForm(s.db());
        informar(state, oficina().enlace->idasYVueltas());
        if (frm->txtValor(301)->text() != u"100,000")
            state.SkipWithError("the boxes were not reloaded");
    }
}
BENCHMARK(BM_WindowOpen)->Apply(unaCorridaPorRepeticion);

void BM_WindowSave(benchmark::State& state)
{
    if (!listo(state))
        return;
    Sesion s;
    const auto frm = abreForm(s.db());
    for (auto _ : state) {
        frm->declaracion().setModificado(true);
        oficina().enlace->reiniciar();
        frm->onGrabar();
        informar(state, oficina().enlace->idasYVueltas());
        if (frm->estadoComandos().iGrabado != 1)
            state.SkipWithError(qPrintable(QStringLiteral("the save failed: ") + frm->ultimo.mensaje));
    }
}
BENCHMARK(BM_WindowSave)->Apply(unaCorridaPorRepeticion);

void BM_WindowList(benchmark::State& state)
{
    if (!listo(state))
        return;
    Sesion s;
    for (auto _ : state) {
        oficina().enlace->reiniciar();
        FrmContAbrir lista({s.db(), QStringLiteral("0834"), QStringLiteral("ADMIN"), {}, {}}, FrmContAbrir::kModify);
        lista.pCargadatos();
        informar(state, oficina().enlace->idasYVueltas());
        if (lista.rowCount() < 1)
            state.SkipWithError("the list is empty");
    }
}
BENCHMARK(BM_WindowList)->Apply(unaCorridaPorRepeticion);

void BM_WindowBanks(benchmark::State& state)
{
    if (!listo(state))
        return;
    Sesion s;
    for (auto _ : state) {
        oficina().enlace->reiniciar();
        FrmConsultas bancos(s.db(), FrmConsultas::kBanks);
        informar(state, oficina().enlace->idasYVueltas());
    }
}
BENCHMARK(BM_WindowBanks)->Apply(unaCorridaPorRepeticion);

// f0834 as a whole process through the link; the round trips include its connection.
void proceso(benchmark::State& state, const QStringList& argumentos, bool conEntrada)
{
    if (!listo(state))
        return;
    QByteArray entrada;
    if (conEntrada && !oficina().f0834({QStringLiteral("show"), kRuc, kPeriodo}, {}, &entrada)) {
        state.SkipWithError(entrada.constData());
        return;
    }
    for (auto _ : state) {
        oficina().enlace->reiniciar();
        QByteArray salida;
        if (!oficina().f0834(argumentos, entrada, &salida)) {
            state.SkipWithError(salida.constData());
            return;
        }
        informar(state, oficina().enlace->idasYVueltas(), oficina().enlace->conexiones());
    }
}

void BM_F0834Save(benchmark::State& state) { proceso(state, {QStringLiteral("save")}, true); }
BENCHMARK(BM_F0834Save)->Apply(unaCorridaPorRepeticion);

void BM_F0834Show(benchmark::State& state) { proceso(state, {QStringLiteral("show"), kRuc, kPeriodo}, false); }
BENCHMARK(BM_F0834Show)->Apply(unaCorridaPorRepeticion);

void BM_F0834Print(benchmark::State& state)
{
    QTemporaryDir dir;
    proceso(state, {QStringLiteral("print"), kRuc, kPeriodo, QStringLiteral("--pdf"), dir.filePath("d.pdf")}, false);
}
BENCHMARK(BM_F0834Print)->Apply(unaCorridaPorRepeticion);

// Kv834 from its start to its main window, the host's window up.
void BM_Kv834Start(benchmark::State& state)
{
    if (!listo(state))
        return;
    static VentanasXTest x;
    if (!x.ok() || x.create(QStringLiteral("Qvarion"), true) == 0) {
        state.SkipWithError("no X display (DISPLAY unset)");
        return;
    }
    QTemporaryDir runtime;
    QProcessEnvironment env = entornoSuite(oficina().sysPath, runtime.path());
    env.insert(QStringLiteral("QVR_QUIT_AFTER_SHOW"), QStringLiteral("1"));
    for (auto _ : state) {
        oficina().enlace->reiniciar();
        if (!terminaLimpio(QStringLiteral(KV834_PATH), {}, env)) {
            state.SkipWithError("Kv834 did not start cleanly");
            return;
        }
        informar(state, oficina().enlace->idasYVueltas(), oficina().enlace->conexiones());
    }
}
BENCHMARK(BM_Kv834Start)->Apply(unaCorridaPorRepeticion);

} // namespace

int main(int argc, char** argv)
{
    return correMediciones<QApplication>(argc, argv);
}
