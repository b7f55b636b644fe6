#include "PrintCommand.h"

#include "BaseDatos.h"
#include "ColaImpresion.h"
#include "Eco.h"
#include "DeclaracionReporte.h"
#include "DeclaracionJson.h"
#include "ArchivoIni.h"
#include "Lectura834.h"
#include "ConsultasParam.h"
#include "Progreso.h"
#include "Configuracion.h"
#include "PintorSpool.h"
#include "LectorSpool.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSqlError>
#include <QVariant>

namespace {

const QString kUso = QStringLiteral(
    "usage: f0834 print [--ini INI_PATH] RUC EJERCICIO [--anexo] [--enviada CORREL] [--pdf FILE] [--printer [NAME]]\n"
    "       f0834 print [--ini INI_PATH] --all [--ejercicio YYYY] [--anexo] [--pdf-dir DIR] [--printer [NAME]]");

struct Pedido {
    QString ini;
    QString ruc;
    QString ejercicio;
    bool anexo = false;
    bool enviada = false;
    QString correl;
    QString pdf;
    // Every stored declaration (of one exercise when `ejercicio` is given),
    // one PDF file each in `pdfDir`.
    bool todas = false;
    QString pdfDir;
    // Printed on a print queue: the one named, or the default one.
    std::optional<QString> impresora;
};

// "--printer NAME" or "--printer=NAME"; a bare "--printer" (followed by an
// option, the RUC or the exercise, which are all digits) is the default one.
bool leerImpresora(const QStringList& args, qsizetype& i, Pedido& p)
{
    const QString& a = args[i];
    if (a.startsWith(u"--printer=")) {
        p.impresora = a.mid(10);
    } else if (a == u"--printer") {
        static const QRegularExpression kSoloDigitos(QStringLiteral("^[0-9]+$"));
        const bool conNombre =
            i + 1 < args.size() && !args[i + 1].startsWith(u'-') && !kSoloDigitos.match(args[i + 1]).hasMatch();
        p.impresora = conNombre ? args[++i] : QString();
    } else {
        return false;
    }
    return true;
}

bool leerArgumentos(const QStringList& args, Pedido& p, QString& error)
{
    QStringList posicionales;
    bool conEjercicio = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool conValor = i + 1 < args.size();
        if (a == u"--ini" && conValor)
            p.ini = args[++i];
        else if (a == u"--anexo")
            p.anexo = true;
        else if (a == u"--enviada" && conValor) {
            p.enviada = true;
            p.correl = args[++i];
        } else if (a == u"--pdf" && conValor)
            p.pdf = args[++i];
        else if (a == u"--all")
            p.todas = true;
        else if (a == u"--ejercicio" && conValor) {
            conEjercicio = true;
            p.ejercicio = args[++i];
        } else if (a == u"--pdf-dir" && conValor)
            p.pdfDir = args[++i];
        else if (leerImpresora(args, i, p))
            continue;
        else if (a.startsWith(u"--")) {
            error = QStringLiteral("unexpected option \"%1\"").arg(eco(a));
            return false;
        } else
            posicionales << a;
    }
    if (p.ini.isEmpty())
        p.ini = ArchivoIni::ubicaIni();
    if (p.todas) {
        if (!posicionales.isEmpty() || p.enviada || !p.pdf.isEmpty() || (p.pdfDir.isEmpty() && !p.impresora)) {
            error = QStringLiteral("--all takes --pdf-dir or --printer, and no RUC, EJERCICIO, --enviada or --pdf");
            return false;
        }
        return true;
    }
    if (posicionales.size() != 2 || conEjercicio || !p.pdfDir.isEmpty()) {
        error = QStringLiteral("RUC and EJERCICIO are required (--ejercicio and --pdf-dir go with --all)");
        return false;
    }
    p.ruc = posicionales[0];
    p.ejercicio = posicionales[1];
    return true;
}

ContextoReporte contexto(const Pedido& p, const QString& ruc, const QString& periodo)
{
    ContextoReporte ctx;
    ctx.ruc = ruc;
    ctx.periodo = periodo;
    ctx.formulario = QStringLiteral("0834");
    ctx.enviada = p.enviada;
    ctx.correl = p.correl;
    ctx.imprimeAnexo = p.anexo;
    return ctx;
}

// Fills the taxpayer name and, for a sent declaration, its order and control
// numbers, as the print window copies them from its list: the header and the
// taxpayer's name in one read.
struct PedidoContexto {
    int cabecera = -1;
    int nombre = -1;
};

PedidoContexto pedirContexto(LoteSql& lote, const ContextoReporte& ctx)
{
    const QString select = ctx.enviada ? QStringLiteral("SELECT NORDEN, CONTROL FROM HCAB")
                                       : QStringLiteral("SELECT 0, '' FROM CAB");
    QVariantList clave{ctx.ruc, ctx.periodo, ctx.formulario};
    if (ctx.enviada)
        clave << ctx.correl;
    PedidoContexto pedido;
    pedido.cabecera = lote.agregar(select + impresion834::condicion(ctx), clave);
    pedido.nombre = lote.agregar(QStringLiteral("SELECT Nombre FROM CONT WHERE TIP_DOC_D = 6 AND DOC_ID_D = ?"),
                                 {ctx.ruc});
    return pedido;
}

bool contextoDe(const LoteSql& lote, const PedidoContexto& pedido, ContextoReporte& ctx, QString& error)
{
    const QList<QVariantList>& cabecera = lote.resultado(pedido.cabecera).filas;
    if (cabecera.isEmpty()) {
        error = ctx.enviada ? QStringLiteral("no sent declaration %1 %2 with correlative %3")
                                  .arg(eco(ctx.ruc), eco(ctx.periodo), eco(ctx.correl))
                            : QStringLiteral("no stored declaration %1 %2").arg(eco(ctx.ruc), eco(ctx.periodo));
        return false;
    }
    if (ctx.enviada) {
        ctx.norden = LoteSql::esNulo(cabecera.first()[0]) ? QString() : cabecera.first()[0].toString();
        ctx.control = cabecera.first()[1].toString();
    }
    if (const QList<QVariantList>& nombre = lote.resultado(pedido.nombre).filas; !nombre.isEmpty())
        ctx.nombre = nombre.first()[0].toString();
    return true;
}

bool completarContexto(QSqlDatabase db, ContextoReporte& ctx, QString& error)
{
    LoteSql lote;
    const PedidoContexto pedido = pedirContexto(lote, ctx);
    if (!lote.ejecutar(db)) {
        error = lote.error().text();
        return false;
    }
    return contextoDe(lote, pedido, ctx, error);
}

// The one declaration the command names: the user's taxpayers, its header
// and name, read together as the open's first reads.
struct PedidoUna {
    ContextoReporte ctx;
    PedidoContribuyentes contribuyentes;
    PedidoContexto contexto;
};

PedidoUna pedirUna(LoteSql& lote, const Configuracion& settings, const Pedido& p)
{
    PedidoUna pedido;
    pedido.ctx = contexto(p, p.ruc, p.ejercicio);
    pedido.contribuyentes = pedirContribuyentes(lote, settings.sysUser);
    pedido.contexto = pedirContexto(lote, pedido.ctx);
    return pedido;
}

bool unaDe(const LoteSql& lote, PedidoUna pedido, const Configuracion& settings, QList<ContextoReporte>& lista,
           QString& error)
{
    if (lote.error().isValid()) {
        error = QStringLiteral("cannot read the declaration from the database: ") + lote.error().text();
        return false;
    }
    error = declaracionjson::rechazoContribuyente(contribuyentesDe(lote, pedido.contribuyentes), pedido.ctx.ruc,
                                                  settings.sysUser);
    if (!error.isEmpty() || !contextoDe(lote, pedido.contexto, pedido.ctx, error))
        return false;
    lista << pedido.ctx;
    return true;
}

// Every stored declaration (of one exercise when asked) of the user's
// taxpayers, as the window lists them; each is completed as it is printed.
bool todas(QSqlDatabase db, const Configuracion& settings, const Pedido& p, QList<ContextoReporte>& lista,
           QString& error)
{
    const QList<Contribuyente> contribuyentes = listaContribuyentes(db, settings.sysUser);
    bool ok = false;
    for (const lectura834::Clave& c : lectura834::guardadas(db, p.ejercicio, QString(), &ok))
        if (motivoRechazoContribuyente(contribuyentes, c.ruc) == MotivoRechazo::Ninguno)
            lista << contexto(p, c.ruc, c.periodo);
    if (!ok)
        error = QStringLiteral("cannot read the stored declarations: ") + db.lastError().text();
    return ok;
}

// Where a declaration's pages are drawn; empty when they are not.
QString rutaPdf(const Pedido& p, const ContextoReporte& ctx)
{
    if (p.todas)
        return QDir(p.pdfDir).filePath(ctx.nombreArchivoPdf());
    return p.pdf;
}

// Prints the spool file's pages on the queue as the print window does; the
// job's request id ("PDF-12") once it has printed.
std::optional<QString> enviaAImpresora(const DocumentoSpool& doc, const QString& archivo, const QString& impresora,
                                       QString& error)
{
    PedidoImpresion pedido;
    pedido.impresora = impresora;
    pedido.titulo = tituloTrabajo(archivo);
    const ResultadoImpresion r = imprimeHojasEnCola(hojasImpresion(doc), pedido);
    if (!r.ok()) {
        error = r.descripcion();
        return std::nullopt;
    }
    return r.impresora + u'-' + QString::number(r.trabajo);
}

// One declaration, its header and name filled in, as the print window prints
// it: spool registration and file, then its pages drawn into `pdf` when one
// is named and printed on `impresora` when one is asked for (`*trabajo`: the
// job's request id).
// *ruta is the spool file's path once it is written, also when the drawing
// or the printing fails afterwards (the file stays registered for a reprint).
bool imprimir(QSqlDatabase db, const Configuracion& settings, ContextoReporte ctx, const QString& pdf,
              const std::optional<QString>& impresora, QString* ruta, QString* trabajo, QString& error)
{
    const QString carpeta = carpetaDeReportes(settings.sysPath);
    error = GeneraReporteDeclaracion(db, settings.sysUser, carpeta, ctx);
    if (!error.isEmpty())
        return false;
    *ruta = rutaArchivoSpool(carpeta, ctx.archivo);
    if (pdf.isEmpty() && !impresora)
        return true;
    const std::optional<DocumentoSpool> doc = leeArchivoSpool(*ruta, &error);
    if (!doc || (!pdf.isEmpty() && !escribePdfSpool(pdf, hojasImpresion(*doc), &error)))
        return false;
    if (impresora) {
        const std::optional<QString> id = enviaAImpresora(*doc, ctx.archivo, *impresora, error);
        if (!id)
            return false;
        *trabajo = *id;
    }
    return true;
}

}  // namespace

int ejecutaPrint(const QStringList& args, Consola& consola)
{
    auto fallar = [&](const QString& mensaje) {
        consola.errores << "f0834 print: " << mensaje << '\n';
        return kSalidaError;
    };
    Pedido p;
    QString error;
    if (!leerArgumentos(args, p, error))
        return fallar(error + u'\n' + kUso);
    const bool dibuja = !p.pdf.isEmpty() || !p.pdfDir.isEmpty() || p.impresora;
    if (dibuja && !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return fallar(QStringLiteral("--pdf and --printer need the graphical application"));
    if (!p.pdfDir.isEmpty() && !QDir().mkpath(p.pdfDir))
        return fallar(QStringLiteral("cannot create the folder %1").arg(eco(p.pdfDir)));

    const Configuracion settings = leeConfiguracion(p.ini);
    LoteSql lecturas;
    const PedidoUna una = p.todas ? PedidoUna() : pedirUna(lecturas, settings, p);
    BaseDatos base;
    if (!base.abrir(p.ini, &error, p.todas ? nullptr : &lecturas))
        return fallar(error);

    QList<ContextoReporte> lista;
    if (!(p.todas ? todas(base.db(), settings, p, lista, error) : unaDe(lecturas, una, settings, lista, error)))
        return fallar(error);
    // With --all one declaration that cannot be printed does not stop the others.
    Progreso progreso(consola.errores, p.todas ? lista.size() : 0, consola.terminal);
    int resultado = kSalidaBien;
    for (ContextoReporte ctx : lista) {
        QString ruta, trabajo;
        const bool impreso = (!p.todas || completarContexto(base.db(), ctx, error))
                             && imprimir(base.db(), settings, ctx, rutaPdf(p, ctx), p.impresora, &ruta, &trabajo, error);
        if (!ruta.isEmpty())
            progreso.escribir(consola.salida, ruta);
        if (impreso) {
            if (!trabajo.isEmpty())
                progreso.escribir(consola.salida, trabajo);
        } else {
            progreso.escribir(consola.errores,
                              QStringLiteral("f0834 print: ")
                                  + (p.todas ? ctx.ruc + u' ' + ctx.periodo + QStringLiteral(": ") + error : error));
            resultado = kSalidaError;
        }
        progreso.avanzar();
    }
    progreso.terminar();
    return resultado;
}

int ejecutaPrint(const QStringList& args)
{
    QFile entrada;
    entrada.open(stdin, QIODevice::ReadOnly);
    QTextStream salida(stdout);
    QTextStream errores(stderr);
    Consola consola{entrada, salida, errores};
    const int r = ejecutaPrint(args, consola);
    salida.flush();
    errores.flush();
    return r;
}
