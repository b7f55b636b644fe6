#include "Parametros834.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

namespace parametros834 {

namespace {

void fijar(bool* ok, bool valor)
{
    if (ok)
        *ok = valor;
}

Dinero importe(const QString& funcion)
{
    return Dinero::analiza(funcion.trimmed()).value_or(Dinero());
}

} // namespace

Dinero elegirUit(QList<FilaUit> filas, const QString& ejercicio)
{
    // The rows are meant to be kept in date order; sorting makes a row stored
    // out of place harmless and lifts any limit on how many there are.
    for (FilaUit& f : filas)
        f.argumento = f.argumento.trimmed();
    std::stable_sort(filas.begin(), filas.end(),
                     [](const FilaUit& a, const FilaUit& b) { return a.argumento.left(6) < b.argumento.left(6); });
    const QString clave = ejercicio.trimmed() + QStringLiteral("01");
    const FilaUit* vigente = nullptr;
    for (const FilaUit& f : filas) {
        if (f.argumento.left(6) > clave)
            break;
        vigente = &f;
    }
    return vigente ? importe(vigente->funcion) : Dinero();
}

Dinero GET_UIT(const QSqlDatabase& db, const QString& ejercicio, bool* ok, QString* error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    // A statement that cannot be prepared keeps its own error (exec would
    // only report the missing parameters).
    const bool preparada = q.prepare(QStringLiteral("SELECT Argumento, Funcion FROM PARAM WHERE Numero = ?"));
    q.addBindValue(QStringLiteral("404"));
    if (!preparada || !q.exec()) {
        fijar(ok, false);
        if (error)
            *error = q.lastError().text();
        return Dinero();
    }
    QList<FilaUit> filas;
    while (q.next())
        filas.append({q.value(0).toString(), q.value(1).toString()});
    fijar(ok, true);
    return elegirUit(filas, ejercicio);
}

Dinero GET_IPM(const QSqlDatabase& db, const QString& ejercicio, bool* ok, QString* error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    const bool preparada = q.prepare(QStringLiteral("SELECT Funcion FROM PARAM WHERE Numero = ? AND Argumento = ?"));
    q.addBindValue(QStringLiteral("960"));
    q.addBindValue(ejercicio);
    if (!preparada || !q.exec()) {
        fijar(ok, false);
        if (error)
            *error = q.lastError().text();
        return Dinero();
    }
    fijar(ok, true);
    return q.next() ? importe(q.value(0).toString()) : Dinero();
}

Detalle105 leerDetalle105(const QSqlDatabase& db, const QString& ruc, const QString& periodo, bool enviada,
                          const QString& correl, bool* ok, QString* error)
{
    Detalle105 detalle;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    // The box range is checked here rather than in SQL, so the statement runs
    // on every engine.
    const bool preparada =
        q.prepare(enviada ? QStringLiteral("SELECT Casilla, i_valor FROM HDET WHERE Doc_id_d = ? AND Tip_doc_d = 6"
                                           " AND Periodo = ? AND Formulario = ? AND Correl = ?")
                          : QStringLiteral("SELECT Casilla, i_valor FROM DET WHERE Doc_id_d = ? AND Tip_doc_d = 6"
                                           " AND Periodo = ? AND Formulario = ?"));
    q.addBindValue(ruc.trimmed());
    q.addBindValue(periodo);
    q.addBindValue(kFormulario);
    if (enviada)
        q.addBindValue(correl);
    if (!preparada || !q.exec()) {
        fijar(ok, false);
        if (error)
            *error = q.lastError().text();
        return detalle;
    }
    while (q.next()) {
        bool esNumero = false;
        const int casilla = q.value(0).toString().trimmed().toInt(&esNumero);
        if (esNumero && casilla >= kPrimeraDeduccion && casilla <= kUltimaDeduccion)
            detalle[casilla - kPrimeraDeduccion] = q.value(1).toString();
    }
    fijar(ok, true);
    return detalle;
}

} // namespace parametros834
