#pragma once
// Main000: the run of 0834IMP after its instance check. Reads the settings,
// opens the shared database (leaving SystemDB alone), writes the submission
// summary as a spool file registered under "AAR002" and as a plain file,
// converts the plain file to text and copies it into the suite's
// temporary folder.

#include "ArgumentoResumen.h"
#include "ImpresoraTexto.h"
#include "MensajeResumen.h"

#include "Dinero.h"
#include "Configuracion.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QSqlRecord>
#include <QString>

// Exit status of 0834IMP.
enum EstadoResumen : int {
    kResumenHecho = 0,
    kResumenYaEnEjecucion = 1,
    kResumenArgumentoNoValido = 2,
    kResumenSinBase = 3,
    kResumenSinTexto = 4,       // the conversion failed: nothing copied
    kResumenSinCopia = 5,       // the text could not be copied to the temporary folder
    kResumenPasoFallido = 6,    // a report step failed and was skipped; the rest was done
};

// What one CAB row of the summary shows, with its lookups done.
struct DatosResumen {
    QString etiquetaDoc;    // PARAM 044 short name, "RUC" without a row
    QString nombre;         // CONT.Nombre, trimmed
    QString efectivo;       // trimmed
    QString cheque;         // trimmed
    QString banco;          // trimmed BCOLIBRAD
    QString nombreBanco;    // PARAM 004 short name
    QString numeroCheque;   // trimmed nrocheque
    bool rectifica = false;
};

// One line of the summary's identification block; y is its place on the
// printed page (the plain file ignores it).
struct LineaResumen {
    int y = 0;
    QString texto;
};

// Document, name, form, period, payment and rectification lines, each label
// padded to `anchoRotulo` before its ": " (16 in the spool file, 15 in the
// plain one). Cash and cheque are both listed when both are filled.
QList<LineaResumen> lineasIdentificacion(const ArgumentoResumen& arg, const DatosResumen& datos, int anchoRotulo);

// "A. RTA." and the two amounts, "###,###,###,##0", right-aligned.
QString lineaImportes(Dinero casilla146, Dinero casilla180, int ancho146, int ancho180);

class Main000 {
public:
    Main000(QString iniPath, SalidaMensajes mensajes, QDateTime ahora = QDateTime::currentDateTime());
    ~Main000();
    Main000(const Main000&) = delete;
    Main000& operator=(const Main000&) = delete;

    // Everything after the instance check; answers the exit status.
    int ejecuta(const QString& argumento);

    static constexpr auto kConexion = QLatin1StringView("0834IMP");

private:
    QSqlDatabase db() const;
    // Both passes; answers the plain file's base name.
    QString EscribeReporte(const ArgumentoResumen& arg);
    void escribeMarcado(const ArgumentoResumen& arg);
    void escribePlano(const ArgumentoResumen& arg, const QString& archivo);
    // Runs the CAB query of the summary (traced first); false when it failed.
    bool consultaCab(const ArgumentoResumen& arg, QList<QSqlRecord>* filas);
    DatosResumen datosDe(const ArgumentoResumen& arg, const QSqlRecord& fila);
    void leeImportes(const ArgumentoResumen& arg);
    void anotaTraza(const QString& sentencia);
    void pasoFallido(const QString& que);

    QString iniPath_;
    SalidaMensajes mensajes_;
    QDateTime ahora_;
    Configuracion settings_;
    QString carpetaReportes_;
    QString carpetaTemporal_;
    QString sysUser_;
    ImpresoraTexto impresora_;
    Dinero casilla146_;
    Dinero casilla180_;
    bool pasoFallido_ = false;
    bool abierta_ = false;
};
