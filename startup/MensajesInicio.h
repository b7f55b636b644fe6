#pragma once
// The start-up's message boxes, and the Spanish texts of Qt's standard buttons.
//
// With the environment variable QVR_NO_MODAL=1, or on a platform where nobody
// could answer a box ("offscreen", "minimal"), a message is written to the
// standard error as "title: text" instead of being shown.

#include <QString>

struct FalloApertura;

namespace MensajesInicio {

// "Debe ejecutar este módulo desde el Integrador del QVR" (critical).
void sinIntegrador();
// "La Aplicación ya se encuentra en ejecución" (information).
void yaEnEjecucion();
// The instance lock file could not be made (critical), so whether another copy
// runs is unknown: BloqueoInstancia::kTextoBloqueoFallido with the file's path.
void bloqueoFallido(const QString& archivo);
// The database open failure: OK only, no icon, title "Error de Conección".
void errorConexion(const FalloApertura& failure);

// True when messages go to the standard error instead of a box.
bool sinVentanas();


inline const QString kTextoSinIntegrador = QStringLiteral("Debe ejecutar este módulo desde el Integrador del QVR");
inline const QString kTituloSinIntegrador = QStringLiteral("Error al ejecutar el módulo");
inline const QString kTextoYaEnEjecucion = QStringLiteral("La Aplicación ya se encuentra en ejecución");
inline const QString kTituloYaEnEjecucion = QStringLiteral("Declaración Anticipo Adicional Renta");

} // namespace MensajesInicio

// Moves the focus of the active window to its next control when the text is
// exactly "TAB" (what an Enter key does in the boxes); anything else does nothing.
void AvanzaFoco(const QString& tecla);
