#include "MotorSql.h"

#include <QSqlDriver>
#include <QSqlQuery>

namespace motorsql {

namespace {

bool ejecutar(QSqlDatabase& db, const QString& sentencia, QSqlError* error)
{
    QSqlQuery q(db);
    if (q.exec(sentencia))
        return true;
    if (error)
        *error = q.lastError();
    return false;
}

} // namespace

Motor motor(const QSqlDatabase& db)
{
    if (db.driverName() == u"QSQLITE")
        return Motor::Sqlite;
    if (db.driverName() == u"QPSQL")
        return Motor::Postgres;
    return Motor::Otro;
}

bool iniciarEscritura(QSqlDatabase& db, QSqlError* error)
{
    if (motor(db) == Motor::Sqlite)
        return ejecutar(db, QStringLiteral("BEGIN IMMEDIATE"), error);
    if (db.transaction())
        return true;
    if (error)
        *error = db.lastError();
    return false;
}

bool confirmar(QSqlDatabase& db, QSqlError* error)
{
    if (motor(db) == Motor::Sqlite)
        return ejecutar(db, QStringLiteral("COMMIT"), error);
    if (db.commit())
        return true;
    if (error)
        *error = db.lastError();
    return false;
}

void deshacer(QSqlDatabase& db)
{
    if (motor(db) == Motor::Sqlite)
        ejecutar(db, QStringLiteral("ROLLBACK"), nullptr);
    else
        db.rollback();
}

bool esBloqueo(const QSqlError& error)
{
    bool numero = false;
    const int codigo = error.nativeErrorCode().toInt(&numero);
    if (numero)   // SQLITE_BUSY, SQLITE_LOCKED and their extended codes
        return (codigo & 0xff) == 5 || (codigo & 0xff) == 6;
    // lock_not_available, deadlock_detected, serialization_failure
    return error.nativeErrorCode() == u"55P03" || error.nativeErrorCode() == u"40P01"
           || error.nativeErrorCode() == u"40001";
}

} // namespace motorsql
