#pragma once
// Exact money for amounts, UIT values and factors: a signed count of
// ten-thousandths. Never a double, so 3,000,000 x 1.011 is exactly 3,033,000.

#include <QString>
#include <QStringView>
#include <compare>
#include <cstdint>
#include <optional>

class Money {
public:
    static constexpr std::int64_t kScale = 10000;  // four decimals

    constexpr Money() = default;
    static constexpr Money fromUnits(std::int64_t units) { Money m; m.units_ = units; return m; }
    static constexpr Money fromWhole(std::int64_t whole) { return fromUnits(whole * kScale); }

    // Plain decimal text: optional blanks, optional sign, digits, optional
    // '.' and decimals (beyond four, rounded half away from zero).
    // Anything else, or an empty text, gives nothing.
    static std::optional<Money> parse(QStringView text);

    constexpr std::int64_t units() const { return units_; }
    constexpr bool isZero() const { return units_ == 0; }
    constexpr bool isNegative() const { return units_ < 0; }

    // Whole soles, halves away from zero (2.5 -> 3, -2.5 -> -3).
    std::int64_t roundedWhole() const;
    // Whole soles, fraction dropped towards zero.
    constexpr std::int64_t truncatedWhole() const { return units_ / kScale; }
    Money rounded() const { return fromWhole(roundedWhole()); }
    Money truncated() const { return fromWhole(truncatedWhole()); }
    // Rounded half away from zero to `decimals` places (0..4).
    Money roundedTo(int decimals) const;

    constexpr Money operator-() const { return fromUnits(-units_); }
    constexpr Money operator+(Money o) const { return fromUnits(units_ + o.units_); }
    constexpr Money operator-(Money o) const { return fromUnits(units_ - o.units_); }
    Money& operator+=(Money o) { units_ += o.units_; return *this; }
    Money& operator-=(Money o) { units_ -= o.units_; return *this; }
    // Product and quotient keep four decimals, halves away from zero.
    Money operator*(Money o) const;
    Money operator/(Money o) const;  // division by zero gives zero
    Money operator*(std::int64_t n) const { return fromUnits(units_ * n); }

    constexpr auto operator<=>(const Money&) const = default;

    // "1234.5678" with exactly `decimals` places (0..4), rounded half away.
    QString toString(int decimals = 4) const;

private:
    std::int64_t units_ = 0;
};
