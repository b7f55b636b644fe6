#pragma once
// What the installer tells the user. The logic only describes a message; the
// program decides how to show it (a message box when there is a display, and
// always a line on stderr).

#include "MensajeUsuario.h"

using MensajeInstalador = MensajeUsuario;
using SalidaInstalador = SalidaMensajes;

// Exit status of Alt834: 0 when everything was installed.
enum EstadoInstalador : int {
    kInstalado = 0,
    kSinSuite = 1,
    kAperturaFallida = 2,
    kArchivoDatosErroneo = 3,
    kSentenciaFallida = 4,
};
