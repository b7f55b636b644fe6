#pragma once
// The checks of form 0834: the asset rules, the exercise and telephone rules,
// the identification check of tab 0, the consistency check of "&Validar"
// (the inconsistency lines and its blocking errors) and the silent check the
// save uses. Nothing here shows a message: every check returns what it found
// and the window shows it.

#include "Declaracion834.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>

namespace validacion834 {

enum class Icono { Critico, Informacion, Exclamacion };

// Where the form puts the focus after a message (each only when enabled).
enum class Foco {
    Ninguno,
    CmbRuc,        // taxpayer list (new declaration)
    TxtTelefono,
    MkePeriodo,    // exercise field
    CmdCancelar,   // "&Salir"
    Casilla226,    // representative's document number
    ApellidoRL,    // txtApellidoRL
    NombreRL,      // txtNombreRL
    FormaDePago,   // the payment control (its frame is shown)
};

// What a check found: ok, or the message with its icon, the tab to select
// (-1 none; before the message unless `pestanaDespues`) and the control to
// focus afterwards.
struct Resultado {
    bool ok = true;
    QString mensaje;
    Icono icono = Icono::Critico;
    int pestana = -1;
    Foco foco = Foco::Ninguno;
    QString titulo;   // "" = the form's caption
    bool pestanaDespues = false;   // the message shows over the tab the user is on

    static Resultado bien() { return {}; }
    static Resultado falla(const QString& mensaje, int pestana, Foco foco, Icono icono = Icono::Critico)
    {
        return {false, mensaje, icono, pestana, foco, {}};
    }
    // A critical message first, then the tab and the focus.
    static Resultado fallaYLuegoPestana(const QString& mensaje, int pestana, Foco foco)
    {
        Resultado r = falla(mensaje, pestana, foco);
        r.pestanaDespues = true;
        return r;
    }
};

// What the checks need besides the model: the form's controls that the model
// does not hold, the database of the document check and the clock.
struct Contexto {
    // The displayed RUC: in mode 0 the first 11 characters of CmbRuc's text,
    // trimmed ("" when no taxpayer is chosen); in mode 1 TxtNumRuc.
    QString rucMostrado;
    // "S" when the chosen RUC and exercise have no stored declaration, "N"
    // when they do ("" before any choice).
    QString nuevaDeclaracion;
    // The text of the exercise field MkePeriodo ("_" marks an unfilled place).
    QString ejercicio;
    // PARAM 044 for the representative's document check; an invalid handle
    // lets every number pass that check.
    QSqlDatabase db;
    // Today's date; the computer's clock unless a test sets another.
    std::function<QDate()> hoy = [] { return QDate::currentDate(); };
};

// The text reads as a number the way the suite's formatting takes it: digits
// with grouping commas, an optional sign or decimals, or such a number in
// parentheses.
bool esNumero(const QString& texto);

// ---- Asset rules (blank boxes count as 0; equal amounts pass)
bool Valida303(const Declaracion834& d);   // |c303| <= c301 + c302 + c304
bool Valida328(const Declaracion834& d);   // |c328| <= c318 + ... + c397
bool Valida326(const Declaracion834& d);   // |c326| <= c325
// All 29 asset boxes are blank.
bool activosVacios(const Declaracion834& d);

// ---- Exercise rule: the mask is filled, the value is above 0, not before
// "2003" and not after the current year.
bool ValidaPeriodo(const QString& ejercicio, const QDate& hoy);

// ---- Telephone rule. The three faults are independent: "9999" is both too
// short and a short mobile number.
struct FallasTelefono {
    bool corto = false;         // 1 to 5 characters
    bool ochoSinNueve = false;  // 8 characters not starting with "9"
    bool celularCorto = false;  // starts with "9", fewer than 7 characters
    bool alguna() const { return corto || ochoSinNueve || celularCorto; }
};
FallasTelefono revisarTelefono(const QString& telefono);

// ---- Payment control
bool formaPagoElegida(const FormaDePago& p);   // "C" or "E"
bool bancoFalta(const FormaDePago& p);         // "" or "XX"
bool chequeFalta(const FormaDePago& p);        // "" or "0"

// The representative's document type: the two-character code kept in box 225.
QString tipoDocumentoRL(const Declaracion834& d);

// ---- Identification check of tab 0 (run when a later tab is selected).
Resultado ValidaContForm1(const Declaracion834& d, const Contexto& c);

// ---- Consistency check of "&Validar"
// The inconsistency lines, in check order, exactly as the file holds them.
QStringList inconsistencias(const Declaracion834& d, const Contexto& c);

struct Consistencia {
    Resultado bloqueo;          // ok when no blocking error stopped the check
    QStringList lineas;         // what the file holds
    bool hayInconsistencias() const { return !lineas.isEmpty(); }
    QString errorArchivo;       // set when the file could not be written
};
// The file "Mens.txt" in the suite folder (the folder text followed directly
// by the name, as the suite forms paths).
QString rutaMensajes(const QString& sysPath);
// Recreates the file, writes the lines (stopping before them when a new
// declaration has no taxpayer) and then checks the representative's RUC and
// the exercise. The file is Windows-1252 text with CR LF line ends.
Consistencia ValidaConsistencia(const Declaracion834& d, const Contexto& c, const QString& rutaArchivo);
// Reads the file back, one entry per line ("" when it does not exist).
QStringList leerMensajes(const QString& rutaArchivo);

// ---- Silent check of the save: true when the declaration has no inconsistency.
bool ValidaGrabacion(const Declaracion834& d, const Contexto& c);

// ---- The blocking checks of "&Validar" after the inconsistency file (steps 3
// to 6): taxpayer, existing declaration, cheque data, DNI length, surname, names.
Resultado validarComando(const Declaracion834& d, const Contexto& c);

// ---- The notice comparing the amount to pay (180) with the final balance
// (146), shown by "&Validar" and after a save; ok when there is none.
Resultado avisoImporte(const Declaracion834& d);

// ---- Messages shared with the save.
namespace texto {
inline const QString kSeleccioneContribuyente = QStringLiteral("Debe seleccionar un Contribuyente.");
inline const QString kYaExiste = QStringLiteral(
    "La declaración que desea registrar ya existe, elija la opción modificar declaración o elija otro contribuyente.");
inline const QString kRucIgual = QStringLiteral("El RUC no puede ser igual al RUC del Contribuyente.");
inline const QString kEjercicioInvalido = QStringLiteral("El ejercicio no es válido.");
inline const QString kDniOcho = QStringLiteral("El DNI o LE debe ser de 8 digitos.");
inline const QString kApellidos = QStringLiteral("Ingrese los apellidos del representante legal.");
inline const QString kNombres = QStringLiteral("Ingrese los nombres del representante legal.");
inline const QString kSinInconsistencias = QStringLiteral("La información de la declaración no presenta inconsistencias.");
inline const QString kImportesExcesivos = QStringLiteral(
    "Un importe calculado excede el máximo que admite el formulario. Revise los importes y los parámetros del "
    "ejercicio; no se grabó ningún dato.");
} // namespace texto

} // namespace validacion834
