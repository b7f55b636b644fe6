#include "Main000.h"

#include "ArchivoSeguro.h"
#include "Formato834.h"
#include "ImpRep.h"
#include "ConsultasParam.h"
#include "Sesion.h"
#include "FormatoSpool.h"
#include "EscritorSpool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <utility>

namespace {

const QString kTitulo = QStringLiteral("Resumen de envío - Formulario 0834");
const QString kDestinoArchivo = QStringLiteral("ARCHIVO");
constexpr int kAnchoRotuloMarcado = 16;
constexpr int kAnchoRotuloPlano = 15;

// The summary's positioned text: not bold, 10 points, first page.
QString pos(int x, int y, const QString& texto)
{
    return FormatoSpool::lineaPos(x, y, texto, false, 10, 0);
}

QString rotulo(const QString& nombre, int ancho)
{
    return nombre.leftJustified(ancho, u' ') + QStringLiteral(": ");
}

QString campo(const QSqlRecord& fila, const char* nombre)
{
    return fila.value(QLatin1String(nombre)).toString().trimmed();
}

// CONT.Nombre of the taxpayer, trimmed; empty when absent.
QString nombreContribuyente(QSqlDatabase db, int tipoDoc, const QString& numero)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT Nombre FROM CONT WHERE Tip_doc_d = ? AND Doc_id_d = ?"));
    q.addBindValue(tipoDoc);
    q.addBindValue(numero);
    if (q.exec() && q.next())
        return q.value(0).toString().trimmed();
    return {};
}

} // namespace

QList<LineaResumen> lineasIdentificacion(const ArgumentoResumen& arg, const DatosResumen& d, int ancho)
{
    QList<LineaResumen> lineas{
        {1500, rotulo(QStringLiteral("DOCUMENTO"), ancho) + d.etiquetaDoc + QStringLiteral("  ") +
                   arg.numeroDocRecortado()},
        {1750, rotulo(QStringLiteral("RAZON SOCIAL"), ancho) + d.nombre},
        {2000, rotulo(QStringLiteral("FORMULARIO"), ancho) + arg.formulario + QStringLiteral("-QVR Anticipo Rta.")},
        {2250, rotulo(QStringLiteral("PERIODO"), ancho) + arg.periodoImpreso()},
    };
    const QString formaDePago = rotulo(QStringLiteral("FORMA DE PAGO"), ancho);
    if (!d.efectivo.isEmpty() || d.cheque.isEmpty())
        lineas.append({2500, formaDePago + QStringLiteral("EFECTIVO")});
    if (!d.cheque.isEmpty()) {
        // On paper the cheque line covers the cash line at the same place.
        lineas.append({2500, formaDePago + QStringLiteral("CHEQUE")});
        lineas.append({2750, rotulo(QStringLiteral("BANCO"), ancho) + d.banco + QStringLiteral(" - ") + d.nombreBanco});
        lineas.append({3000, rotulo(QStringLiteral("NUMERO CHEQUE"), ancho) + d.numeroCheque});
    }
    lineas.append({3250, rotulo(QStringLiteral("RECTIFICATORIA"), ancho) +
                             (d.rectifica ? QStringLiteral("SI") : QStringLiteral("NO"))});
    return lineas;
}

QString lineaImportes(Dinero casilla146, Dinero casilla180, int ancho146, int ancho180)
{
    return QStringLiteral("A. RTA.") + formato834::miles(casilla146).rightJustified(ancho146, u' ') +
           formato834::miles(casilla180).rightJustified(ancho180, u' ');
}

Main000::Main000(QString iniPath, SalidaMensajes mensajes, QDateTime ahora)
    : iniPath_(std::move(iniPath)), mensajes_(std::move(mensajes)), ahora_(std::move(ahora))
{
}

Main000::~Main000()
{
    if (abierta_)
        cierraBaseDatos(QString(kConexion));
}

QSqlDatabase Main000::db() const
{
    return QSqlDatabase::database(QString(kConexion), false);
}

void Main000::pasoFallido(const QString& que)
{
    pasoFallido_ = true;
    avisaPasoFallido(que);
}

int Main000::ejecuta(const QString& argumento)
{
    using namespace mensajes0834imp;

    // The fields become parts of file names: refuse before anything is written.
    const ArgumentoResumen arg = ArgumentoResumen::cortar(argumento);
    const QString campoMalo = arg.campoNoValido();
    if (!campoMalo.isEmpty()) {
        mensajes_({MensajeResumen::Icono::Critico, kTituloAplicacion, argumentoNoValido(campoMalo)});
        return kResumenArgumentoNoValido;
    }

    settings_ = leeConfiguracion(iniPath_);
    if (!entraCarpetaSuite(settings_))
        pasoFallido(QStringLiteral("no se pudo entrar en la carpeta de la suite '%1'").arg(settings_.sysPath));

    OpcionesApertura opciones;
    opciones.connectionName = QString(kConexion);
    opciones.writeSystemDb = false;
    if (const std::optional<FalloApertura> fallo = abreBaseDatos(settings_, iniPath_, opciones)) {
        mensajes_({MensajeResumen::Icono::Ninguno, kTituloErrorConexion, mensajeFalloApertura(*fallo)});
        return kResumenSinBase;
    }
    abierta_ = true;
    carpetaReportes_ = settings_.sysPath + QStringLiteral("RPT/");
    carpetaTemporal_ = settings_.sysPath + QStringLiteral("TMP/");
    sysUser_ = settings_.sysUser;

    const QString base = EscribeReporte(arg);

    const ImpresoraTexto::Conversion conversion =
        impresora_.convierte(carpetaReportes_, base + QStringLiteral(".PRN"), kDestinoArchivo, mensajes_);
    if (!conversion.exito)
        return kResumenSinTexto;

    // Windows names ignore case: the ".TXT" of the report folder is the ".txt" just written.
    const QString copia = carpetaTemporal_ + base + QStringLiteral(".TXT");
    QFile texto(conversion.salida);
    QString error;
    if (!texto.open(QIODevice::ReadOnly) || !ArchivoSeguro::escribeTodo(copia, texto.readAll(), &error)) {
        const bool sinCarpeta = !QFileInfo(copia).absoluteDir().exists();
        mensajes_({MensajeResumen::Icono::Critico, kTituloErrorEjecucion,
                   sinCarpeta ? errorEjecucion(76, QStringLiteral("Path not found"))
                              : errorEjecucion(75, error.isEmpty() ? QStringLiteral("Path/File access error") : error)});
        return kResumenSinCopia;
    }
    return pasoFallido_ ? kResumenPasoFallido : kResumenHecho;
}

QString Main000::EscribeReporte(const ArgumentoResumen& arg)
{
    escribeMarcado(arg);
    const QString base = arg.nombreBase();
    escribePlano(arg, carpetaReportes_ + base + QStringLiteral(".PRN"));
    return base;
}

void Main000::anotaTraza(const QString& sentencia)
{
    QFile traza(QStringLiteral("Trace.txt"));
    if (!traza.open(QIODevice::WriteOnly | QIODevice::Append) ||
        traza.write(FormatoSpool::codificaLinea(sentencia)) < 0)
        pasoFallido(QStringLiteral("no se pudo anotar en Trace.txt: %1").arg(traza.errorString()));
}

bool Main000::consultaCab(const ArgumentoResumen& arg, QList<QSqlRecord>* filas)
{
    // The trace shows the statement with its values, as the suite has always written it.
    anotaTraza(QStringLiteral("SELECT * FROM CAB WHERE ") + QStringLiteral("Tip_doc_d=") +
               QString::number(arg.tipoDocNumero()) + QStringLiteral(" AND Doc_id_d='") + arg.numeroDocRecortado() +
               QStringLiteral("' ") + QStringLiteral(" AND PERIODO='") + arg.periodoConsulta() +
               QStringLiteral("' AND Formulario='") + arg.formulario + QStringLiteral("'"));

    QSqlQuery q(db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT * FROM CAB WHERE Tip_doc_d = ? AND Doc_id_d = ? AND Periodo = ? AND Formulario = ?"));
    q.addBindValue(arg.tipoDocNumero());
    q.addBindValue(arg.numeroDocRecortado());
    q.addBindValue(arg.periodoConsulta());
    q.addBindValue(arg.formulario);
    if (!q.exec()) {
        pasoFallido(QStringLiteral("consulta de CAB: %1").arg(q.lastError().text()));
        return false;
    }
    while (q.next())
        filas->append(q.record());
    return true;
}

DatosResumen Main000::datosDe(const ArgumentoResumen& arg, const QSqlRecord& fila)
{
    DatosResumen d;
    d.etiquetaDoc = nombreCortoDocumento(db(), QString::number(arg.tipoDocNumero()));
    d.nombre = nombreContribuyente(db(), arg.tipoDocNumero(), arg.numeroDocRecortado());
    d.efectivo = campo(fila, "Efectivo");
    d.cheque = campo(fila, "Cheque");
    d.banco = campo(fila, "BCOLIBRAD");
    d.nombreBanco = d.cheque.isEmpty() ? QString() : nombreCortoBanco(db(), d.banco);
    d.numeroCheque = campo(fila, "nrocheque");
    d.rectifica = numeroInicial(campo(fila, "Rectifica")) != 0;
    return d;
}

void Main000::leeImportes(const ArgumentoResumen& arg)
{
    QSqlQuery q(db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT Casilla, i_valor FROM DET WHERE Tip_doc_d = ? AND Doc_id_d = ? AND Periodo = ? "
                             "AND Formulario = ? AND (Casilla = '146' OR Casilla = '180')"));
    q.addBindValue(arg.tipoDocNumero());
    q.addBindValue(arg.numeroDocRecortado());
    q.addBindValue(arg.periodoConsulta());
    q.addBindValue(arg.formulario);
    if (!q.exec()) {
        pasoFallido(QStringLiteral("consulta de DET: %1").arg(q.lastError().text()));
        return;
    }
    while (q.next()) {
        const int casilla = numeroInicial(q.value(0).toString());
        const Dinero valor = formato834::leer(q.value(1).toString());
        if (casilla == 146)
            casilla146_ = valor;
        else if (casilla == 180)
            casilla180_ = valor;
    }
}

void Main000::escribeMarcado(const ArgumentoResumen& arg)
{
    const RegistroSpool registro =
        RegistraSpool(db(), sysUser_, kRepResumenEnvio, arg.tipoDocNumero(), arg.numeroDoc);
    if (!registro.ok())
        pasoFallido(QStringLiteral("registro en SPOOL: %1").arg(registro.error));

    EscritorSpool marcado;
    if (registro.ok() && !marcado.open(rutaArchivoSpool(carpetaReportes_, registro.archivo)))
        pasoFallido(QStringLiteral("archivo %1: %2").arg(registro.archivo, marcado.error()));

    QList<QSqlRecord> filas;
    consultaCab(arg, &filas);
    const QString fecha = ahora_.toString(QStringLiteral("dd/MM/yyyy"));
    const QString hora = ahora_.toString(QStringLiteral("HH:mm:ss"));
    for (const QSqlRecord& fila : filas) {
        const DatosResumen datos = datosDe(arg, fila);
        QStringList lineas{
            FormatoSpool::etiquetaFuente(QStringLiteral("Courier New")),
            FormatoSpool::etiquetaNHojas(1),
            FormatoSpool::etiquetaOrientacion(QStringLiteral("V")),
            FormatoSpool::etiquetaColor(QStringLiteral("&H80000005&")),
            pos(300, 350, fecha),
            pos(5500, 350, QStringLiteral("Pag. 01/01")),
            // These two have always carried the bold word in lower case.
            QStringLiteral("pPos|300|600|") + hora + QStringLiteral("|false|10|0|"),
            QStringLiteral("pPos|1300|1100|") + kTitulo + QStringLiteral("|false|10|0|"),
        };
        for (const LineaResumen& l : lineasIdentificacion(arg, datos, kAnchoRotuloMarcado))
            lineas << pos(300, l.y, l.texto);
        lineas << pos(300, 3750, QStringLiteral("TRIBUTO          IMP.RESULT.     MONTO PAGO"));
        leeImportes(arg);
        lineas << pos(350, 4000, lineaImportes(casilla146_, casilla180_, 17, 18));
        lineas << pos(300, 4500, QStringLiteral("NC ") + arg.codigoEnvio + QStringLiteral("  Fec.Generación: ") + fecha);
        if (marcado.isOpen())
            for (const QString& linea : lineas)
                impresora_.imprime(marcado, linea);
    }
    if (marcado.isOpen() && !marcado.close())
        pasoFallido(QStringLiteral("archivo %1: %2").arg(registro.archivo, marcado.error()));
}

void Main000::escribePlano(const ArgumentoResumen& arg, const QString& archivo)
{
    EscritorSpool plano;
    if (!plano.open(archivo))
        pasoFallido(QStringLiteral("archivo %1: %2").arg(archivo, plano.error()));

    QList<QSqlRecord> filas;
    consultaCab(arg, &filas);
    if (!filas.isEmpty() && plano.isOpen()) {
        const DatosResumen datos = datosDe(arg, filas.first());
        for (const LineaResumen& l : lineasIdentificacion(arg, datos, kAnchoRotuloPlano))
            plano.ImprimeLinea(l.texto);
        plano.ImprimeLinea(u"");
        plano.ImprimeLinea(u"TRIBUTO    IMP.RESULT.     MONTO PAGO");
        // The amounts read by the first pass.
        plano.ImprimeLinea(lineaImportes(casilla146_, casilla180_, 15, 16));
        plano.ImprimeLinea(u"");
        plano.ImprimeLinea(QStringLiteral("NC ") + arg.codigoEnvio + QStringLiteral("  Fec.Generación: ") +
                           ahora_.toString(QStringLiteral("dd/MM/yyyy")));
    }
    if (plano.isOpen() && !plano.close())
        pasoFallido(QStringLiteral("archivo %1: %2").arg(archivo, plano.error()));
}
