#include "HostSettings.h"

#include <QFileInfo>

HostSettings HostSettings::read(const QString& iniPath)
{
    return HostSettings{iniPath, readSettings(iniPath)};
}

QString HostSettings::windowsFolder() const
{
    return QFileInfo(iniPath).absolutePath();
}
