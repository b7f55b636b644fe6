#include "ImpresionSpool.h"

#include "SpoolPainter.h"

#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>

ResultadoImpresion imprimeEnImpresoraPredeterminada(const QList<QList<SpoolItem>>& hojas)
{
    ResultadoImpresion r;
    const QPrinterInfo predeterminada = QPrinterInfo::defaultPrinter();
    if (QPrinterInfo::availablePrinters().isEmpty() || predeterminada.isNull()) {
        r.sinImpresora = true;
        return r;
    }
    QPrinter impresora(predeterminada, QPrinter::HighResolution);
    impresora.setPageOrientation(QPageLayout::Portrait);
    impresora.setDocName(QStringLiteral("Kv834"));
    renderSheets(impresora, hojas, &r.error);
    return r;
}

QString MensajesImpresion::errorTecnico(const QString& detalle)
{
    return QStringLiteral("Error tecnico: \n") + detalle + QStringLiteral("\nIntente nuevamente por favor.");
}

bool informaImpresion(QWidget* parent, const ResultadoImpresion& r)
{
    if (r.sinImpresora) {
        QMessageBox::critical(parent, MensajesImpresion::kTituloSinImpresora, MensajesImpresion::kSinImpresora);
        return false;
    }
    if (!r.error.isEmpty()) {
        QMessageBox::critical(parent, MensajesImpresion::kTituloError, MensajesImpresion::errorTecnico(r.error));
        return false;
    }
    return true;
}
