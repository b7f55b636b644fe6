#pragma once
// The columns of the batch file, declared once for both directions: a row
// read by import becomes the JSON object that validate and save take, and a
// stored declaration becomes a row for export. Columns: the identification
// and payment data by name, one column per entered box by its number, and
// 546 to 555 for the box-105 deductions. Every column but "ruc" and
// "ejercicio" may be left out of a file.

#include "Lectura834.h"

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace columnas {

// Every column, in the order export writes them.
QStringList nombres();

// Where each column of a file's header stands.
struct Cabecera {
    QHash<QString, int> posicion;   // column name -> field index
};
// Refuses unknown columns (naming them), a column named twice and a file
// without "ruc" or "ejercicio".
std::optional<Cabecera> leerCabecera(const QStringList& cabecera, QString* error);

// One row as the declaration object of validate and save ("nuevo" and
// "razonSocial" are the caller's). Amounts may carry grouping commas.
QJsonObject solicitud(const Cabecera& cabecera, const QStringList& campos);

// One stored declaration as a row in nombres() order, from its detail rows
// and its header.
QStringList fila(const lectura834::Clave& clave, const QList<lectura834::FilaCasilla>& detalle,
                 const lectura834::Cabecera& cabecera);

} // namespace columnas
