#pragma once
// The declaration the storage benchmarks save: a sample taxpayer of the host,
// every entered box filled, the answers, ten box-105 deductions, a cheque
// payment of the whole balance and the representative.

#include "Casillas834.h"
#include "Declaracion834.h"
#include "Formato834.h"
#include "Parametros834.h"

#include <QSqlDatabase>
#include <memory>

inline const QString kRuc = QStringLiteral("20100123453");
inline const QString kNombre = QStringLiteral("DISTRIBUIDORA ANDINA S.A.C.");
inline const QString kPeriodo = QStringLiteral("2004");

inline std::unique_ptr<Declaracion834> declaracionLlena(const QSqlDatabase& db)
{
    auto d = std::make_unique<Declaracion834>();
    d->iAccion = 1;
    d->setDato(Declaracion834::Dato::Ruc, kRuc);
    d->setDato(Declaracion834::Dato::RazonSocial, kNombre);
    d->setDato(Declaracion834::Dato::Telefono, QStringLiteral("4567890"));
    d->aplicarEjercicio(kPeriodo, parametros834::GET_UIT(db, kPeriodo),
                        formato834::textoFactor(parametros834::GET_IPM(db, kPeriodo)));
    for (auto p : {Declaracion834::Pregunta::Rectifica, Declaracion834::Pregunta::Ajuste,
                   Declaracion834::Pregunta::Liquidacion, Declaracion834::Pregunta::Reorganizacion})
        d->setRespuesta(p, QStringLiteral("0"));
    for (int n : casillas834::activos())
        d->setCasilla(n, QStringLiteral("100000"));
    d->setCasilla(303, QStringLiteral("(1,000)"));
    d->setCasilla(328, QStringLiteral("(50,000)"));
    d->setCasilla(326, QStringLiteral("(10,000)"));
    Detalle105 detalle;
    detalle.fill(QStringLiteral("1000"));
    d->setDetalle105(detalle);
    d->setCasilla(105, QStringLiteral("(10,000)"));
    d->setCasilla(104, QStringLiteral("25000"));
    d->setCasilla(160, QStringLiteral("2"));
    d->setCasilla(144, QStringLiteral("(500)"));
    d->setCasilla(145, QStringLiteral("20"));
    d->setFormaPago(QStringLiteral("C"));
    d->setBanco(QStringLiteral("02"));
    d->setNumCheque(QStringLiteral("123456"));
    d->setCasilla(180, d->casilla(146));
    d->setCasilla(225, QStringLiteral("01"));
    d->setCasilla(226, QStringLiteral("12345678"));
    d->setDato(Declaracion834::Dato::ApellidoRL, QStringLiteral("QUISPE MAMANI"));
    d->setDato(Declaracion834::Dato::NombreRL, QStringLiteral("ROSA ELENA"));
    return d;
}
