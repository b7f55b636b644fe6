#pragma once
// Saving a declaration of form 0834 (CAB and DET rows with their control
// codes), registering the order number of a sent one (HCAB, HDET), removing
// the placeholder the box-105 assistant leaves behind, and putting stored rows
// back into the model. Every write runs in one transaction: when a statement
// fails, the stored declaration stays as it was. No message is shown here.

#include "Declaracion834.h"
#include "Lectura834.h"
#include "Validacion834.h"

#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <optional>

namespace grabacion834 {

// The key of the declaration the model holds (sRuc, sPeriodo; CORREL when sent).
lectura834::Clave clave(const Declaracion834& d);

// ---- What GrabaCasilla writes
// Nothing is written for a value that trims to "", is a lone tab, line feed
// or carriage return, or is an empty eight-place mask "________".
bool sinValor(const QString& valor);
// i_valor of a code: the text codes (209, 007, 225, 015, 812, 220, 224, 211,
// 212, 226, 721, 722, 221) unchanged; any other value formatted
// "###########0" when it reads as a number (a subtracted box as its absolute
// value) and unchanged when it does not (names, "C").
QString valorAlmacenado(const QString& codigo, const QString& valor);
// idcasilla: "05" for box 180, "01" for every other code.
QString idCasilla(const QString& codigo);

// ---- The eight checks before a save; the first failure stops it.
validacion834::Resultado verificarGrabacion(const Declaracion834& d, const validacion834::Contexto& c);

// ---- Parameter check sum (code "722"): PARAM 981 of the form lists table
// numbers; the sum of number x Val(correl_param) over their rows.
// False with *error on a database error.
bool sumaParametros(const QSqlDatabase& db, QString* suma, QString* error);

// ---- The save itself (after the checks): CAB with estado 0 (consistent) or
// 9, the check sum, every detail row replaced except 546 to 555; with
// `deducciones`, rows 546 to 555 replaced by them too. Every save of a
// declaration goes through here and runs as one write transaction: it is
// stored whole or not at all.
// Before writing, inside the transaction, it checks that the stored version
// is the one the caller knows: with `selloLeido` (the stamp the caller read,
// lectura834::sello; "" for none stored), a different stored stamp writes
// nothing and sets modificada; without it, a new declaration (iAccion 0) that
// another save stored first writes nothing and sets yaExiste. A key that
// holds nothing, or only the assistant's placeholder, is stored as a new
// declaration either way.
// When the server's connection is lost during the commit, the answer never
// came: the connection is opened again and the stored stamp compared with the
// one of the version sent, so the result says what the server really did
// (ok, or not stored), or incierta when the server cannot be asked.
struct Grabado {
    bool ok = false;
    int estado = 0;          // 0 consistent, 9 with inconsistencies
    bool yaExiste = false;   // a new declaration that another save stored first
    bool modificada = false; // another save changed the stored version since it was read
    bool bloqueada = false;  // another user held the database past the busy timeout
    bool conexionPerdida = false; // the server's connection was lost before the commit: nothing stored
    bool incierta = false;   // the connection was lost during the commit and the server could not tell
                             // afterwards whether it was done (sello: the stamp it would have)
    QString sello;           // the stamp stored now (ok), or the one found (modificada)
    QString error;           // the database's reason when !ok
};
Grabado grabar(QSqlDatabase db, const Declaracion834& d, const validacion834::Contexto& c,
               const std::optional<Detalle105>& deducciones = std::nullopt,
               const std::optional<QString>& selloLeido = std::nullopt);

// The message after a successful save: ERROR 0151 (information) or the
// inconsistency warning (exclamation).
validacion834::Resultado mensajeGrabado(const QSqlDatabase& db, int estado);
// The message shown when the save could not be written.
validacion834::Resultado mensajeFallo(const QString& error);
// The same for a save's result: "ya existe" (tab 0, taxpayer combo) when
// another save stored the new declaration first, kModificada when another
// save changed it since it was read.
validacion834::Resultado mensajeFallo(const Grabado& g);

// ---- Close: a CAB row of this taxpayer and exercise whose cNumero is "0"
// (the assistant's placeholder) goes, with all its DET rows. True when one
// was removed; false with *error set on a database error.
bool eliminarBorrador(QSqlDatabase db, const QString& ruc, const QString& periodo, QString* error);

// ---- Order number of a sent declaration (eight digits in HCAB.NORDEN, Null
// when 0; the two-digit part in HDET row 806).
using VerificaOrden = std::function<bool(const QString& control, const QString& orden8, const QString& orden2)>;
struct Registro {
    bool registrado = false;          // rows written; the form then closes
    validacion834::Resultado aviso;   // the message to show (always one)
};
// The order-number check defaults to ObjFunciones::OrdenCorresponde.
Registro registrarNumeroOrden(QSqlDatabase db, const Declaracion834& d, const VerificaOrden& verifica = {});

// ---- Reload (CargaCasillas): the stored detail rows go through AsignaCasilla
// (box-105 detail first, so box 105 is rebuilt from it), then the header's
// bank and cheque number into the payment control. False when no detail row
// was found (the caller clears the boxes); *ok false and *error the
// database's text when a read failed (the model is then left as it was).
bool CargaCasillas(const QSqlDatabase& db, Declaracion834& d, bool* ok = nullptr, QString* error = nullptr);
// The same reads as part of a caller's batch (its key from the model), and
// the reload from what they found.
struct PedidoCarga {
    int detalle = -1;
    int cabecera = -1;
};
PedidoCarga pedirCarga(LoteSql& lote, const Declaracion834& d);
bool cargarDe(const LoteSql& lote, const PedidoCarga& pedido, Declaracion834& d);

namespace texto {
inline const QString kRucNoValido = QStringLiteral("El RUC no es válido.");
inline const QString kGrabadaConInconsistencias = QStringLiteral(
    "La información de la declaración fue grabada con inconsistencias. En estas condiciones no podra ser enviada a "
    "KALDEN.");
inline const QString kOrdenNoCorresponde =
    QStringLiteral("Número de Orden Ingresado No corresponde a la declaración enviada.");
inline const QString kOrdenRegistrado = QStringLiteral("El número de orden fue registrado satisfactoriamente.");
inline const QString kTituloMensaje = QStringLiteral("Mensaje");
inline const QString kNoGrabada = QStringLiteral(
    "La declaración no pudo ser grabada: no se guardó ningún dato y se conserva la versión anterior.");
inline const QString kModificada = QStringLiteral(
    "La declaración fue modificada por otro usuario desde que fue abierta; no se grabó ningún dato.");
inline const QString kPreguntaSobrescribir = QStringLiteral(
    "La declaración fue modificada por otro usuario desde que fue abierta. ¿Desea reemplazar la versión grabada "
    "por la suya?");
inline const QString kConexionPerdida = QStringLiteral(
    "Se perdió la conexión con el servidor de la base de datos: la declaración no fue grabada y se conserva la "
    "versión anterior. Puede grabarla nuevamente.");
inline const QString kGrabacionIncierta = QStringLiteral(
    "Se perdió la conexión con el servidor de la base de datos mientras se confirmaba la grabación y no se puede "
    "saber si la declaración quedó grabada. Ábrala nuevamente para comprobarlo.");
inline const QString kLecturaFallida = QStringLiteral("No se pudo leer la declaración grabada.");
inline const QString kDatosNoLeidos =
    QStringLiteral("No se pudieron leer los datos de la suite que el formulario necesita.");
inline const QString kExistenciaNoLeida =
    QStringLiteral("No se pudo comprobar si la declaración ya está grabada.");
inline const QString kSinServidor = QStringLiteral("Se perdió la conexión con el servidor de la base de datos.");
inline const QString kBaseOcupada =
    QStringLiteral("La base de datos está ocupada por otro usuario. Intente grabar nuevamente en unos momentos.");
inline const QString kOrdenNoGrabado = QStringLiteral("El número de orden no pudo ser registrado.");
inline const QString kEnviadaEliminada = QStringLiteral("La declaración enviada fue eliminada por otro usuario.");
} // namespace texto

} // namespace grabacion834
