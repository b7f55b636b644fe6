#include "ConfiguracionIntegrador.h"

#include <QFileInfo>

ConfiguracionIntegrador ConfiguracionIntegrador::lee(const QString& iniPath)
{
    return ConfiguracionIntegrador{iniPath, leeConfiguracion(iniPath)};
}

QString ConfiguracionIntegrador::carpetaWindows() const
{
    return QFileInfo(iniPath).absolutePath();
}
