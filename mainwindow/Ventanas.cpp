#include "Ventanas.h"

MDIFrmHooks ventanasKv834()
{
    MDIFrmHooks hooks;
    // Each command's window is wired here as it is built:
    //   hooks.abreDeclaracionNueva = [](MDIFrm& frm) { AbreDeclaracion(0, {}) ... };
    //   hooks.abreContAbrir        = [](MDIFrm& frm, int modo) { FrmContAbrir ... };
    //   hooks.abreContAbrirEnv     = [](MDIFrm& frm) { FrmContAbrirEnv ... };
    //   hooks.abreImpresion        = [](MDIFrm& frm, bool enviadas) { print selection ... };
    //   hooks.abreConsultas        = [](MDIFrm& frm) { FrmConsultas ... };
    //   hooks.abreAcercade         = [](MDIFrm& frm) { frmAcercade ... };
    return hooks;
}
