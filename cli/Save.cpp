// f0834 save --ini INI_PATH: stores a declaration given as JSON exactly as
// "&Grabar" does, its deductions (546 to 555) in the same transaction, and
// prints the estado it stored. A blocking check or a failed save prints its
// message and writes nothing. Given the "sello" show printed, it refuses
// when the stored declaration changed since, unless --overwrite.

#include "Eco.h"
#include "BaseDatos.h"
#include "DeclaracionJson.h"
#include "Subcomandos.h"

#include "GuardaSolicitud.h"
#include "ParamLookups.h"
#include "Settings.h"

#include <QFileInfo>

int save(const QStringList& argumentos, Consola& consola)
{
    const entrada::Fallo fallar(consola.errores, "save");
    const bool sobrescribir = argumentos.size() == 3 && argumentos[2] == u"--overwrite";
    if (argumentos.size() != 2 + sobrescribir || argumentos[0] != u"--ini")
        return fallar(QStringLiteral("usage: f0834 save --ini INI_PATH [--overwrite]"));
    const QString iniPath = argumentos[1];
    if (!QFileInfo(iniPath).isFile())
        return fallar(QStringLiteral("settings file not found: %1").arg(eco(iniPath)));

    QString error;
    std::optional<declaracionjson::Solicitud> s = declaracionjson::leer(consola.entrada, true, &error);
    if (!s)
        return fallar(error);

    const Settings settings = readSettings(iniPath);
    BaseDatos base;
    if (!base.abrir(iniPath, &error))
        return fallar(error, kSalidaError);
    if (!declaracionjson::parametrosDeBase(base.db(), s->pedido))
        return fallar(QStringLiteral("cannot read PARAM from the database"), kSalidaError);

    if (sobrescribir)
        s->sello.reset();
    const Guardado g = guardarSolicitud(base.db(), taxpayerList(base.db(), settings.sysUser), *s);
    if (!g.ok)
        return fallar(g.mensaje, kSalidaError);
    consola.salida << g.estado << '\n';
    return kSalidaBien;
}
