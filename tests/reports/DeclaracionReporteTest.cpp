#include "DeclaracionMuestra.h"
#include "DeclaracionReporte.h"
#include "ImpRep.h"
#include "FormatoSpool.h"
#include "EscritorSpool.h"

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList lineas(const QString& ruta)
{
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList l = FormatoSpool::decodifica(f.readAll()).split(QStringLiteral("\r\n"));
    if (!l.isEmpty() && l.last().isEmpty())
        l.removeLast();
    return l;
}

QString pos(int x, int y, const QString& texto, int pagina, bool negrita = false, int tamano = 8)
{
    return FormatoSpool::lineaPos(x, y, texto, negrita, tamano, pagina);
}

QString alineado16(const QString& s) { return s.rightJustified(16); }

class DeclaracionReporte : public ::testing::Test {
protected:
    void SetUp() override { muestra::contribuyente(suite); }

    // Prints the declaration as the print window does; the file's lines.
    QStringList imprime(bool anexo, bool enviada = false, const QString& correl = QString())
    {
        ctx = ContextoReporte();
        ctx.ruc = muestra::kRuc;
        ctx.nombre = muestra::kNombre;
        ctx.formulario = QStringLiteral("0834");
        ctx.periodo = muestra::kPeriodo;
        ctx.enviada = enviada;
        ctx.correl = correl;
        ctx.control = enviada ? QStringLiteral("1234567890") : QString();
        ctx.imprimeAnexo = anexo;
        const QString error = GeneraReporteDeclaracion(suite.db(), QStringLiteral("ADMIN"),
                                                       carpetaDeReportes(suite.path()), ctx);
        EXPECT_EQ(error, QString());
        return lineas(rutaArchivoSpool(carpetaDeReportes(suite.path()), ctx.archivo));
    }

    SuiteDePrueba suite;
    ContextoReporte ctx;
};

}  // namespace

TEST_F(DeclaracionReporte, ChequeDeclarationWithoutAnnex)
{
    muestra::registrada(suite, muestra::casillasBase(), QStringLiteral("02"), QStringLiteral("000123"));
    const QStringList l = imprime(false);

    EXPECT_EQ(ctx.codRep, QStringLiteral("AAR001"));
    EXPECT_EQ(ctx.pageTotal, 2);
    EXPECT_EQ(l.first(), QStringLiteral("<!font!>Courier New<!/font!>"));
    EXPECT_EQ(l.mid(l.size() - 3), QStringList({QStringLiteral("<!nHojas!>2<!/nHojas!>"),
                                                QStringLiteral("<!Orientacion!>V<!/Orientacion!>"),
                                                QStringLiteral("<!Color!>&H00FFFFC0&<!/Color!>")}));
    EXPECT_EQ(l.count(QStringLiteral("pNuevaHoja")), 1);

    // Page 0: heading, period, adjusted values, no control row.
    for (const QString& e : {pos(300, 350, QStringLiteral("KALDEN"), 0, true, 16),
                             pos(550, 1330, QStringLiteral("834"), 0, true, 12),
                             pos(4000, 850, QStringLiteral("Ejercicio gravable 2004"), 0, false, 7),
                             pos(3500, 1170, muestra::kRuc, 0, true),
                             pos(3500, 1450, muestra::kNombre, 0, true),
                             pos(8700, 1170, QString::fromUtf8(" N° DE TELEFONO"), 0),
                             pos(9000, 1450, QStringLiteral("4412345"), 0),
                             pos(9000, 2540, QStringLiteral("Valor Ajustado"), 0),
                             pos(8750, 2810, QStringLiteral("  Al 31/12/2003"), 0)})
        EXPECT_TRUE(l.contains(e)) << qPrintable(e);
    EXPECT_EQ(l.count(QStringLiteral("pCuadro|150|300|1700|1640|0|")), 2);
    EXPECT_EQ(l.count(QStringLiteral("pCuadro|1700|1100|3400|1370|0|")), 2);
    EXPECT_FALSE(l.join(u'\n').contains(QStringLiteral("Nro. Control:")));

    // The asset table: 30 rows from 3030, the negative total one place wider.
    EXPECT_TRUE(l.contains(pos(300, 3080, QStringLiteral("Caja y Bancos"), 0)));
    EXPECT_TRUE(l.contains(pos(8550, 3080, QStringLiteral("300"), 0)));
    EXPECT_TRUE(l.contains(pos(9000, 3080, alineado16(QStringLiteral("1,000")), 0)));
    EXPECT_TRUE(l.contains(pos(9000, 3350, alineado16(QStringLiteral("1,234,567")), 0)));
    EXPECT_TRUE(l.contains(pos(9000, 3620, alineado16(QString()), 0)));  // 302 absent
    EXPECT_TRUE(l.contains(pos(300, 7130, QStringLiteral("Terrenos"), 0)));
    EXPECT_TRUE(l.contains(pos(300, 10910, QStringLiteral("TOTAL ACTIVO NETO"), 0)));
    EXPECT_TRUE(l.contains(pos(9000, 10910, QStringLiteral("          (1,500)"), 0)));
    EXPECT_TRUE(l.contains(QStringLiteral("pCuadro|150|10860|8500|11130|0|")));
    EXPECT_TRUE(l.contains(QStringLiteral("pCuadro|8900|10860|11000|11130|0|")));

    // Page 1: determination, debt, cheque rows, complementary data.
    for (const QString& e :
         {pos(300, 350, QStringLiteral("DETERMINACION DEL ANTICIPO ADICIONAL"), 1, true, 9),
          pos(300, 1700, QStringLiteral("Activo neto imponible actualizado al 31/03/2004"), 1),
          pos(9000, 1700, alineado16(QStringLiteral("2,000,000")), 1),
          pos(9000, 620, QStringLiteral("          (1,500)"), 1),
          pos(300, 2780, QStringLiteral("DEUDA TRIBUTARIA"), 1, true, 9),
          pos(9000, 3320, alineado16(QStringLiteral("1")), 1),
          pos(3300, 4670, QStringLiteral("IMPORTE A PAGAR"), 1, true),
          pos(8550, 4670, QStringLiteral("180"), 1),
          pos(8550, 4940, QStringLiteral(" X "), 1),
          pos(300, 5210, QString::fromUtf8("Número de Cheque"), 1),
          pos(8550, 5210, QStringLiteral("012"), 1),
          pos(9000, 5210, alineado16(QStringLiteral("000123")), 1),
          pos(6050, 5480, QStringLiteral("015"), 1),
          pos(6500, 5480, alineado16(QStringLiteral("02")), 1),
          pos(9000, 5480, alineado16(QStringLiteral("BCP")), 1),
          pos(300, 6020, QStringLiteral("INFORMACION COMPLEMENTARIA"), 1, true, 9),
          pos(8950, 7100, alineado16(QStringLiteral("PEREZ")), 1),
          pos(9000, 7910, alineado16(QStringLiteral("SI")), 1),
          pos(300, 8180, QString::fromUtf8("La presente declaración rectifica o sustituye a otra"), 1),
          pos(9000, 8180, alineado16(QStringLiteral("SI")), 1)})
        EXPECT_TRUE(l.contains(e)) << qPrintable(e);
    EXPECT_TRUE(l.contains(QStringLiteral("pCuadro|150|570|11000|840|1|")));
    EXPECT_FALSE(l.contains(pos(6050, 4940, QStringLiteral(" X "), 1)));
    // Box 901 is kept out of the print.
    EXPECT_FALSE(l.join(u'\n').contains(QStringLiteral("77|")));

    // Every drawing line of page 1 comes after the break, none of page 2.
    const qsizetype salto = l.indexOf(QStringLiteral("pNuevaHoja"));
    for (qsizetype i = 1; i < l.size() - 3; ++i) {
        if (i == salto)
            continue;
        EXPECT_TRUE(l[i].endsWith(i < salto ? QStringLiteral("|0|") : QStringLiteral("|1|"))) << qPrintable(l[i]);
    }

    QSqlQuery spool(suite.db());
    spool.exec(QStringLiteral("SELECT CodRep, Archivo, Usuario, doc_id_d FROM SPOOL"));
    ASSERT_TRUE(spool.next());
    EXPECT_EQ(spool.value(0).toString(), QStringLiteral("AAR001"));
    EXPECT_EQ(spool.value(1).toString(), ctx.archivo);
    EXPECT_EQ(spool.value(3).toString(), muestra::kRuc);
}

TEST_F(DeclaracionReporte, CashDeclarationWithAnnex)
{
    QMap<QString, QString> casillas = muestra::casillasBase();
    casillas.remove(QStringLiteral("825"));
    casillas[QStringLiteral("005")] = QStringLiteral("0");
    muestra::registrada(suite, casillas, QString());
    const QStringList l = imprime(true);

    EXPECT_EQ(ctx.codRep, QStringLiteral("AAR003"));
    EXPECT_EQ(ctx.pageTotal, 3);
    EXPECT_TRUE(l.contains(QStringLiteral("<!nHojas!>3<!/nHojas!>")));
    EXPECT_EQ(l.count(QStringLiteral("pNuevaHoja")), 2);

    EXPECT_TRUE(l.contains(pos(9000, 2540, QString::fromUtf8("Valor Histórico"), 0)));
    // Cash: the mark in the cash cell, no cheque rows, the rest 540 higher.
    EXPECT_TRUE(l.contains(pos(6050, 4940, QStringLiteral(" X "), 1)));
    EXPECT_FALSE(l.contains(pos(8550, 4940, QStringLiteral(" X "), 1)));
    EXPECT_FALSE(l.join(u'\n').contains(QString::fromUtf8("Número de Cheque")));
    EXPECT_TRUE(l.contains(pos(300, 5480, QStringLiteral("INFORMACION COMPLEMENTARIA"), 1, true, 9)));
    EXPECT_TRUE(l.contains(pos(9000, 7370, alineado16(QStringLiteral("NO")), 1)));
    EXPECT_TRUE(l.contains(pos(9000, 7640, alineado16(QStringLiteral("NO")), 1)));

    // The annex: 546 and 548 filled, the others empty, total 1,250.
    for (const QString& e :
         {pos(300, 350,
              QStringLiteral("ASISTENTE DE LA CASILLA 105 (Deducciones para determinar el activo neto imponible)"), 2,
              true, 9),
          pos(3500, 620, QString::fromUtf8("Tipo de Deducción"), 2, true),
          pos(9400, 620, QStringLiteral("    Monto"), 2, true),
          pos(300, 890, QStringLiteral("Las acciones, participaciones o derechos de capital de otras empresas"), 2),
          pos(9000, 890, alineado16(QStringLiteral("1,000")), 2),
          pos(9000, 1970, alineado16(QString()), 2),
          pos(9000, 3050, alineado16(QStringLiteral("250")), 2),
          pos(300, 12770, QStringLiteral("Otras deducciones"), 2),
          pos(300, 13040, QStringLiteral("TOTAL DEDUCCIONES"), 2),
          pos(9000, 13040, alineado16(QStringLiteral("1,250")), 2)})
        EXPECT_TRUE(l.contains(e)) << qPrintable(e);
    EXPECT_TRUE(l.contains(QStringLiteral("pCuadro|150|840|11000|1920|2|")));
    EXPECT_TRUE(l.contains(QStringLiteral("pCuadro|150|12720|11000|12990|2|")));
    EXPECT_TRUE(l.contains(QStringLiteral("pCuadro|150|12990|11000|13530|2|")));
    EXPECT_TRUE(l.contains(QStringLiteral("pCuadro|8900|12990|11000|13530|2|")));
}

TEST_F(DeclaracionReporte, SentDeclarationReadsItsOwnVersion)
{
    QMap<QString, QString> enviadas = muestra::casillasBase();
    enviadas[QStringLiteral("300")] = QStringLiteral("4000");
    muestra::registrada(suite, muestra::casillasBase(), QString());
    muestra::enviada(suite, QStringLiteral("1"), muestra::casillasBase(), QString(), 11111111, QStringLiteral("1"));
    muestra::enviada(suite, QStringLiteral("2"), enviadas, QStringLiteral("02"), 87654321,
                     QStringLiteral("1234567890"));
    const QStringList l = imprime(false, true, QStringLiteral("2"));

    EXPECT_TRUE(l.contains(pos(300, 2000, QStringLiteral("Nro. Control:"), 0)));
    EXPECT_TRUE(l.contains(pos(1600, 2000, QStringLiteral("1234567890"), 0)));
    EXPECT_TRUE(l.contains(pos(8700, 2000, QStringLiteral("Nro. Orden:"), 0)));
    EXPECT_TRUE(l.contains(pos(9800, 2000, QStringLiteral("  87654321"), 0)));
    EXPECT_TRUE(l.contains(QStringLiteral("pCuadro|150|1950|2800|2220|0|")));
    EXPECT_TRUE(l.contains(QStringLiteral("pCuadro|8500|1950|11000|2220|0|")));
    // Values and payment of correlative 2, not of the stored version.
    EXPECT_TRUE(l.contains(pos(9000, 3080, alineado16(QStringLiteral("4,000")), 0)));
    EXPECT_TRUE(l.contains(pos(8550, 4940, QStringLiteral(" X "), 1)));
    // The asset table stands where it stands without the control row.
    EXPECT_TRUE(l.contains(pos(2600, 2540, QStringLiteral("ACTIVO"), 0)));
}

TEST(DeclaracionLayout, WritesWithoutADatabase)
{
    QTemporaryDir dir;
    ContextoReporte ctx;
    ctx.ruc = muestra::kRuc;
    ctx.periodo = QStringLiteral("abcd");  // a period that is not a number still prints
    DeclaracionImpresa d;
    d.casillas.insert(330, QStringLiteral("(2,000)"));
    EscritorSpool w;
    ASSERT_TRUE(w.open(dir.filePath(QStringLiteral("x.PRN"))));
    GeneraDeclaracion(w, ctx, d);
    ASSERT_TRUE(w.close());
    const QStringList l = lineas(dir.filePath(QStringLiteral("x.PRN")));
    EXPECT_TRUE(l.contains(pos(9000, 10910, QStringLiteral("          (2,000)"), 0)));
    EXPECT_TRUE(l.contains(pos(8750, 2810, QStringLiteral("  Al 31/12/-1"), 0)));
    EXPECT_FALSE(l.join(u'\n').contains(QStringLiteral("TOTAL DEDUCCIONES")));  // no annex asked
}

TEST(DeclaracionLayout, AmountTexts)
{
    using namespace impresion834;
    EXPECT_EQ(importe(QStringLiteral("1234567")), QStringLiteral("1,234,567"));
    EXPECT_EQ(importe(QStringLiteral("  ")), QString());
    EXPECT_EQ(importeAlineado(QStringLiteral("-1500")), QStringLiteral("          (1,500)"));
    EXPECT_EQ(importeAlineado(QStringLiteral("0")), alineado16(QStringLiteral("0")));
    // The units digit of a negative amount stands under that of a positive one.
    EXPECT_EQ(importeAlineado(QStringLiteral("-1500")).lastIndexOf(u'0'),
              importeAlineado(QStringLiteral("99990")).size() - 1);
}
