#include "Module1.h"

#include "ArchivoIni.h"
#include "MotorSql.h"
#include "Sesion.h"
#include "Configuracion.h"
#include "TransaccionSql.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QVariant>

#include <utility>

namespace {

const QString kMessageTitle = QStringLiteral("Mensaje");
const QString kNoSuiteText = QStringLiteral("Debe instalar primero el QVR ");
const QString kStatementTitle = QStringLiteral("Error al Ejecutar Sentencia SQL");

// Engine numbers the messages show.
constexpr int kErrDuplicateKey = 3283;
constexpr int kErrReserved = 3000;

// A number as the suite's number-to-text conversion writes it: a blank where
// a positive number has no sign.
QString numeroConBlancoSigno(int n)
{
    return n >= 0 ? u' ' + QString::number(n) : QString::number(n);
}

// The installer's own wording for a locked database ("Base de datos", where
// the main program says "Base").
QString textoFalloApertura(const FalloApertura& failure)
{
    if (failure.number == kErrLocked)
        return numeroConBlancoSigno(failure.number) + QStringLiteral("- Base de datos esta bloqueda");
    return failure.description + u'\n' + numeroConBlancoSigno(failure.number);
}

// Maps a driver error to the engine number the statement message shows.
int numeroErrorSentencia(const QSqlError& error)
{
    switch (clasificarError(error)) {
    case FalloSql::ClaveDuplicada:
        return kErrDuplicateKey;
    case FalloSql::Bloqueo:
        return kErrLocked;
    default:
        return kErrReserved;
    }
}

QString descripcionError(const QSqlError& error)
{
    const QString db = error.databaseText();
    return db.isEmpty() ? error.text() : db;
}

} // namespace

Module1::Module1(QString iniPath, SalidaInstalador sink, QString connectionName)
    : iniPath_(std::move(iniPath)), sink_(std::move(sink)), connection_(std::move(connectionName))
{
}

Module1::~Module1()
{
    if (open_)
        cierraBaseDatos(connection_);
}

const std::array<FilaParam, 5>& Module1::filasParam()
{
    // UIT of 2004, adjustment factors of 2003 and 2004, the PARAM codes whose
    // versions a declaration records, and the form's registration flag.
    static const std::array<FilaParam, 5> rows{{
        {QStringLiteral("404"), QStringLiteral("20040101"), QStringLiteral("00003200.00"), QStringLiteral("011")},
        {QStringLiteral("960"), QStringLiteral("2003"), QStringLiteral("1.011"), QStringLiteral("001")},
        {QStringLiteral("960"), QStringLiteral("2004"), QStringLiteral("1.028"), QStringLiteral("000")},
        {QStringLiteral("981"), kForm, QStringLiteral("960"), QStringLiteral("001")},
        {QStringLiteral("992"), kForm, QStringLiteral("1"), QStringLiteral("")},   // stored empty, not Null
    }};
    return rows;
}

const std::array<FilaReporte, 3>& Module1::filasReporte()
{
    static const std::array<FilaReporte, 3> rows{{
        {QStringLiteral("AAR001"), QStringLiteral("Anticipo Adicional Renta 3ra. Categoría \u2013 Declaración")},
        {QStringLiteral("AAR002"), QStringLiteral("Reporte de Envío  -  0834")},
        {QStringLiteral("AAR003"), QStringLiteral("Anticipo Adicional Renta 3ra. Categoría \u2013 Declaración y anexos")},
    }};
    return rows;
}

QString Module1::carpetaSuite(const QString& sysPathValue)
{
    QString folder = sysPathValue.trimmed();
    const auto isSeparator = [](QChar c) { return c == u'/' || c == u'\\'; };
    if (folder.size() >= 2 && isSeparator(folder.back()) && isSeparator(folder.at(folder.size() - 2)))
        folder.chop(1);
    return folder;
}

int Module1::ejecuta()
{
    const QString folder = carpetaSuite(ArchivoIni::lee(iniPath_, QString::fromUtf16(kIniSection),
                                                     QStringLiteral("SysPath")));
    if (folder.isEmpty()) {
        sink_({MensajeInstalador::Icono::Informacion, kMessageTitle, kNoSuiteText});
        return kSinSuite;
    }
    if (!abreBaseDatos(folder))
        return kAperturaFallida;

    // Checked whole before the first write: a bad line installs nothing.
    const ArchivoEnvio envio = leeArchivoEnvio(rutaArchivoEnvio(folder));
    if (envio.error) {
        sink_({MensajeInstalador::Icono::Critico, kMessageTitle, envio.error->text});
        return kArchivoDatosErroneo;
    }
    return instalaTodo(envio) ? kInstalado : kSentenciaFallida;
}

bool Module1::abreBaseDatos(const QString& folder)
{
    Configuracion settings = leeConfiguracion(iniPath_);
    settings.sysPath = folder;
    // The installer takes the database file from the suite folder, whatever
    // DBPath says; a suite on a server has no file there, so its DBPath names the server.
    const QString dbName = ArchivoIni::lee(iniPath_, QString::fromUtf16(kIniSection), QStringLiteral("DBName"));
    const QString dbFile = esDireccionServidor(settings.dbPath) ? settings.dbPath + dbName : folder + dbName;
    OpcionesApertura options;
    options.connectionName = connection_;
    options.writeSystemDb = false;
    const std::optional<FalloApertura> failure = abreArchivoBaseDatos(dbFile, settings, iniPath_, options);
    if (failure) {
        sink_({MensajeInstalador::Icono::Ninguno, kTituloErrorConexion, textoFalloApertura(*failure)});
        return false;
    }
    open_ = true;
    return true;
}

bool Module1::instalaTodo(const ArchivoEnvio& envio)
{
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    TransaccionSql transaccion(db);
    if (!transaccion.abierta()) {
        informaErrorSentencia(transaccion.errorSql());
        return false;
    }
    // Two installers at once on a server would both find a row missing and
    // both insert it; the second waits here for the first instead.
    QSqlError reservationError;
    for (const char* table : {"PARAM", "Reportes", "envio_t"}) {
        if (!reservarTabla(db, QLatin1String(table), &reservationError)) {
            informaErrorSentencia(reservationError);
            return false;
        }
    }
    bool ok = true;
    for (const FilaParam& row : filasParam())
        ok = ok && actualizaParam(row);
    for (const FilaReporte& row : filasReporte())
        ok = ok && actualizaReporte(row);
    for (const FilaEnvio& row : envio.rows)
        ok = ok && actualizaEnvio(row);
    if (!ok)   // the failed statement has been reported
        return false;
    if (transaccion.confirmar())
        return true;
    informaErrorSentencia(transaccion.errorSql());
    return false;
}

void Module1::informaErrorSentencia(const QSqlError& error)
{
    sink_({MensajeInstalador::Icono::Critico, kStatementTitle,
           QStringLiteral("Error Número : ") + QString::number(numeroErrorSentencia(error)) + u'\n'
               + descripcionError(error)});
}

Module1::ResultadoSentencia Module1::ejecutaSentencia(QSqlQuery& query)
{
    if (query.exec())
        return ResultadoSentencia::Hecha;
    const QSqlError error = query.lastError();
    if (numeroErrorSentencia(error) == kErrDuplicateKey)
        return ResultadoSentencia::Duplicada;   // the row is there already: nothing to do
    informaErrorSentencia(error);
    return ResultadoSentencia::Fallida;
}

bool Module1::actualizaOInserta(const Sentencia& find, const Sentencia& update, const Sentencia& insert)
{
    const QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery query(db);
    query.prepare(find.sql);
    for (const QVariant& value : find.values)
        query.addBindValue(value);
    if (!query.exec()) {
        informaErrorSentencia(query.lastError());
        return false;
    }
    const Sentencia& write = query.next() ? update : insert;
    QSqlQuery writeQuery(db);
    writeQuery.prepare(write.sql);
    for (const QVariant& value : write.values)
        writeQuery.addBindValue(value);
    return ejecutaSentencia(writeQuery) != ResultadoSentencia::Fallida;
}

bool Module1::actualizaParam(const FilaParam& row)
{
    return actualizaOInserta({QStringLiteral("SELECT Numero FROM Param WHERE Numero=? AND Argumento=?"),
                   {row.numero, row.argumento}},
                  {QStringLiteral("UPDATE Param SET Funcion=?, Correl_param=? WHERE Numero=? AND Argumento=?"),
                   {row.funcion, row.correlParam, row.numero, row.argumento}},
                  {QStringLiteral("INSERT INTO Param (Numero, Argumento, Funcion, Correl_param) VALUES (?,?,?,?)"),
                   {row.numero, row.argumento, row.funcion, row.correlParam}});
}

bool Module1::actualizaReporte(const FilaReporte& row)
{
    // The third column of Reportes is the host's; the insert writes it by position.
    return actualizaOInserta({QStringLiteral("SELECT CodRep FROM Reportes WHERE CodRep=?"), {row.codRep}},
                  {QStringLiteral("UPDATE Reportes SET DescRep=? WHERE CodRep=?"), {row.descRep, row.codRep}},
                  {QStringLiteral("INSERT INTO Reportes VALUES (?,?,1)"), {row.codRep, row.descRep}});
}

bool Module1::actualizaEnvio(const FilaEnvio& row)
{
    QVariantList values{row.tablaD, row.tablaExt};
    for (qint64 n : row.numbers)
        values.append(n);
    const QVariantList key{kForm, row.tablaO};
    return actualizaOInserta({QStringLiteral("SELECT tabla_o FROM envio_t WHERE formulario=? AND tabla_o=?"), key},
                  {QStringLiteral("UPDATE envio_t SET tabla_d=?, tabla_ext=?, indice=?, obliga=?, c_tip_doc_d=?,"
                                  " c_doc_id_d=?, c_Formulario=?, c_periodo=?, c_estado=?, c_envio=?, c_semana=?"
                                  " WHERE formulario=? AND tabla_o=?"),
                   values + key},
                  {QStringLiteral("INSERT INTO envio_t (formulario, tabla_o, tabla_d, tabla_ext, indice, obliga,"
                                  " c_tip_doc_d, c_doc_id_d, c_Formulario, c_periodo, c_estado, c_envio, c_semana)"
                                  " VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                   key + values});
}
