#pragma once
// Creating a suite folder as the host's own set-up does: KV000.INI, the
// database with the shared tables and sample reference rows, the work
// folders, the form's help file and the installer's data file.

#include <QSqlDatabase>
#include <QString>

namespace qvrhost {

inline constexpr char kDatabaseName[] = "qvr.db";

// Creates the suite in `folder` (made when missing). Refuses a folder that
// already holds KV000.INI or the database. Returns the first error's text,
// or an empty text on success. KV000.INI is written last, so a failed
// attempt can simply be repeated.
QString creaSuite(const QString& folder);

// Makes the suite in `folder` the user's own: creates it there unless the
// folder already holds one (an existing suite is taken as it is, never
// rebuilt), then writes its KV000.INI to `userIni`, the file every program of
// the suite reads. Returns the error text, or an empty text on success.
QString haceSuiteUsuario(const QString& folder, const QString& userIni);
// The same for an office whose database lives on a PostgreSQL server: the
// tables and sample rows go into the existing database `url` names
// (postgresql://[user@][host][:port]/dbname[?host=/socket/folder]), created
// by the URL's login (the database's owner), and the suite's built-in
// account gets the rights to read and write them, nothing more. KV000.INI's
// DBPath + DBName name the server without login or password: workstations
// log in with the built-in account, their password kept by the client
// (~/.pgpass). A database already holding any of the suite's tables is
// refused unless `force`, which replaces them all in the same transaction.
// With `perUserLogins` the built-in account gets nothing: every suite user
// logs in with a role of their own (qvrhost user add), the server's row
// security keeps restricted users to their own taxpayers, and KV000.INI says
// DBLogin=SysUser with the administrator (the URL's login) as SysUser.
QString creaSuiteEnServidor(const QString& folder, const QString& url, bool force, bool perUserLogins = false);

// Adds the sample reference rows (users, messages, PARAM, taxpayers) to a
// database made from the schema, in one transaction. Returns the error text.
QString insertaFilasMuestra(QSqlDatabase db);
// The same rows on the caller's transaction.
QString escribeFilasMuestra(QSqlDatabase db);

// The database of a suite: opens `dbFile` (a SQLite file, or a server's
// address, logging in with the built-in account when it names nobody)
// under `connection`. Returns the error text, empty when open.
QString abreBaseSuite(const QString& dbFile, const QString& connection);

} // namespace qvrhost
