#pragma once
// A whole declaration as JSON for validate, save and show: compute's members
// plus the identification, the answers, the payment control and the legal
// representative, and whether the declaration is a new one.

#include "Declaracion834.h"
#include "EntradaJson.h"
#include "ParamLookups.h"
#include "Validacion834.h"

#include <QJsonObject>
#include <QSqlDatabase>
#include <optional>

namespace declaracionjson {

struct Solicitud {
    entrada::Pedido pedido;
    QString ruc;
    QString razonSocial;
    QString telefono;
    QList<std::pair<Declaracion834::Pregunta, QString>> respuestas;   // besides "ajuste"
    std::optional<FormaDePago> formaPago;
    QString apellidos;
    QString nombres;
    bool nuevo = false;
    std::optional<QString> sello;   // the stamp show printed, when given
};

// Reads and checks the input; *error says what is wrong. What show prints is
// taken as it is: "estado" and the computed boxes (box 105 included: it comes
// from "deducciones") are left out, since the save recomputes them, and an
// amount shown with thousands separators or in parentheses is read as the
// window reads it when the box gets the focus.
std::optional<Solicitud> leer(const QJsonObject& o, bool conIni, QString* error);
// The same from the whole of the standard input.
std::optional<Solicitud> leer(QIODevice& entrada, bool conIni, QString* error);

// The UIT and the adjustment factor of the exercise from PARAM; false on a
// database error.
bool parametrosDeBase(const QSqlDatabase& db, entrada::Pedido& p);

// Puts the declaration into the model as the window would have it before
// "&Validar" or "&Grabar", and the window's other state into the context. A
// new declaration takes its taxpayer from the suite user's list
// (taxpayerList, read once by the caller) and is checked against the stored
// ones; without a database the taxpayer is taken as chosen and new.
void preparar(const Solicitud& s, QSqlDatabase db, const QList<Taxpayer>& contribuyentes, Declaracion834& d,
              validacion834::Contexto& c);

// The declaration as the form shows it, in the same members: every non-blank
// box, the representative, the payment control, the stored deductions.
QJsonObject escribir(const Declaracion834& d, const QString& razonSocial);

} // namespace declaracionjson
