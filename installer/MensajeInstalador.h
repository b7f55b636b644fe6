#pragma once
// What the installer tells the user. The logic only describes a message; the
// program decides how to show it (a message box when there is a display, and
// always a line on stderr).

#include "MensajeUsuario.h"

using InstallerMessage = MensajeUsuario;
using MessageSink = SalidaMensajes;

// Exit status of Alt834: 0 when everything was installed.
enum EstadoInstalador : int {
    kInstalled = 0,
    kNoSuite = 1,
    kOpenFailed = 2,
    kBadDataFile = 3,
    kStatementFailed = 4,
};
