// f0834 show --ini INI_PATH RUC EJERCICIO: a stored declaration as the form
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
#include "ParamLookups.h"
#include "Parametros834.h"
#include "Settings.h"

#include <QFileInfo>
#include <QJsonDocument>

int show(const QStringList& argumentos, Consola& consola)
{
    const entrada::Fallo fallar(consola.errores, "show");
    if (argumentos.size() != 4 || argumentos[0] != u"--ini")
        return fallar(QStringLiteral("usage: f0834 show --ini INI_PATH RUC EJERCICIO"));
    const QString iniPath = argumentos[1];
    const QString ruc = argumentos[2].trimmed();
    const QString ejercicio = argumentos[3].trimmed();
    if (!QFileInfo(iniPath).isFile())
        return fallar(QStringLiteral("settings file not found: %1").arg(eco(iniPath)));

    QString error;
    const Settings settings = readSettings(iniPath);
    BaseDatos base;
    if (!base.abrir(iniPath, &error))
        return fallar(error, kSalidaError);
    const QSqlDatabase db = base.db();

    // Opened as the stored-declaration dialog opens it: taxpayer and exercise
    // fixed, every stored row put back while loading.
    Declaracion834 d;
    d.iAccion = 1;
    d.setCargando(true);
    d.setDato(Declaracion834::Dato::Ruc, ruc);
    d.setDato(Declaracion834::Dato::Periodo, ejercicio);
    d.setParametros(parametros834::GET_UIT(db, ejercicio), formato834::textoFactor(parametros834::GET_IPM(db, ejercicio)));
    bool ok = false;
    const bool encontrada = grabacion834::CargaCasillas(db, d, &ok);
    if (!ok)
        return fallar(QStringLiteral("cannot read the declaration from the database"), kSalidaError);
    if (!encontrada)
        return fallar(QStringLiteral("no stored declaration of %1 for %2").arg(eco(ruc), eco(ejercicio)), kSalidaError);
    calculos834::Calcular113(d);
    if (!d.modalidad().isEmpty())
        d.setCasilla(160, d.modalidad());
    d.setCargando(false);
    // Stored amounts whose results do not fit are refused as input is (the top level says so).
    if (d.desbordada())
        throw MoneyOverflow();

    QString nombre;
    for (const Taxpayer& t : taxpayerList(db, settings.sysUser))
        if (t.docId == ruc)
            nombre = t.nombre;
    QJsonObject salida = declaracionjson::escribir(d, nombre);
    const std::optional<lectura834::Cabecera> cab = lectura834::leerCabecera(db, grabacion834::clave(d));
    salida.insert("estado", cab ? cab->estado.toInt() : 0);
    salida.insert("sello", lectura834::sello(db, grabacion834::clave(d)));
    consola.salida << QJsonDocument(salida).toJson(QJsonDocument::Indented);
    return kSalidaBien;
}
