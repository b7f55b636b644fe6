#pragma once
// The statements behind the declaration selection dialogs and the reference
// queries: the lists of stored (CAB) and sent (HCAB) declarations of the suite
// user's taxpayers, their deletions, and the bank and UIT lists of PARAM.
// No widgets here; the windows only run these and show the rows.

#include "LoteSql.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QVariant>

#include <optional>

// Columns of the stored-declaration list, in the order of its SELECT.
namespace ColumnaGuardada {
enum : int { Ruc = 0, Nombre, Periodo, Formulario, Estado, Count };
}

// Columns of the sent-declaration list, in the order of its SELECT.
namespace ColumnaEnviada {
enum : int { Ruc = 0, Nombre, Periodo, Formulario, Norden, FecEnv, Control, Correl, Count };
}

// Columns of both reference lists: "codigo" and "descrip".
namespace ColumnaReferencia {
enum : int { Codigo = 0, Descrip, Count };
}

// A statement that failed: the number the messages show (3051 for a locked
// database or missing permission, else the driver's own code) and the text.
struct FalloBase {
    int number = 0;
    QString description;
};

FalloBase falloBaseDe(const QSqlError& error);

// The text shown when a list cannot be read: a Spanish sentence naming the
// list (`lista`: "la lista de bancos") and saying why (another workstation
// holding the database, the server's connection lost), then the driver's
// own text.
QString textoFalloLectura(const QString& lista, const QSqlError& error);
// The same for the list of declarations.
QString textoFalloLista(const QSqlError& error);

// Stored declarations of form `formCode`, joined with their taxpayer and
// ordered by RUC (then year): all of them when the suite user is of type "0",
// else only those of the user's own taxpayers. One statement, read whole
// (one round trip on the server); nothing, with *error set, when it failed.
std::optional<LoteSql::Resultado> consultaDeclaracionesGuardadas(QSqlDatabase db, const QString& formCode,
                                                                const QString& sysUser, QSqlError* error = nullptr);

// The same for sent declarations (HCAB), ordered by RUC, year and correlative.
std::optional<LoteSql::Resultado> consultaDeclaracionesEnviadas(QSqlDatabase db, const QString& formCode,
                                                               const QString& sysUser, QSqlError* error = nullptr);

// Removes one stored declaration, its DET rows and then its CAB row, in one
// transaction: on failure nothing is removed.
std::optional<FalloBase> eliminaDeclaracionGuardada(QSqlDatabase db, const QString& ruc, const QString& periodo,
                                                 const QString& formCode);

// Removes one sent version (HDET rows, then the HCAB row) of a declaration,
// the one with correlative `correl`, in one transaction. Other versions stay.
std::optional<FalloBase> eliminaDeclaracionEnviada(QSqlDatabase db, const QString& ruc, const QString& periodo,
                                               const QString& formCode, const QString& correl);

// Banks (PARAM 004): two-character code and the first 36 characters of the
// name, in the table's order, without the "00" row (blanks around it ignored).
// Nothing, with *error set, when the read failed.
std::optional<LoteSql::Resultado> consultaListaBancos(QSqlDatabase db, QSqlError* error = nullptr);

// UIT values (PARAM 404): validity date "yyyymmdd" and the first 12
// characters of Funcion, newest first. The amount is shown through
// textoImporteUit(). Nothing, with *error set, when the read failed.
std::optional<LoteSql::Resultado> consultaListaUit(QSqlDatabase db, QSqlError* error = nullptr);

// The UIT amount read as a number from the start of its text, the way the
// list shows it: "00003200.00" -> "3200", "00003250.50" -> "3250.5";
// no leading number -> "0".
QString textoImporteUit(const QString& funcion);

// A submission date as the sent list shows it, "dd/mm/yyyy": a date value,
// an ISO text "yyyy-mm-dd[...]" or a text already in that form; any other
// text is shown as it stands.
QString textoFechaEnvio(const QVariant& value);
