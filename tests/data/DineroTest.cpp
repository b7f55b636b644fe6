#include "Dinero.h"

#include <gtest/gtest.h>

TEST(Money, ParsesPlainDecimalTextOnly)
{
    EXPECT_EQ(Dinero::parse(u"3100")->units(), 31000000);
    EXPECT_EQ(Dinero::parse(u" -12.5 ")->units(), -125000);
    EXPECT_EQ(Dinero::parse(u"1.011")->units(), 10110);
    EXPECT_EQ(Dinero::parse(u".5")->units(), 5000);
    EXPECT_EQ(Dinero::parse(u"0.00005")->units(), 1);    // fifth decimal rounds half away
    EXPECT_EQ(Dinero::parse(u"-0.00005")->units(), -1);
    EXPECT_FALSE(Dinero::parse(u""));
    EXPECT_FALSE(Dinero::parse(u"-"));
    EXPECT_FALSE(Dinero::parse(u"1,000"));
    EXPECT_FALSE(Dinero::parse(u"12a"));
    EXPECT_FALSE(Dinero::parse(u"999999999999999"));   // too many digits, not an overflow
}

TEST(Money, RoundsHalvesAwayFromZero)
{
    EXPECT_EQ(Dinero::parse(u"2.5")->roundedWhole(), 3);
    EXPECT_EQ(Dinero::parse(u"-2.5")->roundedWhole(), -3);
    EXPECT_EQ(Dinero::parse(u"2.4999")->roundedWhole(), 2);
    EXPECT_EQ(Dinero::parse(u"-2.4999")->truncatedWhole(), -2);
    EXPECT_EQ(Dinero::parse(u"1.005")->roundedTo(2).toString(2), QStringLiteral("1.01"));
}

TEST(Money, MultipliesAndDividesExactly)
{
    const Dinero v = Dinero::fromWhole(3000000);
    EXPECT_EQ((v * *Dinero::parse(u"1.011")).toString(0), QStringLiteral("3033000"));
    EXPECT_EQ((Dinero::fromWhole(1) / Dinero::fromWhole(3)).toString(), QStringLiteral("0.3333"));
    EXPECT_EQ((Dinero::fromWhole(2) / Dinero::fromWhole(3)).toString(), QStringLiteral("0.6667"));
    EXPECT_EQ((Dinero::fromWhole(5) / Dinero()).units(), 0);
    EXPECT_EQ(Dinero::fromWhole(-7).toString(0), QStringLiteral("-7"));
    EXPECT_LT(Dinero::fromWhole(-1), Dinero());
}

TEST(Money, OverflowIsRefusedNeverWrapped)
{
    const Dinero uit = *Dinero::parse(u"99999999999999");   // 14 digits are read
    const Dinero grande = Dinero::fromUnits(INT64_MAX);
    EXPECT_THROW(uit * 4838, DineroDesbordado);
    EXPECT_THROW(uit * uit, DineroDesbordado);
    EXPECT_THROW(grande + Dinero::fromUnits(1), DineroDesbordado);
    EXPECT_THROW(-grande - Dinero::fromUnits(2), DineroDesbordado);
    EXPECT_THROW(-Dinero::fromUnits(INT64_MIN), DineroDesbordado);
    EXPECT_THROW(Dinero::fromWhole(INT64_MAX / 1000), DineroDesbordado);
    EXPECT_THROW(grande / Dinero::fromUnits(1), DineroDesbordado);
    EXPECT_THROW(grande.roundedTo(0), DineroDesbordado);
    Dinero suma = grande;
    EXPECT_THROW(suma += grande, DineroDesbordado);
    EXPECT_EQ(suma, grande);   // a refused step leaves the amount as it was
    EXPECT_EQ(Dinero::fromUnits(INT64_MIN).toString(), QStringLiteral("-922337203685477.5808"));
    EXPECT_EQ((uit * 9).toString(0), QStringLiteral("899999999999991"));
}
