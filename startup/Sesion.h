#pragma once
// The database session: records the workgroup file in KV000.INI and opens the
// suite's shared database read-write and shared, never creating it. Failures
// carry the engine error numbers the suite's messages show.

#include "Configuracion.h"

#include <QSqlDatabase>
#include <QString>

#include <optional>

class LoteSql;

struct FalloApertura {
    int number = 0;          // 3051 locked or no permission, 3024 missing, 3343 not a database, ...
    QString description;     // the engine's description, e.g. "Could not find file '...'."
};

inline constexpr int kErrLocked = 3051;
inline constexpr int kErrFileNotFound = 3024;
inline constexpr int kErrNotDatabase = 3343;
inline constexpr int kErrCannotOpen = 3049;
inline constexpr int kErrConnectionFailed = 3151;   // server unreachable, or its address incomplete
inline constexpr int kErrNoSuchTable = 3078;
inline constexpr int kErrBadAccount = 3029;         // the server refused the login
inline constexpr int kErrDiskFull = 3026;           // no room left on the database's disk
inline constexpr int kErrReadOnly = 3027;           // this user may not write the database file or its folder

// Title of the open failure box (OK button only, no icon).
inline const QString kTituloErrorConexion = QStringLiteral("Error de Conección");

// The box's text: " 3051- Base esta bloqueda" for a locked database, else the
// description, a line feed and the number with its leading blank.
QString mensajeFalloApertura(const FalloApertura& failure);

struct OpcionesApertura {
    QString connectionName = QString::fromLatin1(QSqlDatabase::defaultConnection);
    bool writeSystemDb = true;   // false for programs that leave SystemDB alone
    int busyTimeoutMs = 2000;    // how long to wait for the host's own locks
    // The caller's first reads, run once the database is open: on the server
    // in the round trip of the suite check, after it. When the open fails
    // they are not to be used; when it succeeds they have run, and
    // lecturas->error() tells whether they failed.
    LoteSql* lecturas = nullptr;
};

// Opens settings.dbFile: SQLite file, or a PostgreSQL server when it starts
// with "postgresql://". Before that writes SystemDB = SysPath + "KV000.MDW"
// into [Options] of iniPath (unless told not to). Returns the failure, or
// nothing when the connection options.connectionName is open. A SysPath that
// is empty or no folder fails as a missing workgroup file (3024), before
// anything is written. A database without the suite's tables (an empty file,
// a device, another program's database) fails naming the tables it lacks (3078).
// A SQLite database that this user may not write (the file, its journal or its
// folder belongs to another user) fails naming that path (3027).
std::optional<FalloApertura> abreBaseDatos(const Configuracion& settings, const QString& iniPath,
                                        const OpcionesApertura& options = {});

// The same with a database file of the caller's choosing (the installer opens
// SysPath + DBName).
std::optional<FalloApertura> abreArchivoBaseDatos(const QString& dbFile, const Configuracion& settings,
                                            const QString& iniPath, const OpcionesApertura& options = {});

// Closes and forgets the connection.
void cierraBaseDatos(const QString& connectionName = QString::fromLatin1(QSqlDatabase::defaultConnection));

// The suite's built-in account: the server login for PostgreSQL. Built from
// character codes at run time, 8 characters each.
QString usuarioIncorporado();
QString claveIncorporada();
