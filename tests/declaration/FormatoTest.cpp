#include "Casillas834.h"
#include "Formato834.h"

#include <gtest/gtest.h>

using namespace formato834;

namespace {
Dinero m(const char* t) { return *Dinero::analiza(QString::fromLatin1(t)); }
}

TEST(Formato, StandardReadIgnoresSeparatorsAndReadsParenthesesAsNegative)
{
    EXPECT_EQ(leer("1,234,567"), Dinero::deEntero(1234567));
    EXPECT_EQ(leer("(1,234)"), Dinero::deEntero(-1234));
    EXPECT_EQ(leer(" -500 "), Dinero::deEntero(-500));
    EXPECT_EQ(leer(""), Dinero());
    EXPECT_EQ(leer("   "), Dinero());
    EXPECT_EQ(leer("abc"), Dinero());
    EXPECT_EQ(leer("12a"), Dinero());
    EXPECT_EQ(leer("(12"), Dinero());
    EXPECT_TRUE(vacio("  "));
    EXPECT_FALSE(vacio("0"));
}

TEST(Formato, WholeSolesRoundHalvesAwayFromZero)
{
    EXPECT_EQ(leer("2.5"), Dinero::deEntero(3));
    EXPECT_EQ(leer("-2.5"), Dinero::deEntero(-3));
    EXPECT_EQ(leer("2.4999"), Dinero::deEntero(2));
    EXPECT_EQ(plano(m("7513.5")), "7514");
    EXPECT_EQ(plano(m("-7513.5")), "-7514");
    EXPECT_EQ(miles(m("11.1111")), "11");
    EXPECT_EQ(miles(m("1049.5")), "1,050");
}

TEST(Formato, DisplayFormats)
{
    EXPECT_EQ(miles(Dinero()), "0");
    EXPECT_EQ(miles(Dinero::deEntero(999)), "999");
    EXPECT_EQ(miles(Dinero::deEntero(1000)), "1,000");
    EXPECT_EQ(miles(Dinero::deEntero(123456789012)), "123,456,789,012");
    EXPECT_EQ(miles(Dinero::deEntero(-1234)), "-1,234");
    EXPECT_EQ(plano(Dinero::deEntero(1234567)), "1234567");
    EXPECT_EQ(milesNegativoEntreParentesis(Dinero::deEntero(-1234)), "(1,234)");
    EXPECT_EQ(milesNegativoEntreParentesis(Dinero::deEntero(1234)), "1,234");
    EXPECT_EQ(entreParentesis(Dinero()), "(0)");
    EXPECT_EQ(entreParentesis(Dinero::deEntero(-1500)), "(1,500)");
    EXPECT_EQ(entreParentesis(Dinero::deEntero(1500)), "(1,500)");
    EXPECT_EQ(leer(milesNegativoEntreParentesis(Dinero::deEntero(-1234))), Dinero::deEntero(-1234));
}

TEST(Formato, FactorTextKeepsNoTrailingZeros)
{
    EXPECT_EQ(textoFactor(m("1.011")), "1.011");
    EXPECT_EQ(textoFactor(m("1.05")), "1.05");
    EXPECT_EQ(textoFactor(m("1")), "1");
    EXPECT_EQ(textoFactor(m("10")), "10");
    EXPECT_EQ(textoFactor(Dinero()), "0");
    EXPECT_EQ(leerFactor(""), Dinero());
    EXPECT_EQ(leerFactor("x"), Dinero());
    EXPECT_EQ(leerFactor(" 1.05 "), m("1.05"));
}

TEST(Formato, FocusShowsBareNumbersAndLeavingRestoresTheFormat)
{
    using namespace casillas834;
    EXPECT_EQ(textoEnFoco(303, "(1,500)"), "1500");
    EXPECT_EQ(textoFueraDeFoco(303, "1500"), "(1,500)");
    EXPECT_EQ(textoEnFoco(300, "1,234,567"), "1234567");
    EXPECT_EQ(textoFueraDeFoco(300, "1234567"), "1,234,567");
    EXPECT_EQ(textoFueraDeFoco(144, "20"), "(20)");
    EXPECT_EQ(textoEnFoco(300, ""), "");
    EXPECT_EQ(textoFueraDeFoco(328, " "), " ");
    EXPECT_EQ(textoFueraDeFoco(160, "2"), "2");
    EXPECT_EQ(textoFueraDeFoco(226, "00012345"), "00012345");
    EXPECT_EQ(textoEnFoco(225, "06"), "06");
}

TEST(Casillas, TableKeepsTheBoxListOrderAndThePageOrder)
{
    using namespace casillas834;
    const QList<int> lista = vCasillas();
    ASSERT_EQ(lista.size(), 46);
    EXPECT_EQ(lista.mid(0, 5), (QList<int>{300, 301, 302, 303, 304}));
    EXPECT_EQ(lista.mid(24, 6), (QList<int>{325, 327, 328, 326, 329, 330}));
    EXPECT_EQ(lista.mid(40), (QList<int>{144, 145, 146, 180, 225, 226}));
    EXPECT_EQ(activos().size(), 29);
    EXPECT_FALSE(esActivo(330));
    EXPECT_EQ(enPantalla(Pestana::Activos, Pagina::ActivoCorriente).mid(0, 6),
              (QList<int>{300, 301, 302, 304, 303, 305}));
    EXPECT_EQ(enPantalla(Pestana::Deuda), (QList<int>{139, 160, 161, 144, 145, 146, 180}));
    EXPECT_EQ(etiqueta(109, "2004"), QString::fromUtf8("Activo Neto imponible actualizado al 31-03-2004"));
    EXPECT_EQ(buscar(105)->tipo, Tipo::Asistente);
    EXPECT_EQ(buscar(999), nullptr);
}
