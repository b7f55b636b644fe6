#include "Money.h"

#include <gtest/gtest.h>

TEST(Money, ParsesPlainDecimalTextOnly)
{
    EXPECT_EQ(Money::parse(u"3100")->units(), 31000000);
    EXPECT_EQ(Money::parse(u" -12.5 ")->units(), -125000);
    EXPECT_EQ(Money::parse(u"1.011")->units(), 10110);
    EXPECT_EQ(Money::parse(u".5")->units(), 5000);
    EXPECT_EQ(Money::parse(u"0.00005")->units(), 1);    // fifth decimal rounds half away
    EXPECT_EQ(Money::parse(u"-0.00005")->units(), -1);
    EXPECT_FALSE(Money::parse(u""));
    EXPECT_FALSE(Money::parse(u"-"));
    EXPECT_FALSE(Money::parse(u"1,000"));
    EXPECT_FALSE(Money::parse(u"12a"));
    EXPECT_FALSE(Money::parse(u"999999999999999"));   // too many digits, not an overflow
}

TEST(Money, RoundsHalvesAwayFromZero)
{
    EXPECT_EQ(Money::parse(u"2.5")->roundedWhole(), 3);
    EXPECT_EQ(Money::parse(u"-2.5")->roundedWhole(), -3);
    EXPECT_EQ(Money::parse(u"2.4999")->roundedWhole(), 2);
    EXPECT_EQ(Money::parse(u"-2.4999")->truncatedWhole(), -2);
    EXPECT_EQ(Money::parse(u"1.005")->roundedTo(2).toString(2), QStringLiteral("1.01"));
}

TEST(Money, MultipliesAndDividesExactly)
{
    const Money v = Money::fromWhole(3000000);
    EXPECT_EQ((v * *Money::parse(u"1.011")).toString(0), QStringLiteral("3033000"));
    EXPECT_EQ((Money::fromWhole(1) / Money::fromWhole(3)).toString(), QStringLiteral("0.3333"));
    EXPECT_EQ((Money::fromWhole(2) / Money::fromWhole(3)).toString(), QStringLiteral("0.6667"));
    EXPECT_EQ((Money::fromWhole(5) / Money()).units(), 0);
    EXPECT_EQ(Money::fromWhole(-7).toString(0), QStringLiteral("-7"));
    EXPECT_LT(Money::fromWhole(-1), Money());
}

TEST(Money, OverflowIsRefusedNeverWrapped)
{
    const Money uit = *Money::parse(u"99999999999999");   // 14 digits are read
    const Money grande = Money::fromUnits(INT64_MAX);
    EXPECT_THROW(uit * 4838, MoneyOverflow);
    EXPECT_THROW(uit * uit, MoneyOverflow);
    EXPECT_THROW(grande + Money::fromUnits(1), MoneyOverflow);
    EXPECT_THROW(-grande - Money::fromUnits(2), MoneyOverflow);
    EXPECT_THROW(-Money::fromUnits(INT64_MIN), MoneyOverflow);
    EXPECT_THROW(Money::fromWhole(INT64_MAX / 1000), MoneyOverflow);
    EXPECT_THROW(grande / Money::fromUnits(1), MoneyOverflow);
    EXPECT_THROW(grande.roundedTo(0), MoneyOverflow);
    Money suma = grande;
    EXPECT_THROW(suma += grande, MoneyOverflow);
    EXPECT_EQ(suma, grande);   // a refused step leaves the amount as it was
    EXPECT_EQ(Money::fromUnits(INT64_MIN).toString(), QStringLiteral("-922337203685477.5808"));
    EXPECT_EQ((uit * 9).toString(0), QStringLiteral("899999999999991"));
}
