#pragma once
// Module ImpRep: the report context, the SPOOL registration and the report
// run that writes a declaration into its spool file.
//
// Order for one printed declaration: fill a ContextoReporte; RegistraSpool;
// store the name in context.archivo; IniciaReporte with the body writer;
// hand rutaArchivoSpool(carpetaDeReportes, context.archivo) to the preview.

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <functional>

class EscritorSpool;
class LoteSql;

// Report codes of SPOOL.CodRep.
inline constexpr auto kRepDeclaracion = QLatin1StringView("AAR001");
inline constexpr auto kRepResumenEnvio = QLatin1StringView("AAR002");
inline constexpr auto kRepDeclaracionAnexos = QLatin1StringView("AAR003");

struct ContextoReporte {
    QString destino = QStringLiteral("ARCHIVO");  // always the file
    QString codRep;
    QString archivo;          // spool file name, "00000042.PRN"
    int pageTotal = 0;        // set by IniciaReporte, at least 1
    bool imprimeAnexo = false;  // the box-105 annex page is wanted
    bool enviada = false;       // read the sent-declaration tables
    // The declaration being printed.
    QString ruc;
    QString nombre;
    QString formulario;
    QString periodo;
    QString correl;
    QString norden;
    QString control;

    // The PDF file of the declaration: "RUC-EJERCICIO.pdf".
    QString nombreArchivoPdf() const { return ruc.trimmed() + u'-' + periodo.trimmed() + QStringLiteral(".pdf"); }
};

struct RegistroSpool {
    QString archivo;    // "00000042.PRN"; empty on failure
    QString secuencia;  // "000007"
    QString error;      // the database's text when registration failed
    bool ok() const { return error.isEmpty() && !archivo.isEmpty(); }
};

// Adds a SPOOL row for a new report file: the next sequence of codRep and
// the next file number over the whole table, stamped with sysUser and the
// taxpayer. Runs in one write transaction (BEGIN IMMEDIATE on SQLite, a
// table lock on PostgreSQL) so that processes registering at once never
// get the same file; a clash on the unique file name is retried. On SQLite
// a connection without a busy timeout is given one of five seconds, so the
// others' registrations are waited for. The connection must not be inside
// a transaction of its own. The caller's `lecturas` run inside the
// transaction, before the numbers are read (on the server in the round trip
// of its begin): when they fail nothing is registered and their error is
// given.
RegistroSpool RegistraSpool(QSqlDatabase db, const QString& sysUser, const QString& codRep,
                                int tipDoc, const QString& docId,
                                const QDateTime& fecha = QDateTime::currentDateTime(), LoteSql* lecturas = nullptr);

// The report folder, SysPath + "RPT" as the suite concatenates it.
QString carpetaDeReportes(const QString& sysPath);
// The spool file: report folder, a separator, file name.
QString rutaArchivoSpool(const QString& folder, const QString& archivo);

// Writes the declaration spool file folder/context.archivo: the font tag,
// then `body` (the pages of the declaration), then the page-count,
// orientation and colour tags; sets context.pageTotal (3 with the annex,
// 2 without). Returns an empty text, or why the file could not be written.
// The caller shows the busy pointer around it.
QString IniciaReporte(ContextoReporte& context, const QString& folder,
                      const std::function<void(EscritorSpool&)>& body);
