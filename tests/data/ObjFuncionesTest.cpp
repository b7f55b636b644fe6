#include "ObjFunciones.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const ObjFunciones fn;
}

TEST(ObjFunciones, RucCheckDigit)
{
    EXPECT_TRUE(fn.RucValido("20100070970"));  // remainder gives 10, digit 0
    EXPECT_TRUE(fn.RucValido("20131312955"));
    EXPECT_TRUE(fn.RucValido("20000000061"));  // remainder gives 11, digit 1
    EXPECT_FALSE(fn.RucValido("20100070971"));
    EXPECT_FALSE(fn.RucValido("20000000060"));
    EXPECT_FALSE(fn.RucValido("20131312954"));
}

TEST(ObjFunciones, RucShapeAndPrefix)
{
    EXPECT_TRUE(fn.RucValido("10456789019"));
    EXPECT_FALSE(fn.RucValido("30131312951"));  // right check digit, unknown prefix
    EXPECT_FALSE(fn.RucValido("12000000009"));
    EXPECT_FALSE(fn.RucValido("2013131295"));
    EXPECT_FALSE(fn.RucValido("201313129550"));
    EXPECT_FALSE(fn.RucValido("2013131295A"));
    EXPECT_FALSE(fn.RucValido("20l31312955"));
    EXPECT_FALSE(fn.RucValido(""));
    EXPECT_FALSE(fn.RucValido(QString::fromUtf8("2013131295\u0665")));  // Arabic-Indic five
    EXPECT_TRUE(fn.RucValido(" 20131312955 "));
}

TEST(ObjFunciones, FitAndAlign)
{
    EXPECT_EQ(fn.AjustaTexto("RUC", 6), "RUC   ");
    EXPECT_EQ(fn.AjustaTexto("RUC", 60).size(), 60);
    EXPECT_EQ(fn.AjustaTexto("ABCDEFGH", 5), "ABCDE");
    EXPECT_EQ(fn.AjustaTexto("ABC", 0), "");
    EXPECT_EQ(fn.AlineaDerecha("1,234", 8), "   1,234");
    EXPECT_EQ(fn.AlineaDerecha("(1,234)", 8), " (1,234)");
    EXPECT_EQ(fn.AlineaDerecha("123,456,789,012", 5), "123,456,789,012");  // never cut
    EXPECT_EQ(fn.AlineaDerecha("12", -1), "12");
}

TEST(ObjFunciones, DocumentNumberKinds)
{
    EXPECT_TRUE(fn.DocumentoPrimerTipo("04567890"));
    EXPECT_FALSE(fn.DocumentoPrimerTipo(""));
    EXPECT_FALSE(fn.DocumentoPrimerTipo("0456789A"));
    EXPECT_FALSE(fn.DocumentoPrimerTipo("045 6789"));
    EXPECT_TRUE(fn.DocumentoSegundoTipo("AB12345"));
    EXPECT_TRUE(fn.DocumentoSegundoTipo(QString::fromUtf8("ÑAñ01")));
    EXPECT_FALSE(fn.DocumentoSegundoTipo(""));
    EXPECT_FALSE(fn.DocumentoSegundoTipo("AB-123"));
    EXPECT_FALSE(fn.DocumentoSegundoTipo("AB 123"));
    EXPECT_FALSE(fn.DocumentoSegundoTipo(QString::fromUtf8("ÁB123")));
}

TEST(ObjFunciones, OrderNumberAgainstControl)
{
    // 12300004567 mod 97 = 77
    EXPECT_EQ(ObjFunciones::ordenDigitoControl("123", "00004567"), "77");
    EXPECT_TRUE(fn.OrdenCorresponde("123", "00004567", "77"));
    EXPECT_TRUE(fn.OrdenCorresponde(" 123 ", "00004567", "77"));
    EXPECT_FALSE(fn.OrdenCorresponde("123", "00004567", "78"));
    EXPECT_FALSE(fn.OrdenCorresponde("124", "00004567", "77"));
    // a result below ten keeps its leading zero
    EXPECT_EQ(ObjFunciones::ordenDigitoControl("0", "00000000"), "00");
    // a CONTROL far beyond any integer type
    EXPECT_EQ(ObjFunciones::ordenDigitoControl("98765432109876543210", "12345678"), "78");
    EXPECT_TRUE(fn.OrdenCorresponde("98765432109876543210", "12345678", "78"));
}

TEST(ObjFunciones, OrderNumberRejectsMalformedParts)
{
    EXPECT_FALSE(fn.OrdenCorresponde("", "00004567", "77"));
    EXPECT_FALSE(fn.OrdenCorresponde("   ", "00000000", "00"));
    EXPECT_FALSE(fn.OrdenCorresponde("12A", "00004567", "77"));
    EXPECT_FALSE(fn.OrdenCorresponde("123", "0004567", "77"));
    EXPECT_FALSE(fn.OrdenCorresponde("123", "000004567", "77"));
    EXPECT_FALSE(fn.OrdenCorresponde("123", "0000456A", "77"));
    EXPECT_FALSE(fn.OrdenCorresponde("123", "00004567", "7"));
    EXPECT_FALSE(fn.OrdenCorresponde("123", "00004567", "077"));
    EXPECT_FALSE(fn.OrdenCorresponde("123", "00004567", " 7"));
    EXPECT_EQ(ObjFunciones::ordenDigitoControl("12A", "00004567"), "");
    EXPECT_EQ(ObjFunciones::ordenDigitoControl("123", "4567"), "");
}

TEST(ObjFunciones, NumericKeyFilter)
{
    for (int k = '0'; k <= '9'; ++k)
        EXPECT_EQ(fn.FiltroNumerico(k), k);
    EXPECT_EQ(fn.FiltroNumerico(8), 8);
    EXPECT_EQ(fn.FiltroNumerico(13), 13);
    for (int k : std::initializer_list<int>{'a', 'Z', '-', '.', ',', ' ', '/', ':', 0xD1, 0x0665, -1, 0})
        EXPECT_EQ(fn.FiltroNumerico(k), 0) << k;
}

TEST(ObjFunciones, NameKeyFilterKeepsSpanishNamesAsWritten)
{
    for (QChar c : QString::fromUtf8(" AZaz09ÑñÁÉÍÓÚÜáéíóúü'\b"))
        EXPECT_EQ(fn.FiltroNombre(c.unicode()), c.unicode()) << int(c.unicode());
    for (int k : std::initializer_list<int>{'-', '.', '@', '"', ';', 13, 0xE7, 0xE0, 0x20AC, -5, 0x110000})
        EXPECT_EQ(fn.FiltroNombre(k), 0) << k;
}

TEST(ObjFunciones, NameCharactersTheFieldKeeps)
{
    for (QChar c : QString::fromUtf8(" AZaz09Ññá'\b"))
        EXPECT_TRUE(ObjFunciones::caracterNombreConservado(c)) << int(c.unicode());
    for (QChar c : QString::fromUtf8("-.ç\r"))
        EXPECT_FALSE(ObjFunciones::caracterNombreConservado(c)) << int(c.unicode());
}

TEST(ObjFunciones, FileExists)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("00000001.PRN");
    EXPECT_FALSE(fn.ExisteArchivo(file));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_TRUE(fn.ExisteArchivo(file));
    EXPECT_FALSE(fn.ExisteArchivo(dir.path()));  // a folder is no report file
    EXPECT_FALSE(fn.ExisteArchivo(""));
}
