#include "ListaImpresion.h"

#include "ConsultasSesion.h"

QSqlQuery listaDeclaracionesImpresion(QSqlDatabase db, const QString& formulario, const QString& sysUser,
                                      bool enviadas)
{
    QString sql = enviadas
        ? QStringLiteral("SELECT A.DOC_ID_D, B.NOMBRE, A.PERIODO, A.FORMULARIO, A.NORDEN, A.FEC_ENV, A.CONTROL, "
                         "A.CORREL FROM HCAB AS A, CONT AS B")
        : QStringLiteral("SELECT A.DOC_ID_D, B.NOMBRE, A.PERIODO, A.FORMULARIO FROM CAB AS A, CONT AS B");
    sql += QStringLiteral(" WHERE A.DOC_ID_D = B.DOC_ID_D AND A.TIP_DOC_D = 6 AND B.TIP_DOC_D = 6 AND"
                          " A.FORMULARIO = ?");
    const bool restringido = !esUsuarioSinRestriccion(tipoUsuario(db, sysUser));
    if (restringido)
        sql += QStringLiteral(" AND ") + condicionMismoUsuario(QStringLiteral("B.USUARIO"));
    sql += QStringLiteral(" ORDER BY A.DOC_ID_D ASC");
    QSqlQuery q(db);
    if (!q.prepare(sql))
        return q;
    q.addBindValue(formulario);
    if (restringido)
        q.addBindValue(sysUser);
    q.exec();
    return q;
}
