#include "Configuracion.h"

#include "ArchivoIni.h"

#include <QDir>

namespace {

QString readKey(const QByteArray& ini, const char16_t* key)
{
    return ArchivoIni::valorEn(ini, QString::fromUtf16(kIniSection), QString::fromUtf16(key));
}

// The suite writes Windows folder names; here the separator is '/'.
QString unixPath(QString path)
{
    return path.replace(u'\\', u'/');
}

} // namespace

Configuracion leeConfiguracion(const QString& iniPath)
{
    // One read: every key comes from the same version of the file.
    const QByteArray ini = ArchivoIni::contenido(iniPath);
    Configuracion s;
    s.sysPath = unixPath(readKey(ini, u"SysPath"));
    s.sysVersion = readKey(ini, u"SysVersion");
    s.dbPath = unixPath(readKey(ini, u"DBPath"));
    s.dbName = unixPath(readKey(ini, u"DBName"));
    s.dbFile = s.dbPath + s.dbName;
    s.sysMenu = unixPath(readKey(ini, u"SysMenu"));
    s.menuFile = s.sysPath + s.sysMenu;
    s.rptPath = s.sysPath + QStringLiteral("RPT");
    s.tmpPath = s.sysPath + QStringLiteral("TMP/");
    s.tmpPathNoSep = s.sysPath + QStringLiteral("TMP");
    s.bmpPath = s.sysPath + QStringLiteral("BMP/");
    s.sysUser = readKey(ini, u"SysUser");
    s.dbLogin = readKey(ini, u"DBLogin");
    return s;
}

bool entraCarpetaSuite(const Configuracion& settings)
{
    return !settings.sysPath.isEmpty() && QDir::setCurrent(settings.sysPath);
}
