// 0834IMP: prints the summary of a submission of form 0834. Started by
// another program of the suite with one 36-column argument; has no window of
// its own. Messages are shown in a box when there is a display and are
// always written to stderr.

#include "ArchivoIni.h"
#include "BloqueoInstancia.h"
#include "LineaDeOrdenes.h"
#include "Main000.h"
#include "MensajesSinVentana.h"

namespace {

const LineaDeOrdenes::Programa kPrograma{
    "0834IMP",
    "Uso: 0834IMP ARGUMENTO\n"
    "     0834IMP --help | --version\n"
    "Imprime el resumen del envío de una declaración del formulario 0834.\n"
    "ARGUMENTO tiene 36 caracteres: tipo (2) y número (15) de documento,\n"
    "formulario (4), periodo (6), campo (1) y código (8) del envío.\n",
    false,
    {},
};

} // namespace

int main(int argc, char* argv[])
{
    if (const auto salida = LineaDeOrdenes::atiende(kPrograma, argc, argv))
        return *salida;
    const QString argumento = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const MensajesSinVentana::ProgramaSinVentana programa(argv);
    const SalidaMensajes mensajes = programa.salida();

    BloqueoInstancia instancia(QStringLiteral("0834IMP"));
    if (!instancia.tryLock()) {
        // A lock file that cannot be made says nothing of another copy.
        if (instancia.tomadoPorOtraCopia())
            mensajes({MensajeResumen::Icono::Informacion, mensajes0834imp::kTituloAplicacion,
                      mensajes0834imp::kYaEnEjecucion});
        else
            mensajes({MensajeResumen::Icono::Critico, mensajes0834imp::kTituloAplicacion,
                      BloqueoInstancia::kTextoBloqueoFallido.arg(instancia.fileName())});
        return kResumenYaEnEjecucion;
    }

    Main000 programaResumen(ArchivoIni::ubicaIni(), mensajes);
    return programaResumen.ejecuta(argumento);
}
