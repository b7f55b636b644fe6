#pragma once
// Readers of the suite's PARAM rows: document types (044), banks (004) and
// the taxpayers the suite user may declare for. Funcion values are
// fixed-column records read with 1-based positions.

#include "LoteSql.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

// Record used for document type 6 when its 044 row is missing: short name
// "RUC", length 11, data kind "5", length kind "0" (at most the length).
inline const QString kRegistroRucPredeterminado = QStringLiteral(
    "REG. UNICO DE CONTRIBUYENTES   RUC           11 000110 01 000001000001100111011111"
    "                                           0 5 0");

// Characters pos..pos+len-1 (1-based) of text; whatever of them exists. A
// position before 1 gives an empty text; a negative len means "to the end".
QString mid(const QString& text, int pos, int len = -1);

// Numeric value of the leading digits of a text, after blanks (0 when none).
int numeroInicial(const QString& text);

// Funcion of the PARAM row (Numero, Argumento); nothing when there is none.
std::optional<QString> paramFuncion(QSqlDatabase db, const QString& numero, const QString& argumento);

// Fields of a 044 document-type record.
struct RegistroTipoDocumento {
    QString funcion;
    QString nombreCorto() const { return mid(funcion, 32, 11); }
    int longitud() const { return numeroInicial(mid(funcion, 46, 2)); }
    QString ordenPresentacion() const { return mid(funcion, 56, 2); }
    bool ofrecidoEn(int flagPosition) const { return mid(funcion, flagPosition, 1) == QLatin1String("1"); }
    QString claseDato() const { return mid(funcion, 128, 1); }
    // "0" (or blank): at most longitud() characters; anything else: exactly.
    bool largoExacto() const { return numeroInicial(mid(funcion, 130, 1)) != 0; }
};

// The items of a document-type list for the list whose flag sits at
// `flagPosition` (59..82), ordered by the display order: two-digit code,
// "  -  ", the short name fitted to 60 characters, then length, data kind and
// length kind separated by blanks. Optionally first an item of 75 blanks.
// *ok (when given) becomes false and *error the database's text when the
// rows cannot be read.
QStringList elementosTipoDocumento(QSqlDatabase db, int flagPosition, bool blankFirst, bool* ok = nullptr,
                              QString* error = nullptr);

// Whether a document number suits its type's 044 record (length and
// characters). An empty type or number, or a type without a row, passes.
bool revisaNumeroDocumento(QSqlDatabase db, const QString& type, const QString& number);

// Short name of a document type (044 positions 32-43, trimmed); "RUC" when the
// row is missing.
QString nombreCortoDocumento(QSqlDatabase db, const QString& type);

struct Contribuyente {
    QString docId;   // first 11 characters of CONT.Doc_id_d, trimmed
    QString nombre;
};

// RUC taxpayers of CONT the suite user may declare for, by document number:
// all of them for a user of type "0", else those whose Usuario is sysUser.
// When the RUC record asks for exactly 11 characters, other numbers are left
// out.
// *ok and *error as for elementosTipoDocumento.
QList<Contribuyente> listaContribuyentes(QSqlDatabase db, const QString& sysUser, bool* ok = nullptr, QString* error = nullptr);
// The same read as part of a caller's batch, and the taxpayers it found.
struct PedidoContribuyentes {
    int tipoRuc = -1;
    int contribuyentes = -1;
};
PedidoContribuyentes pedirContribuyentes(LoteSql& lote, const QString& sysUser);
QList<Contribuyente> contribuyentesDe(const LoteSql& lote, const PedidoContribuyentes& p);

// The taxpayer of the list with this document number; nullptr when none.
const Contribuyente* buscaContribuyente(const QList<Contribuyente>& list, const QString& ruc);

// Why the suite user may not work on the declarations of `ruc`: a number the
// RUC check refuses, or a taxpayer missing from the user's list (listaContribuyentes),
// which is all the windows ever offer them.
enum class MotivoRechazo { Ninguno, RucNoValido, NoListado };
MotivoRechazo motivoRechazoContribuyente(const QList<Contribuyente>& list, const QString& ruc);

// Short bank name for the printed declaration (004 positions 38-49, trimmed);
// empty when the code has no row (cash payments store " ").
QString nombreCortoBanco(QSqlDatabase db, const QString& code);
// The same name from the bank's PARAM 004 Funcion.
QString nombreCortoDeBanco(const QString& funcion);
