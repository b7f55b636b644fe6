// f0834 show [--ini INI_PATH] RUC EJERCICIO: a stored declaration as the form
// shows it once reopened, in the JSON members validate and save read, plus
// its "estado" and the "sello" (stamp) of the stored version, with which a
// later save refuses to replace someone else's changes.

#include "Eco.h"
#include "BaseDatos.h"
#include "DeclaracionJson.h"
#include "Subcomandos.h"

#include "Calculos834.h"
#include "Formato834.h"
#include "Grabacion834.h"
#include "ConsultasParam.h"
#include "Parametros834.h"
#include "Configuracion.h"

#include <QFileInfo>
#include <QJsonDocument>

int show(const QStringList& argumentos, Consola& consola)
{
    const entrada::Fallo fallar(consola.errores, "show");
    QStringList resto = argumentos;
    const QString iniPath = tomarIni(resto);
    if (resto.size() != 2 || resto[0].startsWith(u'-') || resto[1].startsWith(u'-'))
        return fallar(QStringLiteral("usage: f0834 show [--ini INI_PATH] RUC EJERCICIO"));
    const QString ruc = resto[0].trimmed();
    const QString ejercicio = resto[1].trimmed();
    if (!QFileInfo(iniPath).isFile())
        return fallar(QStringLiteral("settings file not found: %1").arg(eco(iniPath)));

    QString error;
    const Configuracion settings = leeConfiguracion(iniPath);
    // The user's taxpayers and the stored declaration in one read, which
    // travels with the open's own check.
    LoteSql lote;
    const PedidoContribuyentes pedidoContribuyentes = pedirContribuyentes(lote, settings.sysUser);
    const declaracionjson::PedidoGuardada pedido = declaracionjson::pedirGuardada(lote, ruc, ejercicio, true);
    BaseDatos base;
    if (!base.abrir(iniPath, &error, &lote))
        return fallar(error, kSalidaError);
    if (lote.error().isValid())
        return fallar(QStringLiteral("cannot read the declaration from the database"), kSalidaError);
    const QList<Contribuyente> contribuyentes = contribuyentesDe(lote, pedidoContribuyentes);
    if (const QString rechazo = declaracionjson::rechazoContribuyente(contribuyentes, ruc, settings.sysUser);
        !rechazo.isEmpty())
        return fallar(rechazo, kSalidaError);
    declaracionjson::VersionGuardada version;
    const std::optional<QJsonObject> guardada =
        declaracionjson::guardadaDe(lote, pedido, buscaContribuyente(contribuyentes, ruc)->nombre, &version);
    if (!guardada)
        return fallar(QStringLiteral("no stored declaration of %1 for %2").arg(eco(ruc), eco(ejercicio)), kSalidaError);

    QJsonObject salida = *guardada;
    salida.insert("estado", version.estado);
    salida.insert("sello", version.sello);
    consola.salida << QJsonDocument(salida).toJson(QJsonDocument::Indented);
    return kSalidaBien;
}
