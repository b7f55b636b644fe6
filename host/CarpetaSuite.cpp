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

QString unixPath(QString path)
{
    return path.replace(u'\\', u'/');
}

// Where the database is once the suite folder moved from `oldSysPath` to
// `newSysPath`: the same place inside the suite folder, when it is there;
// otherwise (a server, a file kept elsewhere) DBPath stays as it was.
QString movedDbPath(const QString& oldSysPath, const QString& dbPath, const QString& dbName, const QString& newSysPath)
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

QByteArray withKeys(QByteArray bytes, const QString& sysPath, const QString& dbPath)
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

QString writeWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile out(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !out.open(QIODevice::WriteOnly) ||
        out.write(bytes) != bytes.size() || !out.commit())
        return QStringLiteral("No se puede escribir %1.").arg(QDir::toNativeSeparators(path));
    return {};
}

QString relocateSuiteIni(const QString& folder, QByteArray* bytes)
{
    const QString sysPath = QDir(folder).absolutePath() + u'/';
    const QString suiteIni = sysPath + QStringLiteral("KV000.INI");
    if (!QFileInfo(suiteIni).isFile())
        return QStringLiteral("La carpeta %1 no tiene una suite QVR (KV000.INI).")
            .arg(QDir::toNativeSeparators(QDir(folder).absolutePath()));
    if (QString error = readAll(suiteIni, bytes); !error.isEmpty())
        return error;
    const QString oldSysPath = unixPath(ArchivoIni::valorEn(*bytes, kSection, QStringLiteral("SysPath")));
    if (oldSysPath == sysPath)
        return {};
    const QString dbPath = unixPath(ArchivoIni::valorEn(*bytes, kSection, QStringLiteral("DBPath")));
    const QString dbName = unixPath(ArchivoIni::valorEn(*bytes, kSection, QStringLiteral("DBName")));
    *bytes = withKeys(*bytes, sysPath, movedDbPath(oldSysPath, dbPath, dbName, sysPath));
    return writeWhole(suiteIni, *bytes);
}

QString adoptMovedSuite(const QString& folder, const QString& userIni)
{
    QByteArray suite;
    if (QString error = relocateSuiteIni(folder, &suite); !error.isEmpty())
        return error;
    const QFileInfo target(userIni);
    if (target.exists() && target.canonicalFilePath() == QFileInfo(QDir(folder).filePath("KV000.INI")).canonicalFilePath())
        return {};
    QByteArray user;
    if (!target.isFile() || !readAll(userIni, &user).isEmpty())
        return writeWhole(userIni, suite);
    for (const char* key : {"SysPath", "DBPath", "DBName"}) {
        const QString name = QLatin1String(key);
        user = ArchivoIni::conValorPuesto(user, kSection, name, ArchivoIni::valorEn(suite, kSection, name));
    }
    return writeWhole(userIni, user);
}

} // namespace qvrhost
