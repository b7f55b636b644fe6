#include "LoginServidor.h"

#include <QSqlError>

QString loginServidor(const DireccionServidor& direccion, const Configuracion& settings)
{
    if (!direccion.usuario.isEmpty())
        return direccion.usuario;
    return settings.loginPorUsuario() ? settings.sysUser.trimmed() : usuarioIncorporado();
}

std::optional<FalloApertura> comprobarLoginServidor(QSqlDatabase db, const Configuracion& settings,
                                                    QStringList* tablas, LoteSql* despues)
{
    // One round trip: the session's login, whether the declarations' table
    // is under row security (only per-user suites put it there), and the
    // tables the database holds, named as the driver lists them; then the
    // caller's statements.
    LoteSql lote;
    lote.agregar(QStringLiteral("SELECT session_user, COALESCE((SELECT relrowsecurity FROM pg_catalog.pg_class"
                                " WHERE oid = to_regclass('cab')), false),"
                                " (SELECT string_agg(CASE WHEN n.nspname = 'public' THEN c.relname"
                                " ELSE n.nspname || '.' || c.relname END, chr(31)) FROM pg_catalog.pg_class c"
                                " LEFT JOIN pg_catalog.pg_namespace n ON c.relnamespace = n.oid WHERE c.relkind = 'r'"
                                " AND c.relname !~ '^Inv' AND n.nspname <> 'information_schema')"));
    QList<LoteSql*> lotes{&lote};
    if (despues)
        lotes << despues;
    LoteSql::ejecutarJuntos(db, lotes);
    if (lote.error().isValid() || lote.resultado(0).filas.isEmpty())
        return FalloApertura{kErrConnectionFailed,
                           (conexionPerdida(lote.error()) || !conexionViva(db)
                                ? QStringLiteral("Se perdió la conexión con el servidor de la base de datos mientras "
                                                 "se comprobaba el usuario de la suite.")
                                : QStringLiteral("No se pudo comprobar el usuario de la suite en el servidor."))
                               + u'\n' + lote.error().text()};
    const QVariantList& fila = lote.resultado(0).filas.first();
    if (tablas)
        *tablas = fila[2].toString().split(QChar(31), Qt::SkipEmptyParts);
    const QString login = fila[0].toString();
    const bool porUsuario = settings.loginPorUsuario() || fila[1].toBool();
    const QString sysUser = settings.sysUser.trimmed();
    if (!porUsuario || login == sysUser)
        return std::nullopt;
    return FalloApertura{kErrBadAccount,
                       QStringLiteral("El usuario del servidor \"%1\" no es el usuario de la suite \"%2\" (SysUser "
                                      "de KV000.INI). En esta suite cada usuario entra al servidor con su propio "
                                      "usuario.")
                           .arg(login, sysUser)};
}
