#include "Configuracion.h"

#include "ArchivoIni.h"

#include <QDir>

namespace {

QString leeClave(const QByteArray& ini, const char16_t* key)
{
    return ArchivoIni::valorEn(ini, QString::fromUtf16(kIniSection), QString::fromUtf16(key));
}

// The suite writes Windows folder names; here the separator is '/'.
QString rutaUnix(QString path)
{
    return path.replace(u'\\', u'/');
}

} // namespace

Configuracion leeConfiguracion(const QString& iniPath)
{
    // One read: every key comes from the same version of the file.
    const QByteArray ini = ArchivoIni::contenido(iniPath);
    Configuracion s;
    s.sysPath = rutaUnix(leeClave(ini, u"SysPath"));
    s.sysVersion = leeClave(ini, u"SysVersion");
    s.dbPath = rutaUnix(leeClave(ini, u"DBPath"));
    s.dbName = rutaUnix(leeClave(ini, u"DBName"));
    s.dbFile = s.dbPath + s.dbName;
    s.sysMenu = rutaUnix(leeClave(ini, u"SysMenu"));
    s.menuFile = s.sysPath + s.sysMenu;
    s.rptPath = s.sysPath + QStringLiteral("RPT");
    s.tmpPath = s.sysPath + QStringLiteral("TMP/");
    s.tmpPathNoSep = s.sysPath + QStringLiteral("TMP");
    s.bmpPath = s.sysPath + QStringLiteral("BMP/");
    s.sysUser = leeClave(ini, u"SysUser");
    s.dbLogin = leeClave(ini, u"DBLogin");
    return s;
}

bool entraCarpetaSuite(const Configuracion& settings)
{
    return !settings.sysPath.isEmpty() && QDir::setCurrent(settings.sysPath);
}
