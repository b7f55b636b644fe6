#include "LoginServidor.h"

#include <QSqlError>
#include <QSqlQuery>

QString loginServidor(const DireccionServidor& direccion, const Configuracion& settings)
{
    if (!direccion.usuario.isEmpty())
        return direccion.usuario;
    return settings.loginPorUsuario() ? settings.sysUser.trimmed() : usuarioIncorporado();
}

std::optional<FalloApertura> comprobarLoginServidor(QSqlDatabase db, const Configuracion& settings)
{
    // One round trip: the session's login, and whether the declarations'
    // table is under row security (only per-user suites put it there).
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT session_user, COALESCE((SELECT relrowsecurity FROM pg_catalog.pg_class"
                               " WHERE oid = to_regclass('cab')), false)"))
        || !q.next())
        return FalloApertura{kErrConnectionFailed,
                           (conexionPerdida(q.lastError()) || !conexionViva(db)
                                ? QStringLiteral("Se perdió la conexión con el servidor de la base de datos mientras "
                                                 "se comprobaba el usuario de la suite.")
                                : QStringLiteral("No se pudo comprobar el usuario de la suite en el servidor."))
                               + u'\n' + q.lastError().text()};
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
