// f0834 save --ini INI_PATH: stores a declaration given as JSON exactly as
// "&Grabar" does (the deductions first, as the box-105 assistant stores them)
// and prints the estado it stored. A blocking check prints its message and
// writes nothing.

#include "BaseDatos.h"
#include "DeclaracionJson.h"
#include "Subcomandos.h"

#include "Anexo105Datos.h"
#include "Grabacion834.h"
#include "Settings.h"

#include <QFileInfo>

int save(const QStringList& argumentos, Consola& consola)
{
    const entrada::Fallo fallar(consola.errores, "save");
    if (argumentos.size() != 2 || argumentos[0] != u"--ini")
        return fallar(QStringLiteral("usage: f0834 save --ini INI_PATH"));
    const QString iniPath = argumentos[1];
    if (!QFileInfo(iniPath).isFile())
        return fallar(QStringLiteral("settings file not found: %1").arg(iniPath));

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

    Declaracion834 d;
    validacion834::Contexto c;
    declaracionjson::preparar(*s, base.db(), settings.sysUser, d, c);

    if (const validacion834::Resultado r = grabacion834::verificarGrabacion(d, c); !r.ok)
        return fallar(r.mensaje, kSalidaError);
    if (s->pedido.deducciones) {
        error = anexo105::guardar(base.db(), grabacion834::clave(d), d.iAccion != 0, *s->pedido.deducciones);
        if (!error.isEmpty())
            return fallar(error, kSalidaError);
    }
    const grabacion834::Grabado g = grabacion834::grabar(base.db(), d, c);
    if (!g.ok)
        return fallar(grabacion834::mensajeFallo(g.error).mensaje, kSalidaError);
    consola.salida << g.estado << '\n';
    return kSalidaBien;
}
