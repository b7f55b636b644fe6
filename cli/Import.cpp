// f0834 import --ini INI_PATH [--replace] [--dry-run] [--report FILE] FILE:
// one declaration per row of a CSV file, each through the same model, checks
// and save as f0834 save, each stored in its own transaction, so a row that
// fails leaves the rows before it stored. One line per row on stdout, a
// summary at the end, the same lines as CSV in the report file.

#include "BaseDatos.h"
#include "ColumnasCsv.h"
#include "DeclaracionJson.h"
#include "GuardaSolicitud.h"
#include "LectorCsv.h"
#include "Progreso.h"
#include "Subcomandos.h"

#include "EscriturasEnLote.h"
#include "MotorSql.h"
#include "Lectura834.h"
#include "ObjFunciones.h"
#include "ParamLookups.h"
#include "Settings.h"
#include "Validacion834.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QSet>

namespace {

const QString kUso = QStringLiteral(
    "usage: f0834 import --ini INI_PATH [--replace] [--dry-run] [--report FILE] FILE");

struct Opciones {
    QString ini;
    QString archivo;
    QString reporte;
    bool reemplazar = false;
    bool simulacro = false;
};

std::optional<Opciones> leerOpciones(const QStringList& args, QString* error)
{
    Opciones o;
    QStringList posicionales;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool conValor = i + 1 < args.size();
        if (a == u"--ini" && conValor)
            o.ini = args[++i];
        else if (a == u"--report" && conValor)
            o.reporte = args[++i];
        else if (a == u"--replace")
            o.reemplazar = true;
        else if (a == u"--dry-run")
            o.simulacro = true;
        else if (a.startsWith(u"--")) {
            *error = QStringLiteral("unexpected option \"%1\"\n%2").arg(a, kUso);
            return std::nullopt;
        } else
            posicionales << a;
    }
    if (o.ini.isEmpty() || posicionales.size() != 1) {
        *error = QStringLiteral("--ini and one FILE are required\n") + kUso;
        return std::nullopt;
    }
    o.archivo = posicionales[0];
    return o;
}

// Perdida: the server's connection was lost on this row; the import stops there.
enum class Desenlace { Guardada, Existe, Rechazada, Perdida };

struct Resultado {
    int linea = 0;
    QString ruc;
    QString ejercicio;
    Desenlace desenlace = Desenlace::Rechazada;
    int estado = 0;
    QString mensaje;
    bool incierta = false;   // Perdida: the server could not tell whether the commit was done

    QString texto(bool simulacro) const
    {
        switch (desenlace) {
        case Desenlace::Guardada:
            return (simulacro ? QStringLiteral("would store estado ") : QStringLiteral("stored estado "))
                   + QString::number(estado);
        case Desenlace::Existe: return QStringLiteral("exists") + mensaje;
        case Desenlace::Perdida:
            return (incierta ? QStringLiteral("unknown: ") : QStringLiteral("not stored: "))
                   + entrada::unaLinea(mensaje);
        case Desenlace::Rechazada: break;
        }
        return QStringLiteral("refused: ") + entrada::unaLinea(mensaje);
    }
};

// What the rows share: the suite, its user's taxpayers, and in a dry run the
// declarations the rows before would have stored.
class Importacion {
public:
    Importacion(QSqlDatabase db, const QString& sysUser, const Opciones& o)
        : db_(db), contribuyentes_(taxpayerList(db, sysUser)), o_(o)
    {
        for (const Taxpayer& t : contribuyentes_)
            nombres_.insert(t.docId, t.nombre);
    }

    Resultado fila(const columnas::Cabecera& cabecera, const csv::Fila& f)
    {
        Resultado r;
        r.linea = f.linea;
        QJsonObject objeto = columnas::solicitud(cabecera, f.campos);
        r.ruc = objeto.value(u"ruc").toString();
        r.ejercicio = objeto.value(u"ejercicio").toString();
        if (!f.error.isEmpty())
            return rechazar(r, f.error);

        objeto.insert("razonSocial", nombres_.value(r.ruc));
        QString error;
        std::optional<declaracionjson::Solicitud> s = declaracionjson::leer(objeto, true, &error);
        if (!s)
            return rechazar(r, error);
        if (!ObjFunciones().RucValido(r.ruc))
            return rechazar(r, QStringLiteral("\"%1\" is not a valid RUC").arg(r.ruc));
        // Only a taxpayer of the user's list can be chosen, new or replaced.
        if (!nombres_.contains(r.ruc))
            return rechazar(r, validacion834::texto::kSeleccioneContribuyente);

        bool ok = false, okEnviada = false;
        const QString clave = r.ruc + u'/' + r.ejercicio;
        const bool existe = lectura834::existeDeclaracion(db_, r.ruc, r.ejercicio, QStringLiteral("0834"), &ok)
                            || (o_.simulacro && vistas_.contains(clave));
        // A declaration already sent keeps the version the administration got
        // beside the one it was sent from: neither is replaced from a file.
        const bool enviada = existe && lectura834::existeEnviada(db_, r.ruc, r.ejercicio, &okEnviada);
        if (!ok || (existe && !okEnviada) || !declaracionjson::parametrosDeBase(db_, s->pedido)) {
            if (!conexionViva(db_)) {
                r.desenlace = Desenlace::Perdida;
                r.mensaje = QStringLiteral("the connection to the database server was lost");
                return r;
            }
            return rechazar(r, QStringLiteral("cannot read the database"));
        }
        if (existe && (!o_.reemplazar || enviada)) {
            r.desenlace = Desenlace::Existe;
            r.mensaje = enviada ? QStringLiteral(" (sent)") : QString();
            return r;
        }
        s->nuevo = !existe;
        // The row is the whole declaration: deductions it leaves blank replace stored ones.
        if (!s->pedido.deducciones)
            s->pedido.deducciones = Detalle105{};

        const Guardado g = guardarSolicitud(db_, contribuyentes_, *s, o_.simulacro);
        if (!g.ok && g.conexionPerdida) {
            r.desenlace = Desenlace::Perdida;
            r.mensaje = g.mensaje;
            r.incierta = g.incierta;
            return r;
        }
        if (!g.ok)
            return rechazar(r, g.mensaje);
        vistas_.insert(clave);
        r.desenlace = Desenlace::Guardada;
        r.estado = g.estado;
        return r;
    }

private:
    static Resultado rechazar(Resultado r, const QString& mensaje)
    {
        r.desenlace = Desenlace::Rechazada;
        r.mensaje = mensaje;
        return r;
    }

    QSqlDatabase db_;
    const QList<Taxpayer> contribuyentes_;
    const Opciones& o_;
    QHash<QString, QString> nombres_;
    QSet<QString> vistas_;
};

// `sinIntentar`: the lines after a lost connection, never tried.
QString resumen(const QList<Resultado>& resultados, const QStringList& sinIntentar, bool simulacro)
{
    int estado0 = 0, estado9 = 0, existen = 0, rechazadas = 0;
    QStringList sinGuardar;
    for (const Resultado& r : resultados) {
        if (r.desenlace == Desenlace::Guardada)
            ++(r.estado == 0 ? estado0 : estado9);
        else if (!r.incierta)
            sinGuardar << QString::number(r.linea);
        existen += r.desenlace == Desenlace::Existe;
        rechazadas += r.desenlace == Desenlace::Rechazada;
    }
    QString s = QStringLiteral("%1 rows: %2 %3 (%4 estado 0, %5 estado 9), %6 existing, %7 refused")
                    .arg(resultados.size())
                    .arg(estado0 + estado9)
                    .arg(simulacro ? QStringLiteral("would be stored (dry run, nothing stored)")
                                   : QStringLiteral("stored"))
                    .arg(estado0)
                    .arg(estado9)
                    .arg(existen)
                    .arg(rechazadas);
    if (!resultados.isEmpty() && resultados.last().desenlace == Desenlace::Perdida) {
        const Resultado& ultima = resultados.last();
        s.prepend(QStringLiteral("stopped at line %1: the connection to the database server was lost; ")
                      .arg(ultima.linea));
        if (ultima.incierta)
            s += QStringLiteral("; not known whether line %1 was stored").arg(ultima.linea);
        sinGuardar += sinIntentar;
    }
    if (!sinGuardar.isEmpty())
        s += QStringLiteral("; not stored: lines ") + sinGuardar.join(QStringLiteral(", "));
    return s;
}

} // namespace

int importar(const QStringList& argumentos, Consola& consola)
{
    const entrada::Fallo fallar(consola.errores, "import");
    QString error;
    const std::optional<Opciones> o = leerOpciones(argumentos, &error);
    if (!o)
        return fallar(error);
    if (!QFileInfo(o->ini).isFile())
        return fallar(QStringLiteral("settings file not found: %1").arg(o->ini));

    QFile archivo(o->archivo);
    if (!archivo.open(QIODevice::ReadOnly))
        return fallar(QStringLiteral("cannot read %1: %2").arg(o->archivo, archivo.errorString()));
    const std::optional<csv::Archivo> csv = csv::leer(archivo.readAll(), &error);
    if (!csv)
        return fallar(o->archivo + QStringLiteral(": ") + error);
    const std::optional<columnas::Cabecera> cabecera = columnas::leerCabecera(csv->cabecera, &error);
    if (!cabecera)
        return fallar(o->archivo + QStringLiteral(": ") + error);

    BaseDatos base;
    if (!base.abrir(o->ini, &error))
        return fallar(error, kSalidaError);
    QSaveFile reporte(o->reporte);
    if (!o->reporte.isEmpty() && !reporte.open(QIODevice::WriteOnly))
        return fallar(QStringLiteral("cannot write %1: %2").arg(o->reporte, reporte.errorString()), kSalidaError);
    if (!o->reporte.isEmpty())
        reporte.write(csv::linea({"linea", "ruc", "ejercicio", "resultado"}).toUtf8());

    EscriturasEnLote lote(base.db());
    Importacion importacion(base.db(), readSettings(o->ini).sysUser, *o);
    Progreso progreso(consola.errores, csv->filas.size(), consola.terminal);
    QList<Resultado> resultados;
    QStringList sinIntentar;
    for (const csv::Fila& f : csv->filas) {
        // Past a lost connection nothing more is tried: the lines are named instead.
        if (!resultados.isEmpty() && resultados.last().desenlace == Desenlace::Perdida) {
            sinIntentar << QString::number(f.linea);
            continue;
        }
        const Resultado r = importacion.fila(*cabecera, f);
        resultados << r;
        progreso.avanzar();
        const QString texto = r.texto(o->simulacro);
        consola.salida << "line " << r.linea << ' ' << r.ruc << ' ' << r.ejercicio << ": " << texto << '\n';
        if (!o->reporte.isEmpty())
            reporte.write(csv::linea({QString::number(r.linea), r.ruc, r.ejercicio, texto}).toUtf8());
    }
    progreso.terminar();
    if (!lote.terminar())
        return fallar(QStringLiteral("the database did not confirm that the stored rows reached the disk"),
                      kSalidaError);
    consola.salida << resumen(resultados, sinIntentar, o->simulacro) << '\n';
    if (!o->reporte.isEmpty() && !reporte.commit())
        return fallar(QStringLiteral("cannot write %1: %2").arg(o->reporte, reporte.errorString()), kSalidaError);

    for (const Resultado& r : resultados)
        if (r.desenlace != Desenlace::Guardada)
            return kSalidaError;
    return kSalidaBien;
}
