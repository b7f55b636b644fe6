#include "LoteSql.h"

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

// The server's type numbers the suite's tables use, read back as the
// driver reads them: whole numbers as numbers, the rest as text.
enum : Oid { kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kBool = 16, kFloat4 = 700, kFloat8 = 701, kNumeric = 1700 };

QVariant valorDelServidor(const PGresult* r, int fila, int columna)
{
    const Oid tipo = PQftype(r, columna);
    const bool nulo = PQgetisnull(r, fila, columna);
    const char* texto = PQgetvalue(r, fila, columna);
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
    const QString estado = r ? QString::fromLatin1(PQresultErrorField(r, PG_DIAG_SQLSTATE)) : QString();
    QString texto = QString::fromUtf8(r && PQresultErrorMessage(r)[0] ? PQresultErrorMessage(r) : PQerrorMessage(conexion));
    if (texto.isEmpty() && r)   // a result of an unexpected kind says which
        texto = QString::fromUtf8(PQresStatus(PQresultStatus(r)));
    if (!estado.isEmpty())
        texto += QStringLiteral("(%1)").arg(estado);
    const bool perdida = PQstatus(conexion) == CONNECTION_BAD;
    return QSqlError(perdida ? QStringLiteral("QPSQL: the connection to the server was lost")
                             : QStringLiteral("QPSQL: Unable to create query"),
                     texto, perdida ? QSqlError::ConnectionError : QSqlError::StatementError, estado);
}

using ResultadoPg = std::unique_ptr<PGresult, decltype(&PQclear)>;

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
    PGconn* conexion = conexionDe(db);
    if (!conexion || PQstatus(conexion) != CONNECTION_OK) {
        error_ = conexion ? errorDelServidor(conexion, nullptr)
                          : QSqlError(QStringLiteral("QPSQL: no connection"), {}, QSqlError::ConnectionError);
        return false;
    }
    // Whatever another statement of the driver left unread goes first, as
    // the driver itself does before it sends a statement.
    while (PGresult* r = PQgetResult(conexion))
        PQclear(r);
    if (!PQenterPipelineMode(conexion)) {
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
                   && PQsendQueryParams(conexion, numerarMarcas(s.sql).constData(), int(valores.size()), nullptr,
                                        valores.data(), nullptr, nullptr, 0);
    }
    enviadas = enviadas && PQpipelineSync(conexion);
    if (!enviadas)
        error_ = errorDelServidor(conexion, nullptr);

    // The results of each statement sent (its rows, whole or one by one when
    // the driver left single-row mode on), each run ended by a null; then the sync.
    for (qsizetype i = 0; enviadas && i < sentencias_.size() && error_.type() == QSqlError::NoError; ++i) {
        Resultado salida;
        bool respondida = false;
        while (PGresult* crudo = PQgetResult(conexion)) {
            ResultadoPg r(crudo, &PQclear);
            const ExecStatusType estado = PQresultStatus(r.get());
            if (estado == PGRES_PIPELINE_SYNC)
                break;
            if (estado != PGRES_TUPLES_OK && estado != PGRES_SINGLE_TUPLE && estado != PGRES_COMMAND_OK) {
                if (error_.type() == QSqlError::NoError)
                    error_ = errorDelServidor(conexion, r.get());
                continue;
            }
            if (!respondida)
                for (int c = 0; c < PQnfields(r.get()); ++c)
                    salida.columnas << QString::fromUtf8(PQfname(r.get(), c));
            respondida = true;
            for (int f = 0; f < PQntuples(r.get()); ++f) {
                QVariantList fila;
                fila.reserve(PQnfields(r.get()));
                for (int c = 0; c < PQnfields(r.get()); ++c)
                    fila << valorDelServidor(r.get(), f, c);
                salida.filas << fila;
            }
            salida.afectadas = QByteArray(PQcmdTuples(r.get())).toInt();
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
    for (qsizetype intentos = 0; intentos < pendientes && PQstatus(conexion) == CONNECTION_OK; ++intentos) {
        ResultadoPg r(PQgetResult(conexion), &PQclear);
        if (r && PQresultStatus(r.get()) == PGRES_PIPELINE_SYNC)
            break;
    }
    PQexitPipelineMode(conexion);
    return error_.type() == QSqlError::NoError && resultados_.size() == sentencias_.size();
}
