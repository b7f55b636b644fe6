#pragma once
// A suite on a server where every suite user logs in with a role of their
// own (qvrhost init --server URL --per-user-logins): the roles, the rights of
// the suite's group of users, and the row security that applies the suite's
// rule on the server itself. Everything here runs as the database's owner,
// the suite's administrator.

#include "Configuracion.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace qvrhost {

// The group every user role of the suite in `database` belongs to (roles are
// shared by every database of a server, so the name carries the database's).
QString grupoUsuariosSuite(const QString& database);

// After the schema, in the same transaction: the group, its rights and the
// policies. The owner of the tables (the connection's login) is not bound
// by them. `admin` gets an unrestricted CLAVES row when it has none.
QString escribeLoginsPorUsuario(QSqlDatabase db, const QString& admin);

// The login of an open connection (the session's user).
QString loginSesion(QSqlDatabase db);

// `qvrhost user add`: the CLAVES row (Tipo "1" restricted, else "0"; an
// existing row takes the new type) and a login role of the same name whose
// only right is the membership of the suite's group. A role that already
// exists (another suite on the same server) just joins the group.
QString agregaUsuarioSuite(QSqlDatabase db, const QString& name, bool restricted);
// `qvrhost user remove`: the CLAVES row and the membership; the role itself
// goes unless it still belongs to another group.
QString quitaUsuarioSuite(QSqlDatabase db, const QString& name);

// Opens the suite's database as its programs do: the server with the login
// they use (SysUser in a per-user suite), refusing another login. Returns the
// error text, empty when open under `connection`.
QString abreBaseSuiteComo(const Configuracion& settings, const QString& connection);

} // namespace qvrhost
