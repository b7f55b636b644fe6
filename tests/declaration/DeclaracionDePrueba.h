#pragma once
// A complete declaration that passes every check, for the validation, save
// and command tests; each test spoils the part it is about.

#include "Declaracion834.h"
#include "Dinero.h"
#include "Validacion834.h"

#include <QDate>
#include <ostream>

// Readable failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace prueba {

inline const QString kRuc = QStringLiteral("20131312955");
inline const QString kRucRepresentante = QStringLiteral("20100070970");
inline const QDate kHoy(2005, 3, 15);

struct Declaracion {
    Declaracion834 d;
    validacion834::Contexto c;

    explicit Declaracion(int iAccion = 1, const QSqlDatabase& db = {})
    {
        d.iAccion = iAccion;
        d.setDato(Declaracion834::Dato::Ruc, kRuc);
        d.setDato(Declaracion834::Dato::RazonSocial, QStringLiteral("COMERCIAL ANDINA SOCIEDAD ANONIMA"));
        d.aplicarEjercicio(QStringLiteral("2004"), Dinero::deEntero(3200), QStringLiteral("1"));
        d.setRespuesta(Declaracion834::Pregunta::Ajuste, QStringLiteral("0"));
        d.setRespuesta(Declaracion834::Pregunta::Rectifica, QStringLiteral("0"));
        d.setDato(Declaracion834::Dato::Telefono, QStringLiteral("4567890"));
        d.setCasilla(300, QStringLiteral("15,000,000"));
        d.setCasilla(301, QStringLiteral("2,000"));
        d.setCasilla(303, QStringLiteral("(500)"));
        d.setCasilla(160, QStringLiteral("1"));
        d.setFormaPago(QStringLiteral("E"));
        d.setCasilla(180, d.casilla(146));
        d.setCasilla(225, QStringLiteral("01"));
        d.setCasilla(226, QStringLiteral("12345678"));
        d.setDato(Declaracion834::Dato::ApellidoRL, QStringLiteral("QUISPE MAMANI"));
        d.setDato(Declaracion834::Dato::NombreRL, QStringLiteral("ROSA ELENA"));

        c.rucMostrado = kRuc;
        c.nuevaDeclaracion = iAccion == 0 ? QStringLiteral("S") : QString();
        c.ejercicio = QStringLiteral("2004");
        c.hoy = [] { return kHoy; };
        c.db = db;
    }
};

} // namespace prueba
