#pragma once
// Who a program logs into the suite's server as. A suite with one login for
// everybody uses the built-in account; a suite with one login per user (the
// host writes DBLogin=SysUser) uses the role named as the suite user, whose
// password the client finds by itself (~/.pgpass, peer, ...). The server's
// row security then limits the user to their own taxpayers, so a program must
// never run under a login other than its SysUser there.

#include "LoteSql.h"
#include "MotorSql.h"
#include "Sesion.h"
#include "Configuracion.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <optional>

// The login for the address: the one it names, else SysUser or the built-in account.
QString loginServidor(const DireccionServidor& direccion, const Configuracion& settings);

// On an open server connection: refuses (3029, naming both) a login that is
// not SysUser when the suite expects per-user logins, or when the server's
// tables are under row security (a suite whose KV000.INI lost DBLogin).
// With `tablas`, the same read gives the names of the tables the database holds.
// The statements of `despues` travel in the same round trip, after the check's
// read: their results are not to be used when the check refuses.
std::optional<FalloApertura> comprobarLoginServidor(QSqlDatabase db, const Configuracion& settings,
                                                    QStringList* tablas = nullptr, LoteSql* despues = nullptr);
