// Alt834: installs form 0834 into the suite's shared database. It takes no
// arguments and has no window of its own; a failure is shown in a message box
// when there is a display and is always written to stderr.

#include "IniFile.h"
#include "MensajesSinVentana.h"
#include "Module1.h"

int main(int, char* argv[])
{
    const MensajesSinVentana::ProgramaSinVentana programa(argv);
    Module1 installer(IniFile::locateIni(), programa.salida());
    return installer.run();
}
