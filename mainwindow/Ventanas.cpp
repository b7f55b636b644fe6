#include "Ventanas.h"

#include "AbreDeclaracion.h"
#include "FrmConsultas.h"
#include "FrmContAbrir.h"
#include "FrmContAbrirEnv.h"
#include "FrmTipPrnR.h"
#include "frmAcercade.h"

#include <memory>
#include <type_traits>

namespace {

// What the declaration lists need from the session; the current row goes to
// the status bar's panels, and "&Salir" clears them (the form code stays).
ContextoListaDeclaraciones contextoListas(MDIFrm& frm)
{
    ContextoListaDeclaraciones c;
    c.db = frm.estado().db();
    c.formCode = frm.estado().formCode;
    c.sysUser = frm.estado().settings.sysUser;
    c.showInStatusBar = [&frm](QString ruc, QString nombre, QString periodo) {
        frm.ResetBarraEstado(ruc, nombre, periodo, frm.estado().formCode);
    };
    return c;
}

// The declaration form tells the status bar RUC, name, year and user; its
// "&Validar" writes the inconsistency file into the suite folder.
ContextoDeclaracion contextoDeclaracion(MDIFrm& frm)
{
    ContextoDeclaracion c;
    c.db = frm.estado().db();
    c.formulario = frm.estado().formCode;
    c.sysUser = frm.estado().settings.sysUser;
    c.sysPath = frm.estado().settings.sysPath;
    c.barraEstado = [&frm](const QString& ruc, const QString& nombre, const QString& periodo,
                           const QString& usuario) { frm.ResetBarraEstado(ruc, nombre, periodo, usuario); };
    return c;
}

// The form reads the year (and, for a sent declaration, the order number)
// from the row selected in the dialog that opens it.
template <class Dialogo>
void abreDesdeLista(MDIFrm& frm, const std::function<std::unique_ptr<Dialogo>(ContextoListaDeclaraciones)>& crea)
{
    Dialogo* dialogo = nullptr;
    ContextoListaDeclaraciones lista = contextoListas(frm);
    lista.openDeclaration = [&frm, &dialogo](int modo, QVariantList valores) {
        ContextoDeclaracion c = contextoDeclaracion(frm);
        c.periodoSeleccionado = dialogo->periodoElegido();
        if constexpr (std::is_same_v<Dialogo, FrmContAbrirEnv>)
            c.nordenSeleccionado = dialogo->nordenElegido();
        AbreDeclaracion(modo, valores, c, &frm);
    };
    const std::unique_ptr<Dialogo> creado = crea(lista);
    dialogo = creado.get();
    dialogo->exec();
}

} // namespace

EnlacesMDIFrm ventanasKv834()
{
    EnlacesMDIFrm hooks;
    // A new declaration: the form in mode 0; it tells the status bar RUC,
    // name, year and user.
    hooks.abreDeclaracionNueva = [](MDIFrm& frm) { AbreDeclaracion(0, {}, contextoDeclaracion(frm), &frm); };
    // Every window is created afresh for its command and released when it closes.
    hooks.abreContAbrir = [](MDIFrm& frm, int modo) {
        abreDesdeLista<FrmContAbrir>(frm, [&frm, modo](ContextoListaDeclaraciones lista) {
            return std::make_unique<FrmContAbrir>(lista, static_cast<qint16>(modo), &frm);
        });
    };
    hooks.abreContAbrirEnv = [](MDIFrm& frm) {
        abreDesdeLista<FrmContAbrirEnv>(frm, [&frm](ContextoListaDeclaraciones lista) {
            return std::make_unique<FrmContAbrirEnv>(lista, frm.estado().currentOperation, &frm);
        });
    };
    hooks.abreImpresion = [](MDIFrm& frm, bool enviadas) {
        abreSeleccionImpresion(&frm, frm.estado(), enviadas,
                           [&frm](const QString& ruc, const QString& nombre, const QString& periodo,
                                  const QString& formulario) { frm.ResetBarraEstado(ruc, nombre, periodo, formulario); });
    };
    hooks.abreConsultas = [](MDIFrm& frm) {
        FrmConsultas dlg(frm.estado().db(), frm.estado().currentOperation, &frm);
        dlg.exec();
    };
    hooks.abreAcercade = [](MDIFrm& frm) {
        frmAcercade dlg(&frm);
        dlg.exec();
    };
    return hooks;
}
