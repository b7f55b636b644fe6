#include "EscriturasEnLote.h"

#include <QSqlQuery>

namespace {

QVariant valor(QSqlDatabase& db, const QString& pragma)
{
    QSqlQuery q(db);
    return q.exec(pragma) && q.next() ? q.value(0) : QVariant();
}

} // namespace

EscriturasEnLote::EscriturasEnLote(QSqlDatabase db) : db_(db)
{
    if (db_.driverName() != u"QSQLITE"
        || valor(db_, QStringLiteral("PRAGMA journal_mode")).toString().compare(u"wal", Qt::CaseInsensitive) != 0)
        return;
    anterior_ = valor(db_, QStringLiteral("PRAGMA synchronous"));
    if (!anterior_.isNull() && !QSqlQuery(db_).exec(QStringLiteral("PRAGMA synchronous = NORMAL")))
        anterior_ = QVariant();
}

EscriturasEnLote::~EscriturasEnLote()
{
    terminar();
}

bool EscriturasEnLote::terminar()
{
    if (anterior_.isNull())
        return true;
    QSqlQuery(db_).exec(QStringLiteral("PRAGMA synchronous = %1").arg(anterior_.toInt()));
    anterior_ = QVariant();
    // The checkpoint writes the log to disk before it copies it into the database.
    const QVariant ocupado = valor(db_, QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
    return !ocupado.isNull();
}
