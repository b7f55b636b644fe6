#include "Lectura834.h"

#include "ConsultasParam.h"

#include <QCryptographicHash>
#include <QSqlError>
#include <QSqlRecord>

namespace lectura834 {

namespace {

void fijar(bool* ok, bool valor)
{
    if (ok)
        *ok = valor;
}

void falla(bool* ok, QString* error, const QSqlQuery& q)
{
    fijar(ok, false);
    if (error)
        *error = q.lastError().text();
}

QString texto(const QVariant& v)
{
    return v.isNull() ? QString() : v.toString().trimmed();
}

} // namespace

QString condicionClave(bool conCorrel)
{
    QString sql = QStringLiteral(" WHERE Doc_id_d = ? AND Tip_doc_d = 6 AND Periodo = ? AND Formulario = ?");
    if (conCorrel)
        sql += QStringLiteral(" AND Correl = ?");
    return sql;
}

void bindClave(QSqlQuery& q, const Clave& clave, bool conCorrel)
{
    q.addBindValue(clave.ruc.trimmed());
    q.addBindValue(clave.periodo.trimmed());
    q.addBindValue(clave.formulario);
    if (conCorrel)
        q.addBindValue(clave.correl);
}

bool borrarFilasDetalle(QSqlDatabase& db, const Clave& clave, const std::function<bool(const QVariant&)>& borrar,
                        QString* error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT Casilla FROM DET") + condicionClave(false));
    bindClave(q, clave, false);
    if (!q.exec()) {
        *error = q.lastError().text();
        return false;
    }
    QVariantList casillas;
    while (q.next()) {
        if (borrar(q.value(0)))
            casillas << q.value(0);
    }
    q.finish();
    // One statement per block of codes instead of one per row: on a server
    // each statement is a round trip, and a save removes some sixty rows.
    constexpr qsizetype kPorSentencia = 500;
    for (qsizetype desde = 0; desde < casillas.size(); desde += kPorSentencia) {
        const QVariantList bloque = casillas.mid(desde, kPorSentencia);
        QSqlQuery d(db);
        d.prepare(QStringLiteral("DELETE FROM DET") + condicionClave(false) + QStringLiteral(" AND Casilla IN (")
                  + QStringList(bloque.size(), QStringLiteral("?")).join(u", ") + u')');
        bindClave(d, clave, false);
        for (const QVariant& casilla : bloque)
            d.addBindValue(casilla);
        if (!d.exec()) {
            *error = d.lastError().text();
            return false;
        }
    }
    return true;
}

QList<FilaCasilla> leerCasillas(const QSqlDatabase& db, const Clave& clave, bool* ok, QString* error)
{
    QList<FilaCasilla> filas;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    // A statement that cannot be prepared (a table missing) keeps its own error.
    const bool preparada = q.prepare(QStringLiteral("SELECT Casilla, i_valor FROM ")
                                     + (clave.enviada ? QStringLiteral("HDET") : QStringLiteral("DET"))
                                     + condicionClave(clave.enviada));
    bindClave(q, clave, clave.enviada);
    if (!preparada || !q.exec()) {
        falla(ok, error, q);
        return filas;
    }
    while (q.next())
        filas.append({texto(q.value(0)), texto(q.value(1))});
    fijar(ok, true);
    return filas;
}

namespace {

// Every row the query selects, each as its columns' texts (Null apart from "").
bool filasComoTexto(QSqlQuery& q, QStringList* filas)
{
    if (!q.exec())
        return false;
    // The record is built anew on every call: its width is taken once.
    const int ancho = q.record().count();
    while (q.next()) {
        QStringList columnas;
        columnas.reserve(ancho);
        for (int i = 0; i < ancho; ++i) {
            const QVariant v = q.value(i);
            columnas << (v.isNull() ? QStringLiteral("\x01") : v.toString());
        }
        *filas << columnas.join(u'\x1f');
    }
    return true;
}

} // namespace

QString sello(const QSqlDatabase& db, const Clave& clave, bool* ok)
{
    QSqlQuery cab(db);
    cab.setForwardOnly(true);
    cab.prepare(QStringLiteral("SELECT * FROM CAB") + condicionClave(false));
    bindClave(cab, clave, false);
    QSqlQuery det(db);
    det.setForwardOnly(true);
    det.prepare(QStringLiteral("SELECT * FROM DET") + condicionClave(false));
    bindClave(det, clave, false);
    QStringList filasCab, filasDet;
    if (!filasComoTexto(cab, &filasCab) || !filasComoTexto(det, &filasDet)) {
        fijar(ok, false);
        return {};
    }
    fijar(ok, true);
    if (filasCab.isEmpty() && filasDet.isEmpty())
        return {};
    filasDet.sort();
    const QByteArray todo = (filasCab + filasDet).join(u'\x1e').toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(todo, QCryptographicHash::Sha256).toHex().left(32));
}

std::optional<Cabecera> leerCabecera(const QSqlDatabase& db, const Clave& clave, bool* ok, QString* error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    const bool preparada = q.prepare(
        clave.enviada ? QStringLiteral("SELECT bcolibrad, nrocheque, cNumero, estado, NORDEN FROM HCAB") + condicionClave(true)
                      : QStringLiteral("SELECT bcolibrad, nrocheque, cNumero, estado, NULL FROM CAB") + condicionClave(false));
    bindClave(q, clave, clave.enviada);
    if (!preparada || !q.exec()) {
        falla(ok, error, q);
        return std::nullopt;
    }
    fijar(ok, true);
    if (!q.next())
        return std::nullopt;
    Cabecera c;
    c.bcolibrad = q.value(0);
    c.nrocheque = texto(q.value(1));
    c.cNumero = texto(q.value(2));
    c.estado = q.value(3);
    c.norden = q.value(4);
    return c;
}

namespace {

// A row of `tabla` (CAB or HCAB) under the declaration key, any correlative.
bool existeEn(const QSqlDatabase& db, const char* tabla, const Clave& clave, bool* ok, QString* error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    const bool preparada = q.prepare(QStringLiteral("SELECT 1 FROM ") + QLatin1String(tabla) + condicionClave(false));
    bindClave(q, clave, false);
    if (!preparada || !q.exec()) {
        falla(ok, error, q);
        return false;
    }
    fijar(ok, true);
    return q.next();
}

} // namespace

bool existeDeclaracion(const QSqlDatabase& db, const QString& ruc, const QString& periodo,
                       const QString& formulario, bool* ok, QString* error)
{
    return existeEn(db, "CAB", Clave{ruc, periodo, formulario, false, QString()}, ok, error);
}

bool existeEnviada(const QSqlDatabase& db, const QString& ruc, const QString& periodo, bool* ok)
{
    Clave clave;
    clave.ruc = ruc;
    clave.periodo = periodo;
    return existeEn(db, "HCAB", clave, ok, nullptr);
}

QList<Clave> guardadas(const QSqlDatabase& db, const QString& periodo, const QString& ruc, bool* ok)
{
    QList<Clave> claves;
    QString sql = QStringLiteral("SELECT Doc_id_d, Periodo, cNumero FROM CAB WHERE Tip_doc_d = 6 AND Formulario = ?");
    if (!periodo.isEmpty())
        sql += QStringLiteral(" AND Periodo = ?");
    if (!ruc.isEmpty())
        sql += QStringLiteral(" AND Doc_id_d = ?");
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(sql + QStringLiteral(" ORDER BY Periodo, Doc_id_d"));
    q.addBindValue(Clave{}.formulario);
    if (!periodo.isEmpty())
        q.addBindValue(periodo);
    if (!ruc.isEmpty())
        q.addBindValue(ruc);
    if (!q.exec()) {
        fijar(ok, false);
        return claves;
    }
    while (q.next()) {
        if (texto(q.value(2)) == u"0")
            continue;
        Clave c;
        c.ruc = texto(q.value(0));
        c.periodo = texto(q.value(1));
        claves.append(c);
    }
    fijar(ok, true);
    return claves;
}

bool existeIndiceInicial(const QSqlDatabase& db, bool* ok)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT Argumento, Funcion FROM PARAM WHERE Numero = ? AND Argumento = ?"));
    q.addBindValue(QStringLiteral("975"));
    q.addBindValue(QStringLiteral("200212"));
    if (!q.exec()) {
        fijar(ok, false);
        return false;
    }
    fijar(ok, true);
    return q.next();
}

QList<std::pair<QString, QString>> bancos(const QSqlDatabase& db, bool* ok, QString* error)
{
    QList<std::pair<QString, QString>> lista;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    const bool preparada =
        q.prepare(QStringLiteral("SELECT Argumento, Funcion FROM PARAM WHERE Numero = ? ORDER BY Argumento"));
    q.addBindValue(QStringLiteral("004"));
    if (!preparada || !q.exec()) {
        fijar(ok, false);
        if (error)
            *error = q.lastError().text();
        return lista;
    }
    while (q.next()) {
        const QString codigo = texto(q.value(0));
        if (codigo == u"00")
            continue;
        lista.append({codigo, mid(q.value(1).toString(), 1, 36).trimmed()});
    }
    fijar(ok, true);
    return lista;
}

} // namespace lectura834
