#pragma once
// Printing on a queue of the print server (CUPS): the job is drawn once into
// a PDF document, the page size of the queue's default paper, sent as one job,
// and followed until the server says how it ended. A queue that is stopped or
// rejects jobs, a name that does not exist and a job that the server aborts or
// cancels all come back as failures: nothing is taken as printed that was not.
// No widgets: the windows and f0834 share it.

#include "LectorSpool.h"

#include <QList>
#include <QString>
#include <functional>

class QPagedPaintDevice;

enum class FalloImpresion {
    Ninguno,
    SinImpresora,  // no queue, or none is the default
    NoExiste,      // the queue named does not exist
    Detenida,      // the queue is stopped
    Rechaza,       // the queue does not accept jobs
    Abortado,      // the server aborted the job
    Cancelado,     // the job was cancelled
    Error,         // anything else the server answered
};

struct ResultadoImpresion {
    FalloImpresion fallo = FalloImpresion::Ninguno;
    QString impresora;  // the queue asked for or used
    int trabajo = 0;    // the job's number on the server, once sent
    int codigo = 0;     // the server's status number for a failure
    QString detalle;    // the server's own text, when it gave one
    bool ok() const { return fallo == FalloImpresion::Ninguno; }
    // The failure in Spanish, naming the queue; empty when it printed.
    QString descripcion() const;
};

struct PedidoImpresion {
    QString impresora;        // empty: the default printer
    QString titulo;           // the job's title on the server
    int esperaMaximaMs = 60000;  // how long to follow the job
};

// Draws the whole job on a paged device, from its painting origin (the
// corner of the printable area); false and *error when it cannot.
using DibujaTrabajo = std::function<bool(QPagedPaintDevice& dispositivo, QString* error)>;

// Sends what `dibuja` draws as one job and waits for it to end (at most the
// time asked; a job still waiting then on a working queue counts as sent).
ResultadoImpresion imprimeEnCola(const PedidoImpresion& pedido, const DibujaTrabajo& dibuja);

// Follows a job the server has accepted until it ends, as imprimeEnCola does.
ResultadoImpresion sigueTrabajoEnCola(const QString& cola, int trabajo, int esperaMaximaMs);

// The title of the print job of a spool file: "Kv834 00000042.PRN".
QString tituloTrabajo(const QString& archivo);

// The sheets of a spool file, drawn as the preview draws them.
ResultadoImpresion imprimeHojasEnCola(const QList<QList<ElementoSpool>>& hojas, const PedidoImpresion& pedido);
