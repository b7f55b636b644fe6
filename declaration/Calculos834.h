#pragma once
// The calculation rules of form 0834. Each Calcular function recomputes one
// box of the model from the boxes it depends on and writes the result as box
// text; writing a different text raises that box's change, which runs
// TxtValor_Change for it and so continues the cascade. The rules use the UIT
// and the adjustment factor that the model holds as values: no database here.

#include "Declaracion834.h"
#include "Dinero.h"

#include <QString>

namespace calculos834 {

// The advance by the progressive scale for updated taxable net assets v and
// UIT u, before rounding (currency, four decimals).
Dinero anticipoSegunEscala(Dinero v, Dinero uit);

// Sum of the box-105 detail, each stored value read as whole soles (blank 0).
Dinero totalDeducciones(const Detalle105& detalle);

void Calcular330(Declaracion834& d);   // total net assets, then 101 = 330
void Calcular105(Declaracion834& d, const QString& selector);  // acts only for "105"
void Calcular108(Declaracion834& d);   // taxable net assets
void Calcular109(Declaracion834& d);   // updated to 31 March by the factor
void Calcular113(Declaracion834& d);   // advance by scale
void Calcular114(Declaracion834& d);   // 30 % reduction of exercise 2003
void Calcular139(Declaracion834& d);   // total advance
void Calcular161(Declaracion834& d);   // cash payment or first instalment
void Calcular146(Declaracion834& d);   // final balance

// After box 139 changes: box 160 forced to "1" and locked below 9; box 145
// disabled (and emptied outside loading) at 0 or less.
void reglaModalidad(Declaracion834& d);

// The dispatch of the box-change handler: which rules a change of a box runs.
void TxtValor_Change(Declaracion834& d, int casilla);

// Every computed box from 330 on, again from what the boxes hold, in the
// form's order (box 105 stays the sum of its stored detail).
void recalcular(Declaracion834& d);

} // namespace calculos834
