#pragma once
// Database lookups that feed the rules: the UIT and the adjustment factor of an
// exercise (PARAM 404 and 960) and the stored box-105 detail. Values are
// always bound; the choices themselves are pure functions, testable alone.

#include "Declaracion834.h"
#include "Dinero.h"
#include "LoteSql.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

namespace parametros834 {

inline const QString kFormulario = QStringLiteral("0834");

// One PARAM 404 row: the first day a UIT applies ("yyyymmdd") and its amount.
struct FilaUit {
    QString argumento;
    QString funcion;
};

// The UIT in force in January of the exercise: among the rows, taken in date
// order, the last whose first six characters are not after exercise + "01".
// 0 when none applies or its amount is not a number.
Dinero elegirUit(QList<FilaUit> filas, const QString& ejercicio);

// The lookups. *ok (when given) becomes false on a database error, *error
// (when given) its text, and the result is then 0: never a value to use.
Dinero GET_UIT(const QSqlDatabase& db, const QString& ejercicio, bool* ok = nullptr, QString* error = nullptr);
Dinero GET_IPM(const QSqlDatabase& db, const QString& ejercicio, bool* ok = nullptr, QString* error = nullptr);
// Both in one read; false (with *error when given) when it failed.
bool parametrosDelEjercicio(const QSqlDatabase& db, const QString& ejercicio, Dinero* uit, Dinero* ipm,
                            QString* error = nullptr);
// The same read as part of a caller's batch, and what it found.
struct PedidoEjercicio {
    int uit = -1;
    int ipm = -1;
};
PedidoEjercicio pedirEjercicio(LoteSql& lote, const QString& ejercicio);
void ejercicioDe(const LoteSql& lote, const PedidoEjercicio& p, const QString& ejercicio, Dinero* uit, Dinero* ipm);

// The stored detail of box 105 for one declaration (DET, or HDET with the
// CORREL of a sent declaration); slots without a row stay "". A failed read
// sets *ok false and *error to the database's text.
Detalle105 leerDetalle105(const QSqlDatabase& db, const QString& ruc, const QString& periodo, bool enviada,
                          const QString& correl, bool* ok = nullptr, QString* error = nullptr);
// The same from detail rows already read (Casilla, i_valor as stored).
Detalle105 detalle105De(const QList<QVariantList>& filas);

} // namespace parametros834
