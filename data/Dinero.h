#pragma once
// Exact money for amounts, UIT values and factors: a signed count of
// ten-thousandths. Never a double, so 3,000,000 x 1.011 is exactly 3,033,000.
// An operation whose result does not fit throws DineroDesbordado instead of
// wrapping round to a wrong amount; the caller that took the input refuses it.

#include <QString>
#include <QStringView>
#include <compare>
#include <cstdint>
#include <optional>
#include <stdexcept>

class DineroDesbordado : public std::overflow_error {
public:
    DineroDesbordado() : std::overflow_error("amount out of range") {}
};

class Dinero {
public:
    static constexpr std::int64_t kUnidadesPorSol = 10000;  // four decimals

    constexpr Dinero() = default;
    static constexpr Dinero deUnidades(std::int64_t unidades) { Dinero m; m.unidades_ = unidades; return m; }
    static constexpr Dinero deEntero(std::int64_t whole) { return deUnidades(whole) * kUnidadesPorSol; }

    // Plain decimal text: optional blanks, optional sign, digits, optional
    // '.' and decimals (beyond four, rounded half away from zero).
    // Anything else, or an empty text, gives nothing.
    static std::optional<Dinero> analiza(QStringView text);

    constexpr std::int64_t unidades() const { return unidades_; }
    constexpr bool esCero() const { return unidades_ == 0; }
    constexpr bool esNegativo() const { return unidades_ < 0; }

    // Whole soles, halves away from zero (2.5 -> 3, -2.5 -> -3).
    std::int64_t enteroRedondeado() const;
    // Whole soles, fraction dropped towards zero.
    constexpr std::int64_t enteroTruncado() const { return unidades_ / kUnidadesPorSol; }
    Dinero redondeado() const { return deEntero(enteroRedondeado()); }
    Dinero truncado() const { return deEntero(enteroTruncado()); }
    // Rounded half away from zero to `decimals` places (0..4).
    Dinero redondeadoA(int decimals) const;

    constexpr Dinero operator-() const { return Dinero() - *this; }
    constexpr Dinero operator+(Dinero o) const
    {
        std::int64_t r = 0;
        const bool overflowed = __builtin_add_overflow(unidades_, o.unidades_, &r);
        return deUnidades(comprobado(overflowed, r));
    }
    constexpr Dinero operator-(Dinero o) const
    {
        std::int64_t r = 0;
        const bool overflowed = __builtin_sub_overflow(unidades_, o.unidades_, &r);
        return deUnidades(comprobado(overflowed, r));
    }
    Dinero& operator+=(Dinero o) { return *this = *this + o; }
    Dinero& operator-=(Dinero o) { return *this = *this - o; }
    // Product and quotient keep four decimals, halves away from zero.
    Dinero operator*(Dinero o) const;
    Dinero operator/(Dinero o) const;  // division by zero gives zero
    constexpr Dinero operator*(std::int64_t n) const
    {
        std::int64_t r = 0;
        const bool overflowed = __builtin_mul_overflow(unidades_, n, &r);
        return deUnidades(comprobado(overflowed, r));
    }

    constexpr auto operator<=>(const Dinero&) const = default;

    // "1234.5678" with exactly `decimals` places (0..4), rounded half away.
    QString toString(int decimals = 4) const;

private:
    // The result of a checked step, or DineroDesbordado when it did not fit.
    static constexpr std::int64_t comprobado(bool overflowed, std::int64_t result)
    {
        if (overflowed)
            throw DineroDesbordado();
        return result;
    }

    std::int64_t unidades_ = 0;
};
