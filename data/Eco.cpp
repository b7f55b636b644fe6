#include "Eco.h"

QString eco(const QString& valor)
{
    if (valor.size() <= kEcoMaximo)
        return valor;
    qsizetype corte = kEcoMaximo - 1;
    // Never half of a character written as two UTF-16 units.
    if (valor.at(corte - 1).isHighSurrogate())
        --corte;
    return valor.left(corte) + QChar(0x2026);
}
