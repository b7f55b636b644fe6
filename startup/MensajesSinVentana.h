#pragma once
// Messages of the programs that have no window of their own (0834IMP, Alt834)
// and the decisions every program of the module shares about message boxes:
// whether anybody could see one, the Spanish standard buttons, and the box.

#include "MensajeUsuario.h"

#include <QByteArray>
#include <QString>

#include <memory>

class QCoreApplication;

namespace MensajesSinVentana {

// True for the platforms where nobody could see (or answer) a box:
// "offscreen" and "minimal".
bool plataformaSinPantalla(const QString& plataforma);

// The platforms to try for message boxes, or empty when there is no display
// to show them on. Decided before any application object exists: a display
// that cannot be reached must not abort the program before it has said why it
// stopped, so "offscreen" always closes the list.
QByteArray plataformasParaCajas();

// Loads Qt's Spanish texts for the standard buttons ("Sí", "No", "Aceptar",
// "Cancelar") into the running application.
bool cargaBotonesEnEspanol();

// A modal box with the message's icon, title and text and an OK button.
void muestraCaja(const MensajeUsuario& mensaje);

// The application object of a program without windows: a QApplication with
// the Spanish buttons when there is a display, else a QCoreApplication. Only
// the program name reaches Qt; the arguments are the program's own.
class ProgramaSinVentana {
public:
    explicit ProgramaSinVentana(char* argv[]);
    ~ProgramaSinVentana();
    ProgramaSinVentana(const ProgramaSinVentana&) = delete;
    ProgramaSinVentana& operator=(const ProgramaSinVentana&) = delete;

    // True when messages are also shown in a box.
    bool conCajas() const { return conCajas_; }
    // Every message goes to stderr, and to a box as well when there is a display.
    SalidaMensajes salida() const;

private:
    int qtArgc_ = 0;   // Qt keeps a reference to it for the life of the application
    std::unique_ptr<QCoreApplication> app_;
    bool conCajas_ = false;
};

} // namespace MensajesSinVentana
