#pragma once
// The list of declarations the print selection offers: stored (CAB) or sent
// (HCAB) declarations of one form, joined with their taxpayer, by RUC.

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

// Columns of the list, in the order of its SELECT. The stored list has the
// first four only.
namespace ColumnaImpresion {
enum : int { Ruc = 0, Nombre, Periodo, Formulario, Norden, FecEnv, Control, Correl };
}

// The executed query (check isActive()); a user whose type is not "0" sees
// only the declarations of taxpayers registered under his name.
QSqlQuery listaDeclaracionesImpresion(QSqlDatabase db, const QString& formulario, const QString& sysUser,
                                      bool enviadas);
