// f0834 import [--ini INI_PATH] [--replace] [--dry-run] [--report FILE] FILE:
// one declaration per row of a CSV file, each through the same model, checks
// and save as f0834 save, each stored in its own transaction, so a row that
// fails leaves the rows before it stored. One line per row on stdout, a
// summary at the end, the same lines as CSV in the report file.

#include "ArchivoSeguro.h"
#include "BaseDatos.h"
#include "ColumnasCsv.h"
#include "DeclaracionJson.h"
#include "GuardaSolicitud.h"
#include "LectorCsv.h"
#include "Progreso.h"
#include "Subcomandos.h"

#include "EscriturasEnLote.h"
#include "Eco.h"
#include "ArchivoIni.h"
#include "MotorSql.h"
#include "ObjFunciones.h"
#include "Lectura834.h"
#include "ConsultasParam.h"
#include "Configuracion.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace {

const QString kUso = QStringLiteral(
    "usage: f0834 import [--ini INI_PATH] [--replace] [--dry-run] [--report FILE] FILE");

// A row is about a kilobyte: a file larger than this is refused unread.
constexpr qint64 kArchivoMaximo = qint64(64) << 20;

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
            *error = QStringLiteral("unexpected option \"%1\"\n%2").arg(eco(a), kUso);
            return std::nullopt;
        } else
            posicionales << a;
    }
    if (posicionales.size() != 1) {
        *error = QStringLiteral("one FILE is required\n") + kUso;
        return std::nullopt;
    }
    if (o.ini.isEmpty())
        o.ini = ArchivoIni::ubicaIni();
    o.archivo = posicionales[0];
    return o;
}

// Perdida: the server's connection was lost on this row; the import stops there.
enum class Desenlace { Guardada, Existe, Rechazada, Perdida };

struct Resultado {
    int linea = 0;
    int ultimaLinea = 0;   // a row read across several lines ends here
    QString ruc;
    QString ejercicio;
    Desenlace desenlace = Desenlace::Rechazada;
    int estado = 0;
    QString mensaje;
    bool incierta = false;   // Perdida: the server could not tell whether the commit was done

    // "7" or, for a row read across lines, "7-9".
    QString lineas() const
    {
        return ultimaLinea > linea ? QStringLiteral("%1-%2").arg(linea).arg(ultimaLinea) : QString::number(linea);
    }

    QString texto(bool simulacro) const
    {
        switch (desenlace) {
        case Desenlace::Guardada:
            return (simulacro ? QStringLiteral("would store estado ") : QStringLiteral("stored estado "))
                   + QString::number(estado) + mensaje;
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
        : db_(db), sysUser_(sysUser), contribuyentes_(listaContribuyentes(db, sysUser)),
          bancos_(lectura834::bancos(db, &okBancos_)), o_(o)
    {
    }

    Resultado fila(const columnas::Cabecera& cabecera, const csv::Fila& f)
    {
        Resultado r;
        r.linea = f.linea;
        r.ultimaLinea = f.ultimaLinea;
        QJsonObject objeto = columnas::solicitud(cabecera, f.campos);
        r.ruc = eco(objeto.value(u"ruc").toString());
        r.ejercicio = eco(objeto.value(u"ejercicio").toString());
        if (!f.error.isEmpty())
            return rechazar(r, f.error);

        QString error;
        std::optional<declaracionjson::Solicitud> s = declaracionjson::leer(objeto, true, &error);
        if (!s)
            return rechazar(r, error + notaCodificacion(objeto));
        const QString clave = r.ruc + u'/' + r.ejercicio;
        const int anterior = guardadas_.value(clave);
        if (anterior && !o_.reemplazar)
            return rechazar(r, QStringLiteral("repeats line %1").arg(anterior));
        // Only a taxpayer of the user's list can be chosen, new or replaced.
        error = declaracionjson::rechazoContribuyente(contribuyentes_, r.ruc, sysUser_);
        if (!error.isEmpty())
            return rechazar(r, error);
        if (!okBancos_)
            return rechazar(r, QStringLiteral("cannot read the banks from the database"));
        error = declaracionjson::revisarListas(bancos_, *s);
        if (!error.isEmpty())
            return rechazar(r, error);

        bool ok = false, okEnviada = false;
        const bool existe = lectura834::existeDeclaracion(db_, r.ruc, r.ejercicio, QStringLiteral("0834"), &ok)
                            || (o_.simulacro && anterior);
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
        guardadas_.insert(clave, r.linea);
        r.desenlace = Desenlace::Guardada;
        r.estado = g.estado;
        if (anterior)
            r.mensaje = QStringLiteral(", replaces line %1").arg(anterior);
        return r;
    }

    // A file read as Windows-1252 may just be UTF-8 damaged on the way: a
    // name refused for its characters says how the file was read.
    void setCodificacion(const QString& codificacion) { codificacion_ = codificacion; }

private:
    QString notaCodificacion(const QJsonObject& objeto) const
    {
        if (codificacion_ == u"UTF-8")
            return {};
        const QJsonObject representante = objeto.value(u"representante").toObject();
        for (const char* campo : {"apellidos", "nombres"})
            for (const QChar c : representante.value(QLatin1String(campo)).toString())
                if (!ObjFunciones::caracterNombreConservado(c))
                    return QStringLiteral(" (the file was read as %1: it is not valid UTF-8)").arg(codificacion_);
        return {};
    }

    static Resultado rechazar(Resultado r, const QString& mensaje)
    {
        r.desenlace = Desenlace::Rechazada;
        r.mensaje = mensaje;
        return r;
    }

    QSqlDatabase db_;
    const QString sysUser_;
    const QList<Contribuyente> contribuyentes_;
    bool okBancos_ = false;
    const QList<std::pair<QString, QString>> bancos_;
    const Opciones& o_;
    QString codificacion_ = QStringLiteral("UTF-8");
    QHash<QString, int> guardadas_;   // RUC/exercise -> line of the file that stored it
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
            sinGuardar << r.lineas();
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
        s += QStringLiteral("; not stored: %1 (lines %2)")
                 .arg(sinGuardar.size() == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(sinGuardar.size()),
                      sinGuardar.join(QStringLiteral(", ")));
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
        return fallar(QStringLiteral("settings file not found: %1").arg(eco(o->ini)));

    QFile archivo(o->archivo);
    if (!archivo.open(QIODevice::ReadOnly))
        return fallar(QStringLiteral("cannot read %1: %2").arg(eco(o->archivo), archivo.errorString()));
    // A device or a pipe never ends as a file does: only a file, of a size a batch can have.
    if (!QFileInfo(archivo).isFile())
        return fallar(QStringLiteral("%1 is not a regular file").arg(eco(o->archivo)));
    const QByteArray bytes = archivo.read(kArchivoMaximo + 1);
    if (bytes.size() > kArchivoMaximo)
        return fallar(QStringLiteral("%1 is larger than %2 MiB").arg(eco(o->archivo)).arg(kArchivoMaximo >> 20));
    const std::optional<csv::Archivo> csv = csv::leer(bytes, &error);
    if (!csv)
        return fallar(eco(o->archivo) + QStringLiteral(": ") + error);
    const std::optional<columnas::Cabecera> cabecera = columnas::leerCabecera(csv->cabecera, &error);
    if (!cabecera)
        return fallar(eco(o->archivo) + QStringLiteral(": ") + error);

    BaseDatos base;
    if (!base.abrir(o->ini, &error))
        return fallar(error, kSalidaError);
    ArchivoSeguro reporte(o->reporte);
    if (!o->reporte.isEmpty() && !reporte.abre())
        return fallar(reporte.error(), kSalidaError);
    if (!o->reporte.isEmpty())
        reporte.escribe(csv::linea({"linea", "ruc", "ejercicio", "resultado"}).toUtf8());

    EscriturasEnLote lote(base.db());
    Importacion importacion(base.db(), leeConfiguracion(o->ini).sysUser, *o);
    importacion.setCodificacion(csv->codificacion);
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
        const QString texto = r.texto(o->simulacro);
        progreso.escribir(consola.salida, QStringLiteral("line %1 %2 %3: %4").arg(r.lineas(), r.ruc, r.ejercicio, texto));
        progreso.avanzar();
        if (!o->reporte.isEmpty())
            reporte.escribe(csv::linea({r.lineas(), r.ruc, r.ejercicio, texto}).toUtf8());
    }
    progreso.terminar();
    if (!lote.terminar())
        return fallar(QStringLiteral("the database did not confirm that the stored rows reached the disk"),
                      kSalidaError);
    consola.salida << resumen(resultados, sinIntentar, o->simulacro) << '\n';
    if (!o->reporte.isEmpty() && !reporte.confirma())
        return fallar(reporte.error(), kSalidaError);

    for (const Resultado& r : resultados)
        if (r.desenlace != Desenlace::Guardada)
            return kSalidaError;
    return kSalidaBien;
}
