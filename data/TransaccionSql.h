#pragma once
// A write transaction that rolls back unless committed, so every early
// return leaves the tables as they were. It begins as the engine needs
// (MotorSql.h): on SQLite it holds the write lock from the start.

#include "MotorSql.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

class TransaccionSql {
public:
    explicit TransaccionSql(QSqlDatabase db) : db_(db), abierta_(motorsql::iniciarEscritura(db_, &error_)) {}
    ~TransaccionSql()
    {
        if (abierta_)
            motorsql::deshacer(db_);
    }
    TransaccionSql(const TransaccionSql&) = delete;
    TransaccionSql& operator=(const TransaccionSql&) = delete;

    bool abierta() const { return abierta_; }
    // False (and rolled back) when the commit fails.
    bool confirmar()
    {
        if (!abierta_)
            return false;
        if (motorsql::confirmar(db_, &error_)) {
            abierta_ = false;
            return true;
        }
        return false;
    }
    // Why the transaction could not begin or commit.
    QSqlError errorSql() const { return error_; }
    QString error() const { return error_.text(); }

private:
    QSqlDatabase db_;
    QSqlError error_;
    bool abierta_;
};
