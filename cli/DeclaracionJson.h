#pragma once
// A whole declaration as JSON for validate, save and show: compute's members
// plus the identification, the answers, the payment control and the legal
// representative, and whether the declaration is a new one.

#include "Declaracion834.h"
#include "EntradaJson.h"
#include "Grabacion834.h"
#include "Parametros834.h"
#include "ConsultasParam.h"
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

// Why the suite user may not work on the declarations of `ruc`, naming the
// taxpayer (motivoRechazoContribuyente: the RUC check and the user's taxpayer list);
// empty when they may.
QString rechazoContribuyente(const QList<Contribuyente>& contribuyentes, const QString& ruc, const QString& sysUser);

// A request read from `dada` made ready against the suite, as save and
// validate take it: the taxpayer refused unless the user may work on it (no
// RUC at all is left to the form's own check), a stored declaration
// completed (completarConGuardada), the bank checked against the form's
// list, the exercise's UIT and factor read. 0 when ready, else the exit
// status (1 refused or database failure, 2 bad input) with *error.
int prepararConBase(const QSqlDatabase& db, const QList<Contribuyente>& contribuyentes, const QString& sysUser,
                    const QJsonObject& dada, Solicitud* s, QString* error);

// What the form's lists would not offer: a bank outside PARAM 004
// (lectura834::bancos, read once by a caller of many). Empty when all is
// offered.
QString revisarListas(const QList<std::pair<QString, QString>>& bancos, const Solicitud& s);

// Puts the declaration into the model as the window would have it before
// "&Validar" or "&Grabar", and the window's other state into the context. A
// new declaration takes its taxpayer from the suite user's list
// (listaContribuyentes, read once by the caller) and is checked against the stored
// ones; with a database the name is the list's, whatever "razonSocial"
// says; without one the taxpayer is taken as chosen and new.
void preparar(const Solicitud& s, QSqlDatabase db, const QList<Contribuyente>& contribuyentes, Declaracion834& d,
              validacion834::Contexto& c);

// The declaration as the form shows it, in the same members: every non-blank
// box, the representative, the payment control, the stored deductions.
QJsonObject escribir(const Declaracion834& d, const QString& razonSocial);

// The stored declaration reopened as the stored-declaration dialog opens it
// (every row put back, everything computed from them), in escribir's
// members; nothing when none is stored. *ok false on a database error.
std::optional<QJsonObject> leerGuardada(const QSqlDatabase& db, const QString& ruc, const QString& ejercicio,
                                        const QString& razonSocial, bool* ok);
// The same read as part of a caller's batch (with `conVersion`, also the
// whole stored version), and the declaration it found; `version` gets the
// stored estado and stamp.
struct PedidoGuardada {
    QString ruc;
    QString ejercicio;
    parametros834::PedidoEjercicio parametros;
    grabacion834::PedidoCarga carga;
    lectura834::PedidoVersion version;
};
struct VersionGuardada {
    int estado = 0;
    QString sello;
};
PedidoGuardada pedirGuardada(LoteSql& lote, const QString& ruc, const QString& ejercicio, bool conVersion);
std::optional<QJsonObject> guardadaDe(const LoteSql& lote, const PedidoGuardada& p, const QString& razonSocial,
                                      VersionGuardada* version = nullptr);

// A save of a stored declaration: each member given replaces the stored one
// whole (an empty one clears it, a box or field it leaves out is blank);
// each member left out keeps what is stored.
QJsonObject completar(const QJsonObject& guardada, const QJsonObject& dada);

// *s, read from `dada`, completed so when it is not new and a declaration
// is stored under its key, and read again from the whole. False with *error
// when the whole is not valid or, with *errorBase, the database failed.
bool completarConGuardada(const QSqlDatabase& db, const QJsonObject& dada, Solicitud* s, QString* error,
                          bool* errorBase);

} // namespace declaracionjson
