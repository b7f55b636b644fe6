// Alt834: installs form 0834 into the suite's shared database. It takes no
// arguments and has no window of its own; a failure is shown in a message box
// when there is a display and is always written to stderr.

#include "ArchivoIni.h"
#include "LineaDeOrdenes.h"
#include "MensajesSinVentana.h"
#include "Module1.h"

namespace {

const LineaDeOrdenes::Programa kPrograma{
    "Alt834",
    "Uso: Alt834\n"
    "     Alt834 --help | --version\n"
    "Instala el formulario 0834 en la base de datos de la suite que nombra\n"
    "KV000.INI. No recibe argumentos.\n",
    true,
    {},
};

} // namespace

int main(int argc, char* argv[])
{
    if (const auto salida = LineaDeOrdenes::atiende(kPrograma, argc, argv))
        return *salida;
    const MensajesSinVentana::ProgramaSinVentana programa(argv);
    Module1 installer(ArchivoIni::ubicaIni(), programa.salida());
    return installer.ejecuta();
}
