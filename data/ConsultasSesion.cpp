#include "ConsultasSesion.h"

#include "LoteSql.h"

#include <QVariant>

QString tipoUsuario(QSqlDatabase db, const QString& sysUser)
{
    const auto r = LoteSql::una(db, QStringLiteral("SELECT Tipo FROM CLAVES WHERE ")
                                        + condicionMismoUsuario(QStringLiteral("Usuario")), {sysUser});
    if (r && !r->filas.isEmpty()) {
        const QString tipo = r->filas.first()[0].toString().trimmed();
        if (!tipo.isEmpty())
            return tipo;
    }
    // No row, no type, or the table could not be read: the restricted kind,
    // which never shows another user's taxpayers.
    return QStringLiteral("1");
}

QString condicionMismoUsuario(const QString& column)
{
    return QStringLiteral("UPPER(%1) = UPPER(?)").arg(column);
}

QString condicionVisiblePara(const QString& column)
{
    return u'(' + condicionMismoUsuario(column) + QStringLiteral(" OR EXISTS (SELECT 1 FROM CLAVES WHERE ")
           + condicionMismoUsuario(QStringLiteral("Usuario")) + QStringLiteral(" AND TRIM(Tipo) = '0'))");
}

QString claveCodigoError(int code)
{
    const QString digits = QStringLiteral("%1").arg(qAbs(code), 4, 10, QLatin1Char('0'));
    return code < 0 ? QLatin1Char('-') + digits : digits;
}

QString textoError(QSqlDatabase db, int code)
{
    const auto r = LoteSql::una(db, QStringLiteral("SELECT DescError FROM ERROR WHERE CodError = ?"), {claveCodigoError(code)});
    return r && !r->filas.isEmpty() ? r->filas.first()[0].toString() : QString();
}
