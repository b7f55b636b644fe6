#include "Suite.h"

#include "SqlScript.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace qvrhost {
namespace {

QString copyResource(const QString& resource, const QString& target)
{
    QFile in(resource);
    QFile out(target);
    if (!in.open(QIODevice::ReadOnly))
        return QStringLiteral("No se puede leer %1.").arg(resource);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(in.readAll()) < 0)
        return QStringLiteral("No se puede escribir %1.").arg(target);
    return {};
}

QString iniText(const QString& sysPath)
{
    // Windows line ends: the suite's programs share this file with the host.
    const QStringList lines{
        QStringLiteral("[Options]"),
        QStringLiteral("SysPath=") + sysPath,
        QStringLiteral("SysVersion=3.5"),
        QStringLiteral("DBPath=") + sysPath,
        QStringLiteral("DBName=") + QLatin1String(kDatabaseName),
        QStringLiteral("SysMenu=QVRMENU.TXT"),
        QStringLiteral("SysUser=ADMIN"),
    };
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

QString buildDatabase(const QString& dbFile)
{
    const QString connection = QStringLiteral("qvrhost-create-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString error = openSuiteDatabase(dbFile, connection);
    if (error.isEmpty()) {
        QSqlDatabase db = QSqlDatabase::database(connection, false);
        // Write-ahead logging lets one program save while another still reads
        // a long list from the same shared file.
        QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        error = runSqlScriptFile(db, QStringLiteral(":/host/schema/sqlite.sql"));
        if (error.isEmpty())
            error = insertSampleRows(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return error;
}

} // namespace

QString openSuiteDatabase(const QString& dbFile, const QString& connection)
{
    if (dbFile.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive))
        return QStringLiteral("El host de prueba solo maneja bases SQLite: %1").arg(dbFile);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(dbFile);
    if (!db.open())
        return db.lastError().text();
    return {};
}

QString createSuite(const QString& folder)
{
    if (folder.trimmed().isEmpty())
        return QStringLiteral("Falta la carpeta de la suite.");
    const QDir dir(QDir(folder).absolutePath());
    const QString sysPath = dir.absolutePath() + u'/';
    const QString iniPath = sysPath + QStringLiteral("KV000.INI");
    const QString dbFile = sysPath + QLatin1String(kDatabaseName);
    if (QFileInfo::exists(iniPath))
        return QStringLiteral("Ya existe una suite en %1 (KV000.INI).").arg(dir.absolutePath());
    if (QFileInfo::exists(dbFile))
        return QStringLiteral("Ya existe la base de datos %1.").arg(dbFile);

    for (const char* sub : {"RPT", "TMP", "BMP", "0834"}) {
        if (!dir.mkpath(QLatin1String(sub)))
            return QStringLiteral("No se puede crear la carpeta %1%2.").arg(sysPath, QLatin1String(sub));
    }
    QString error = copyResource(QStringLiteral(":/host/resources/Kv834.hlp"), sysPath + QStringLiteral("0834/Kv834.hlp"));
    if (error.isEmpty())
        error = copyResource(QStringLiteral(":/host/resources/env834.txt"), sysPath + QStringLiteral("TMP/env834.txt"));
    if (!error.isEmpty())
        return error;

    error = buildDatabase(dbFile);
    if (!error.isEmpty()) {
        QFile::remove(dbFile);  // a half-made database would block the next attempt
        return error;
    }

    QFile ini(iniPath);
    if (!ini.open(QIODevice::WriteOnly) || ini.write(iniText(sysPath).toUtf8()) < 0 || !ini.flush()) {
        ini.remove();
        QFile::remove(dbFile);
        return QStringLiteral("No se puede escribir %1.").arg(iniPath);
    }
    return {};
}

QString makeUserSuite(const QString& folder, const QString& userIni)
{
    const QString suiteIni = QDir(QDir(folder).absolutePath()).filePath(QStringLiteral("KV000.INI"));
    if (!QFileInfo::exists(suiteIni)) {
        const QString error = createSuite(folder);
        if (!error.isEmpty())
            return error;
    }
    const QFileInfo target(userIni);
    if (target.exists() && target.canonicalFilePath() == QFileInfo(suiteIni).canonicalFilePath())
        return {};
    QFile in(suiteIni);
    if (!in.open(QIODevice::ReadOnly))
        return QStringLiteral("No se puede leer %1.").arg(suiteIni);
    // Written whole or not at all: the user's previous settings stay until the
    // new ones are complete.
    QSaveFile out(userIni);
    if (!QDir().mkpath(target.absolutePath()) || !out.open(QIODevice::WriteOnly) || out.write(in.readAll()) < 0 ||
        !out.commit())
        return QStringLiteral("No se puede escribir %1.").arg(userIni);
    return {};
}

} // namespace qvrhost
