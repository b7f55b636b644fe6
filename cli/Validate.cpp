// f0834 validate: the checks of "&Validar" and of the save on a declaration
// given as JSON. Prints the inconsistency lines as the file holds them,
// whether the save would store it as consistent, and the blocking message
// "&Validar" would show (null when none).

#include "Eco.h"
#include "BaseDatos.h"
#include "DeclaracionJson.h"
#include "Subcomandos.h"

#include "ConsultasParam.h"
#include "Configuracion.h"
#include "Validacion834.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

int validate(const QStringList& argumentos, Consola& consola)
{
    const entrada::Fallo fallar(consola.errores, "validate");
    QString iniPath;
    if (argumentos.size() == 2 && argumentos[0] == u"--ini")
        iniPath = argumentos[1];
    else if (!argumentos.isEmpty())
        return fallar(QStringLiteral("usage: f0834 validate [--ini INI_PATH]"));
    const bool conIni = !iniPath.isEmpty();
    if (conIni && !QFileInfo(iniPath).isFile())
        return fallar(QStringLiteral("settings file not found: %1").arg(eco(iniPath)));

    QString error;
    const std::optional<QJsonObject> dada = entrada::leerObjeto(consola.entrada, &error);
    if (!dada)
        return fallar(error);
    std::optional<declaracionjson::Solicitud> s = declaracionjson::leer(*dada, conIni, &error);
    if (!s)
        return fallar(error);

    BaseDatos base;
    Configuracion settings;
    QList<Contribuyente> contribuyentes;
    if (conIni) {
        settings = leeConfiguracion(iniPath);
        if (!base.abrir(iniPath, &error))
            return fallar(error, kSalidaError);
        contribuyentes = listaContribuyentes(base.db(), settings.sysUser);
        if (const int codigo = declaracionjson::prepararConBase(base.db(), contribuyentes, settings.sysUser, *dada,
                                                                &*s, &error))
            return fallar(error, codigo);
    }

    Declaracion834 d;
    validacion834::Contexto c;
    declaracionjson::preparar(*s, conIni ? base.db() : QSqlDatabase(), contribuyentes, d, c);

    // Without a suite the list goes to a file of its own.
    QTemporaryDir temporal;
    const QString ruta = validacion834::rutaMensajes(conIni ? settings.sysPath : temporal.path() + u'/');
    const validacion834::Consistencia consistencia = validacion834::ValidaConsistencia(d, c, ruta);
    if (!consistencia.errorArchivo.isEmpty())
        return fallar(consistencia.errorArchivo, kSalidaError);
    validacion834::Resultado bloqueo = consistencia.bloqueo;
    if (bloqueo.ok)
        bloqueo = validacion834::validarComando(d, c);

    const QJsonObject salida{
        {"inconsistencias", QJsonArray::fromStringList(validacion834::leerMensajes(ruta))},
        {"consistente", validacion834::ValidaGrabacion(d, c)},
        {"bloqueo", bloqueo.ok ? QJsonValue() : QJsonValue(bloqueo.mensaje)},
    };
    consola.salida << QJsonDocument(salida).toJson(QJsonDocument::Indented);
    return kSalidaBien;
}
