// 0834IMP: prints the summary of a submission of form 0834. Started by
// another program of the suite with one 36-column argument; has no window of
// its own. Messages are shown in a box when there is a display and are
// always written to stderr.

#include "IniFile.h"
#include "InstanceLock.h"
#include "Main000.h"
#include "MensajesSinVentana.h"

int main(int argc, char* argv[])
{
    const QString argumento = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const MensajesSinVentana::ProgramaSinVentana programa(argv);
    const SalidaMensajes mensajes = programa.salida();

    InstanceLock instancia(QStringLiteral("0834IMP"));
    if (!instancia.tryLock()) {
        mensajes({MensajeResumen::Icono::Informacion, mensajes0834imp::kTituloAplicacion,
                  mensajes0834imp::kYaEnEjecucion});
        return kResumenYaEnEjecucion;
    }

    Main000 programaResumen(IniFile::locateIni(), mensajes);
    return programaResumen.ejecuta(argumento);
}
