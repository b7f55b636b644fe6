// The pieces of 0834IMP that need no process: the argument's columns and
// the text printer's conversion.

#include "ArgumentoResumen.h"
#include "ImpresoraTexto.h"
#include "Main000.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray leer(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST(ArgumentoResumen, CutsByColumnWhateverTheContent)
{
    const auto a = ArgumentoResumen::cortar(QStringLiteral("06") + QStringLiteral("20100123453").leftJustified(15) +
                                            QStringLiteral("0834200403A12345678"));
    EXPECT_EQ(a.tipoDoc, QStringLiteral("06"));
    EXPECT_EQ(a.tipoDocNumero(), 6);
    EXPECT_EQ(a.numeroDoc, QStringLiteral("20100123453    "));
    EXPECT_EQ(a.formulario, QStringLiteral("0834"));
    EXPECT_EQ(a.periodo, QStringLiteral("200403"));
    EXPECT_EQ(a.campoEnvio, QStringLiteral("A"));
    EXPECT_EQ(a.codigoEnvio, QStringLiteral("12345678"));
    EXPECT_EQ(a.periodoConsulta(), QStringLiteral("200403"));
    EXPECT_EQ(a.periodoImpreso(), QStringLiteral("03/2004"));

    const auto corto = ArgumentoResumen::cortar(QStringLiteral(" 62010"));
    EXPECT_EQ(corto.numeroDoc, QStringLiteral("2010"));
    EXPECT_TRUE(corto.formulario.isEmpty());
    EXPECT_TRUE(corto.codigoEnvio.isEmpty());
    EXPECT_TRUE(corto.campoNoValido().isEmpty());
}

TEST(ArgumentoResumen, RefusesFieldsThatCannotStandInAFileName)
{
    const QString base = QStringLiteral(" 6") + QStringLiteral("20100123453").leftJustified(15) +
                         QStringLiteral("0834200400A11111111");
    ASSERT_EQ(base.size(), 36);
    EXPECT_TRUE(ArgumentoResumen::cortar(base).campoNoValido().isEmpty());
    for (const QString& malo : {QStringLiteral("../../x"), QStringLiteral("a/b"), QStringLiteral("a\\b"),
                                QStringLiteral("a.b"), QStringLiteral("a:b"), QStringLiteral("añb")}) {
        const QString arg = base.left(28) + malo.leftJustified(8);
        EXPECT_EQ(ArgumentoResumen::cortar(arg).campoNoValido(), QStringLiteral("código de envío")) << qPrintable(malo);
    }
    EXPECT_EQ(ArgumentoResumen::cortar(QStringLiteral(" 6../../etc")).campoNoValido(),
              QStringLiteral("número de documento"));
}

TEST(ImpresoraTexto, ConvertsTagsPageBreaksAndBlankLines)
{
    QTemporaryDir dir;
    QFile in(dir.path() + QStringLiteral("/REP.PRN"));
    ASSERT_TRUE(in.open(QIODevice::WriteOnly));
    in.write("<!font!>Arial<!/font!>\r\n<!fontsize!>12<!/fontsize!>\r\n<!bold!>\r\nuno\r\n"
             "\r\n   \r\ntexto <!np!> al final\r\ndos\r\npPos|1|2|Fec.Generaci\xf3n|False|10|0|\r\n<!/bold!>\r\n");
    in.close();

    QList<MensajeResumen> vistos;
    ImpresoraTexto impresora;
    const auto r = impresora.convierte(dir.path(), QStringLiteral("REP.PRN"), QStringLiteral("ARCHIVO"),
                                       [&](const MensajeResumen& m) { vistos << m; });
    EXPECT_TRUE(r.exito);
    EXPECT_TRUE(vistos.isEmpty());
    EXPECT_EQ(r.salida, dir.path() + QStringLiteral("/REP.txt"));
    // A tag line is not printed, even with text beside the tag; the page
    // break becomes a line holding character 15 before the next line.
    EXPECT_EQ(leer(r.salida), QByteArray("uno\r\n \r\n \r\n\x0f\r\ndos\r\npPos|1|2|Fec.Generaci\xf3n|False|10|0|\r\n"));
    EXPECT_EQ(impresora.estado().fuente, QStringLiteral("Arial"));
    EXPECT_EQ(impresora.estado().tamano, 12);
    EXPECT_FALSE(impresora.estado().negrita);
}

TEST(ImpresoraTexto, MissingInputAndPrinterAreReportedAsFailures)
{
    QTemporaryDir dir;
    QFile old(dir.path() + QStringLiteral("/X.txt"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("earlier run\r\n");
    old.close();

    QList<MensajeResumen> vistos;
    ImpresoraTexto impresora;
    auto sink = [&](const MensajeResumen& m) { vistos << m; };
    EXPECT_FALSE(impresora.convierte(dir.path(), QStringLiteral("X.PRN"), QStringLiteral("ARCHIVO"), sink).exito);
    ASSERT_EQ(vistos.size(), 1);
    EXPECT_EQ(vistos[0].titulo, QStringLiteral("Error al Imprimir"));
    EXPECT_EQ(vistos[0].texto, QStringLiteral("Archivo Físico del Reporte no Existe"));
    EXPECT_EQ(vistos[0].icono, MensajeResumen::Icono::Critico);
    EXPECT_EQ(leer(old.fileName()), QByteArray("earlier run\r\n"));

    EXPECT_FALSE(impresora.convierte(dir.path(), QStringLiteral("X.PRN"), QStringLiteral("PRINTER"), sink).exito);
    ASSERT_EQ(vistos.size(), 2);
    EXPECT_EQ(vistos[1].titulo, QStringLiteral("Impresión"));
    EXPECT_EQ(vistos[1].texto, QStringLiteral("No existe una impresora seleccionada.Verifique."));
}

TEST(Resumen, AmountsAreGroupedAndRightAlignedWithoutCutting)
{
    EXPECT_EQ(lineaImportes(Dinero::deEntero(12345), Dinero(), 17, 18),
              QStringLiteral("A. RTA.") + QString(11, u' ') + QStringLiteral("12,345") + QString(17, u' ') + u'0');
    EXPECT_EQ(lineaImportes(Dinero::deEntero(-7), Dinero::deEntero(1234567890123LL), 15, 16),
              QStringLiteral("A. RTA.") + QString(13, u' ') + QStringLiteral("-7") + QStringLiteral("1,234,567,890,123"));
}

} // namespace
