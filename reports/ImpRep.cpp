#include "ImpRep.h"

#include "LoteSql.h"
#include "MotorSql.h"
#include "FormatoSpool.h"
#include "EscritorSpool.h"

#include <QSqlDriver>
#include <QSqlError>
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

// The highest number among the values read, the first `width` characters
// of each read as a whole number.
qint64 highest(const LoteSql::Resultado& r, int width)
{
    qint64 top = 0;
    for (const QVariantList& fila : r.filas)
        if (!LoteSql::esNulo(fila[0]))
            top = std::max(top, numeroInicial(QStringView(fila[0].toString()).left(width)));
    return top;
}

QString conCeros(qint64 n, int width) { return QStringLiteral("%1").arg(n, width, 10, QLatin1Char('0')); }

}  // namespace

RegistroSpool RegistraSpool(QSqlDatabase db, const QString& sysUser, const QString& codRep,
                                int tipDoc, const QString& docId, const QDateTime& fecha, LoteSql* lecturas)
{
    RegistroSpool result;
    if (!db.isOpen()) {
        result.error = QStringLiteral("database not open");
        return result;
    }
    // Waits for the other writers without asking the caller to configure the connection.
    asegurarEspera(db);
    // Each attempt reads the caller's statements again, inside its own transaction.
    const LoteSql pedidas = lecturas ? *lecturas : LoteSql();

    // The text maxima order numerically while every name has its fixed
    // width; after a clash the numbers are read from every row instead.
    bool scanAll = false;
    constexpr int kAttempts = 8;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        // No other writer adds to SPOOL until this one ends; the begin with
        // the reads, and then the insert with the commit, each travel as one batch.
        LoteSql lectura;
        const int seq = lectura.agregar(scanAll ? QStringLiteral("SELECT Secuencia FROM SPOOL WHERE CodRep = ?")
                                                : QStringLiteral("SELECT max(Secuencia) FROM SPOOL WHERE CodRep = ?"),
                                        {codRep});
        const int arch = lectura.agregar(scanAll ? QStringLiteral("SELECT Archivo FROM SPOOL")
                                                 : QStringLiteral("SELECT max(Archivo) FROM SPOOL"));
        QList<LoteSql*> juntas;
        if (lecturas) {
            *lecturas = pedidas;
            juntas << lecturas;
        }
        juntas << &lectura;
        QSqlError error;
        if (!comenzarEscrituraReservando(db, QStringLiteral("SPOOL"), &error, juntas)) {
            if (estaBloqueada(error) && attempt + 1 < kAttempts) {
                QThread::msleep(20 * (attempt + 1));
                continue;
            }
            result.error = error.text();
            return result;
        }
        const QString secuencia = conCeros(highest(lectura.resultado(seq), 6) + 1, 6);
        const QString archivo = conCeros(highest(lectura.resultado(arch), 8) + 1, 8) + QStringLiteral(".PRN");

        LoteSql insercion;
        insercion.agregar(QStringLiteral("INSERT INTO SPOOL (CodRep, Secuencia, Archivo, Fecha, Usuario, "
                                         "Tip_doc_d, doc_id_d) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                          {codRep, secuencia, archivo, fecha, sysUser, tipDoc, docId});
        if (confirmarEscritura(db, insercion, &error)) {
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
