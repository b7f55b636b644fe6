#include "Configuracion.h"

#include "ArchivoIni.h"

#include <QDir>

namespace {

QString leeClave(const QString& iniPath, const char16_t* key)
{
    return ArchivoIni::lee(iniPath, QString::fromUtf16(kIniSection), QString::fromUtf16(key));
}

// The suite writes Windows folder names; here the separator is '/'.
QString rutaUnix(QString path)
{
    return path.replace(u'\\', u'/');
}

} // namespace

Configuracion leeConfiguracion(const QString& iniPath)
{
    Configuracion s;
    s.sysPath = rutaUnix(leeClave(iniPath, u"SysPath"));
    s.sysVersion = leeClave(iniPath, u"SysVersion");
    s.dbPath = rutaUnix(leeClave(iniPath, u"DBPath"));
    s.dbName = rutaUnix(leeClave(iniPath, u"DBName"));
    s.dbFile = s.dbPath + s.dbName;
    s.sysMenu = rutaUnix(leeClave(iniPath, u"SysMenu"));
    s.menuFile = s.sysPath + s.sysMenu;
    s.rptPath = s.sysPath + QStringLiteral("RPT");
    s.tmpPath = s.sysPath + QStringLiteral("TMP/");
    s.tmpPathNoSep = s.sysPath + QStringLiteral("TMP");
    s.bmpPath = s.sysPath + QStringLiteral("BMP/");
    s.sysUser = leeClave(iniPath, u"SysUser");
    s.dbLogin = leeClave(iniPath, u"DBLogin");
    return s;
}

bool entraCarpetaSuite(const Configuracion& settings)
{
    return !settings.sysPath.isEmpty() && QDir::setCurrent(settings.sysPath);
}
