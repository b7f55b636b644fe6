#include "LoginServidor.h"

#include <QSqlError>
#include <QSqlQuery>

QString loginServidor(const DireccionServidor& direccion, const Configuracion& settings)
{
    if (!direccion.usuario.isEmpty())
        return direccion.usuario;
    return settings.loginPorUsuario() ? settings.sysUser.trimmed() : usuarioIncorporado();
}

std::optional<FalloApertura> comprobarLoginServidor(QSqlDatabase db, const Configuracion& settings,
                                                    QStringList* tablas)
{
    // One round trip: the session's login, whether the declarations' table
    // is under row security (only per-user suites put it there), and the
    // tables the database holds, named as the driver lists them.
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT session_user, COALESCE((SELECT relrowsecurity FROM pg_catalog.pg_class"
                               " WHERE oid = to_regclass('cab')), false),"
                               " (SELECT string_agg(CASE WHEN n.nspname = 'public' THEN c.relname"
                               " ELSE n.nspname || '.' || c.relname END, chr(31)) FROM pg_catalog.pg_class c"
                               " LEFT JOIN pg_catalog.pg_namespace n ON c.relnamespace = n.oid WHERE c.relkind = 'r'"
                               " AND c.relname !~ '^Inv' AND n.nspname <> 'information_schema')"))
        || !q.next())
        return FalloApertura{kErrConnectionFailed,
                           (conexionPerdida(q.lastError()) || !conexionViva(db)
                                ? QStringLiteral("Se perdió la conexión con el servidor de la base de datos mientras "
                                                 "se comprobaba el usuario de la suite.")
                                : QStringLiteral("No se pudo comprobar el usuario de la suite en el servidor."))
                               + u'\n' + q.lastError().text()};
    if (tablas)
        *tablas = q.value(2).toString().split(QChar(31), Qt::SkipEmptyParts);
    const QString login = q.value(0).toString();
    const bool porUsuario = settings.loginPorUsuario() || q.value(1).toBool();
    const QString sysUser = settings.sysUser.trimmed();
    if (!porUsuario || login == sysUser)
        return std::nullopt;
    return FalloApertura{kErrBadAccount,
                       QStringLiteral("El usuario del servidor \"%1\" no es el usuario de la suite \"%2\" (SysUser "
                                      "de KV000.INI). En esta suite cada usuario entra al servidor con su propio "
                                      "usuario.")
                           .arg(login, sysUser)};
}
