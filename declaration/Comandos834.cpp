#include "Comandos834.h"

#include "Grabacion834.h"
#include "Parametros834.h"

namespace comandos834 {

using validacion834::Foco;
using validacion834::Icono;
using validacion834::Resultado;

namespace {

constexpr int kTabIdentificacion = static_cast<int>(casillas834::Pestana::Identificacion);
constexpr int kTabComplementaria = static_cast<int>(casillas834::Pestana::Complementaria);

// Hourglass for the length of a command; every way out restores the pointer.
class Ocupado {
public:
    explicit Ocupado(Interfaz& ui) : ui_(ui) { ui_.ocupado(true); }
    ~Ocupado() { ui_.ocupado(false); }
    Ocupado(const Ocupado&) = delete;
    Ocupado& operator=(const Ocupado&) = delete;
    // Messages are shown with the normal pointer.
    void mostrar(const Resultado& aviso)
    {
        ui_.ocupado(false);
        ui_.mostrar(aviso);
    }

private:
    Interfaz& ui_;
};

// A result that does not fit the form's amounts ends the command with the
// message; a save under way rolls back as its transaction unwinds.
template <typename Comando>
auto sinDesborde(Interfaz& ui, Comando comando) -> decltype(comando())
{
    try {
        return comando();
    } catch (const DineroDesbordado&) {
        ui.ocupado(false);
        ui.mostrar(importesExcesivos());
        return decltype(comando())();
    }
}

// The text names the file.
Resultado errorArchivo(const QString& error)
{
    return Resultado::falla(error, -1, Foco::Ninguno, Icono::Critico);
}

} // namespace

Resultado importesExcesivos()
{
    return Resultado::falla(validacion834::texto::kImportesExcesivos, -1, Foco::Ninguno, Icono::Critico);
}

bool ValidaContForm1(const Declaracion834& d, const validacion834::Contexto& c, Interfaz& ui)
{
    return sinDesborde(ui, [&] {
        const Resultado r = validacion834::ValidaContForm1(d, c);
        if (!r.ok)
            ui.mostrar(r);
        return r.ok;
    });
}

namespace {

void validar(const Declaracion834& d, const validacion834::Contexto& c, const Entorno& e, Estado& estado,
             Interfaz& ui)
{
    Ocupado ocupado(ui);
    // The computed boxes are stale while a result does not fit.
    if (d.desbordada()) {
        ocupado.mostrar(importesExcesivos());
        return;
    }
    estado.marcaLista.clear();
    const QString ruta = validacion834::rutaMensajes(e.sysPath);
    const validacion834::Consistencia consistencia = validacion834::ValidaConsistencia(d, c, ruta);
    estado.hayInconsistencias = consistencia.hayInconsistencias();
    if (!consistencia.errorArchivo.isEmpty()) {
        ocupado.mostrar(errorArchivo(consistencia.errorArchivo));
        return;
    }
    if (!consistencia.bloqueo.ok) {
        ocupado.mostrar(consistencia.bloqueo);
        return;
    }
    if (const Resultado aviso = validacion834::avisoImporte(d); !aviso.ok)
        ocupado.mostrar(aviso);
    if (const Resultado r = validacion834::validarComando(d, c); !r.ok) {
        ocupado.mostrar(r);
        return;
    }
    ui.ocupado(false);
    if (estado.hayInconsistencias) {
        // The list window covers the form; from the last tab the form shows
        // the first one behind it.
        const bool desdeUltima = ui.pestanaActual() == kTabComplementaria;
        if (desdeUltima)
            ui.seleccionarPestana(kTabIdentificacion);
        if (estado.iGrabado != 3) {
            if (ui.mostrarInconsistencias(ruta))
                estado.marcaLista = QStringLiteral("A");
        } else {
            estado.marcaLista = QStringLiteral("A");
        }
        if (desdeUltima)
            ui.seleccionarPestana(kTabComplementaria);
    } else {
        ui.mostrar(Resultado::falla(validacion834::texto::kSinInconsistencias, -1, Foco::Ninguno, Icono::Exclamacion));
        if (estado.iGrabado == 3)
            ui.cerrar();
    }
    estado.iGrabado = 2;
}

bool grabar(Declaracion834& d, const validacion834::Contexto& c, const Entorno& e, Estado& estado, Interfaz& ui)
{
    if (estado.lecturaFallida)
        return false;
    Ocupado ocupado(ui);
    if (d.desbordada() && !d.bEnviada) {
        ocupado.mostrar(importesExcesivos());
        return false;
    }
    if (d.bEnviada) {
        const grabacion834::Registro registro = grabacion834::registrarNumeroOrden(e.db, d);
        ocupado.mostrar(registro.aviso);
        if (registro.registrado)
            ui.cerrar();
        return registro.registrado;
    }

    if (const Resultado r = grabacion834::verificarGrabacion(d, c); !r.ok) {
        ocupado.mostrar(r);
        return false;
    }
    grabacion834::Grabado g = grabacion834::grabar(e.db, d, c, std::nullopt, estado.sello);
    // Another user saved since this form read the declaration: overwrite
    // only when asked to, against the version just found. The version this
    // form sent when a commit lost its answer is no other user's.
    if (g.modificada && estado.selloIncierto == g.sello) {
        g = grabacion834::grabar(e.db, d, c, std::nullopt, g.sello);
    } else if (g.modificada) {
        ui.ocupado(false);
        if (!ui.preguntar(grabacion834::texto::kPreguntaSobrescribir, true)) {
            ui.mostrar(grabacion834::mensajeFallo(g));
            return false;
        }
        ui.ocupado(true);
        g = grabacion834::grabar(e.db, d, c, std::nullopt, g.sello);
    }
    if (g.incierta)
        estado.selloIncierto = g.sello;
    if (!g.ok) {
        ocupado.mostrar(grabacion834::mensajeFallo(g));
        return false;
    }
    estado.selloIncierto.reset();
    estado.sello = g.sello;
    estado.iGrabado = g.estado == 9 ? 3 : 1;
    if (const Resultado aviso = validacion834::avisoImporte(d); !aviso.ok)
        ocupado.mostrar(aviso);
    d.setModificado(false);
    ocupado.mostrar(grabacion834::mensajeGrabado(e.db, g.estado));
    estado.iGrabado = 1;
    return true;
}

} // namespace

void CmdValidar(const Declaracion834& d, const validacion834::Contexto& c, const Entorno& e, Estado& estado,
                Interfaz& ui)
{
    sinDesborde(ui, [&] { validar(d, c, e, estado, ui); });
}

bool CmdGrabar(Declaracion834& d, const validacion834::Contexto& c, const Entorno& e, Estado& estado,
               Interfaz& ui)
{
    return sinDesborde(ui, [&] { return grabar(d, c, e, estado, ui); });
}

namespace {

// Without a price index for the year the form cannot be saved, so there is
// nothing to offer. A failed read is told and does not count as a missing
// index: the user is still asked.
bool admiteGrabar(const validacion834::Contexto& c, const Entorno& e, Interfaz& ui)
{
    bool ok = true;
    QString error;
    const bool conIndice = !parametros834::GET_IPM(e.db, c.ejercicio, &ok, &error).esCero();
    if (!ok)
        ui.mostrar(Resultado::falla(error, -1, Foco::Ninguno, Icono::Critico));
    return conIndice || !ok;
}

// Removes the placeholders the assistant left under these keys (a saved
// declaration under one of them stays).
void eliminaBorradores(const QList<std::pair<QString, QString>>& claves, const Entorno& e, Interfaz& ui)
{
    QString error;
    for (const auto& [ruc, periodo] : claves)
        if (error.isEmpty())
            grabacion834::eliminarBorrador(e.db, ruc, periodo, &error);
    if (!error.isEmpty())
        ui.mostrar(Resultado::falla(error, -1, Foco::Ninguno, Icono::Critico));
}

} // namespace

void CmdCancelar(Declaracion834& d, const validacion834::Contexto& c, const Entorno& e, Estado& estado,
                 Interfaz& ui)
{
    const int previo = estado.iGrabado;
    estado.iGrabado = 3;
    if (d.bModificado() && !estado.lecturaFallida && admiteGrabar(c, e, ui) && ui.preguntar(kPreguntaGuardar)) {
        if (CmdGrabar(d, c, e, estado, ui)) {
            if (!d.bEnviada) {  // a registration has closed the form already
                eliminaBorradores(estado.borradores, e, ui);
                ui.cerrar();
            }
        } else {
            // Closing now would lose the changes the user asked to keep.
            estado.iGrabado = previo;
        }
        return;
    }
    QList<std::pair<QString, QString>> claves = estado.borradores;
    if (d.iAccion == 0)
        claves.append({c.rucMostrado.trimmed(), d.periodo()});
    eliminaBorradores(claves, e, ui);
    ui.cerrar();
}

} // namespace comandos834
