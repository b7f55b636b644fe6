#include "PrintCommand.h"

#include "BaseDatos.h"
#include "DeclaracionReporte.h"
#include "Settings.h"
#include "SpoolPainter.h"
#include "SpoolReader.h"

#include <QFile>
#include <QGuiApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

const QString kUso = QStringLiteral(
    "usage: f0834 print --ini INI_PATH RUC EJERCICIO [--anexo] [--enviada CORREL] [--pdf FILE]");

struct Pedido {
    QString ini;
    QString ruc;
    QString ejercicio;
    bool anexo = false;
    bool enviada = false;
    QString correl;
    QString pdf;
};

bool leerArgumentos(const QStringList& args, Pedido& p, QString& error)
{
    QStringList posicionales;
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
        else if (a.startsWith(u"--")) {
            error = QStringLiteral("unexpected option \"%1\"").arg(a);
            return false;
        } else
            posicionales << a;
    }
    if (p.ini.isEmpty() || posicionales.size() != 2) {
        error = QStringLiteral("--ini, RUC and EJERCICIO are required");
        return false;
    }
    p.ruc = posicionales[0];
    p.ejercicio = posicionales[1];
    return true;
}

// Fills the taxpayer name and, for a sent declaration, its order and control
// numbers, as the print window copies them from its list.
bool completarContexto(QSqlDatabase db, ReportContext& ctx, QString& error)
{
    QSqlQuery cab(db);
    const QString select = ctx.enviada ? QStringLiteral("SELECT NORDEN, CONTROL FROM HCAB")
                                       : QStringLiteral("SELECT 0, '' FROM CAB");
    if (!impresion834::ejecuta(cab, select + impresion834::condicion(ctx), ctx, error))
        return false;
    if (!cab.next()) {
        error = ctx.enviada ? QStringLiteral("no sent declaration %1 %2 with correlative %3")
                                  .arg(ctx.ruc, ctx.periodo, ctx.correl)
                            : QStringLiteral("no stored declaration %1 %2").arg(ctx.ruc, ctx.periodo);
        return false;
    }
    if (ctx.enviada) {
        ctx.norden = cab.isNull(0) ? QString() : cab.value(0).toString();
        ctx.control = cab.value(1).toString();
    }
    QSqlQuery cont(db);
    cont.prepare(QStringLiteral("SELECT Nombre FROM CONT WHERE TIP_DOC_D = 6 AND DOC_ID_D = ?"));
    cont.addBindValue(ctx.ruc);
    if (!cont.exec()) {
        error = cont.lastError().text();
        return false;
    }
    if (cont.next())
        ctx.nombre = cont.value(0).toString();
    return true;
}

}  // namespace

int runPrint(const QStringList& args, Consola& consola)
{
    auto fallar = [&](const QString& mensaje) {
        consola.errores << "f0834 print: " << mensaje << '\n';
        return kSalidaError;
    };
    Pedido p;
    QString error;
    if (!leerArgumentos(args, p, error))
        return fallar(error + u'\n' + kUso);
    if (!p.pdf.isEmpty() && !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return fallar(QStringLiteral("--pdf needs the graphical application"));

    BaseDatos base;
    if (!base.abrir(p.ini, &error))
        return fallar(error);
    const Settings settings = readSettings(p.ini);

    ReportContext ctx;
    ctx.ruc = p.ruc;
    ctx.periodo = p.ejercicio;
    ctx.formulario = QStringLiteral("0834");
    ctx.enviada = p.enviada;
    ctx.correl = p.correl;
    ctx.imprimeAnexo = p.anexo;
    if (!completarContexto(base.db(), ctx, error))
        return fallar(error);

    const QString carpeta = reportFolder(settings.sysPath);
    error = GeneraReporteDeclaracion(base.db(), settings.sysUser, carpeta, ctx);
    if (!error.isEmpty())
        return fallar(error);
    const QString ruta = spoolFilePath(carpeta, ctx.archivo);
    consola.salida << ruta << '\n';

    if (!p.pdf.isEmpty()) {
        const std::optional<SpoolDocument> doc = readSpoolFile(ruta, &error);
        if (!doc)
            return fallar(error);
        if (!writeSpoolPdf(p.pdf, printSheets(*doc), &error))
            return fallar(error);
    }
    return kSalidaBien;
}

int runPrint(const QStringList& args)
{
    QFile entrada;
    entrada.open(stdin, QIODevice::ReadOnly);
    QTextStream salida(stdout);
    QTextStream errores(stderr);
    Consola consola{entrada, salida, errores};
    const int r = runPrint(args, consola);
    salida.flush();
    errores.flush();
    return r;
}
