#pragma once
// The stored detail of box 105: DET (or HDET) rows 546 to 555 of one
// declaration. The assistant stores them at once, apart from the declaration's
// own save, so a declaration never saved first gets a CAB header whose
// cNumero "0" marks it as a placeholder.

#include "Declaracion834.h"
#include "Lectura834.h"

#include <QSqlDatabase>
#include <QSqlRecord>
#include <QString>

namespace anexo105 {

inline constexpr int kDeducciones = kUltimaDeduccion - kPrimeraDeduccion + 1;

// What a detail amount is stored as: "" (no row) when it is blank after
// trimming or an empty eight-position mask "________"; otherwise the amount
// read as a box is ("###########0", grouping ignored).
QString valorGuardado(const QString& monto);

// The ten stored amounts as i_valor holds them ("" for a missing row).
// *ok becomes false and *error the database's text on a database error.
Detalle105 leer(const QSqlDatabase& db, const lectura834::Clave& clave, bool* ok = nullptr, QString* error = nullptr);

// Replaces rows 546 to 555 of the declaration by the non-blank amounts, inside
// one transaction: unless `declaracionExistente`, first makes sure the CAB
// header exists (a new one with cNumero "0"); then deletes the ten rows and
// writes one row per amount (idcasilla "01", cNumero its control code).
// Returns the database error text, empty on success (nothing changed on error).
QString guardar(QSqlDatabase db, const lectura834::Clave& clave, bool declaracionExistente,
                const Detalle105& montos);
// The same steps on a write transaction the caller holds open (the
// declaration's own save); false with *error set on a database error.
bool reemplazar(QSqlDatabase& db, const lectura834::Clave& clave, bool declaracionExistente,
                const Detalle105& montos, QString* error);

// A stored detail code the assistant's rows replace: 546 to 555 as a whole
// number, blanks around it ignored.
bool esDeduccion(const QVariant& casilla);
// The DET rows that store the amounts, laid out like `det`: Tip_doc_d,
// Doc_id_d, Periodo, Formulario, Casilla, i_valor, idcasilla and cNumero (the
// control code of the row), one list of values per non-blank amount.
QList<QVariantList> filas(const QSqlRecord& det, const lectura834::Clave& clave, const Detalle105& montos);

} // namespace anexo105
