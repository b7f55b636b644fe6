#pragma once
// A write transaction that rolls back unless committed, so every early
// return leaves the tables as they were. It begins as the engine needs a
// writer to begin (MotorSql.h): on SQLite it holds the write lock from the
// start, so two writers never meet half-way.

#include "LoteSql.h"
#include "MotorSql.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

class TransaccionSql {
public:
    explicit TransaccionSql(QSqlDatabase db) : db_(db), abierta_(comenzarEscritura(db_, &error_)) {}
    // The same, and no other writer of `reserva` goes on until this one ends
    // (reservarTabla): writers of one declaration, or of the next number,
    // take their turns instead of failing on each other's new rows.
    TransaccionSql(QSqlDatabase db, const QString& reserva)
        : db_(db), abierta_(comenzarEscrituraReservando(db_, reserva, &error_))
    {
    }
    ~TransaccionSql()
    {
        if (abierta_)
            deshacerEscritura(db_);
    }
    TransaccionSql(const TransaccionSql&) = delete;
    TransaccionSql& operator=(const TransaccionSql&) = delete;

    bool abierta() const { return abierta_; }
    // False (and rolled back) when the commit fails.
    bool confirmar()
    {
        if (!abierta_)
            return false;
        if (confirmarEscritura(db_, &error_)) {
            abierta_ = false;
            return true;
        }
        return false;
    }
    // Runs `escrituras`, then commits; on the server they travel together.
    // False (and rolled back) when a statement or the commit fails.
    bool confirmar(LoteSql& escrituras)
    {
        if (!abierta_)
            return false;
        if (confirmarEscritura(db_, escrituras, &error_)) {
            abierta_ = false;
            return true;
        }
        return false;
    }
    // The error of the failed begin, statement or commit.
    QSqlError errorSql() const { return error_; }
    QString error() const { return error_.text(); }

private:
    QSqlDatabase db_;
    QSqlError error_;
    bool abierta_;
};
