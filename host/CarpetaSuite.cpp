#include "CarpetaSuite.h"

#include "ArchivoIni.h"
#include "MotorSql.h"
#include "Configuracion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace qvrhost {
namespace {

const QString kSection = QString::fromUtf16(kIniSection);

QString rutaUnix(QString path)
{
    return path.replace(u'\\', u'/');
}

// Where the database is once the suite folder moved from `oldSysPath` to
// `newSysPath`: the same place inside the suite folder, when it is there;
// otherwise (a server, a file kept elsewhere) DBPath stays as it was.
QString rutaBaseMovida(const QString& oldSysPath, const QString& dbPath, const QString& dbName, const QString& newSysPath)
{
    if (esDireccionServidor(dbPath + dbName))
        return dbPath;
    const QString inside = !oldSysPath.isEmpty() && dbPath.startsWith(oldSysPath, Qt::CaseInsensitive)
                               ? dbPath.mid(oldSysPath.size())
                               : QString();
    for (const QString& candidate : {newSysPath + inside, newSysPath}) {
        if (QFileInfo(candidate + dbName).isFile())
            return candidate;
    }
    return dbPath;
}

QByteArray conClaves(QByteArray bytes, const QString& sysPath, const QString& dbPath)
{
    bytes = ArchivoIni::conValorPuesto(bytes, kSection, QStringLiteral("SysPath"), sysPath);
    return ArchivoIni::conValorPuesto(bytes, kSection, QStringLiteral("DBPath"), dbPath);
}

QString readAll(const QString& path, QByteArray* bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > ArchivoIni::kMaxBytes)
        return QStringLiteral("No se puede leer %1.").arg(QDir::toNativeSeparators(path));
    *bytes = file.readAll();
    return {};
}

} // namespace

QString escribeCompleto(const QString& path, const QByteArray& bytes)
{
    QSaveFile out(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !out.open(QIODevice::WriteOnly) ||
        out.write(bytes) != bytes.size() || !out.commit())
        return QStringLiteral("No se puede escribir %1.").arg(QDir::toNativeSeparators(path));
    return {};
}

QString reubicaIniSuite(const QString& folder, QByteArray* bytes)
{
    const QString sysPath = QDir(folder).absolutePath() + u'/';
    const QString suiteIni = sysPath + QStringLiteral("KV000.INI");
    if (!QFileInfo(suiteIni).isFile())
        return QStringLiteral("La carpeta %1 no tiene una suite QVR (KV000.INI).")
            .arg(QDir::toNativeSeparators(QDir(folder).absolutePath()));
    if (QString error = readAll(suiteIni, bytes); !error.isEmpty())
        return error;
    const QString oldSysPath = rutaUnix(ArchivoIni::valorEn(*bytes, kSection, QStringLiteral("SysPath")));
    if (oldSysPath == sysPath)
        return {};
    const QString dbPath = rutaUnix(ArchivoIni::valorEn(*bytes, kSection, QStringLiteral("DBPath")));
    const QString dbName = rutaUnix(ArchivoIni::valorEn(*bytes, kSection, QStringLiteral("DBName")));
    *bytes = conClaves(*bytes, sysPath, rutaBaseMovida(oldSysPath, dbPath, dbName, sysPath));
    return escribeCompleto(suiteIni, *bytes);
}

QString adoptaSuiteMovida(const QString& folder, const QString& userIni)
{
    QByteArray suite;
    if (QString error = reubicaIniSuite(folder, &suite); !error.isEmpty())
        return error;
    const QFileInfo target(userIni);
    if (target.exists() && target.canonicalFilePath() == QFileInfo(QDir(folder).filePath("KV000.INI")).canonicalFilePath())
        return {};
    QByteArray user;
    if (!target.isFile() || !readAll(userIni, &user).isEmpty())
        return escribeCompleto(userIni, suite);
    for (const char* key : {"SysPath", "DBPath", "DBName"}) {
        const QString name = QLatin1String(key);
        user = ArchivoIni::conValorPuesto(user, kSection, name, ArchivoIni::valorEn(suite, kSection, name));
    }
    return escribeCompleto(userIni, user);
}

} // namespace qvrhost
