#pragma once
// A value someone gave, as a message repeats it: the first 79 characters and
// "…" when it is longer than 80, so a pasted page never floods the message.

#include <QString>

inline constexpr qsizetype kEcoMaximo = 80;

QString eco(const QString& valor);
