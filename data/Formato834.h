#pragma once
// How box text turns into numbers and back. A box holds text only; every
// formula reads it with leer() (the "###########0" read) and writes with one of
// the display formats below. Amounts are whole soles: formatting rounds halves
// away from zero.

#include "Dinero.h"

#include <QString>

namespace formato834 {

// Standard read of a box text: blank or not a number gives 0; grouping commas
// are ignored; "(1,234)" reads as -1234; the result is rounded to whole soles.
Dinero leer(const QString& texto);

// The trimmed text is empty.
bool vacio(const QString& texto);

// "###,###,###,##0": grouping commas, "0" for zero, leading minus if negative.
QString miles(Dinero valor);

// "###########0": no grouping, used for box 113 and for stored values.
QString plano(Dinero valor);

// "###,###,###,##0;(###,###,###,##0)": negative totals in parentheses, no minus.
QString milesNegativoEntreParentesis(Dinero valor);

// "(###,###,###,##0)" of the absolute value: subtracted boxes (105, 144, 303,
// 326, 328) always show their amount wrapped in parentheses.
QString entreParentesis(Dinero valor);

// A factor as GET_IPM's caller keeps it: plain decimal text with '.' and no
// trailing zeros ("1.011", "1.05", "1", "0").
QString textoFactor(Dinero factor);

// Numeric value of a factor text; empty or not a number gives 0.
Dinero leerFactor(const QString& texto);

} // namespace formato834
