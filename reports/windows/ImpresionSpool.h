#pragma once
// Sending spool pages to the system printer, and the texts of the messages
// that printing shows.

#include "ColaImpresion.h"
#include "LectorSpool.h"

#include <QList>
#include <QString>
#include <functional>

class QWidget;

// Prints the sheets of a job under a title. The windows take one of these,
// so that tests and other programs can put something else in the printer's
// place.
using ImprimeHojas =
    std::function<ResultadoImpresion(const QList<QList<ElementoSpool>>& hojas, const QString& titulo)>;

// The default: the default print queue, one sheet per page, followed until
// the job ends.
ResultadoImpresion imprimeEnImpresoraPredeterminada(const QList<QList<ElementoSpool>>& hojas, const QString& titulo);

namespace MensajesImpresion {
inline const QString kArchivoNoExiste = QStringLiteral("Archivo Físico del Reporte no Existe");
inline const QString kTituloArchivo = QStringLiteral("Error al Imprimir");
inline const QString kSinImpresora = QStringLiteral("No existe una impresora seleccionada.Verifique.");
inline const QString kTituloSinImpresora = QStringLiteral("Impresión");
inline const QString kCancelada = QStringLiteral("La Impresión ha sido Cancelada.");
inline const QString kTituloError = QStringLiteral("Error");
// "Error tecnico: ", the details on the following lines, then the request.
QString errorTecnico(const QString& detalle);
}  // namespace MensajesImpresion

// Shows the result of a print job when it failed; true when it succeeded.
bool informaImpresion(QWidget* parent, const ResultadoImpresion& r);
