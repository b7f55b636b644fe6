#pragma once
// Reading a stored declaration back: the header row (CAB, or HCAB of a sent
// declaration by its CORREL), the detail rows (DET or HDET) as (code, value)
// pairs for the form's reload, the existence check of a taxpayer and exercise,
// and the PARAM 975 row without which no new declaration may be entered.
// Every value is bound; nothing here touches a window.

#include "LoteSql.h"

#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>
#include <utility>

namespace lectura834 {

// The key of one declaration: taxpayer (document type 6), exercise and form;
// a sent declaration adds its correlative.
struct Clave {
    QString ruc;
    QString periodo;
    QString formulario = QStringLiteral("0834");
    bool enviada = false;
    QString correl;
};

// " WHERE Doc_id_d = ? AND Tip_doc_d = 6 AND Periodo = ? AND Formulario = ?"
// (+ " AND Correl = ?" when `conCorrel`), and the binder of its values in the
// same order, appended after any values already bound.
QString condicionClave(bool conCorrel);
void bindClave(QSqlQuery& q, const Clave& clave, bool conCorrel);
QVariantList valoresClave(const Clave& clave, bool conCorrel);

// Deletes the DET rows of a stored declaration whose Casilla `borrar` accepts.
// The codes are judged in C++, so that codes stored with blanks are judged as
// the form reads them and the statements stay portable. False with *error
// set when a statement fails.
bool borrarFilasDetalle(QSqlDatabase& db, const Clave& clave, const std::function<bool(const QVariant&)>& borrar,
                        QString* error);

// One stored detail row: Casilla and i_valor, trimmed, Null read as "".
struct FilaCasilla {
    QString codigo;
    QString valor;
    bool operator==(const FilaCasilla&) const = default;
};

// Every read below sets *ok false and *error to the database's text when the
// statement fails (both may be null); a failed read is never "no row".

// The detail rows of the declaration, in table order: HDET with the CORREL
// for a sent declaration, else DET.
QList<FilaCasilla> leerCasillas(const QSqlDatabase& db, const Clave& clave, bool* ok = nullptr,
                                QString* error = nullptr);

// The same two reads as parts of a batch, and what they found: the detail
// rows (Casilla and i_valor as stored) and the header.
int pedirCasillas(LoteSql& lote, const Clave& clave);
QList<FilaCasilla> casillasDe(const LoteSql::Resultado& r);

// The stamp of the stored version of a declaration: a hash of every column
// of its CAB row and DET rows (DET in a fixed order, whatever order the engine
// returns them in); "" when nothing is stored. Any save that changes a row
// changes it. *ok becomes false on a database error.
QString sello(const QSqlDatabase& db, const Clave& clave, bool* ok = nullptr);

// The same read as part of a batch (the save sends it with its other
// statements): every column of the CAB row and of the DET rows; selloDe
// gives the stamp of what it read.
struct PedidoVersion {
    int cab = -1;
    int det = -1;
};
PedidoVersion pedirVersion(LoteSql& lote, const Clave& clave);
QString selloDe(const LoteSql::Resultado& cab, const LoteSql::Resultado& det);

// What the reload and the close take from the header row.
struct Cabecera {
    QVariant bcolibrad;     // Null when never set
    QString nrocheque;      // trimmed, Null read as ""
    QString cNumero;        // trimmed; "0" marks the assistant's placeholder
    QVariant estado;
    QVariant norden;        // sent declarations only
};

// The header row (HCAB with CORREL for a sent declaration, else CAB); nothing
// when there is none or on a database error (*ok false).
std::optional<Cabecera> leerCabecera(const QSqlDatabase& db, const Clave& clave, bool* ok = nullptr,
                                     QString* error = nullptr);
// The same read as part of a batch, and the header it found.
int pedirCabecera(LoteSql& lote, const Clave& clave);
std::optional<Cabecera> cabeceraDe(const LoteSql::Resultado& r);

// A stored (CAB) declaration of this taxpayer, exercise and form exists.
bool existeDeclaracion(const QSqlDatabase& db, const QString& ruc, const QString& periodo,
                       const QString& formulario, bool* ok = nullptr, QString* error = nullptr);

// A sent version (HCAB, any correlative) of this taxpayer and exercise exists.
bool existeEnviada(const QSqlDatabase& db, const QString& ruc, const QString& periodo, bool* ok = nullptr);

// The stored (CAB) declarations of the form in exercise and RUC order, of one
// exercise and of one taxpayer when those are not empty. The placeholders the
// box-105 assistant leaves (cNumero "0") are not declarations and are left out.
QList<Clave> guardadas(const QSqlDatabase& db, const QString& periodo, const QString& ruc, bool* ok = nullptr);

// PARAM 975 holds the price index of December 2002 (argument "200212").
bool existeIndiceInicial(const QSqlDatabase& db, bool* ok = nullptr);

// The banks of PARAM 004 for the payment control: code and name (positions
// 1-36, trimmed), by code; "00" is not a bank and is left out.
QList<std::pair<QString, QString>> bancos(const QSqlDatabase& db, bool* ok = nullptr, QString* error = nullptr);
// The same read as part of a batch, and the banks it found.
int pedirBancos(LoteSql& lote);
QList<std::pair<QString, QString>> bancosDe(const LoteSql::Resultado& r);

} // namespace lectura834
