// The batch on SQLite: the statements run one after another on the engine's
// own interface, each prepared once per connection and kept for the next
// batch. A save runs the same dozen statements every time; preparing them
// anew, and binding and reading every value through the driver's generic
// layer, cost more than the statements themselves.

#include "LoteSql.h"

#include <QDateTime>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlResult>

#include <sqlite3.h>

#include <algorithm>
#include <unordered_map>

namespace {

// The engine's handles behind the driver's connection and its statements.
template <typename T>
T* manejo(const QVariant& h, const char* tipo)
{
    if (!h.isValid() || qstrcmp(h.typeName(), tipo) != 0)
        return nullptr;
    return *static_cast<T* const*>(h.constData());
}

sqlite3* conexionSqlite(const QSqlDatabase& db)
{
    return db.driver() ? manejo<sqlite3>(db.driver()->handle(), "sqlite3*") : nullptr;
}

sqlite3_stmt* sentenciaDe(const QSqlQuery& q)
{
    return q.result() ? manejo<sqlite3_stmt>(q.result()->handle(), "sqlite3_stmt*") : nullptr;
}

// The driver's own words for an engine error, as its queries report it.
QSqlError errorSqlite(sqlite3* conexion, const char* descripcion, QSqlError::ErrorType tipo, int codigo)
{
    return QSqlError(QLatin1String(descripcion),
                     QString(reinterpret_cast<const QChar*>(sqlite3_errmsg16(conexion))), tipo,
                     QString::number(codigo));
}

// The statements prepared so far, per connection and text. The driver owns
// each one through the query that prepared it: closing the connection
// finalizes them all (a statement of ours left alive would keep the file
// open), and the query then reports no statement, so it is prepared again
// on the connection opened next. Never destroyed: the driver's plugin may
// be gone by the time statics are.
class Preparadas {
public:
    // The statement of `sql` on `db`, ready to be bound; null with *error set.
    sqlite3_stmt* de(QSqlDatabase db, sqlite3* conexion, const QString& sql, QSqlError* error)
    {
        const Clave clave{db.driver(), sql};
        if (const auto it = consultas_.find(clave); it != consultas_.end()) {
            sqlite3_stmt* s = sentenciaDe(it->second);
            if (s && sqlite3_db_handle(s) == conexion)
                return s;
        }
        if (consultas_.size() >= kMaximo)
            depurar();
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!q.prepare(sql)) {
            *error = q.lastError();
            consultas_.erase(clave);
            return nullptr;
        }
        sqlite3_stmt* s = sentenciaDe(q);
        if (!s) {
            *error = QSqlError(QStringLiteral("No statement prepared"), {}, QSqlError::StatementError);
            return nullptr;
        }
        consultas_.insert_or_assign(clave, std::move(q));
        return s;
    }

private:
    using Clave = std::pair<const QSqlDriver*, QString>;
    struct Hash {
        size_t operator()(const Clave& c) const { return qHash(c.second) ^ std::hash<const void*>()(c.first); }
    };
    // Texts that vary (lists of values of any length) would pile up: past
    // this many, those of closed connections go, and then all.
    static constexpr qsizetype kMaximo = 200;

    void depurar()
    {
        std::erase_if(consultas_, [](const auto& e) { return sentenciaDe(e.second) == nullptr; });
        if (consultas_.size() >= kMaximo / 2)
            consultas_.clear();
    }

    std::unordered_map<Clave, QSqlQuery, Hash> consultas_;
};

Preparadas& preparadas()
{
    // Connections belong to the thread that opened them.
    thread_local Preparadas* p = new Preparadas;
    return *p;
}

// A text the engine copies: it is made only for the binding.
int enlazarTexto(sqlite3_stmt* s, int i, const QString& texto)
{
    return sqlite3_bind_text16(s, i, texto.constData(), int(texto.size() * sizeof(QChar)), SQLITE_TRANSIENT);
}

// A value as the driver binds it: Null, whole numbers, reals, bytes, and
// the rest as text (dates and times in the driver's own format).
int enlazar(sqlite3_stmt* s, int i, const QVariant& v)
{
    if (LoteSql::esNulo(v))
        return sqlite3_bind_null(s, i);
    switch (v.userType()) {
    case QMetaType::QByteArray: {
        const QByteArray* b = static_cast<const QByteArray*>(v.constData());
        return sqlite3_bind_blob(s, i, b->constData(), int(b->size()), SQLITE_STATIC);
    }
    case QMetaType::Int:
    case QMetaType::Bool:
        return sqlite3_bind_int(s, i, v.toInt());
    case QMetaType::Double:
        return sqlite3_bind_double(s, i, v.toDouble());
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return sqlite3_bind_int64(s, i, v.toLongLong());
    case QMetaType::QString: {
        // The value outlives the statement's run: the batch holds it.
        const QString* t = static_cast<const QString*>(v.constData());
        return sqlite3_bind_text16(s, i, t->unicode(), int(t->size() * sizeof(QChar)), SQLITE_STATIC);
    }
    case QMetaType::QDateTime:
        return enlazarTexto(s, i, v.toDateTime().toString(Qt::ISODateWithMs));
    case QMetaType::QTime:
        return enlazarTexto(s, i, v.toTime().toString(QStringLiteral("hh:mm:ss.zzz")));
    default:
        return enlazarTexto(s, i, v.toString());
    }
}

// A text read as the driver reads it. Most are plain ASCII, taken as they
// are stored; the others go through the engine's own conversion, as the
// driver's do, so a stamp made of them is the same whoever read them.
QString textoSqlite(sqlite3_stmt* s, int i)
{
    const char* texto = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
    const int largo = sqlite3_column_bytes(s, i);
    if (!texto)   // an empty text stays a text, apart from Null
        return QStringLiteral("");
    if (std::all_of(texto, texto + largo, [](char c) { return (c & 0x80) == 0; }))
        return QString::fromLatin1(texto, largo);
    return QString(reinterpret_cast<const QChar*>(sqlite3_column_text16(s, i)),
                   sqlite3_column_bytes16(s, i) / qsizetype(sizeof(QChar)));
}

// A value read as the driver reads it: whole numbers as 64-bit numbers,
// reals as doubles, Null as a null text.
QVariant valorSqlite(sqlite3_stmt* s, int i)
{
    switch (sqlite3_column_type(s, i)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(s, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(s, i));
    case SQLITE_NULL:
        return QVariant(QMetaType::fromType<QString>());
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(s, i)), sqlite3_column_bytes(s, i));
    default:
        return textoSqlite(s, i);
    }
}

// A column's name as the driver gives it: no quotes, no table in front.
QString nombreColumna(sqlite3_stmt* s, int i)
{
    QString nombre = QString(reinterpret_cast<const QChar*>(sqlite3_column_name16(s, i))).remove(u'"');
    return nombre.mid(nombre.lastIndexOf(u'.') + 1);
}

} // namespace

bool LoteSql::ejecutarSqlite(QSqlDatabase db)
{
    sqlite3* conexion = conexionSqlite(db);
    if (!conexion || !db.isOpen()) {
        error_ = QSqlError(QStringLiteral("Unable to execute statement"), QStringLiteral("database not open"),
                           QSqlError::ConnectionError);
        return false;
    }
    // The statement in use is left reset and unbound whatever happens: a
    // statement stopped half-way would keep the transaction from ending,
    // and its values are the batch's, gone once it returns.
    struct EnUso {
        sqlite3_stmt* s = nullptr;
        void soltar()
        {
            if (s) {
                sqlite3_reset(s);
                sqlite3_clear_bindings(s);
            }
            s = nullptr;
        }
        ~EnUso() { soltar(); }
    } enUso;
    const QString* preparada = nullptr;
    for (const Sentencia& sentencia : sentencias_) {
        if (!preparada || *preparada != sentencia.sql) {
            enUso.soltar();
            enUso.s = preparadas().de(db, conexion, sentencia.sql, &error_);
            if (!enUso.s)
                return false;
            preparada = &sentencia.sql;
        }
        sqlite3_stmt* s = enUso.s;
        if (sqlite3_bind_parameter_count(s) != sentencia.valores.size()) {
            error_ = QSqlError(QStringLiteral("Parameter count mismatch"), {},
                               QSqlError::StatementError);
            return false;
        }
        for (int i = 0; i < sentencia.valores.size(); ++i)
            if (const int res = enlazar(s, i + 1, sentencia.valores[i]); res != SQLITE_OK) {
                error_ = errorSqlite(conexion, "Unable to bind parameters", QSqlError::StatementError, res);
                return false;
            }
        // The columns are known once the first step has run: a statement
        // kept from before a change of its table is prepared anew there.
        int res = sqlite3_step(s);
        Resultado r;
        const int ancho = sqlite3_column_count(s);
        for (int i = 0; i < ancho; ++i)
            r.columnas << nombreColumna(s, i);
        for (; res == SQLITE_ROW; res = sqlite3_step(s)) {
            QVariantList fila;
            fila.reserve(ancho);
            for (int i = 0; i < ancho; ++i)
                fila << valorSqlite(s, i);
            r.filas << fila;
        }
        if (res != SQLITE_DONE) {
            // The reset names the error the step met.
            if (res == SQLITE_ERROR || res == SQLITE_CONSTRAINT)
                res = sqlite3_reset(s);
            error_ = errorSqlite(conexion, "Unable to fetch row", QSqlError::ConnectionError, res);
            return false;
        }
        if (ancho == 0)
            r.afectadas = sqlite3_changes(conexion);
        sqlite3_reset(s);
        resultados_ << r;
    }
    return true;
}
