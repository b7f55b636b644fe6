#pragma once
// A message for the user, as the logic of a program describes it: the program
// decides how to show it (a box, a line on stderr, or both).

#include <QString>

#include <functional>

struct MensajeUsuario {
    enum class Icono { Ninguno, Informacion, Critico };
    Icono icono = Icono::Ninguno;
    QString titulo;
    QString texto;
};

using SalidaMensajes = std::function<void(const MensajeUsuario&)>;

// "TITLE: TEXT" and a line end on stderr, in UTF-8, flushed at once.
void escribeEnStderr(const QString& titulo, const QString& texto);
void escribeEnStderr(const MensajeUsuario& mensaje);
