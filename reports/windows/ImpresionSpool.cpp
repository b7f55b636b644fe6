#include "ImpresionSpool.h"

#include <QMessageBox>

ResultadoImpresion imprimeEnImpresoraPredeterminada(const QList<QList<ElementoSpool>>& hojas, const QString& titulo)
{
    PedidoImpresion pedido;
    pedido.titulo = titulo;
    return imprimeHojasEnCola(hojas, pedido);
}

QString MensajesImpresion::errorTecnico(const QString& detalle)
{
    return QStringLiteral("Error tecnico: \n") + detalle + QStringLiteral("\nIntente nuevamente por favor.");
}

bool informaImpresion(QWidget* parent, const ResultadoImpresion& r)
{
    switch (r.fallo) {
    case FalloImpresion::Ninguno:
        return true;
    case FalloImpresion::SinImpresora:
        QMessageBox::critical(parent, MensajesImpresion::kTituloSinImpresora, MensajesImpresion::kSinImpresora);
        return false;
    case FalloImpresion::Cancelado:
        QMessageBox::critical(parent, MensajesImpresion::kTituloSinImpresora, MensajesImpresion::kCancelada);
        return false;
    default:
        QMessageBox::critical(parent, MensajesImpresion::kTituloError, MensajesImpresion::errorTecnico(r.descripcion()));
        return false;
    }
}
