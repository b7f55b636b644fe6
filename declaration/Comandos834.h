#pragma once
// The commands of the declaration form that check and store it: "&Validar",
// "&Grabar" (save, or order-number registration for a sent declaration),
// "&Salir", and the tab-0 check run before a later tab is shown. They run on
// the model and the database and talk to the window only through Interfaz,
// so the window just forwards its button clicks here.

#include "Declaracion834.h"
#include "Validacion834.h"

#include <QSqlDatabase>
#include <QList>
#include <QString>
#include <optional>

#include <utility>

namespace comandos834 {

// What the commands ask of the window.
class Interfaz {
public:
    virtual ~Interfaz() = default;
    // Selects aviso.pestana when it is >= 0, shows aviso.mensaje in a message
    // box (icon aviso.icono, title aviso.titulo or the form's caption when
    // empty, OK button), then focuses aviso.foco when that control is enabled.
    // With aviso.pestanaDespues the tab is selected after the message instead.
    virtual void mostrar(const validacion834::Resultado& aviso) = 0;
    // Yes/No question with the question icon, titled with the form's caption;
    // Yes is the default button unless `noPorDefecto`.
    virtual bool preguntar(const QString& texto, bool noPorDefecto = false) = 0;
    virtual int pestanaActual() const = 0;
    virtual void seleccionarPestana(int pestana) = 0;
    // Shows FrmConsist modally over the inconsistency file; true when the
    // user pressed "&Aceptar".
    virtual bool mostrarInconsistencias(const QString& rutaArchivo) = 0;
    // Hourglass on or off.
    virtual void ocupado(bool si) = 0;
    // Closes the form (the window tells the status bar as it closes).
    virtual void cerrar() = 0;
};

// The form-wide state these commands share with the rest of the form.
struct Estado {
    // Last-save state: 0 loaded, 1 saved, 2 validated, 3 while "&Salir" runs
    // or after a save that found inconsistencies.
    int iGrabado = 0;
    QString marcaLista;              // "A" once the inconsistency list was accepted
    bool hayInconsistencias = false; // set by the last "&Validar"
    // Taxpayer and year of every placeholder header the box-105 assistant
    // wrote from this form; leaving without saving removes those still
    // placeholders.
    QList<std::pair<QString, QString>> borradores;
    // The stamp of the stored version this form last read or wrote
    // (lectura834::sello); none while a new declaration was never saved.
    std::optional<QString> sello;
    // The stamp of a version whose commit lost its answer: stored or not, it
    // is this form's own, and a later save replaces it without asking.
    std::optional<QString> selloIncierto;
    // A read failed: the form is locked, and what it shows (taken from a read
    // that did not happen) is never stored, not even through "&Salir".
    bool lecturaFallida = false;
};

struct Entorno {
    QSqlDatabase db;
    QString sysPath;   // suite folder; the inconsistency file lives there
};

inline const QString kPreguntaGuardar =
    QStringLiteral("¿La declaración ha sido modificada, desea guardar los cambios?");

// A result did not fit the form's amounts: nothing was computed past it or stored.
validacion834::Resultado importesExcesivos();

// Tab 0's identification check; on failure the window is told to go back to
// tab 0 with the message. True when a later tab may be shown.
bool ValidaContForm1(const Declaracion834& d, const validacion834::Contexto& c, Interfaz& ui);

// "&Validar".
void CmdValidar(const Declaracion834& d, const validacion834::Contexto& c, const Entorno& e, Estado& estado,
                Interfaz& ui);

// "&Grabar": the save of an unsent declaration (the form stays open), or the
// registration of the order number of a sent one (the form closes). True
// when the rows were written.
bool CmdGrabar(Declaracion834& d, const validacion834::Contexto& c, const Entorno& e, Estado& estado,
               Interfaz& ui);

// "&Salir": offers to save unsaved changes, removes the box-105 assistant's
// placeholders of declarations never saved, and closes the form. When the
// user asked to save and the save did not happen, the form stays open.
void CmdCancelar(Declaracion834& d, const validacion834::Contexto& c, const Entorno& e, Estado& estado,
                 Interfaz& ui);

} // namespace comandos834
