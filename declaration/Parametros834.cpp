#include "Parametros834.h"

#include "LoteSql.h"

#include <QSqlError>
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

namespace {

int pedirUit(LoteSql& lote)
{
    return lote.agregar(QStringLiteral("SELECT Argumento, Funcion FROM PARAM WHERE Numero = ?"), {QStringLiteral("404")});
}

Dinero uitDe(const LoteSql::Resultado& r, const QString& ejercicio)
{
    QList<FilaUit> filas;
    for (const QVariantList& f : r.filas)
        filas.append({f[0].toString(), f[1].toString()});
    return elegirUit(filas, ejercicio);
}

int pedirIpm(LoteSql& lote, const QString& ejercicio)
{
    return lote.agregar(QStringLiteral("SELECT Funcion FROM PARAM WHERE Numero = ? AND Argumento = ?"),
                        {QStringLiteral("960"), ejercicio});
}

Dinero ipmDe(const LoteSql::Resultado& r)
{
    return r.filas.isEmpty() ? Dinero() : importe(r.filas.first()[0].toString());
}

} // namespace

// Runs the batch; *ok and *error tell how it went.
bool ejecutarLectura(LoteSql& lote, const QSqlDatabase& db, bool* ok, QString* error)
{
    const bool leido = lote.ejecutar(db);
    fijar(ok, leido);
    if (!leido && error)
        *error = lote.error().text();
    return leido;
}

Dinero GET_UIT(const QSqlDatabase& db, const QString& ejercicio, bool* ok, QString* error)
{
    LoteSql lote;
    const int uit = pedirUit(lote);
    return ejecutarLectura(lote, db, ok, error) ? uitDe(lote.resultado(uit), ejercicio) : Dinero();
}

Dinero GET_IPM(const QSqlDatabase& db, const QString& ejercicio, bool* ok, QString* error)
{
    LoteSql lote;
    const int ipm = pedirIpm(lote, ejercicio);
    return ejecutarLectura(lote, db, ok, error) ? ipmDe(lote.resultado(ipm)) : Dinero();
}

PedidoEjercicio pedirEjercicio(LoteSql& lote, const QString& ejercicio)
{
    return {pedirUit(lote), pedirIpm(lote, ejercicio)};
}

void ejercicioDe(const LoteSql& lote, const PedidoEjercicio& p, const QString& ejercicio, Dinero* uit, Dinero* ipm)
{
    *uit = uitDe(lote.resultado(p.uit), ejercicio);
    *ipm = ipmDe(lote.resultado(p.ipm));
}

bool parametrosDelEjercicio(const QSqlDatabase& db, const QString& ejercicio, Dinero* uit, Dinero* ipm,
                            QString* error)
{
    LoteSql lote;
    const PedidoEjercicio p = pedirEjercicio(lote, ejercicio);
    if (!ejecutarLectura(lote, db, nullptr, error))
        return false;
    ejercicioDe(lote, p, ejercicio, uit, ipm);
    return true;
}

Detalle105 leerDetalle105(const QSqlDatabase& db, const QString& ruc, const QString& periodo, bool enviada,
                          const QString& correl, bool* ok, QString* error)
{
    // The box range is checked here rather than in SQL, so the statement runs
    // on every engine.
    QVariantList valores{ruc.trimmed(), periodo, kFormulario};
    if (enviada)
        valores << correl;
    QSqlError fallo;
    const auto r = LoteSql::una(db,
                                enviada ? QStringLiteral("SELECT Casilla, i_valor FROM HDET WHERE Doc_id_d = ? AND Tip_doc_d = 6"
                                                         " AND Periodo = ? AND Formulario = ? AND Correl = ?")
                                        : QStringLiteral("SELECT Casilla, i_valor FROM DET WHERE Doc_id_d = ? AND Tip_doc_d = 6"
                                                         " AND Periodo = ? AND Formulario = ?"),
                                valores, &fallo);
    if (!r) {
        fijar(ok, false);
        if (error)
            *error = fallo.text();
        return {};
    }
    fijar(ok, true);
    return detalle105De(r->filas);
}

Detalle105 detalle105De(const QList<QVariantList>& filas)
{
    Detalle105 detalle;
    for (const QVariantList& f : filas) {
        bool esNumero = false;
        const int casilla = f[0].toString().trimmed().toInt(&esNumero);
        if (esNumero && casilla >= kPrimeraDeduccion && casilla <= kUltimaDeduccion)
            detalle[casilla - kPrimeraDeduccion] = f[1].toString();
    }
    return detalle;
}

} // namespace parametros834
