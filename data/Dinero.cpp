#include "Dinero.h"

namespace {

using i128 = __int128;

// a / b rounded half away from zero.
i128 divideRedondeando(i128 a, i128 b)
{
    if (b == 0)
        return 0;
    const bool negative = (a < 0) != (b < 0);
    if (a < 0) a = -a;
    if (b < 0) b = -b;
    i128 q = a / b;
    if ((a % b) * 2 >= b)
        ++q;
    return negative ? -q : q;
}

// A wide intermediate result brought back to the stored width.
std::int64_t aEntero64(i128 v)
{
    if (v > INT64_MAX || v < INT64_MIN)
        throw DineroDesbordado();
    return static_cast<std::int64_t>(v);
}

constexpr std::int64_t potencia10(int n)
{
    std::int64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

} // namespace

std::optional<Dinero> Dinero::analiza(QStringView text)
{
    const QStringView t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) {
        negative = t[i] == u'-';
        ++i;
    }
    i128 whole = 0;
    int wholeDigits = 0;
    while (i < t.size() && t[i].isDigit() && t[i].unicode() < 128) {
        whole = whole * 10 + (t[i].unicode() - '0');
        if (++wholeDigits > 14)
            return std::nullopt;  // beyond any amount the form holds
        ++i;
    }
    i128 frac = 0;
    int fracDigits = 0;
    if (i < t.size() && t[i] == u'.') {
        ++i;
        while (i < t.size() && t[i].isDigit() && t[i].unicode() < 128) {
            if (fracDigits < 18) {
                frac = frac * 10 + (t[i].unicode() - '0');
                ++fracDigits;
            }
            ++i;
        }
    }
    if (i != t.size() || wholeDigits + fracDigits == 0)
        return std::nullopt;
    i128 unidades = whole * kUnidadesPorSol;
    if (fracDigits <= 4)
        unidades += frac * potencia10(4 - fracDigits);
    else
        unidades += divideRedondeando(frac, potencia10(fracDigits - 4));
    return deUnidades(aEntero64(negative ? -unidades : unidades));
}

std::int64_t Dinero::enteroRedondeado() const
{
    return aEntero64(divideRedondeando(unidades_, kUnidadesPorSol));
}

Dinero Dinero::redondeadoA(int decimals) const
{
    if (decimals >= 4)
        return *this;
    if (decimals < 0)
        decimals = 0;
    const std::int64_t step = potencia10(4 - decimals);
    return deUnidades(aEntero64(divideRedondeando(unidades_, step) * step));
}

Dinero Dinero::operator*(Dinero o) const
{
    return deUnidades(aEntero64(divideRedondeando(i128(unidades_) * o.unidades_, kUnidadesPorSol)));
}

Dinero Dinero::operator/(Dinero o) const
{
    return deUnidades(aEntero64(divideRedondeando(i128(unidades_) * kUnidadesPorSol, o.unidades_)));
}

QString Dinero::toString(int decimals) const
{
    if (decimals < 0) decimals = 0;
    if (decimals > 4) decimals = 4;
    const Dinero r = redondeadoA(decimals);
    // Wide, so that the most negative count has a magnitude too.
    const i128 absUnits = r.unidades_ < 0 ? -i128(r.unidades_) : i128(r.unidades_);
    QString s = QString::number(static_cast<std::uint64_t>(absUnits / kUnidadesPorSol));
    if (decimals > 0) {
        const auto frac = static_cast<std::int64_t>((absUnits % kUnidadesPorSol) / potencia10(4 - decimals));
        s += u'.' + QString::number(frac).rightJustified(decimals, u'0');
    }
    return r.unidades_ < 0 ? u'-' + s : s;
}
