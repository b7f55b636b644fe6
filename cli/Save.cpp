// f0834 save [--ini INI_PATH] [--overwrite]: stores a declaration given as JSON exactly as
// "&Grabar" does, its deductions (546 to 555) in the same transaction, and
// prints the estado it stored. A stored declaration keeps each member the
// input leaves out, and everything is computed again from the whole. A blocking check or a failed save prints its
// message and writes nothing. Given the "sello" show printed, it refuses
// when the stored declaration changed since, unless --overwrite.

#include "Eco.h"
#include "BaseDatos.h"
#include "DeclaracionJson.h"
#include "Subcomandos.h"

#include "GuardaSolicitud.h"
#include "ConsultasParam.h"
#include "Configuracion.h"

#include <QFileInfo>

int save(const QStringList& argumentos, Consola& consola)
{
    const entrada::Fallo fallar(consola.errores, "save");
    QStringList resto = argumentos;
    const QString iniPath = tomarIni(resto);
    const bool sobrescribir = resto == QStringList{QStringLiteral("--overwrite")};
    if (!resto.isEmpty() && !sobrescribir)
        return fallar(QStringLiteral("usage: f0834 save [--ini INI_PATH] [--overwrite]"));
    if (!QFileInfo(iniPath).isFile())
        return fallar(QStringLiteral("settings file not found: %1").arg(eco(iniPath)));

    QString error;
    const std::optional<QJsonObject> dada = entrada::leerObjeto(consola.entrada, &error);
    if (!dada)
        return fallar(error);
    std::optional<declaracionjson::Solicitud> s = declaracionjson::leer(*dada, true, &error);
    if (!s)
        return fallar(error);

    const Configuracion settings = leeConfiguracion(iniPath);
    BaseDatos base;
    if (!base.abrir(iniPath, &error))
        return fallar(error, kSalidaError);
    const QList<Contribuyente> contribuyentes = listaContribuyentes(base.db(), settings.sysUser);
    if (const int codigo =
            declaracionjson::prepararConBase(base.db(), contribuyentes, settings.sysUser, *dada, &*s, &error))
        return fallar(error, codigo);

    if (sobrescribir)
        s->sello.reset();
    const Guardado g = guardarSolicitud(base.db(), contribuyentes, *s);
    if (!g.ok)
        return fallar(g.mensaje, kSalidaError);
    consola.salida << g.estado << '\n';
    return kSalidaBien;
}
