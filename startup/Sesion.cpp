#include "Sesion.h"

#include "ArchivoIni.h"
#include "LoginServidor.h"
#include "LoteSql.h"
#include "MotorSql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <unistd.h>

namespace {

// SQLite result codes that matter on opening (primary codes; extended ones are masked).
constexpr int kSqliteIoErr = 10;
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteCantOpen = 14;
constexpr int kSqliteNotADb = 26;

FalloApertura falloBloqueada(const QString& file)
{
    return {kErrLocked, QStringLiteral("The database engine cannot open the file '%1'. It is already opened "
                                       "exclusively by another user, or you need permission to view its data.")
                            .arg(file)};
}

FalloApertura falloInexistente(const QString& file)
{
    return {kErrFileNotFound, QStringLiteral("Could not find file '%1'.").arg(file)};
}

FalloApertura falloNoEsBase(const QString& file)
{
    return {kErrNotDatabase, QStringLiteral("Unrecognized database format '%1'.").arg(file)};
}

FalloApertura falloNoSeAbre(const QString& file)
{
    return {kErrCannotOpen, QStringLiteral("Cannot open database '%1'. It may not be a database that your "
                                           "application recognizes, or the file may be corrupt.")
                                .arg(file)};
}

FalloApertura falloDiscoLleno(const QString& file)
{
    return {kErrDiskFull, QStringLiteral("No queda espacio libre en el disco de la base de datos '%1': no se puede "
                                         "abrir hasta que se libere espacio.")
                              .arg(file)};
}

// Opening a database in write-ahead mode makes its shared-memory file first;
// on a full disk that fails as an I/O error, which is told as what it is.
bool discoLleno(const QString& file)
{
    constexpr qint64 kMinimum = 64 * 1024;
    const QStorageInfo storage(QFileInfo(file).absolutePath());
    return storage.isValid() && storage.bytesAvailable() < kMinimum;
}

// A second user of a suite kept on one machine: the file or folder belongs to
// the user who created the suite. Said plainly, with the path, since "locked"
// would send the user looking for another program that holds the file.
FalloApertura falloNoEscribible(const QString& path, bool folder)
{
    const QString what = folder ? QStringLiteral("la carpeta de la base de datos de la suite, donde se escribe su diario")
                                : QStringLiteral("la base de datos de la suite");
    return {kErrReadOnly,
            QStringLiteral("Este usuario no tiene permiso para escribir en %1: %2\n"
                           "Para que varios usuarios de este equipo compartan la suite, la carpeta y sus archivos "
                           "deben poder ser escritos por todos ellos (un grupo común); si no, use un servidor "
                           "PostgreSQL.")
                .arg(what, QDir::toNativeSeparators(path))};
}

// What of the database this user may not write: the file itself, the journal
// files beside it, or the folder in which SQLite makes them.
std::optional<FalloApertura> revisaEscribible(const QFileInfo& info)
{
    const auto writable = [](const QString& path) {
        return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
    };
    const QString file = info.absoluteFilePath();
    for (const QString& path : {file, file + QStringLiteral("-wal"), file + QStringLiteral("-shm"),
                                file + QStringLiteral("-journal")}) {
        if ((path == file || QFileInfo::exists(path)) && !writable(path))
            return falloNoEscribible(path, false);
    }
    if (!writable(info.absolutePath()))
        return falloNoEscribible(info.absolutePath() + u'/', true);
    return std::nullopt;
}

// The shared tables the host creates; every program of the module relies on them.
const QStringList kSuiteTables{"CAB",    "DET",   "HCAB",  "HDET",     "CONT",   "PARAM",
                               "CLAVES", "ERROR", "SPOOL", "Reportes", "envio_t"};

FalloApertura falloFaltanTablas(const QString& file, const QStringList& missing)
{
    return {kErrNoSuchTable, QStringLiteral("The database engine cannot find the suite's table(s) %1 in '%2'. "
                                            "Make sure it is the suite's database.")
                                 .arg(missing.join(QStringLiteral(", ")), file)};
}

FalloApertura falloConexionPerdida()
{
    return {kErrConnectionFailed, QStringLiteral("Se perdió la conexión con el servidor de la base de datos mientras "
                                                 "se comprobaban sus tablas.")};
}

// What an open connection lacks of the suite's tables; names compare without
// regard to case (PostgreSQL folds unquoted names to lower case). The
// catalogue read hides its errors, so a list that lacks tables is trusted only
// once the connection answers: a server lost meanwhile is told as lost.
std::optional<FalloApertura> revisaTablasSuite(const QSqlDatabase& db, const QString& file,
                                              const QStringList& present)
{
    QStringList missing;
    for (const QString& table : kSuiteTables)
        if (!present.contains(table, Qt::CaseInsensitive))
            missing << table;
    if (missing.isEmpty())
        return std::nullopt;
    if (!conexionViva(db))
        return falloConexionPerdida();
    return falloFaltanTablas(file, missing);
}

FalloApertura falloDeSqlite(const QSqlError& error, const QString& file)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    if (clasificarError(error) == FalloSql::DiscoLleno || ((!ok || code == kSqliteIoErr) && discoLleno(file)))
        return falloDiscoLleno(file);
    if (!ok)
        return falloNoSeAbre(file);
    // The file is there (checked before) but may not be opened: locked too.
    if (clasificarError(error) == FalloSql::Bloqueo || code == kSqliteCantOpen)
        return falloBloqueada(file);
    if (code == kSqliteNotADb || code == kSqliteCorrupt)
        return falloNoEsBase(file);
    return falloNoSeAbre(file);
}

// A server's refusal: a Spanish sentence saying what happened, then the
// server's own text.
FalloApertura falloDelServidor(const QSqlError& error)
{
    const QString text = error.databaseText().trimmed().isEmpty() ? error.text().trimmed()
                                                                  : error.databaseText().trimmed();
    switch (clasificarError(error)) {
    case FalloSql::Bloqueo:
        return {kErrLocked, text};
    case FalloSql::BaseInexistente:
        return {kErrFileNotFound, QStringLiteral("El servidor no tiene la base de datos indicada.\n") + text};
    case FalloSql::Autenticacion:
        return {kErrBadAccount, QStringLiteral("El servidor no aceptó el usuario de la base de datos.\n") + text};
    case FalloSql::DiscoLleno:
        return {kErrDiskFull, QStringLiteral("El servidor no tiene espacio libre en disco.\n") + text};
    default:
        return {kErrConnectionFailed,
                QStringLiteral("No se pudo conectar con el servidor de la base de datos.\n") + text};
    }
}

// A file without any write permission is what a read-only file is on the
// suite's home platform: nobody, the administrator included, opens it for writing.
bool sinPermisoEscritura(const QFileInfo& info)
{
    return !(info.permissions() & (QFileDevice::WriteOwner | QFileDevice::WriteGroup |
                                   QFileDevice::WriteOther));
}

std::optional<FalloApertura> abreSqlite(const QString& dbFile, const OpcionesApertura& options)
{
    const QFileInfo info(dbFile);
    if (dbFile.isEmpty() || !info.exists() || info.isDir())
        return falloInexistente(dbFile);
    // A device or a FIFO holds no tables, and reading one may never end.
    if (!info.isFile())
        return falloFaltanTablas(dbFile, kSuiteTables);
    if (sinPermisoEscritura(info))
        return falloBloqueada(dbFile);
    if (auto failure = revisaEscribible(info))
        return failure;

    std::optional<FalloApertura> failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(nombreDriver(Motor::Sqlite), options.connectionName);
        // mode=rw: open read-write, and never make a new empty database.
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(options.busyTimeoutMs));
        db.setDatabaseName(QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded) +
                           QStringLiteral("?mode=rw"));
        if (!db.open()) {
            failure = falloDeSqlite(db.lastError(), dbFile);
        } else {
            // The file opens lazily: reading the catalogue proves it is a database and
            // not held exclusively; taking the write lock proves we may write.
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
                failure = falloDeSqlite(q.lastError(), dbFile);
            else if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
                failure = falloDeSqlite(q.lastError(), dbFile);
            else
                q.exec(QStringLiteral("ROLLBACK"));
            if (!failure)
                failure = revisaTablasSuite(db, dbFile, db.tables(QSql::Tables));
            if (failure)
                db.close();
            else if (options.lecturas)
                options.lecturas->ejecutar(db);
        }
    }
    if (failure)
        QSqlDatabase::removeDatabase(options.connectionName);
    return failure;
}

std::optional<FalloApertura> abrePostgres(const QString& dbFile, const Configuracion& settings, const OpcionesApertura& options)
{
    QString problem;
    std::optional<DireccionServidor> address = leerDireccionServidor(dbFile, &problem);
    if (!address)
        return FalloApertura{kErrConnectionFailed, problem};
    address->usuario = loginServidor(*address, settings);
    std::optional<FalloApertura> failure;
    {
        QSqlDatabase db = prepararConexionServidor(*address, options.connectionName, options.busyTimeoutMs);
        if (!db.open())
            failure = falloDelServidor(db.lastError());
        else if (QStringList present; (failure = comprobarLoginServidor(db, settings, &present, options.lecturas))
                 || (failure = revisaTablasSuite(db, QUrl(dbFile).toString(QUrl::RemovePassword), present)))
            db.close();
    }
    if (failure)
        QSqlDatabase::removeDatabase(options.connectionName);
    return failure;
}

QString deCodigos(std::initializer_list<char16_t> codes)
{
    QString s;
    for (char16_t c : codes)
        s += QChar(c);
    return s;
}

} // namespace

QString mensajeFalloApertura(const FalloApertura& failure)
{
    // The number reads as a number turned into text: one leading blank when positive.
    const QString number = (failure.number >= 0 ? QStringLiteral(" ") : QString()) + QString::number(failure.number);
    if (failure.number == kErrLocked)
        return number + QStringLiteral("- Base esta bloqueda");
    return failure.description + u'\n' + number;
}

std::optional<FalloApertura> abreBaseDatos(const Configuracion& settings, const QString& iniPath, const OpcionesApertura& options)
{
    // The workgroup file lives in the suite folder. Without a SysPath naming a
    // folder it cannot be found (a missing or unreadable KV000.INI ends here
    // too), and nothing is recorded in the settings file. Nothing adds the
    // separator either: "/srv/suite" names the workgroup file "/srv/suiteKV000.MDW".
    if (settings.sysPath.isEmpty() || !settings.sysPath.endsWith(u'/') || !QFileInfo(settings.sysPath).isDir())
        return falloInexistente(settings.baseSistema());
    return abreArchivoBaseDatos(settings.dbFile, settings, iniPath, options);
}

std::optional<FalloApertura> abreArchivoBaseDatos(const QString& dbFile, const Configuracion& settings, const QString& iniPath,
                                            const OpcionesApertura& options)
{
    // The workgroup file is recorded for the rest of the suite; SQLite has no accounts to open it with.
    if (options.writeSystemDb)
        ArchivoIni::escribe(iniPath, QString::fromUtf16(kIniSection), QStringLiteral("SystemDB"), settings.baseSistema());
    if (esDireccionServidor(dbFile))
        return abrePostgres(dbFile, settings, options);
    return abreSqlite(dbFile, options);
}

void cierraBaseDatos(const QString& connectionName)
{
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

QString usuarioIncorporado()
{
    return deCodigos({113, 118, 114, 115, 117, 105, 116, 101});
}

QString claveIncorporada()
{
    return deCodigos({81, 118, 114, 48, 56, 51, 52, 115});
}
