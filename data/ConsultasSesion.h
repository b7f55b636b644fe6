#pragma once
// Lookups of the database session that need no window: the suite user's type
// and the suite's message texts.

#include <QSqlDatabase>
#include <QString>

// CLAVES.Tipo of the suite user, or "1" (restricted to the user's own
// taxpayers) when the user has no row or no type. "0" sees every taxpayer.
QString tipoUsuario(QSqlDatabase db, const QString& sysUser);

// "UPPER(column) = UPPER(?)": a user-name column names the suite user. The
// suite's engine compared text without regard to case, so "admin" is "ADMIN";
// both sides go through the same engine's UPPER. Binds the user name once.
QString condicionMismoUsuario(const QString& column);

// "(UPPER(column) = UPPER(?) OR EXISTS (... CLAVES ... Tipo '0'))": a row of
// one of the suite user's own taxpayers, or any row for a user of type "0".
// The user's type is decided in the same statement (a user without a CLAVES
// row or type is restricted, as tipoUsuario says). Binds the user name twice.
QString condicionVisiblePara(const QString& column);

// True when the type lets the user see every taxpayer and declaration.
inline bool esUsuarioSinRestriccion(const QString& type) { return type == QLatin1String("0"); }

// ERROR.DescError of the code written with four digits ("0151"); empty when
// the code has no row.
QString textoError(QSqlDatabase db, int code);

// The code as ERROR.CodError writes it: four digits with leading zeros.
QString claveCodigoError(int code);
