#include "Suite.h"

#include "MotorSql.h"
#include "LoginsPorUsuario.h"
#include "Sesion.h"
#include "GuionSql.h"
#include "CarpetaSuite.h"
#include "TransaccionSql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace qvrhost {
namespace {

// How long the host waits for a workstation's lock or for the server to answer.
constexpr int kServerWaitMs = 5000;

QString copiaRecurso(const QString& resource, const QString& target)
{
    QFile in(resource);
    QFile out(target);
    if (!in.open(QIODevice::ReadOnly))
        return QStringLiteral("No se puede leer %1.").arg(resource);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(in.readAll()) < 0)
        return QStringLiteral("No se puede escribir %1.").arg(target);
    return {};
}

QString textoIni(const QString& sysPath, const QString& dbPath, const QString& dbName,
                const QString& sysUser = QStringLiteral("ADMIN"), bool perUserLogins = false)
{
    // Windows line ends: the suite's programs share this file with the host.
    const QStringList lines{
        QStringLiteral("[Options]"),
        QStringLiteral("SysPath=") + sysPath,
        QStringLiteral("SysVersion=3.5"),
        QStringLiteral("DBPath=") + dbPath,
        QStringLiteral("DBName=") + dbName,
        QStringLiteral("SysMenu=QVRMENU.TXT"),
        QStringLiteral("SysUser=") + sysUser,
    };
    const QStringList login{QStringLiteral("DBLogin=SysUser")};
    return (perUserLogins ? lines + login : lines).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

// The suite folder's own files: work folders, help file, installer data.
QString preparaCarpeta(const QDir& dir)
{
    const QString sysPath = dir.absolutePath() + u'/';
    if (QFileInfo::exists(sysPath + QStringLiteral("KV000.INI")))
        return QStringLiteral("Ya existe una suite en %1 (KV000.INI).").arg(dir.absolutePath());
    for (const char* sub : {"RPT", "TMP", "BMP", "0834"}) {
        if (!dir.mkpath(QLatin1String(sub)))
            return QStringLiteral("No se puede crear la carpeta %1%2.").arg(sysPath, QLatin1String(sub));
    }
    QString error = copiaRecurso(QStringLiteral(":/host/resources/Kv834.hlp"), sysPath + QStringLiteral("0834/Kv834.hlp"));
    if (error.isEmpty())
        error = copiaRecurso(QStringLiteral(":/host/resources/env834.txt"), sysPath + QStringLiteral("TMP/env834.txt"));
    return error;
}

// KV000.INI, written last so that a failed attempt can be repeated.
QString escribeIni(const QString& iniPath, const QString& text)
{
    QFile ini(iniPath);
    if (!ini.open(QIODevice::WriteOnly) || ini.write(text.toUtf8()) < 0 || !ini.flush()) {
        ini.remove();
        return QStringLiteral("No se puede escribir %1.").arg(iniPath);
    }
    return {};
}

// Runs `build` on a connection of its own to `dbFile`, then closes it.
template <typename Construye>
QString conBase(const QString& dbFile, Construye build)
{
    const QString connection = QStringLiteral("qvrhost-create-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString error = abreBaseSuite(dbFile, connection);
    if (error.isEmpty()) {
        QSqlDatabase db = QSqlDatabase::database(connection, false);
        error = build(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return error;
}

QString construyeBase(const QString& dbFile)
{
    return conBase(dbFile, [](QSqlDatabase db) {
        // Write-ahead logging lets one program save while another still reads
        // a long list from the same shared file.
        QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        QString error = ejecutaArchivoGuionSql(db, QStringLiteral(":/host/schema/sqlite.sql"));
        if (error.isEmpty())
            error = insertaFilasMuestra(db);
        return error;
    });
}

// The suite's tables the database already holds (names as the schema writes them).
QStringList tablasSuiteEn(const QSqlDatabase& db, const QStringList& suiteTables)
{
    const QStringList present = db.tables();
    QStringList found;
    for (const QString& table : suiteTables) {
        if (present.contains(table, Qt::CaseInsensitive))
            found << table;
    }
    return found;
}

// Schema, rights and sample rows in one transaction: the database ends up
// with the whole suite or as it was.
QString construyeBaseServidor(QSqlDatabase db, bool force, bool perUserLogins, QString* admin)
{
    QString error;
    const QStringList schema = sentenciasSql(leeGuionSql(QStringLiteral(":/host/schema/postgresql.sql"), &error));
    if (!error.isEmpty())
        return error;
    const QStringList tables = tablasCreadas(schema);
    const QStringList existing = tablasSuiteEn(db, tables);
    if (!existing.isEmpty() && !force)
        return QStringLiteral("La base de datos ya tiene tablas de la suite (%1). Use --force para reemplazarlas.")
            .arg(existing.join(QStringLiteral(", ")));
    QStringList statements;
    for (const QString& table : existing)
        statements << QStringLiteral("DROP TABLE ") + table;
    statements << schema;
    // The workstations' account reads and writes rows; it creates nothing.
    if (!perUserLogins && db.userName().compare(usuarioIncorporado(), Qt::CaseInsensitive) != 0)
        statements << QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON %1 TO %2")
                          .arg(tables.join(QStringLiteral(", ")), usuarioIncorporado());

    TransaccionSql transaccion(db);
    if (!transaccion.abierta())
        return transaccion.error();
    error = ejecutaSentenciasSql(db, statements);
    if (error.isEmpty())
        error = escribeFilasMuestra(db);
    if (error.isEmpty() && perUserLogins) {
        *admin = loginSesion(db);
        error = escribeLoginsPorUsuario(db, *admin);
    }
    if (error.isEmpty() && !transaccion.confirmar())
        error = transaccion.error();
    return error;
}

} // namespace

QString abreBaseSuite(const QString& dbFile, const QString& connection)
{
    if (esDireccionServidor(dbFile)) {
        QString problem;
        std::optional<DireccionServidor> address = leerDireccionServidor(dbFile, &problem);
        if (!address)
            return problem;
        if (address->usuario.isEmpty())
            address->usuario = usuarioIncorporado();
        QSqlDatabase db = prepararConexionServidor(*address, connection, kServerWaitMs);
        return db.open() ? QString() : db.lastError().text();
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(nombreDriver(Motor::Sqlite), connection);
    db.setDatabaseName(dbFile);
    if (!db.open())
        return db.lastError().text();
    return {};
}

QString creaSuite(const QString& folder)
{
    if (folder.trimmed().isEmpty())
        return QStringLiteral("Falta la carpeta de la suite.");
    const QDir dir(QDir(folder).absolutePath());
    const QString sysPath = dir.absolutePath() + u'/';
    const QString dbFile = sysPath + QLatin1String(kDatabaseName);
    QString error = preparaCarpeta(dir);   // an existing KV000.INI is refused first
    if (error.isEmpty() && QFileInfo::exists(dbFile))
        error = QStringLiteral("Ya existe la base de datos %1.").arg(dbFile);
    if (!error.isEmpty())
        return error;

    error = construyeBase(dbFile);
    if (error.isEmpty())
        error = escribeIni(sysPath + QStringLiteral("KV000.INI"), textoIni(sysPath, sysPath, QLatin1String(kDatabaseName)));
    if (!error.isEmpty())
        QFile::remove(dbFile);  // a half-made database would block the next attempt
    return error;
}

QString creaSuiteEnServidor(const QString& folder, const QString& url, bool force, bool perUserLogins)
{
    if (folder.trimmed().isEmpty())
        return QStringLiteral("Falta la carpeta de la suite.");
    QString problem;
    std::optional<DireccionServidor> address = leerDireccionServidor(url, &problem);
    if (!address)
        return problem;
    if (address->traeClave)
        return QStringLiteral("La contraseña no va en la dirección del servidor: guárdela en ~/.pgpass "
                              "(o en el archivo que indique PGPASSFILE).");
    const QDir dir(QDir(folder).absolutePath());
    QString error = preparaCarpeta(dir);
    if (!error.isEmpty())
        return error;

    // The tables are created by the login the address names (the database's
    // owner); the workstations log in with the built-in account.
    const QString connection = QStringLiteral("qvrhost-server-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString admin = QStringLiteral("ADMIN");
    {
        QSqlDatabase db = prepararConexionServidor(*address, connection, kServerWaitMs);
        error = db.open() ? construyeBaseServidor(db, force, perUserLogins, &admin) : db.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (!error.isEmpty())
        return error;

    DireccionServidor workstation = *address;
    workstation.usuario.clear();
    const QString text = escribirDireccionServidor(workstation);
    const qsizetype nameAt = text.indexOf(u'/', text.indexOf(QLatin1String("//")) + 2) + 1;
    const QString sysPath = dir.absolutePath() + u'/';
    return escribeIni(sysPath + QStringLiteral("KV000.INI"),
                    textoIni(sysPath, text.left(nameAt), text.mid(nameAt), admin, perUserLogins));
}

QString haceSuiteUsuario(const QString& folder, const QString& userIni)
{
    const QString suiteIni = QDir(QDir(folder).absolutePath()).filePath(QStringLiteral("KV000.INI"));
    if (!QFileInfo::exists(suiteIni)) {
        const QString error = creaSuite(folder);
        if (!error.isEmpty())
            return error;
    }
    // A suite folder that was moved still names its old place: it is set right first.
    QByteArray text;
    if (const QString error = reubicaIniSuite(folder, &text); !error.isEmpty())
        return error;
    const QFileInfo target(userIni);
    if (target.exists() && target.canonicalFilePath() == QFileInfo(suiteIni).canonicalFilePath())
        return {};
    // Written whole or not at all: the user's previous settings stay until the
    // new ones are complete.
    return escribeCompleto(userIni, text);
}

} // namespace qvrhost
