#include "MotorSql.h"

#include "LoteSql.h"

#include <QSqlQuery>
#include <QUrl>

namespace {

const QString kEsquema = QStringLiteral("postgresql://");

QString decodificado(QStringView text) { return QUrl::fromPercentEncoding(text.toUtf8()); }

// "host:port", "[::1]:port", "host" or ":port"; false when the port is no number.
bool leerHostYPuerto(QStringView texto, DireccionServidor& d)
{
    qsizetype dosPuntos = texto.lastIndexOf(u':');
    if (texto.startsWith(u'[') && texto.lastIndexOf(u']') > dosPuntos)
        dosPuntos = -1;   // an IPv6 address without a port
    if (dosPuntos >= 0) {
        bool ok = false;
        d.puerto = texto.mid(dosPuntos + 1).toInt(&ok);
        if (!ok || d.puerto <= 0 || d.puerto > 65535)
            return false;
        texto = texto.left(dosPuntos);
    }
    if (texto.startsWith(u'[') && texto.endsWith(u']'))
        texto = texto.mid(1, texto.size() - 2);
    d.host = decodificado(texto);
    return true;
}

// SQLite result codes (primary; extended codes carry them in the low byte).
enum : int {
    kSqliteConstraint = 19,
    kSqlitePerm = 3,
    kSqliteBusy = 5,
    kSqliteLocked = 6,
    kSqliteReadOnly = 8,
    kSqliteFull = 13,
    kSqliteAuth = 23,
};

FalloSql deSqlite(int code)
{
    switch (code & 0xff) {
    case kSqlitePerm:
    case kSqliteBusy:
    case kSqliteLocked:
    case kSqliteReadOnly:
    case kSqliteAuth:
        return FalloSql::Bloqueo;
    case kSqliteFull:
        return FalloSql::DiscoLleno;
    case kSqliteConstraint:
        // Only the primary key and SPOOL.Archivo can clash in these tables.
        return (code == 19 || code == 1555 || code == 2067) ? FalloSql::ClaveDuplicada : FalloSql::Otro;
    default:
        return FalloSql::Otro;
    }
}

// PostgreSQL's SQLSTATE of a failed statement.
FalloSql dePostgres(const QString& sqlState)
{
    if (sqlState == u"23505")
        return FalloSql::ClaveDuplicada;
    if (sqlState == u"42501" || sqlState == u"55P03" || sqlState == u"40P01" || sqlState == u"40001"
        || sqlState == u"25006")   // no permission, lock not available, deadlock, serialization, read-only
        return FalloSql::Bloqueo;
    if (sqlState == u"3D000")
        return FalloSql::BaseInexistente;
    if (sqlState == u"28000" || sqlState == u"28P01")
        return FalloSql::Autenticacion;
    if (sqlState == u"53100")
        return FalloSql::DiscoLleno;
    // Connection exceptions; the server shutting down, crashing or
    // terminating this session (57P01 to 57P03).
    if (sqlState.startsWith(u"08") || sqlState.startsWith(u"57P0"))
        return FalloSql::SinConexion;
    return FalloSql::Otro;
}

// A statement that failed without any SQLSTATE never reached the server: the
// client says why. Only its words for a connection that is gone count.
bool textoDeConexionPerdida(const QString& text)
{
    static const char* const kFrases[] = {
        "server closed the connection", "no connection to the server", "could not send data",
        "could not receive data",       "terminating connection",      "connection to server",
        "SSL SYSCALL error",            "lost synchronization",        "server conn crashed",
    };
    for (const char* frase : kFrases)
        if (text.contains(QLatin1String(frase), Qt::CaseInsensitive))
            return true;
    return false;
}

// A refused connection carries no SQLSTATE through the driver; the client's
// own texts tell the cases apart.
FalloSql deConexionPostgres(const QString& text)
{
    if (text.contains(QLatin1String("does not exist")) && text.contains(QLatin1String("database")))
        return FalloSql::BaseInexistente;
    if (text.contains(QLatin1String("authentication failed")) || text.contains(QLatin1String("no password supplied"))
        || text.contains(QLatin1String("pg_hba.conf")) || text.contains(QLatin1String("role \"")))
        return FalloSql::Autenticacion;
    if (text.contains(QLatin1String("permission denied")))
        return FalloSql::Bloqueo;
    return FalloSql::SinConexion;
}

bool ejecutar(QSqlDatabase db, const QString& sql, QSqlError* error)
{
    QSqlQuery q(db);
    if (q.exec(sql))
        return true;
    if (error)
        *error = q.lastError();
    return false;
}

} // namespace

bool esDireccionServidor(const QString& dbFile) { return dbFile.startsWith(kEsquema, Qt::CaseInsensitive); }


Motor motorDe(const QSqlDatabase& db)
{
    return db.driverName().startsWith(QLatin1String("QPSQL")) ? Motor::Postgres : Motor::Sqlite;
}

QString nombreDriver(Motor motor) { return motor == Motor::Postgres ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"); }

std::optional<DireccionServidor> leerDireccionServidor(const QString& url, QString* problema)
{
    const auto falla = [&](const QString& texto) -> std::optional<DireccionServidor> {
        if (problema)
            *problema = texto;
        return std::nullopt;
    };
    if (!esDireccionServidor(url))
        return falla(QStringLiteral("La dirección del servidor no empieza con postgresql://: %1").arg(url));
    QStringView resto = QStringView(url).mid(kEsquema.size());
    QStringView consulta;
    if (const qsizetype q = resto.indexOf(u'?'); q >= 0) {
        consulta = resto.mid(q + 1);
        resto = resto.left(q);
    }
    const qsizetype barra = resto.indexOf(u'/');
    if (barra < 0 || resto.mid(barra + 1).isEmpty())
        return falla(QStringLiteral("La dirección del servidor no indica la base de datos: %1").arg(url));
    DireccionServidor d;
    d.base = decodificado(resto.mid(barra + 1));
    if (d.base.contains(u'/'))
        return falla(QStringLiteral("El nombre de la base de datos no es válido: %1").arg(url));
    QStringView autoridad = resto.left(barra);
    if (const qsizetype arroba = autoridad.lastIndexOf(u'@'); arroba >= 0) {
        QStringView usuario = autoridad.left(arroba);
        if (const qsizetype dos = usuario.indexOf(u':'); dos >= 0) {
            d.traeClave = true;
            usuario = usuario.left(dos);
        }
        if (usuario.isEmpty())
            return falla(QStringLiteral("La dirección del servidor no indica el usuario antes de @: %1").arg(url));
        d.usuario = decodificado(usuario);
        autoridad = autoridad.mid(arroba + 1);
    }
    if (!leerHostYPuerto(autoridad, d))
        return falla(QStringLiteral("El puerto de la dirección del servidor no es válido: %1").arg(url));
    for (QStringView par : consulta.split(u'&', Qt::SkipEmptyParts)) {
        const qsizetype igual = par.indexOf(u'=');
        const QStringView clave = igual < 0 ? par : par.left(igual);
        const QString valor = igual < 0 ? QString() : decodificado(par.mid(igual + 1));
        bool ok = true;
        if (clave == u"host" && !valor.isEmpty())
            d.host = valor;
        else if (clave == u"port")
            d.puerto = valor.toInt(&ok);
        else if (clave == u"user" && !valor.isEmpty())
            d.usuario = valor;
        else if (clave == u"password")
            d.traeClave = true;
        else
            ok = false;
        if (!ok)
            return falla(QStringLiteral("Parámetro no válido en la dirección del servidor: %1").arg(par.toString()));
    }
    return d;
}

QString escribirDireccionServidor(const DireccionServidor& d)
{
    const auto parte = [](const QString& s) { return QString::fromUtf8(QUrl::toPercentEncoding(s)); };
    QString texto = kEsquema;
    if (!d.usuario.isEmpty())
        texto += parte(d.usuario) + u'@';
    const bool socket = d.host.startsWith(u'/');
    if (!socket)
        texto += d.host.contains(u':') ? u'[' + d.host + u']' : parte(d.host);
    if (d.puerto > 0)
        texto += u':' + QString::number(d.puerto);
    texto += u'/' + parte(d.base);
    if (socket)
        texto += QStringLiteral("?host=") + d.host;
    return texto;
}

QSqlDatabase prepararConexionServidor(const DireccionServidor& d, const QString& connectionName, int esperaMs)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(nombreDriver(Motor::Postgres), connectionName);
    db.setHostName(d.host);
    if (d.puerto > 0)
        db.setPort(d.puerto);
    db.setDatabaseName(d.base);
    db.setUserName(d.usuario);
    // No password is set: libpq then reads ~/.pgpass or PGPASSFILE, or the
    // server lets the login in by peer or trust.
    db.setConnectOptions(QStringLiteral("connect_timeout=%1;options='-c lock_timeout=%2'")
                             .arg(qMax(2, esperaMs / 1000))
                             .arg(qMax(1, esperaMs)));
    return db;
}

QSqlRecord columnasDeTabla(const QSqlDatabase& db, const QString& tabla)
{
    return db.record(motorDe(db) == Motor::Postgres ? tabla.toLower() : tabla);
}

FalloSql clasificarError(const QSqlError& error)
{
    if (error.type() == QSqlError::NoError)
        return FalloSql::Otro;
    const QString native = error.nativeErrorCode();
    bool numeric = false;
    const int code = native.toInt(&numeric);
    if (numeric && native.size() < 5)
        return deSqlite(code);
    if (native.size() == 5)
        return dePostgres(native);
    if (error.type() == QSqlError::ConnectionError)
        return deConexionPostgres(error.databaseText() + u' ' + error.driverText());
    if (native.isEmpty() && textoDeConexionPerdida(error.databaseText() + u' ' + error.driverText()))
        return FalloSql::SinConexion;
    return FalloSql::Otro;
}

bool conexionPerdida(const QSqlError& error) { return clasificarError(error) == FalloSql::SinConexion; }

bool conexionViva(QSqlDatabase db)
{
    if (motorDe(db) != Motor::Postgres)
        return true;
    if (!db.isOpen())
        return false;
    // A statement the driver could not even send fails without any error.
    QSqlQuery q(db);
    return q.exec(QStringLiteral("SELECT 1")) || (q.lastError().isValid() && !conexionPerdida(q.lastError()));
}

bool reabrirConexion(QSqlDatabase db)
{
    if (!db.isValid())
        return false;
    db.close();
    return db.open();
}

void asegurarConexion(QSqlDatabase db)
{
    if (!conexionViva(db))
        reabrirConexion(db);
}

bool comenzarEscritura(QSqlDatabase db, QSqlError* error)
{
    if (motorDe(db) == Motor::Sqlite)
        return ejecutar(db, QStringLiteral("BEGIN IMMEDIATE"), error);
    // A connection whose reopening failed before (the server was still down).
    if (!db.isOpen())
        reabrirConexion(db);
    if (db.transaction())
        return true;
    if (conexionPerdida(db.lastError()) && reabrirConexion(db) && db.transaction())
        return true;
    if (error)
        *error = db.lastError();
    return false;
}

bool confirmarEscritura(QSqlDatabase db, QSqlError* error)
{
    if (db.commit())
        return true;
    if (error)
        *error = db.lastError();
    return false;
}

void deshacerEscritura(QSqlDatabase db) { db.rollback(); }

bool reservarTabla(QSqlDatabase db, const QString& tabla, QSqlError* error)
{
    if (motorDe(db) == Motor::Sqlite)
        return true;
    // SHARE ROW EXCLUSIVE conflicts with itself and with every writer, not with readers.
    return ejecutar(db, QStringLiteral("LOCK TABLE ") + tabla + QStringLiteral(" IN SHARE ROW EXCLUSIVE MODE"), error);
}

bool lecturasJuntas(QSqlDatabase db) { return motorDe(db) == Motor::Postgres; }

bool confirmarEscritura(QSqlDatabase db, LoteSql& escrituras, QSqlError* error)
{
    if (motorDe(db) == Motor::Sqlite) {
        if (escrituras.ejecutar(db))
            return confirmarEscritura(db, error);
        if (error)
            *error = escrituras.error();
        return false;
    }
    // A statement that fails leaves the COMMIT after it unrun.
    escrituras.agregar(QStringLiteral("COMMIT"));
    if (escrituras.ejecutar(db))
        return true;
    if (error)
        *error = escrituras.error();
    return false;
}

namespace {

QSqlError primerError(const QList<LoteSql*>& lotes)
{
    for (const LoteSql* lote : lotes)
        if (lote->error().isValid())
            return lote->error();
    return {};
}

} // namespace

bool comenzarEscrituraReservando(QSqlDatabase db, const QString& tabla, QSqlError* error,
                                 const QList<LoteSql*>& lecturas)
{
    if (motorDe(db) == Motor::Sqlite) {
        if (!comenzarEscritura(db, error))
            return false;
        if (lecturas.isEmpty() || LoteSql::ejecutarJuntos(db, lecturas))
            return true;
        if (error)
            *error = primerError(lecturas);
        deshacerEscritura(db);
        return false;
    }
    // A connection whose reopening failed before (the server was still down).
    if (!db.isOpen())
        reabrirConexion(db);
    // The reads are kept to be sent again on a new connection.
    QList<LoteSql> copias;
    for (const LoteSql* lote : lecturas)
        copias << *lote;
    const auto comenzar = [&](QSqlError* fallo) {
        LoteSql lote;
        lote.agregar(QStringLiteral("BEGIN"));
        lote.agregar(QStringLiteral("LOCK TABLE ") + tabla + QStringLiteral(" IN SHARE ROW EXCLUSIVE MODE"));
        QList<LoteSql*> todos{&lote};
        for (qsizetype i = 0; i < lecturas.size(); ++i) {
            *lecturas[i] = copias[i];
            todos << lecturas[i];
        }
        if (LoteSql::ejecutarJuntos(db, todos))
            return true;
        *fallo = primerError(todos);
        return false;
    };
    QSqlError fallo;
    if (comenzar(&fallo))
        return true;
    // Nothing was under way: a connection lost since the last statement is opened again once.
    if (conexionPerdida(fallo) && reabrirConexion(db) && comenzar(&fallo))
        return true;
    if (error)
        *error = fallo;
    deshacerEscritura(db);
    return false;
}

namespace {

QVariant valorPragma(QSqlDatabase db, const QString& pragma)
{
    QSqlQuery q(db);
    return q.exec(pragma) && q.next() ? q.value(0) : QVariant();
}

} // namespace

void asegurarEspera(QSqlDatabase db)
{
    if (motorDe(db) != Motor::Sqlite || valorPragma(db, QStringLiteral("PRAGMA busy_timeout")).toInt() > 0)
        return;
    QSqlQuery(db).exec(QStringLiteral("PRAGMA busy_timeout = 5000"));
}

QVariant aligerarConfirmaciones(QSqlDatabase db)
{
    if (motorDe(db) != Motor::Sqlite
        || valorPragma(db, QStringLiteral("PRAGMA journal_mode")).toString().compare(u"wal", Qt::CaseInsensitive) != 0)
        return {};
    const QVariant anterior = valorPragma(db, QStringLiteral("PRAGMA synchronous"));
    if (anterior.isNull() || !QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous = NORMAL")))
        return {};
    return anterior;
}

bool restablecerConfirmaciones(QSqlDatabase db, const QVariant& anterior)
{
    if (anterior.isNull())
        return true;
    QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous = %1").arg(anterior.toInt()));
    // The checkpoint writes the log to disk before it copies it into the database.
    return !valorPragma(db, QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)")).isNull();
}
