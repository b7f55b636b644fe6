#pragma once
// The one save path of the command line: a declaration request goes into the
// model as the window would have it, through the checks of "&Grabar", and is
// stored with its box-105 deductions in one transaction. f0834 save stores one; f0834 import
// stores one per row of its file.

#include "DeclaracionJson.h"

#include <QSqlDatabase>
#include <QString>

struct Guardado {
    bool ok = false;
    int estado = 0;      // 0 consistent, 9 with inconsistencies (what was, or would be, stored)
    QString mensaje;     // the blocking check's message, or why the save failed
    bool conexionPerdida = false;  // the server's connection was lost: not stored,
    bool incierta = false;         // or, with this, not known whether stored
};

// `contribuyentes` is the suite user's taxpayer list (listaContribuyentes).
// The UIT and factor of s.pedido must already come from the database
// (declaracionjson::parametrosDeBase). With `soloVerificar` nothing is written.
// With s.sello, nothing is written either when the stored declaration no
// longer has that stamp (someone else saved it since).
Guardado guardarSolicitud(QSqlDatabase db, const QList<Contribuyente>& contribuyentes, const declaracionjson::Solicitud& s,
                          bool soloVerificar = false);
