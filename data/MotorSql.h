#pragma once
// What differs between the two engines the suite's database runs on: SQLite
// (one file, one machine) and PostgreSQL (one server shared by an office).
// The driver, how a suite names its server, how a write transaction begins,
// how a table is reserved for numbering, and which engine errors mean
// "locked" or "duplicate key". Every statement elsewhere is the same SQL on
// both engines.

#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlRecord>
#include <QString>
#include <QVariant>

#include <optional>

class LoteSql;

enum class Motor { Sqlite, Postgres };

// DBPath + DBName names a server when it starts with "postgresql://".
bool esDireccionServidor(const QString& dbFile);
Motor motorDe(const QSqlDatabase& db);
QString nombreDriver(Motor motor);

// postgresql://[user@][host][:port]/dbname, with ?host=/socket/folder for a
// Unix socket. A password is never taken from it: the client's own
// mechanisms (~/.pgpass, PGPASSFILE, peer or trust) supply it.
struct DireccionServidor {
    QString usuario;       // empty: the suite's built-in account
    QString host;          // name, address or socket folder; empty: the client's default socket
    int puerto = -1;       // -1: the client's default
    QString base;
    bool traeClave = false; // the text carried a password (refused where it would be stored)
};

// The parts of a server address, or nothing with the reason in *problema
// (a missing database name, a port that is no number, ...).
std::optional<DireccionServidor> leerDireccionServidor(const QString& url, QString* problema = nullptr);
// The same address written back, without a password.
QString escribirDireccionServidor(const DireccionServidor& direccion);

// Adds a connection for the address (nothing opened yet): host, port,
// database, login, a connect timeout, and how long a statement waits for
// another workstation's lock before failing as locked (SQLite's busy timeout).
QSqlDatabase prepararConexionServidor(const DireccionServidor& direccion, const QString& connectionName,
                                      int esperaMs);

// The columns of a table in their physical order (the control code counts
// them), named as the schema writes the table. The server folds unquoted
// names to lower case and its driver looks them up as given.
QSqlRecord columnasDeTabla(const QSqlDatabase& db, const QString& tabla);

// What an engine error means to the suite's messages.
enum class FalloSql {
    Otro,
    Bloqueo,           // busy, locked, read-only, no permission, lock wait over, deadlock: Jet 3051
    ClaveDuplicada,    // primary key or unique column: Jet 3022
    BaseInexistente,   // the server has no such database
    Autenticacion,     // the server refused the login
    SinConexion,       // the server cannot be reached, or the connection to it was lost
    DiscoLleno,        // no room left on the disk
};
FalloSql clasificarError(const QSqlError& error);

// The server's connection is gone (the server restarted or crashed, the
// connection was cut or terminated): nothing runs on it any more until it is
// opened again. Never true on SQLite.
bool conexionPerdida(const QSqlError& error);
// Opens a connection again with the settings it was made with; true when it
// is open. What ran on the old one and was not committed is gone.
bool reabrirConexion(QSqlDatabase db);
// After a statement failed: false when the server's connection is gone (one
// trivial statement asks it). Always true on SQLite.
bool conexionViva(QSqlDatabase db);
// Before a command that starts with reads whose failure would look like "no
// rows": a server connection lost since its last statement is opened again.
// Costs one trivial statement on the server, nothing on SQLite.
void asegurarConexion(QSqlDatabase db);

inline constexpr int kJetBloqueada = 3051;
inline constexpr int kJetClaveDuplicada = 3022;

// Begins a write transaction that holds the write lock from its first
// statement on SQLite (BEGIN IMMEDIATE), so two writers never deadlock
// half-way; PostgreSQL locks rows as they are written. A server connection
// found lost at the start (the server restarted since the last statement) is
// opened again and the transaction begun on the new one: nothing was written.
bool comenzarEscritura(QSqlDatabase db, QSqlError* error);
bool confirmarEscritura(QSqlDatabase db, QSqlError* error);
// Runs `escrituras` and commits: on the server the commit travels with them,
// in one round trip. False with *error when a statement or the commit
// failed; the caller then rolls back.
bool confirmarEscritura(QSqlDatabase db, LoteSql& escrituras, QSqlError* error);
void deshacerEscritura(QSqlDatabase db);

// Inside a write transaction: keeps every other writer of `tabla` waiting
// until the end of the transaction, so a number read as the highest stays
// the highest until the row that takes the next one is written. Readers go
// on. SQLite's write lock already covers the whole file.
bool reservarTabla(QSqlDatabase db, const QString& tabla, QSqlError* error);
// comenzarEscritura and then reservarTabla, then the statements of
// `lecturas` inside the new transaction (LoteSql::ejecutarJuntos); on the
// server they all travel together, in one round trip. Nothing stays open
// when one fails; *error is the first failure.
bool comenzarEscrituraReservando(QSqlDatabase db, const QString& tabla, QSqlError* error,
                                 const QList<LoteSql*>& lecturas = {});
// Each statement sent is a round trip to a server far away: reads that
// could be one statement, or one after another, are better sent together.
// On SQLite two simple statements cost less than one that does both.
bool lecturasJuntas(QSqlDatabase db);

// Statements wait for another writer's lock before failing as locked. A
// server connection is given its wait when it is made; a SQLite connection
// without a busy timeout gets five seconds.
void asegurarEspera(QSqlDatabase db);

// A long run of small write transactions on one connection (a batch import).
// On SQLite with its write-ahead log the commits stop waiting for the disk
// one by one (synchronous NORMAL): a crash of the program loses no commit and
// none is ever half there. Returns the setting to put back, null when the
// connection was left as it was (the server, other journal modes).
QVariant aligerarConfirmaciones(QSqlDatabase db);
// Puts the setting back and waits for the disk once for every commit of the
// run; false when the database refused the checkpoint.
bool restablecerConfirmaciones(QSqlDatabase db, const QVariant& anterior);

namespace motorsql {
// A lock another workstation holds (or no permission): the save's "locked" message.
inline bool esBloqueo(const QSqlError& error) { return clasificarError(error) == FalloSql::Bloqueo; }
} // namespace motorsql
