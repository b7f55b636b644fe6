#pragma once
// Small window routines shared by the windows of Kv834: geometry in twips
// (1440 to the inch, the units the window layouts are given in), placing and
// centring windows, the hourglass pointer. Their own library (qvr_ventanas),
// so every window library uses them without linking the main window.

#include <QtGlobal>

class QWidget;

namespace ModObjetos {

// Twips to pixels and back at the logical resolution of w's screen (the
// primary screen when w is null).
int twipsAPixelesX(int twips, const QWidget* w = nullptr);
int twipsAPixelesY(int twips, const QWidget* w = nullptr);
int pixelesATwipsX(int pixeles, const QWidget* w = nullptr);
int pixelesATwipsY(int pixeles, const QWidget* w = nullptr);

// Normal state, then left, top, height and width (outer frame, in twips).
void ColocaVentana(QWidget& ventana, int left, int top, int height, int width);

// Moves the window so that its frame starts inside the available area of its
// screen (a frame placed a few pixels off the edge would hide its border).
void DentroDePantalla(QWidget& ventana);

// Centres the window on the main window's size: left = (main width - width) / 2,
// top = (main height - height) / 2; the declaration form Frm834 sits 240 twips higher.
void CentraVentana(QWidget& ventana, const QWidget& principal);

// Hourglass on (true) or the normal pointer (false); not nested.
void PunteroEspera(bool espera);

// The hourglass for the life of the object; these nest, each undoing only its own.
class CursorEspera {
public:
    CursorEspera();
    ~CursorEspera();
    CursorEspera(const CursorEspera&) = delete;
    CursorEspera& operator=(const CursorEspera&) = delete;
};

} // namespace ModObjetos
