#include "ConsultasSesion.h"

#include <QSqlQuery>
#include <QVariant>

QString tipoUsuario(QSqlDatabase db, const QString& sysUser)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT Tipo FROM CLAVES WHERE ") + condicionMismoUsuario(QStringLiteral("Usuario")));
    q.addBindValue(sysUser);
    if (q.exec() && q.next()) {
        const QString tipo = q.value(0).toString().trimmed();
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

QString claveCodigoError(int code)
{
    const QString digits = QStringLiteral("%1").arg(qAbs(code), 4, 10, QLatin1Char('0'));
    return code < 0 ? QLatin1Char('-') + digits : digits;
}

QString textoError(QSqlDatabase db, int code)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT DescError FROM ERROR WHERE CodError = ?"));
    q.addBindValue(claveCodigoError(code));
    if (q.exec() && q.next())
        return q.value(0).toString();
    return {};
}
