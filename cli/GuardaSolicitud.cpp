#include "GuardaSolicitud.h"

#include "Grabacion834.h"

Guardado guardarSolicitud(QSqlDatabase db, const QList<Contribuyente>& contribuyentes, const declaracionjson::Solicitud& s,
                          bool soloVerificar)
{
    Guardado r;
    Declaracion834 d;
    validacion834::Contexto c;
    declaracionjson::preparar(s, db, contribuyentes, d, c);

    if (const validacion834::Resultado v = grabacion834::verificarGrabacion(d, c); !v.ok) {
        r.mensaje = v.mensaje;
        return r;
    }
    if (soloVerificar) {
        r.ok = true;
        r.estado = validacion834::ValidaGrabacion(d, c) ? 0 : 9;
        return r;
    }
    // The request is the whole declaration: its deductions replace the stored
    // ones, so box 105 and rows 546 to 555 always agree.
    const grabacion834::Grabado g = grabacion834::grabar(db, d, c, s.pedido.deducciones.value_or(Detalle105{}), s.sello);
    if (!g.ok) {
        r.mensaje = grabacion834::mensajeFallo(g).mensaje;
        r.conexionPerdida = g.conexionPerdida || g.incierta;
        r.incierta = g.incierta;
        return r;
    }
    r.ok = true;
    r.estado = g.estado;
    return r;
}
