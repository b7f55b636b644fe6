#pragma once
// The suite's settings as the host uses them, with the file they came from:
// the programs the host starts must read that same file.

#include "Configuracion.h"

#include <QString>

struct ConfiguracionIntegrador {
    QString iniPath;
    Configuracion suite;

    static ConfiguracionIntegrador lee(const QString& iniPath);
    // The folder of the INI file: what QVR_WINDIR names for the programs the host starts.
    QString carpetaWindows() const;
};
