#pragma once
// The printed form 0834: loading a stored or sent declaration from the
// database (CargaDeclaracion, CargaFormaPago, CargaAnexo) and laying it out
// as spool lines (GeneraDeclaracion). The layout reads only the loaded data,
// so it can be written without a database.

#include "ImpRep.h"
#include "Dinero.h"

#include <QMap>
#include <QSqlDatabase>
#include <QString>

class EscritorSpool;

struct FormaPagoImpresa {
    bool cheque = false;   // bank code present and not blank
    QString banco;         // bcolibrad
    QString nroCheque;     // nrocheque
    QString nombreBanco;   // short name from the bank list, empty when unknown
};

struct DeclaracionImpresa {
    QMap<int, QString> casillas;  // boxes 1..899 as stored; an absent box prints nothing
    // Named values kept besides the boxes.
    QString telefono;         // box 28
    QString rectifica;        // box 5
    QString ajusteInflacion;  // box 825
    QString apellidos;        // box 817
    QString nombres;          // box 818
    QString norden;           // order number of a sent declaration
    FormaPagoImpresa pago;
    // Box-105 annex: boxes 546..555 formatted with grouping, and their total.
    QMap<int, QString> anexo;
    Dinero totalAnexo;

    QString casilla(int n) const { return casillas.value(n); }
};

// Each loader answers an empty text, or the database's error.
// Boxes and named values (and norden of a sent declaration).
QString CargaDeclaracion(QSqlDatabase db, const ContextoReporte& ctx, DeclaracionImpresa& out);
// Payment data; *esCheque tells whether the payment is by cheque.
QString CargaFormaPago(QSqlDatabase db, const ContextoReporte& ctx, FormaPagoImpresa& out, bool* esCheque);
// Boxes 546..555 and their total.
QString CargaAnexo(QSqlDatabase db, const ContextoReporte& ctx, DeclaracionImpresa& out);

// Writes pages 0 and 1, and page 2 when ctx.imprimeAnexo.
void GeneraDeclaracion(EscritorSpool& w, const ContextoReporte& ctx, const DeclaracionImpresa& d);

// The whole print of one declaration: report code from the annex flag,
// RegistraSpool, load, IniciaReporte. Fills ctx.codRep, ctx.archivo and
// ctx.pageTotal; answers an empty text or what went wrong.
QString GeneraReporteDeclaracion(QSqlDatabase db, const QString& sysUser, const QString& folder,
                                 ContextoReporte& ctx);

// Value texts of the printed form, shared by every page.
namespace impresion834 {
// "###,###,###,##0;(###,###,###,##0)" of a box text; blank stays blank.
QString importe(const QString& texto);
// The amount right-aligned: 17 places when negative, 16 otherwise, so the
// units digits line up and the closing parenthesis stands one place right.
QString importeAlineado(const QString& texto);

// " WHERE DOC_ID_D = ? AND TIP_DOC_D = 6 AND PERIODO = ? AND FORMULARIO = ?",
// with " AND CORREL = ?" for a sent declaration.
QString condicion(const ContextoReporte& ctx);
}  // namespace impresion834
