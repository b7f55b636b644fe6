#pragma once
// The six-character integrity code cNumero of CAB (n = 5), DET (n = 6) and
// HDET (n = 7) rows. It depends on the physical column order of the table,
// so callers pass a record laid out like the table: a row read back with
// SELECT *, or db.record(table) with the values of a row about to be written.

#include <QSqlRecord>
#include <QString>

inline constexpr int kControlCountCab = 5;
inline constexpr int kControlCountDet = 6;
inline constexpr int kControlCountHdet = 7;

// Sum A: the columns 0..n-1 that read as numbers (numeric values, or texts
// that parse as a plain decimal), rounded half away from zero. Sum B: over
// the columns n..count-2, every character's Windows-1252 code times its
// 1-based position. The code is the last three digits of each sum. The last
// column (cNumero itself) never counts.
QString codigoControl(const QSqlRecord& row, int n);
// The same over a row's values in the table's column order.
QString codigoControl(const QVariantList& valores, int n);

// The text a column value counts with: numbers in plain decimals, dates as
// yyyymmdd, texts trimmed; null, booleans and anything else give "".
QString textoCodigoControl(const QVariant& value);
