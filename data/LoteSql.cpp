#include "LoteSql.h"

#include "BibliotecaDiferida.h"
#include "MotorSql.h"

#include <QByteArray>
#include <QDate>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlRecord>

#include <libpq-fe.h>

#include <memory>
#include <vector>

namespace {

// The server's client library and what it brings with it (Kerberos, LDAP,
// TLS) take milliseconds to load: it is loaded on the first batch sent to a
// server, never by a program working on a SQLite suite. By then the server's
// driver has loaded the same library, so this finds it already in memory.
#define QVR_FUNCIONES_PQ(X)                                                                                   \
    X(PQclear) X(PQcmdTuples) X(PQenterPipelineMode) X(PQerrorMessage) X(PQexitPipelineMode) X(PQfname)        \
    X(PQftype) X(PQgetResult) X(PQgetisnull) X(PQgetvalue) X(PQnfields) X(PQntuples) X(PQpipelineSync)         \
    X(PQresStatus) X(PQresultErrorField) X(PQresultErrorMessage) X(PQresultStatus) X(PQsendQueryParams)       \
    X(PQstatus)

// The soname of the client library the headers describe.
constexpr const char* kLibPq = "libpq.so.5";

QVR_BIBLIOTECA_DIFERIDA(BibliotecaPq, pq, kLibPq, QVR_FUNCIONES_PQ)

// The server's type numbers the suite's tables use, read back as the
// driver reads them: whole numbers as numbers, the rest as text.
enum : Oid { kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kBool = 16, kFloat4 = 700, kFloat8 = 701, kNumeric = 1700 };

QVariant valorDelServidor(const PGresult* r, int fila, int columna)
{
    const Oid tipo = pq().PQftype(r, columna);
    const bool nulo = pq().PQgetisnull(r, fila, columna);
    const char* texto = pq().PQgetvalue(r, fila, columna);
    switch (tipo) {
    case kInt2:
    case kInt4:
    case kOid:
        return nulo ? QVariant(QMetaType::fromType<int>()) : QVariant(QByteArray(texto).toInt());
    case kInt8:
        return nulo ? QVariant(QMetaType::fromType<qlonglong>()) : QVariant(QByteArray(texto).toLongLong());
    case kBool:
        return nulo ? QVariant(QMetaType::fromType<bool>()) : QVariant(texto[0] == 't');
    case kFloat4:
    case kFloat8:
    case kNumeric:
        return nulo ? QVariant(QMetaType::fromType<double>()) : QVariant(QByteArray(texto).toDouble());
    default:
        // An empty text stays a text, apart from Null, as the driver reads it.
        return nulo ? QVariant(QMetaType::fromType<QString>())
                    : QVariant(texto[0] ? QString::fromUtf8(texto) : QStringLiteral(""));
    }
}


// "?" -> "$1", "$2", ... outside quoted text.
QByteArray numerarMarcas(const QString& sql)
{
    QString salida;
    salida.reserve(sql.size() + 16);
    int n = 0;
    QChar comilla;
    for (const QChar c : sql) {
        if (!comilla.isNull()) {
            if (c == comilla)
                comilla = QChar();
        } else if (c == u'\'' || c == u'"') {
            comilla = c;
        } else if (c == u'?') {
            salida += u'$' + QString::number(++n);
            continue;
        }
        salida += c;
    }
    return salida.toUtf8();
}

// A value as the server reads it. A date and time goes as the driver sends
// one: in UTC, the zone the driver gives every connection.
QByteArray textoParaServidor(const QVariant& v)
{
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz")).toUtf8();
    return v.toString().toUtf8();
}

PGconn* conexionDe(const QSqlDatabase& db)
{
    // The driver's handle holds the client's connection; its type is named
    // as the client's header spells it or as the compiler does.
    const QVariant h = db.driver() ? db.driver()->handle() : QVariant();
    if (!h.isValid() || (qstrcmp(h.typeName(), "PGconn*") != 0 && qstrcmp(h.typeName(), "pg_conn*") != 0))
        return nullptr;
    return *static_cast<PGconn* const*>(h.constData());
}

QSqlError errorDelServidor(PGconn* conexion, const PGresult* r)
{
    const QString estado = r ? QString::fromLatin1(pq().PQresultErrorField(r, PG_DIAG_SQLSTATE)) : QString();
    QString texto = QString::fromUtf8(r && pq().PQresultErrorMessage(r)[0] ? pq().PQresultErrorMessage(r) : pq().PQerrorMessage(conexion));
    if (texto.isEmpty() && r)   // a result of an unexpected kind says which
        texto = QString::fromUtf8(pq().PQresStatus(pq().PQresultStatus(r)));
    if (!estado.isEmpty())
        texto += QStringLiteral("(%1)").arg(estado);
    const bool perdida = pq().PQstatus(conexion) == CONNECTION_BAD;
    return QSqlError(perdida ? QStringLiteral("QPSQL: the connection to the server was lost")
                             : QStringLiteral("QPSQL: Unable to create query"),
                     texto, perdida ? QSqlError::ConnectionError : QSqlError::StatementError, estado);
}

using ResultadoPg = std::unique_ptr<PGresult, decltype(&::PQclear)>;

} // namespace

// A value the driver would bind as Null: no value, or a null text or date.
bool LoteSql::esNulo(const QVariant& v)
{
    if (v.isNull())
        return true;
    switch (v.typeId()) {
    case QMetaType::QString: return static_cast<const QString*>(v.constData())->isNull();
    case QMetaType::QByteArray: return static_cast<const QByteArray*>(v.constData())->isNull();
    case QMetaType::QDate: return v.toDate().isNull();
    default: return false;
    }
}

int LoteSql::agregar(const QString& sql, const QVariantList& valores)
{
    sentencias_.append({sql, valores});
    return int(sentencias_.size()) - 1;
}

bool LoteSql::ejecutar(QSqlDatabase db)
{
    resultados_.clear();
    error_ = QSqlError();
    const bool ok = motorDe(db) == Motor::Postgres ? ejecutarServidor(db) : ejecutarSqlite(db);
    sentencias_.clear();
    return ok;
}

bool LoteSql::ejecutarJuntos(QSqlDatabase db, const QList<LoteSql*>& lotes)
{
    LoteSql todos;
    for (const LoteSql* lote : lotes)
        todos.sentencias_ += lote->sentencias_;
    const bool ok = todos.ejecutar(db);
    qsizetype desde = 0;
    for (LoteSql* lote : lotes) {
        const qsizetype cuantas = lote->sentencias_.size();
        lote->resultados_ = todos.resultados_.mid(desde, cuantas);
        const bool incompleto = lote->resultados_.size() < cuantas || (!ok && lote == lotes.last());
        lote->error_ = !ok && incompleto ? todos.error_ : QSqlError();
        lote->sentencias_.clear();
        desde += cuantas;
    }
    return ok;
}

std::optional<LoteSql::Resultado> LoteSql::una(QSqlDatabase db, const QString& sql, const QVariantList& valores,
                                               QSqlError* error)
{
    LoteSql lote;
    lote.agregar(sql, valores);
    if (lote.ejecutar(db))
        return lote.resultado(0);
    if (error)
        *error = lote.error();
    return std::nullopt;
}

// ejecutarSqlite: LoteSqlite.cpp

bool LoteSql::ejecutarServidor(QSqlDatabase db)
{
    if (!pq().cargada) {
        error_ = QSqlError(QStringLiteral("QPSQL: the server's client library %1 could not be loaded")
                               .arg(QString::fromLatin1(kLibPq)),
                           {}, QSqlError::ConnectionError);
        return false;
    }
    PGconn* conexion = conexionDe(db);
    if (!conexion || pq().PQstatus(conexion) != CONNECTION_OK) {
        error_ = conexion ? errorDelServidor(conexion, nullptr)
                          : QSqlError(QStringLiteral("QPSQL: no connection"), {}, QSqlError::ConnectionError);
        return false;
    }
    // Whatever another statement of the driver left unread goes first, as
    // the driver itself does before it sends a statement.
    while (PGresult* r = pq().PQgetResult(conexion))
        pq().PQclear(r);
    if (!pq().PQenterPipelineMode(conexion)) {
        error_ = errorDelServidor(conexion, nullptr);
        return false;
    }
    bool enviadas = true;
    for (const Sentencia& s : sentencias_) {
        std::vector<QByteArray> textos;
        std::vector<const char*> valores;
        textos.reserve(s.valores.size());
        for (const QVariant& v : s.valores) {
            if (esNulo(v)) {
                valores.push_back(nullptr);
            } else {
                textos.push_back(textoParaServidor(v));
                valores.push_back(textos.back().constData());
            }
        }
        enviadas = enviadas
                   && pq().PQsendQueryParams(conexion, numerarMarcas(s.sql).constData(), int(valores.size()), nullptr,
                                        valores.data(), nullptr, nullptr, 0);
    }
    enviadas = enviadas && pq().PQpipelineSync(conexion);
    if (!enviadas)
        error_ = errorDelServidor(conexion, nullptr);

    // The results of each statement sent (its rows, whole or one by one when
    // the driver left single-row mode on), each run ended by a null; then the sync.
    for (qsizetype i = 0; enviadas && i < sentencias_.size() && error_.type() == QSqlError::NoError; ++i) {
        Resultado salida;
        bool respondida = false;
        while (PGresult* crudo = pq().PQgetResult(conexion)) {
            ResultadoPg r(crudo, pq().PQclear);
            const ExecStatusType estado = pq().PQresultStatus(r.get());
            if (estado == PGRES_PIPELINE_SYNC)
                break;
            if (estado != PGRES_TUPLES_OK && estado != PGRES_SINGLE_TUPLE && estado != PGRES_COMMAND_OK) {
                if (error_.type() == QSqlError::NoError)
                    error_ = errorDelServidor(conexion, r.get());
                continue;
            }
            if (!respondida)
                for (int c = 0; c < pq().PQnfields(r.get()); ++c)
                    salida.columnas << QString::fromUtf8(pq().PQfname(r.get(), c));
            respondida = true;
            for (int f = 0; f < pq().PQntuples(r.get()); ++f) {
                QVariantList fila;
                fila.reserve(pq().PQnfields(r.get()));
                for (int c = 0; c < pq().PQnfields(r.get()); ++c)
                    fila << valorDelServidor(r.get(), f, c);
                salida.filas << fila;
            }
            salida.afectadas = QByteArray(pq().PQcmdTuples(r.get())).toInt();
        }
        if (error_.type() != QSqlError::NoError)
            break;
        if (!respondida) {
            error_ = errorDelServidor(conexion, nullptr);
            break;
        }
        resultados_ << salida;
    }
    // Up to the sync, past what a failure left unread (each statement after
    // it answers "aborted", then a null), so the connection is free again.
    const qsizetype pendientes = 2 * sentencias_.size() + 4;
    for (qsizetype intentos = 0; intentos < pendientes && pq().PQstatus(conexion) == CONNECTION_OK; ++intentos) {
        ResultadoPg r(pq().PQgetResult(conexion), pq().PQclear);
        if (r && pq().PQresultStatus(r.get()) == PGRES_PIPELINE_SYNC)
            break;
    }
    pq().PQexitPipelineMode(conexion);
    return error_.type() == QSqlError::NoError && resultados_.size() == sentencias_.size();
}
