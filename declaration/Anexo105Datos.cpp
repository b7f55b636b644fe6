#include "Anexo105Datos.h"

#include "CodigoControl.h"
#include "Formato834.h"
#include "MotorSql.h"
#include "Parametros834.h"
#include "TransaccionSql.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace anexo105 {

using lectura834::bindClave;
using lectura834::condicionClave;

QString valorGuardado(const QString& monto)
{
    const QString t = monto.trimmed();
    if (t.isEmpty() || t == u"________")
        return {};
    return formato834::plano(formato834::leer(t));
}

Detalle105 leer(const QSqlDatabase& db, const lectura834::Clave& clave, bool* ok, QString* error)
{
    return parametros834::leerDetalle105(db, clave.ruc, clave.periodo, clave.enviada, clave.correl, ok, error);
}

bool esDeduccion(const QVariant& casilla)
{
    bool esNumero = false;
    const int n = casilla.toString().trimmed().toInt(&esNumero);
    return esNumero && n >= kPrimeraDeduccion && n <= kUltimaDeduccion;
}

QList<QVariantList> filas(const QSqlRecord& det, const lectura834::Clave& clave, const Detalle105& montos)
{
    QList<QVariantList> resultado;
    QSqlRecord fila = det;
    for (int i = 0; i < kDeducciones; ++i) {
        const QString valor = valorGuardado(montos[i]);
        if (valor.isEmpty())
            continue;
        const QString casilla = QString::number(kPrimeraDeduccion + i);
        fila.clearValues();
        fila.setValue(QStringLiteral("Tip_doc_d"), 6);
        fila.setValue(QStringLiteral("Doc_id_d"), clave.ruc.trimmed());
        fila.setValue(QStringLiteral("Periodo"), clave.periodo.trimmed());
        fila.setValue(QStringLiteral("Formulario"), clave.formulario);
        fila.setValue(QStringLiteral("Casilla"), casilla);
        fila.setValue(QStringLiteral("i_valor"), valor);
        fila.setValue(QStringLiteral("idcasilla"), QStringLiteral("01"));
        resultado.append({6, clave.ruc.trimmed(), clave.periodo.trimmed(), clave.formulario, casilla, valor,
                          QStringLiteral("01"), codigoControl(fila, kControlCountDet)});
    }
    return resultado;
}

namespace {

// The header a detail row needs. An existing one is left as it is: a saved
// declaration must not become a placeholder that closing the form deletes.
bool asegurarCabecera(QSqlDatabase& db, const lectura834::Clave& clave, QString* error)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT 1 FROM CAB") + condicionClave(false));
    bindClave(q, clave, false);
    if (!q.exec()) {
        *error = q.lastError().text();
        return false;
    }
    if (q.next())
        return true;
    q.finish();
    QSqlQuery w(db);
    w.prepare(QStringLiteral("INSERT INTO CAB (Doc_id_d, Tip_doc_d, Periodo, Formulario, cNumero)"
                             " VALUES (?, 6, ?, ?, ?)"));
    w.addBindValue(clave.ruc.trimmed());
    w.addBindValue(clave.periodo.trimmed());
    w.addBindValue(clave.formulario);
    w.addBindValue(QStringLiteral("0"));
    if (!w.exec()) {
        *error = w.lastError().text();
        return false;
    }
    return true;
}

// Deletes the ten detail rows; the range is checked here so that codes
// stored with blanks go too and the statement stays portable.
bool borrarDetalle(QSqlDatabase& db, const lectura834::Clave& clave, QString* error)
{
    return lectura834::borrarFilasDetalle(db, clave, esDeduccion, error);
}

bool escribirDetalle(QSqlDatabase& db, const lectura834::Clave& clave, const Detalle105& montos, QString* error)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO DET (Tip_doc_d, Doc_id_d, Periodo, Formulario, Casilla, i_valor, idcasilla,"
                             " cNumero) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const QVariantList& fila : filas(columnasDeTabla(db, QStringLiteral("DET")), clave, montos)) {
        for (const QVariant& v : fila)
            q.addBindValue(v);
        if (!q.exec()) {
            *error = q.lastError().text();
            return false;
        }
    }
    return true;
}

} // namespace

bool reemplazar(QSqlDatabase& db, const lectura834::Clave& clave, bool declaracionExistente,
                const Detalle105& montos, QString* error)
{
    return (declaracionExistente || asegurarCabecera(db, clave, error)) && borrarDetalle(db, clave, error)
           && escribirDetalle(db, clave, montos, error);
}

QString guardar(QSqlDatabase db, const lectura834::Clave& clave, bool declaracionExistente, const Detalle105& montos)
{
    Q_UNUSED(declaracionExistente)
    TransaccionSql transaccion(db, QStringLiteral("CAB"));
    if (!transaccion.abierta())
        return transaccion.error();
    // The header is looked for even when the declaration was stored when the
    // assistant opened: another workstation may have deleted it since.
    QString error;
    if (!reemplazar(db, clave, false, montos, &error))
        return error;
    if (!transaccion.confirmar())
        return transaccion.error();
    return {};
}

} // namespace anexo105
