#pragma once
// What differs between the database engines the suite runs on, in one place:
// which engine a connection talks to and how a write transaction begins.

#include <QSqlDatabase>
#include <QSqlError>

namespace motorsql {

enum class Motor { Sqlite, Postgres, Otro };

Motor motor(const QSqlDatabase& db);

// Begins a write transaction. On SQLite it is BEGIN IMMEDIATE: the write lock
// is taken (waiting up to the busy timeout) before the first read, because a
// deferred transaction that has read cannot take it once another connection
// has committed and fails at once instead of waiting its turn.
bool iniciarEscritura(QSqlDatabase& db, QSqlError* error);
bool confirmar(QSqlDatabase& db, QSqlError* error);
void deshacer(QSqlDatabase& db);

// The engine refused because another connection holds the lock it needs
// (still so after the busy timeout).
bool esBloqueo(const QSqlError& error);

} // namespace motorsql
