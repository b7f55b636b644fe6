#include "ImpRep.h"

#include "MotorSql.h"
#include "FormatoSpool.h"
#include "EscritorSpool.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>
#include <algorithm>
#include <optional>

namespace {

bool esClaveDuplicada(const QSqlError& e) { return clasificarError(e) == FalloSql::ClaveDuplicada; }

bool estaBloqueada(const QSqlError& e) { return clasificarError(e) == FalloSql::Bloqueo; }

// The whole number the text starts with (blanks first allowed); 0 for none.
qint64 numeroInicial(QStringView text)
{
    text = text.trimmed();
    qint64 n = 0;
    for (QChar c : text) {
        if (!c.isDigit() || n > 999'999'999'999LL)
            break;
        n = n * 10 + c.digitValue();
    }
    return n;
}

// The highest number among the values the query selects, the first
// `width` characters of each read as a whole number.
std::optional<qint64> highest(QSqlDatabase db, const QString& sql, const std::optional<QString>& bound,
                              int width, QString* error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        *error = q.lastError().text();
        return std::nullopt;
    }
    if (bound)
        q.addBindValue(*bound);
    if (!q.exec()) {
        *error = q.lastError().text();
        return std::nullopt;
    }
    qint64 top = 0;
    while (q.next()) {
        if (!q.isNull(0))
            top = std::max(top, numeroInicial(QStringView(q.value(0).toString()).left(width)));
    }
    return top;
}

// A write transaction in which no other writer may add to SPOOL until it ends.
bool comienzaTransaccion(QSqlDatabase db, QSqlError* error)
{
    if (!comenzarEscritura(db, error))
        return false;
    if (reservarTabla(db, QStringLiteral("SPOOL"), error))
        return true;
    deshacerEscritura(db);
    return false;
}

QString conCeros(qint64 n, int width) { return QStringLiteral("%1").arg(n, width, 10, QLatin1Char('0')); }

}  // namespace

RegistroSpool RegistraSpool(QSqlDatabase db, const QString& sysUser, const QString& codRep,
                                int tipDoc, const QString& docId, const QDateTime& fecha)
{
    RegistroSpool result;
    if (!db.isOpen()) {
        result.error = QStringLiteral("database not open");
        return result;
    }
    // Waits for the other writers without asking the caller to configure the connection.
    asegurarEspera(db);

    // The text maxima order numerically while every name has its fixed
    // width; after a clash the numbers are read from every row instead.
    bool scanAll = false;
    constexpr int kAttempts = 8;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        QSqlError error;
        if (!comienzaTransaccion(db, &error)) {
            if (estaBloqueada(error) && attempt + 1 < kAttempts) {
                QThread::msleep(20 * (attempt + 1));
                continue;
            }
            result.error = error.text();
            return result;
        }
        QString readError;
        const auto lastSeq = highest(db,
                                     scanAll ? QStringLiteral("SELECT Secuencia FROM SPOOL WHERE CodRep = ?")
                                             : QStringLiteral("SELECT max(Secuencia) FROM SPOOL WHERE CodRep = ?"),
                                     codRep, 6, &readError);
        const auto lastFile = lastSeq ? highest(db,
                                                scanAll ? QStringLiteral("SELECT Archivo FROM SPOOL")
                                                        : QStringLiteral("SELECT max(Archivo) FROM SPOOL"),
                                                std::nullopt, 8, &readError)
                                      : std::nullopt;
        if (!lastSeq || !lastFile) {
            deshacerEscritura(db);
            result.error = readError;
            return result;
        }
        const QString secuencia = conCeros(*lastSeq + 1, 6);
        const QString archivo = conCeros(*lastFile + 1, 8) + QStringLiteral(".PRN");

        bool inserted = false;
        {
            QSqlQuery insert(db);
            insert.prepare(QStringLiteral("INSERT INTO SPOOL (CodRep, Secuencia, Archivo, Fecha, Usuario, "
                                          "Tip_doc_d, doc_id_d) VALUES (?, ?, ?, ?, ?, ?, ?)"));
            insert.addBindValue(codRep);
            insert.addBindValue(secuencia);
            insert.addBindValue(archivo);
            insert.addBindValue(fecha);
            insert.addBindValue(sysUser);
            insert.addBindValue(tipDoc);
            insert.addBindValue(docId);
            inserted = insert.exec();
            if (!inserted)
                error = insert.lastError();
        }
        if (inserted && confirmarEscritura(db, &error)) {
            result.archivo = archivo;
            result.secuencia = secuencia;
            return result;
        }
        deshacerEscritura(db);
        if (esClaveDuplicada(error)) {
            scanAll = true;
            continue;
        }
        if (estaBloqueada(error) && attempt + 1 < kAttempts) {
            QThread::msleep(20 * (attempt + 1));
            continue;
        }
        result.error = error.text();
        return result;
    }
    result.error = QStringLiteral("no free spool file number after %1 attempts").arg(kAttempts);
    return result;
}

QString carpetaDeReportes(const QString& sysPath) { return sysPath + QStringLiteral("RPT"); }

QString rutaArchivoSpool(const QString& folder, const QString& archivo)
{
    return folder + u'/' + archivo;
}

QString IniciaReporte(ContextoReporte& context, const QString& folder,
                      const std::function<void(EscritorSpool&)>& body)
{
    if (context.archivo.isEmpty())
        return QStringLiteral("no spool file registered");
    EscritorSpool writer;
    if (!writer.open(rutaArchivoSpool(folder, context.archivo)))
        return writer.error();
    writer.fijaContadorPaginas(1);
    writer.ImprimeLinea(FormatoSpool::etiquetaFuente(QStringLiteral("Courier New")));
    if (body)
        body(writer);
    const int count = context.imprimeAnexo ? 3 : 2;
    writer.ImprimeLinea(FormatoSpool::etiquetaNHojas(count));
    writer.ImprimeLinea(FormatoSpool::etiquetaOrientacion(QStringLiteral("V")));
    writer.ImprimeLinea(FormatoSpool::etiquetaColor(FormatoSpool::kColorDeclaracion));
    if (!writer.close())
        return writer.error();
    context.pageTotal = std::max(1, count);
    return {};
}
