#include "BaseDatos.h"

#include "Eco.h"
#include "ArchivoIni.h"
#include "Sesion.h"
#include "Configuracion.h"

#include <QFileInfo>

namespace {
const QString kConexion = QStringLiteral("f0834");
}

QString tomarIni(QStringList& argumentos)
{
    const qsizetype i = argumentos.indexOf(QStringLiteral("--ini"));
    if (i < 0 || i + 1 >= argumentos.size())
        return ArchivoIni::ubicaIni();
    const QString ruta = argumentos[i + 1];
    argumentos.remove(i, 2);
    return ruta;
}

BaseDatos::~BaseDatos()
{
    if (abierta_)
        cierraBaseDatos(kConexion);
}

bool BaseDatos::abrir(const QString& iniPath, QString* error, LoteSql* lecturas)
{
    if (!QFileInfo(iniPath).isFile()) {
        *error = QStringLiteral("settings file not found: %1").arg(eco(iniPath));
        return false;
    }
    const Configuracion settings = leeConfiguracion(iniPath);
    OpcionesApertura opciones;
    opciones.connectionName = kConexion;
    opciones.writeSystemDb = false;  // a command-line run leaves KV000.INI alone
    opciones.lecturas = lecturas;
    if (const std::optional<FalloApertura> fallo = abreBaseDatos(settings, iniPath, opciones)) {
        *error = QStringLiteral("cannot open the database %1: %2").arg(settings.dbFile, mensajeFalloApertura(*fallo));
        return false;
    }
    abierta_ = true;
    return true;
}

QSqlDatabase BaseDatos::db() const
{
    return QSqlDatabase::database(kConexion, false);
}
