#pragma once
// A declaration of the first sample taxpayer for 2004, stored the way
// "&Grabar" stores it, and its sent version.

#include "DeclaracionDePrueba.h"
#include "FormTestSupport.h"
#include "Grabacion834.h"
#include "EnvioDeclaracion.h"

// Consistent (estado 0) unless told otherwise: then no payment form is chosen
// and it is stored with estado 9.
inline void guardaDeclaracion(const SuiteDeMuestra& suite, bool consistente = true)
{
    prueba::Declaracion p(1, suite.db());
    p.d.setDato(Declaracion834::Dato::Ruc, QString::fromLatin1(kRucA));
    p.c.rucMostrado = QString::fromLatin1(kRucA);
    if (!consistente)
        p.d.setFormaPago(QStringLiteral("X"));
    const grabacion834::Grabado g = grabacion834::grabar(suite.db(), p.d, p.c);
    ASSERT_TRUE(g.ok) << g.error.toStdString();
    ASSERT_EQ(g.estado, consistente ? 0 : 9);
}

// The host sends it: HCAB/HDET get a copy under a new CORREL.
inline qvrhost::EnvioDeclaracion enviaDeclaracion(const SuiteDeMuestra& suite)
{
    qvrhost::EnvioDeclaracion envio;
    const QString error = qvrhost::enviaDeclaracionGuardada(suite.db(), QString::fromLatin1(kRucA), QStringLiteral("2004"), &envio);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    return envio;
}

// Another two-digit part than the right one.
inline QString otroSufijo(const QString& orden2)
{
    return QStringLiteral("%1").arg((orden2.toInt() + 1) % 100, 2, 10, QChar(u'0'));
}
