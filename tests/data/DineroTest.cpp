#include "Dinero.h"

#include <gtest/gtest.h>

TEST(Money, ParsesPlainDecimalTextOnly)
{
    EXPECT_EQ(Dinero::analiza(u"3100")->unidades(), 31000000);
    EXPECT_EQ(Dinero::analiza(u" -12.5 ")->unidades(), -125000);
    EXPECT_EQ(Dinero::analiza(u"1.011")->unidades(), 10110);
    EXPECT_EQ(Dinero::analiza(u".5")->unidades(), 5000);
    EXPECT_EQ(Dinero::analiza(u"0.00005")->unidades(), 1);    // fifth decimal rounds half away
    EXPECT_EQ(Dinero::analiza(u"-0.00005")->unidades(), -1);
    EXPECT_FALSE(Dinero::analiza(u""));
    EXPECT_FALSE(Dinero::analiza(u"-"));
    EXPECT_FALSE(Dinero::analiza(u"1,000"));
    EXPECT_FALSE(Dinero::analiza(u"12a"));
    EXPECT_FALSE(Dinero::analiza(u"999999999999999"));   // too many digits, not an overflow
}

TEST(Money, RoundsHalvesAwayFromZero)
{
    EXPECT_EQ(Dinero::analiza(u"2.5")->enteroRedondeado(), 3);
    EXPECT_EQ(Dinero::analiza(u"-2.5")->enteroRedondeado(), -3);
    EXPECT_EQ(Dinero::analiza(u"2.4999")->enteroRedondeado(), 2);
    EXPECT_EQ(Dinero::analiza(u"-2.4999")->enteroTruncado(), -2);
    EXPECT_EQ(Dinero::analiza(u"1.005")->redondeadoA(2).toString(2), QStringLiteral("1.01"));
}

TEST(Money, MultipliesAndDividesExactly)
{
    const Dinero v = Dinero::deEntero(3000000);
    EXPECT_EQ((v * *Dinero::analiza(u"1.011")).toString(0), QStringLiteral("3033000"));
    EXPECT_EQ((Dinero::deEntero(1) / Dinero::deEntero(3)).toString(), QStringLiteral("0.3333"));
    EXPECT_EQ((Dinero::deEntero(2) / Dinero::deEntero(3)).toString(), QStringLiteral("0.6667"));
    EXPECT_EQ((Dinero::deEntero(5) / Dinero()).unidades(), 0);
    EXPECT_EQ(Dinero::deEntero(-7).toString(0), QStringLiteral("-7"));
    EXPECT_LT(Dinero::deEntero(-1), Dinero());
}

TEST(Money, OverflowIsRefusedNeverWrapped)
{
    const Dinero uit = *Dinero::analiza(u"99999999999999");   // 14 digits are read
    const Dinero grande = Dinero::deUnidades(INT64_MAX);
    EXPECT_THROW(uit * 4838, DineroDesbordado);
    EXPECT_THROW(uit * uit, DineroDesbordado);
    EXPECT_THROW(grande + Dinero::deUnidades(1), DineroDesbordado);
    EXPECT_THROW(-grande - Dinero::deUnidades(2), DineroDesbordado);
    EXPECT_THROW(-Dinero::deUnidades(INT64_MIN), DineroDesbordado);
    EXPECT_THROW(Dinero::deEntero(INT64_MAX / 1000), DineroDesbordado);
    EXPECT_THROW(grande / Dinero::deUnidades(1), DineroDesbordado);
    EXPECT_THROW(grande.redondeadoA(0), DineroDesbordado);
    Dinero suma = grande;
    EXPECT_THROW(suma += grande, DineroDesbordado);
    EXPECT_EQ(suma, grande);   // a refused step leaves the amount as it was
    EXPECT_EQ(Dinero::deUnidades(INT64_MIN).toString(), QStringLiteral("-922337203685477.5808"));
    EXPECT_EQ((uit * 9).toString(0), QStringLiteral("899999999999991"));
}
