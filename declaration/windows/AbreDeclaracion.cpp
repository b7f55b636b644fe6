#include "AbreDeclaracion.h"

#include "ModObjetos.h"

int AbreDeclaracion(int modo, const QVariantList& valores, const ContextoDeclaracion& contexto, QWidget* principal)
{
    int resultado = 0;
    {
        Frm834 frm(contexto, principal);
        frm.setApertura(modo, valores);
        frm.cargar();
        if (principal)
            ModObjetos::CentraVentana(frm, *principal);
        resultado = frm.exec();
    }
    if (contexto.liberaPreview)
        contexto.liberaPreview();
    return resultado;
}
