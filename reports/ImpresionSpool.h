#pragma once
// Sending spool pages to the system printer, and the texts of the messages
// that printing shows.

#include "SpoolReader.h"

#include <QList>
#include <QString>
#include <functional>

class QWidget;

struct ResultadoImpresion {
    bool sinImpresora = false;  // no printer installed, or none is the default
    QString error;              // anything else that stopped the job
    bool ok() const { return !sinImpresora && error.isEmpty(); }
};

// Prints the sheets of a job. The windows take one of these, so that tests
// and other programs can put something else in the printer's place.
using ImprimeHojas = std::function<ResultadoImpresion(const QList<QList<SpoolItem>>& hojas)>;

// The default: the system's default printer, one sheet per page.
ResultadoImpresion imprimeEnImpresoraPredeterminada(const QList<QList<SpoolItem>>& hojas);

namespace MensajesImpresion {
inline const QString kArchivoNoExiste = QStringLiteral("Archivo Físico del Reporte no Existe");
inline const QString kTituloArchivo = QStringLiteral("Error al Imprimir");
inline const QString kSinImpresora = QStringLiteral("No existe una impresora seleccionada.Verifique.");
inline const QString kTituloSinImpresora = QStringLiteral("Impresión");
inline const QString kTituloError = QStringLiteral("Error");
// "Error tecnico: ", the details on the following lines, then the request.
QString errorTecnico(const QString& detalle);
}  // namespace MensajesImpresion

// Shows the result of a print job when it failed; true when it succeeded.
bool informaImpresion(QWidget* parent, const ResultadoImpresion& r);
