#include "Ventanas.h"

#include "AbreDeclaracion.h"
#include "FrmConsultas.h"
#include "FrmContAbrir.h"
#include "FrmContAbrirEnv.h"
#include "FrmTipPrnR.h"
#include "frmAcercade.h"

namespace {

// What the declaration lists need from the session; the current row goes to
// the status bar's panels, and "&Salir" clears them (the form code stays).
DeclarationListContext contextoListas(MDIFrm& frm)
{
    DeclarationListContext c;
    c.db = frm.state().db();
    c.formCode = frm.state().formCode;
    c.sysUser = frm.state().settings.sysUser;
    c.showInStatusBar = [&frm](QString ruc, QString nombre, QString periodo) {
        frm.ResetBarraEstado(ruc, nombre, periodo, frm.state().formCode);
    };
    // c.openDeclaration: AbreDeclaracion, once the declaration form is wired in.
    return c;
}

} // namespace

MDIFrmHooks ventanasKv834()
{
    MDIFrmHooks hooks;
    // A new declaration: the form in mode 0; it tells the status bar RUC,
    // name, year and user.
    hooks.abreDeclaracionNueva = [](MDIFrm& frm) {
        ContextoDeclaracion c;
        c.db = frm.state().db();
        c.formulario = frm.state().formCode;
        c.sysUser = frm.state().settings.sysUser;
        c.barraEstado = [&frm](const QString& ruc, const QString& nombre, const QString& periodo,
                               const QString& usuario) { frm.ResetBarraEstado(ruc, nombre, periodo, usuario); };
        AbreDeclaracion(0, {}, c, &frm);
    };
    // Every window is created afresh for its command and released when it closes.
    hooks.abreContAbrir = [](MDIFrm& frm, int modo) {
        FrmContAbrir dlg(contextoListas(frm), static_cast<qint16>(modo), &frm);
        dlg.exec();
    };
    hooks.abreContAbrirEnv = [](MDIFrm& frm) {
        FrmContAbrirEnv dlg(contextoListas(frm), frm.state().currentOperation, &frm);
        dlg.exec();
    };
    hooks.abreImpresion = [](MDIFrm& frm, bool enviadas) {
        openPrintSelection(&frm, frm.state(), enviadas,
                           [&frm](const QString& ruc, const QString& nombre, const QString& periodo,
                                  const QString& formulario) { frm.ResetBarraEstado(ruc, nombre, periodo, formulario); });
    };
    hooks.abreConsultas = [](MDIFrm& frm) {
        FrmConsultas dlg(frm.state().db(), frm.state().currentOperation, &frm);
        dlg.exec();
    };
    hooks.abreAcercade = [](MDIFrm& frm) {
        frmAcercade dlg(&frm);
        dlg.exec();
    };
    return hooks;
}
