#include "ColaImpresion.h"

#include "BibliotecaDiferida.h"
#include "PintorSpool.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPageLayout>
#include <QPdfWriter>
#include <QThread>

#include <cups/cups.h>

namespace {

constexpr int kPausaMs = 200;

// The print server's library and what it brings with it (TLS, Kerberos,
// service discovery) take several milliseconds to load and set up: it is
// loaded on the first print, not at every start of every program.
#define QVR_FUNCIONES_CUPS(X)                                                                                  \
    X(cupsLastErrorString) X(cupsLastError) X(cupsUser) X(cupsGetDests2) X(cupsGetDest) X(cupsGetOption)       \
    X(cupsFreeDests) X(cupsDoRequest) X(cupsCreateJob) X(cupsStartDocument) X(cupsWriteRequestData)            \
    X(cupsFinishDocument) X(cupsCancelJob2) X(httpAssembleURI) X(ippNewRequest) X(ippDelete) X(ippAddString)   \
    X(ippAddStrings) X(ippFindAttribute) X(ippGetInteger) X(ippGetString) X(ippGetCollection)

// The soname of CUPS 2, the one the headers describe.
constexpr const char* kLibCups = "libcups.so.2";

QVR_BIBLIOTECA_DIFERIDA(BibliotecaCups, cups, kLibCups, QVR_FUNCIONES_CUPS)

// The queue as the server lists it: its name, state and default paper.
struct Cola {
    QString nombre;
    bool detenida = false;
    bool aceptaTrabajos = true;
    QPageLayout hoja{QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()};
};

ResultadoImpresion falla(FalloImpresion fallo, const QString& impresora, int codigo, const QString& detalle = {})
{
    ResultadoImpresion r;
    r.fallo = fallo;
    r.impresora = impresora;
    r.codigo = codigo;
    r.detalle = detalle;
    return r;
}

// Without the print server's library nothing can be printed; said as the
// failure of this print, never as a crash.
ResultadoImpresion sinBiblioteca(const QString& impresora)
{
    return falla(FalloImpresion::Error, impresora, 0,
                 QStringLiteral("no se pudo cargar la biblioteca de impresión %1").arg(QLatin1String(kLibCups)));
}

QString errorSql() { return QString::fromUtf8(cups().cupsLastErrorString()); }

int entero(ipp_t* grupo, const char* nombre)
{
    ipp_attribute_t* a = grupo ? cups().ippFindAttribute(grupo, nombre, IPP_TAG_INTEGER) : nullptr;
    return a ? cups().ippGetInteger(a, 0) : 0;
}

ipp_t* coleccion(ipp_t* grupo, const char* nombre)
{
    ipp_attribute_t* a = grupo ? cups().ippFindAttribute(grupo, nombre, IPP_TAG_BEGIN_COLLECTION) : nullptr;
    return a ? cups().ippGetCollection(a, 0) : nullptr;
}

// The paper the queue prints on by default, with its unprintable margins,
// as the server states it ("media-col-default", hundredths of a millimetre).
QPageLayout hojaDe(const QByteArray& uriCola)
{
    QPageLayout hoja(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
    ipp_t* pedido = cups().ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    cups().ippAddString(pedido, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uriCola.constData());
    cups().ippAddString(pedido, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "media-col-default");
    ipp_t* respuesta = cups().cupsDoRequest(CUPS_HTTP_DEFAULT, pedido, "/");
    ipp_t* medio = coleccion(respuesta, "media-col-default");
    ipp_t* tamano = coleccion(medio, "media-size");
    const int ancho = entero(tamano, "x-dimension");
    const int alto = entero(tamano, "y-dimension");
    if (ancho > 0 && alto > 0) {
        hoja.setPageSize(QPageSize(QSizeF(ancho / 100.0, alto / 100.0), QPageSize::Millimeter, QString(),
                                   QPageSize::FuzzyMatch));
        hoja.setUnits(QPageLayout::Millimeter);
        hoja.setMargins(QMarginsF(entero(medio, "media-left-margin") / 100.0, entero(medio, "media-top-margin") / 100.0,
                                  entero(medio, "media-right-margin") / 100.0,
                                  entero(medio, "media-bottom-margin") / 100.0));
    }
    cups().ippDelete(respuesta);
    return hoja;
}

// Finds the queue (the default one when no name is given).
std::optional<Cola> buscaCola(const QString& nombre)
{
    cups_dest_t* destinos = nullptr;
    const int n = cups().cupsGetDests2(CUPS_HTTP_DEFAULT, &destinos);
    const QByteArray nombre8 = nombre.toUtf8();
    cups_dest_t* d = cups().cupsGetDest(nombre.isEmpty() ? nullptr : nombre8.constData(), nullptr, n, destinos);
    std::optional<Cola> cola;
    if (d) {
        cola.emplace();
        cola->nombre = QString::fromUtf8(d->name);
        const char* estado = cups().cupsGetOption("printer-state", d->num_options, d->options);
        cola->detenida = estado && qstrcmp(estado, "5") == 0;
        const char* acepta = cups().cupsGetOption("printer-is-accepting-jobs", d->num_options, d->options);
        cola->aceptaTrabajos = !acepta || qstrcmp(acepta, "false") != 0;
        QByteArray uri = cups().cupsGetOption("printer-uri-supported", d->num_options, d->options);
        if (uri.isEmpty())
            uri = QByteArrayLiteral("ipp://localhost/printers/") + d->name;
        cola->hoja = hojaDe(uri);
    }
    cups().cupsFreeDests(n, destinos);
    return cola;
}

// The failure the server's refusal of a job means.
ResultadoImpresion rechazoDelServidor(const QString& cola)
{
    const ipp_status_t estado = cups().cupsLastError();
    const FalloImpresion fallo = estado == IPP_STATUS_ERROR_NOT_FOUND          ? FalloImpresion::NoExiste
                               : estado == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS ? FalloImpresion::Rechaza
                                                                               : FalloImpresion::Error;
    return falla(fallo, cola, int(estado), errorSql());
}

// The state of a job on the server, or nothing when it cannot be asked.
std::optional<ipp_jstate_t> estadoTrabajo(int trabajo, QString* mensaje)
{
    ipp_t* pedido = cups().ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    const QByteArray recurso = "/jobs/" + QByteArray::number(trabajo);
    cups().httpAssembleURI(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, recurso.constData());
    cups().ippAddString(pedido, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    cups().ippAddString(pedido, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cups().cupsUser());
    static const char* const atributos[] = {"job-state", "job-printer-state-message"};
    cups().ippAddStrings(pedido, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, atributos);
    ipp_t* respuesta = cups().cupsDoRequest(CUPS_HTTP_DEFAULT, pedido, "/");
    std::optional<ipp_jstate_t> estado;
    if (respuesta) {
        if (ipp_attribute_t* a = cups().ippFindAttribute(respuesta, "job-state", IPP_TAG_ENUM))
            estado = ipp_jstate_t(cups().ippGetInteger(a, 0));
        if (ipp_attribute_t* m = cups().ippFindAttribute(respuesta, "job-printer-state-message", IPP_TAG_TEXT))
            *mensaje = QString::fromUtf8(cups().ippGetString(m, 0, nullptr));
        cups().ippDelete(respuesta);
    }
    return estado;
}

void pausa()
{
    // The window under a modal print keeps painting, but takes no input.
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, kPausaMs / 2);
    QThread::msleep(kPausaMs);
}

// A job that will not print now is withdrawn, so that it does not come out
// later unannounced.
void retira(const QString& cola, int trabajo)
{
    cups().cupsCancelJob2(CUPS_HTTP_DEFAULT, cola.toUtf8().constData(), trabajo, 0);
}

// How a job in this state ended; nothing while it may still print.
std::optional<ResultadoImpresion> final(const QString& cola, int trabajo, std::optional<ipp_jstate_t> estado,
                                        const QString& mensaje)
{
    std::optional<ResultadoImpresion> r;
    if (estado == IPP_JSTATE_COMPLETED) {
        r.emplace();
        r->impresora = cola;
    } else if (estado == IPP_JSTATE_ABORTED) {
        r = falla(FalloImpresion::Abortado, cola, int(IPP_STATUS_ERROR_DEVICE), mensaje);
    } else if (estado == IPP_JSTATE_CANCELED) {
        r = falla(FalloImpresion::Cancelado, cola, int(IPP_STATUS_ERROR_JOB_CANCELED), mensaje);
    } else if (estado == IPP_JSTATE_STOPPED) {
        retira(cola, trabajo);
        r = falla(FalloImpresion::Detenida, cola, int(IPP_STATUS_ERROR_PRINTER_IS_DEACTIVATED), mensaje);
    } else if (!estado && cups().cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND) {
        // A server that keeps no history forgets a job once it has ended:
        // the job it accepted and no longer lists went through.
        r.emplace();
        r->impresora = cola;
    } else if (!estado) {
        r = falla(FalloImpresion::Error, cola, int(cups().cupsLastError()), errorSql());
    }
    if (r)
        r->trabajo = trabajo;
    return r;
}

// Follows the job until it ends. A job that has not ended in time counts as
// sent, unless its queue has been stopped meanwhile.
ResultadoImpresion sigueTrabajo(const QString& cola, int trabajo, int esperaMaximaMs)
{
    const QDeadlineTimer limite(esperaMaximaMs);
    QString mensaje;
    for (;;) {
        if (std::optional<ResultadoImpresion> r = final(cola, trabajo, estadoTrabajo(trabajo, &mensaje), mensaje))
            return *r;
        if (limite.hasExpired()) {
            const std::optional<Cola> ahora = buscaCola(cola);
            return final(cola, trabajo, ahora && ahora->detenida ? IPP_JSTATE_STOPPED : IPP_JSTATE_COMPLETED, mensaje)
                .value();
        }
        pausa();
    }
}

// Sends the document as one job; its number, or the server's refusal.
ResultadoImpresion envia(const Cola& cola, const QString& titulo, const QByteArray& pdf)
{
    const QByteArray nombre = cola.nombre.toUtf8();
    const QByteArray titulo8 = titulo.toUtf8();
    const int trabajo = cups().cupsCreateJob(CUPS_HTTP_DEFAULT, nombre.constData(), titulo8.constData(), 0, nullptr);
    if (trabajo <= 0)
        return rechazoDelServidor(cola.nombre);
    const bool enviado =
        cups().cupsStartDocument(CUPS_HTTP_DEFAULT, nombre.constData(), trabajo, titulo8.constData(), CUPS_FORMAT_PDF, 1) ==
            HTTP_STATUS_CONTINUE &&
        cups().cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData(), size_t(pdf.size())) == HTTP_STATUS_CONTINUE &&
        cups().cupsFinishDocument(CUPS_HTTP_DEFAULT, nombre.constData()) == IPP_STATUS_OK;
    if (!enviado) {
        ResultadoImpresion r = rechazoDelServidor(cola.nombre);
        retira(cola.nombre, trabajo);
        r.trabajo = trabajo;
        return r;
    }
    ResultadoImpresion r;
    r.impresora = cola.nombre;
    r.trabajo = trabajo;
    return r;
}

}  // namespace

QString ResultadoImpresion::descripcion() const
{
    const QString cola = QStringLiteral("\"%1\"").arg(impresora);
    const QString motivo = detalle.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(detalle);
    switch (fallo) {
    case FalloImpresion::Ninguno: return {};
    case FalloImpresion::SinImpresora: return QStringLiteral("No existe una impresora seleccionada.Verifique.");
    case FalloImpresion::NoExiste: return QStringLiteral("La impresora %1 no existe.").arg(cola);
    case FalloImpresion::Detenida:
        return QStringLiteral("La impresora %1 está detenida; el documento no se imprimió.").arg(cola);
    case FalloImpresion::Rechaza:
        return QStringLiteral("La impresora %1 no acepta trabajos; el documento no se imprimió.").arg(cola);
    case FalloImpresion::Abortado:
        return QStringLiteral("La impresora %1 abortó el trabajo %2; el documento no se imprimió%3.")
            .arg(cola)
            .arg(trabajo)
            .arg(motivo);
    case FalloImpresion::Cancelado:
        return QStringLiteral("El trabajo %2 de la impresora %1 fue cancelado; el documento no se imprimió.")
            .arg(cola)
            .arg(trabajo);
    case FalloImpresion::Error:
        return QStringLiteral("No se pudo imprimir en la impresora %1%2.").arg(cola, motivo);
    }
    return {};
}

ResultadoImpresion imprimeEnCola(const PedidoImpresion& pedido, const DibujaTrabajo& dibuja)
{
    if (!cups().cargada)
        return sinBiblioteca(pedido.impresora);
    const std::optional<Cola> cola = buscaCola(pedido.impresora);
    if (!cola)
        return pedido.impresora.isEmpty()
                   ? falla(FalloImpresion::SinImpresora, QString(), int(IPP_STATUS_ERROR_NOT_FOUND))
                   : falla(FalloImpresion::NoExiste, pedido.impresora, int(IPP_STATUS_ERROR_NOT_FOUND));
    if (cola->detenida)
        return falla(FalloImpresion::Detenida, cola->nombre, int(IPP_STATUS_ERROR_PRINTER_IS_DEACTIVATED));
    if (!cola->aceptaTrabajos)
        return falla(FalloImpresion::Rechaza, cola->nombre, int(IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS));

    QByteArray pdf;
    {
        QBuffer salida(&pdf);
        salida.open(QIODevice::WriteOnly);
        QPdfWriter escritor(&salida);
        escritor.setCreator(QStringLiteral("Kv834"));
        escritor.setTitle(pedido.titulo);
        escritor.setResolution(1200);
        escritor.setPageLayout(cola->hoja);
        QString error;
        if (!dibuja(escritor, &error))
            return falla(FalloImpresion::Error, cola->nombre, 0, error);
    }
    ResultadoImpresion r = envia(*cola, pedido.titulo, pdf);
    if (!r.ok())
        return r;
    return sigueTrabajo(cola->nombre, r.trabajo, pedido.esperaMaximaMs);
}

ResultadoImpresion sigueTrabajoEnCola(const QString& cola, int trabajo, int esperaMaximaMs)
{
    if (!cups().cargada)
        return sinBiblioteca(cola);
    return sigueTrabajo(cola, trabajo, esperaMaximaMs);
}

QString tituloTrabajo(const QString& archivo) { return QStringLiteral("Kv834 ") + archivo; }

ResultadoImpresion imprimeHojasEnCola(const QList<QList<ElementoSpool>>& hojas, const PedidoImpresion& pedido)
{
    // An empty report still prints one blank sheet, as a PDF of it has one page.
    const QList<QList<ElementoSpool>> todas = hojas.isEmpty() ? QList<QList<ElementoSpool>>{{}} : hojas;
    return imprimeEnCola(pedido, [&](QPagedPaintDevice& dispositivo, QString* error) {
        return dibujaHojas(dispositivo, todas, error);
    });
}
