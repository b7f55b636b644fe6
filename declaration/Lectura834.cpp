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

QString texto(const QVariant& v)
{
    return v.isNull() ? QString() : v.toString().trimmed();
}

// Runs the batch; *ok and *error say how it went.
bool ejecutar(const QSqlDatabase& db, LoteSql& lote, bool* ok, QString* error)
{
    const bool hecho = lote.ejecutar(db);
    fijar(ok, hecho);
    if (!hecho && error)
        *error = lote.error().text();
    return hecho;
}

// One read of its own, in a single round trip on the server.
bool leer(const QSqlDatabase& db, const QString& sql, const QVariantList& valores, LoteSql::Resultado* r, bool* ok,
          QString* error)
{
    LoteSql lote;
    lote.agregar(sql, valores);
    if (!lote.ejecutar(db)) {
        fijar(ok, false);
        if (error)
            *error = lote.error().text();
        return false;
    }
    *r = lote.resultado(0);
    fijar(ok, true);
    return true;
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
    for (const QVariant& v : valoresClave(clave, conCorrel))
        q.addBindValue(v);
}

QVariantList valoresClave(const Clave& clave, bool conCorrel)
{
    QVariantList valores{clave.ruc.trimmed(), clave.periodo.trimmed(), clave.formulario};
    if (conCorrel)
        valores << clave.correl;
    return valores;
}

bool borrarFilasDetalle(QSqlDatabase& db, const Clave& clave, const std::function<bool(const QVariant&)>& borrar,
                        QString* error)
{
    LoteSql::Resultado r;
    if (!leer(db, QStringLiteral("SELECT Casilla FROM DET") + condicionClave(false), valoresClave(clave, false), &r,
              nullptr, error))
        return false;
    QVariantList casillas;
    for (const QVariantList& f : r.filas)
        if (borrar(f[0]))
            casillas << f[0];
    // One statement per block of codes instead of one per row, all sent
    // together: on a server each statement is a round trip.
    constexpr qsizetype kPorSentencia = 500;
    LoteSql lote;
    for (qsizetype desde = 0; desde < casillas.size(); desde += kPorSentencia) {
        const QVariantList bloque = casillas.mid(desde, kPorSentencia);
        lote.agregar(QStringLiteral("DELETE FROM DET") + condicionClave(false) + QStringLiteral(" AND Casilla IN (")
                         + QStringList(bloque.size(), QStringLiteral("?")).join(u", ") + u')',
                     valoresClave(clave, false) + bloque);
    }
    if (!lote.vacio() && !lote.ejecutar(db)) {
        *error = lote.error().text();
        return false;
    }
    return true;
}

int pedirCasillas(LoteSql& lote, const Clave& clave)
{
    return lote.agregar(QStringLiteral("SELECT Casilla, i_valor FROM ")
                            + (clave.enviada ? QStringLiteral("HDET") : QStringLiteral("DET"))
                            + condicionClave(clave.enviada),
                        valoresClave(clave, clave.enviada));
}

QList<FilaCasilla> casillasDe(const LoteSql::Resultado& r)
{
    QList<FilaCasilla> filas;
    for (const QVariantList& f : r.filas)
        filas.append({texto(f[0]), texto(f[1])});
    return filas;
}

QList<FilaCasilla> leerCasillas(const QSqlDatabase& db, const Clave& clave, bool* ok, QString* error)
{
    LoteSql lote;
    pedirCasillas(lote, clave);
    if (!ejecutar(db, lote, ok, error))
        return {};
    return casillasDe(lote.resultado(0));
}

namespace {

// One row read as its columns' texts (Null apart from ""), one after another.
void agregarFila(QString& salida, const QVariantList& fila)
{
    for (qsizetype i = 0; i < fila.size(); ++i) {
        if (i > 0)
            salida += u'\x1f';
        const QVariant& v = fila[i];
        if (LoteSql::esNulo(v))
            salida += u'\x01';
        else if (v.userType() == QMetaType::QString)
            salida += *static_cast<const QString*>(v.constData());
        else
            salida += v.toString();
    }
}

// Every row read, each as its columns' texts.
QStringList filasComoTexto(const LoteSql::Resultado& r)
{
    QStringList filas;
    filas.reserve(r.filas.size());
    for (const QVariantList& fila : r.filas) {
        QString texto;
        texto.reserve(fila.size() * 8);
        agregarFila(texto, fila);
        filas << texto;
    }
    return filas;
}

} // namespace

PedidoVersion pedirVersion(LoteSql& lote, const Clave& clave)
{
    const QVariantList valores = valoresClave(clave, false);
    return {lote.agregar(QStringLiteral("SELECT * FROM CAB") + condicionClave(false), valores),
            lote.agregar(QStringLiteral("SELECT * FROM DET") + condicionClave(false), valores)};
}

QString selloDe(const LoteSql::Resultado& cab, const LoteSql::Resultado& det)
{
    const QStringList filasCab = filasComoTexto(cab);
    QStringList filasDet = filasComoTexto(det);
    if (filasCab.isEmpty() && filasDet.isEmpty())
        return {};
    filasDet.sort();
    const QByteArray todo = (filasCab + filasDet).join(u'\x1e').toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(todo, QCryptographicHash::Sha256).toHex().left(32));
}

QString sello(const QSqlDatabase& db, const Clave& clave, bool* ok)
{
    LoteSql lote;
    const PedidoVersion v = pedirVersion(lote, clave);
    if (!lote.ejecutar(db)) {
        fijar(ok, false);
        return {};
    }
    fijar(ok, true);
    return selloDe(lote.resultado(v.cab), lote.resultado(v.det));
}

int pedirCabecera(LoteSql& lote, const Clave& clave)
{
    return lote.agregar(
        clave.enviada ? QStringLiteral("SELECT bcolibrad, nrocheque, cNumero, estado, NORDEN FROM HCAB") + condicionClave(true)
                      : QStringLiteral("SELECT bcolibrad, nrocheque, cNumero, estado, NULL FROM CAB") + condicionClave(false),
        valoresClave(clave, clave.enviada));
}

std::optional<Cabecera> cabeceraDe(const LoteSql::Resultado& r)
{
    if (r.filas.isEmpty())
        return std::nullopt;
    const QVariantList& f = r.filas.first();
    Cabecera c;
    c.bcolibrad = f[0];
    c.nrocheque = texto(f[1]);
    c.cNumero = texto(f[2]);
    c.estado = f[3];
    c.norden = f[4];
    return c;
}

std::optional<Cabecera> leerCabecera(const QSqlDatabase& db, const Clave& clave, bool* ok, QString* error)
{
    LoteSql lote;
    pedirCabecera(lote, clave);
    if (!ejecutar(db, lote, ok, error))
        return std::nullopt;
    return cabeceraDe(lote.resultado(0));
}

namespace {

// A row of `tabla` (CAB or HCAB) under the declaration key, any correlative.
bool existeEn(const QSqlDatabase& db, const char* tabla, const Clave& clave, bool* ok, QString* error)
{
    LoteSql::Resultado r;
    return leer(db, QStringLiteral("SELECT 1 FROM ") + QLatin1String(tabla) + condicionClave(false),
                valoresClave(clave, false), &r, ok, error)
           && !r.filas.isEmpty();
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
    QVariantList valores{Clave{}.formulario};
    if (!periodo.isEmpty()) {
        sql += QStringLiteral(" AND Periodo = ?");
        valores << periodo;
    }
    if (!ruc.isEmpty()) {
        sql += QStringLiteral(" AND Doc_id_d = ?");
        valores << ruc;
    }
    LoteSql::Resultado r;
    if (!leer(db, sql + QStringLiteral(" ORDER BY Periodo, Doc_id_d"), valores, &r, ok, nullptr))
        return claves;
    for (const QVariantList& f : r.filas) {
        if (texto(f[2]) == u"0")
            continue;
        Clave c;
        c.ruc = texto(f[0]);
        c.periodo = texto(f[1]);
        claves.append(c);
    }
    return claves;
}

bool existeIndiceInicial(const QSqlDatabase& db, bool* ok)
{
    LoteSql::Resultado r;
    return leer(db, QStringLiteral("SELECT Argumento, Funcion FROM PARAM WHERE Numero = ? AND Argumento = ?"),
                {QStringLiteral("975"), QStringLiteral("200212")}, &r, ok, nullptr)
           && !r.filas.isEmpty();
}

int pedirBancos(LoteSql& lote)
{
    return lote.agregar(QStringLiteral("SELECT Argumento, Funcion FROM PARAM WHERE Numero = ? ORDER BY Argumento"),
                        {QStringLiteral("004")});
}

QList<std::pair<QString, QString>> bancosDe(const LoteSql::Resultado& r)
{
    QList<std::pair<QString, QString>> lista;
    for (const QVariantList& f : r.filas) {
        const QString codigo = texto(f[0]);
        if (codigo == u"00")
            continue;
        lista.append({codigo, mid(f[1].toString(), 1, 36).trimmed()});
    }
    return lista;
}

QList<std::pair<QString, QString>> bancos(const QSqlDatabase& db, bool* ok, QString* error)
{
    LoteSql lote;
    pedirBancos(lote);
    if (!ejecutar(db, lote, ok, error))
        return {};
    return bancosDe(lote.resultado(0));
}

} // namespace lectura834
