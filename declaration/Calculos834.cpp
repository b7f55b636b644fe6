#include "Calculos834.h"

#include "Formato834.h"

#include <array>

namespace calculos834 {

using formato834::miles;

namespace {

Dinero abs(Dinero m)
{
    return m.esNegativo() ? -m : m;
}

Dinero tasa(const char* texto)
{
    return *Dinero::analiza(QString::fromLatin1(texto));
}

// The scale of box 113: upper limit of each tranche in UIT and the rate on the
// part of v inside it. Each limit belongs to its own tranche; the last one is open.
struct Tramo {
    int hastaUit;
    const char* tasa;
};
constexpr std::array<Tramo, 6> kEscala{{
    {160, "0"},
    {806, "0.0025"},
    {1612, "0.005"},
    {3225, "0.0075"},
    {4838, "0.01"},
    {0, "0.015"},
}};
constexpr int kTopeReduccion2003 = 4838;

} // namespace

Dinero anticipoSegunEscala(Dinero v, Dinero uit)
{
    Dinero anticipo;
    Dinero desde;
    for (std::size_t i = 0; i < kEscala.size(); ++i) {
        const bool ultimo = i + 1 == kEscala.size();
        const Dinero hasta = ultimo ? v : uit * kEscala[i].hastaUit;
        if (v <= hasta) {
            if (v > desde)
                anticipo += (v - desde) * tasa(kEscala[i].tasa);
            break;
        }
        anticipo += (hasta - desde) * tasa(kEscala[i].tasa);
        desde = hasta;
    }
    return anticipo;
}

Dinero totalDeducciones(const Detalle105& detalle)
{
    Dinero total;
    for (const QString& valor : detalle)
        total += formato834::leer(valor);
    return total;
}

void Calcular330(Declaracion834& d)
{
    const auto c = [&d](int n) { return d.Vale(n); };
    bool todasVacias = true;
    for (int n : casillas834::activos())
        todasVacias = todasVacias && d.vacio(n);
    if (todasVacias) {
        d.setCasilla(330, QString());
    } else {
        const Dinero c330 = c(300) + c(301) + c(302) + c(304) - abs(c(303)) + c(305) + c(306) + c(307) + c(308)
                           + c(310) + c(311) + c(313) + c(314) + c(315) + c(316) + c(318) + c(319) + c(321)
                           + c(322) + c(323) + c(324) + c(395) + c(396) + c(397) + c(325) + c(327) - abs(c(328))
                           - abs(c(326)) + c(329);
        d.setCasilla(330, formato834::milesNegativoEntreParentesis(c330));
    }
    d.setCasilla(101, d.casilla(330));
}

void Calcular105(Declaracion834& d, const QString& selector)
{
    if (selector != u"105")
        return;
    d.setCasilla(105, formato834::entreParentesis(totalDeducciones(d.detalle105())));
}

void Calcular108(Declaracion834& d)
{
    if (d.vacio(101) && d.vacio(104) && d.vacio(105)) {
        d.setCasilla(108, QString());
        return;
    }
    const Dinero c108 = d.Vale(101) + d.Vale(104) - abs(d.Vale(105));
    d.setCasilla(108, c108.esNegativo() ? QStringLiteral("0") : miles(c108));
}

void Calcular109(Declaracion834& d)
{
    if (d.vacio(108)) {
        d.setCasilla(109, QString());
        return;
    }
    const QString ajuste = d.respuesta(Declaracion834::Pregunta::Ajuste);
    if (ajuste == u"1") {
        const Dinero factor = formato834::leerFactor(d.factorIpm());
        if (factor <= Dinero())
            return;  // no factor for the exercise: 109 keeps what it had
        const Dinero c109 = factor * d.Vale(108);
        d.setCasilla(109, miles(c109));
    } else if (ajuste == u"0") {
        d.setCasilla(109, d.casilla(108));
    }
}

void Calcular113(Declaracion834& d)
{
    if (d.vacio(109)) {
        d.setCasilla(113, QString());
        return;
    }
    const Dinero c113 = anticipoSegunEscala(d.Vale(109), d.cUIT());
    d.setCasilla(113, formato834::plano(c113));
}

void Calcular114(Declaracion834& d)
{
    if (d.periodo() != u"2003" || d.Vale(109) > d.cUIT() * kTopeReduccion2003) {
        d.setCasilla(114, QStringLiteral("0"));
        return;
    }
    const Dinero c114 = tasa("0.3") * d.Vale(113);
    d.setCasilla(114, miles(c114));
}

void Calcular139(Declaracion834& d)
{
    if (d.vacio(113) && d.vacio(114)) {
        d.setCasilla(139, QString());
        return;
    }
    const Dinero c139 = d.Vale(113) - d.Vale(114);
    d.setCasilla(139, c139.esNegativo() ? QString() : miles(c139));
}

void Calcular161(Declaracion834& d)
{
    const QString modalidad = d.casilla(160).trimmed();
    if (modalidad == u"1")
        d.setCasilla(161, d.casilla(139));
    else if (modalidad == u"2")
        d.setCasilla(161, miles(d.Vale(139) / Dinero::deEntero(9)));
    else
        d.setCasilla(161, QString());
}

void Calcular146(Declaracion834& d)
{
    if (d.vacio(161) && d.vacio(144) && d.vacio(145)) {
        d.setCasilla(146, QString());
        return;
    }
    const Dinero c146 = d.Vale(161) - abs(d.Vale(144)) + abs(d.Vale(145));
    d.setCasilla(146, miles(c146.esNegativo() ? Dinero() : c146));
}

void reglaModalidad(Declaracion834& d)
{
    const Dinero t = d.Vale(139);
    if (t >= Dinero::deEntero(9)) {
        d.setBloqueada(160, false);
        d.setHabilitada(145, true);
        return;
    }
    d.setCasilla(160, QStringLiteral("1"));
    d.setBloqueada(160, true);
    if (t <= Dinero()) {
        d.setHabilitada(145, false);
        if (!d.bCargando())
            d.setCasilla(145, QString());
    } else {
        d.setHabilitada(145, true);
    }
}

void TxtValor_Change(Declaracion834& d, int casilla)
{
    if (casillas834::esActivo(casilla)) {
        Calcular330(d);
        return;
    }
    switch (casilla) {
    case 101:
    case 104:
    case 105:
        Calcular105(d, QStringLiteral("105"));
        Calcular108(d);
        break;
    case 108:
        Calcular109(d);
        Calcular113(d);
        break;
    case 109:
        // 114 reads 109 too: near its limit 109 can cross it while 113 keeps its text.
        Calcular113(d);
        Calcular114(d);
        break;
    case 113:
        Calcular114(d);
        Calcular139(d);
        break;
    case 114:
        Calcular139(d);
        break;
    case 139:
    case 144:
    case 145:
    case 161:
        Calcular161(d);
        Calcular146(d);
        if (casilla == 139)
            reglaModalidad(d);
        break;
    case 160:
        Calcular161(d);
        break;
    default:
        break;  // 330 and the rest compute nothing
    }
}

void recalcular(Declaracion834& d)
{
    Calcular330(d);
    Calcular108(d);
    Calcular109(d);
    Calcular113(d);
    Calcular114(d);
    Calcular139(d);
    Calcular161(d);
    Calcular146(d);
}

} // namespace calculos834
