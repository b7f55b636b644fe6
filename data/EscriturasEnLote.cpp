#include "EscriturasEnLote.h"

#include "MotorSql.h"

EscriturasEnLote::EscriturasEnLote(QSqlDatabase db) : db_(db), anterior_(aligerarConfirmaciones(db_)) {}

EscriturasEnLote::~EscriturasEnLote()
{
    terminar();
}

bool EscriturasEnLote::terminar()
{
    const QVariant anterior = anterior_;
    anterior_ = QVariant();
    return restablecerConfirmaciones(db_, anterior);
}
