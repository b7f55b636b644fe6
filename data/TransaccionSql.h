#pragma once
// A database transaction that rolls back unless committed, so every early
// return leaves the tables as they were.

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

class TransaccionSql {
public:
    explicit TransaccionSql(QSqlDatabase db) : db_(db), abierta_(db_.transaction()) {}
    ~TransaccionSql()
    {
        if (abierta_)
            db_.rollback();
    }
    TransaccionSql(const TransaccionSql&) = delete;
    TransaccionSql& operator=(const TransaccionSql&) = delete;

    bool abierta() const { return abierta_; }
    // False (and rolled back) when the commit fails.
    bool confirmar()
    {
        if (!abierta_)
            return false;
        if (db_.commit()) {
            abierta_ = false;
            return true;
        }
        return false;
    }
    QString error() const { return db_.lastError().text(); }

private:
    QSqlDatabase db_;
    bool abierta_;
};
