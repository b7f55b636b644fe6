// f0834 compute: types a declaration into the model as a user at the window
// would. The exercise is entered and validated and the adjustment answer
// clicked first; then the boxes are visited in box-list order: each one is
// focused, its digits are typed one key at a time (every key is one change of
// the box text, with the whole cascade after it) and it is left. When the
// order reaches box 105 the deductions assistant hands back its total. A box
// that is locked or disabled at that moment takes no keys. Every box is then
// printed as the form shows it.

#include "Eco.h"
#include "BaseDatos.h"
#include "EntradaJson.h"
#include "Subcomandos.h"

#include "Calculos834.h"
#include "Casillas834.h"
#include "Declaracion834.h"
#include "Formato834.h"
#include "Parametros834.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>
#include <optional>

namespace {

using Pregunta = Declaracion834::Pregunta;
using entrada::Pedido;

QJsonArray lista(const QList<int>& numeros)
{
    QJsonArray a;
    for (int n : numeros)
        a.append(QString::number(n));
    return a;
}

} // namespace

int compute(const QStringList& argumentos, Consola& consola)
{
    const entrada::Fallo fallar(consola.errores, "compute");

    QString iniPath;
    bool conIni = false;
    for (qsizetype i = 0; i < argumentos.size(); ++i) {
        if (argumentos[i] == u"--ini" && i + 1 < argumentos.size() && !conIni) {
            iniPath = argumentos[++i];
            conIni = true;
        } else {
            return fallar(QStringLiteral("unexpected argument \"%1\" (usage: f0834 compute [--ini INI_PATH])")
                              .arg(eco(argumentos[i])));
        }
    }
    if (conIni && !QFileInfo(iniPath).isFile())
        return fallar(QStringLiteral("settings file not found: %1").arg(eco(iniPath)));

    QString error;
    const std::optional<QJsonObject> objeto = entrada::leerObjeto(consola.entrada, &error);
    if (!objeto)
        return fallar(error);
    std::optional<Pedido> pedido = entrada::leerPedido(*objeto, conIni, {}, &error);
    if (!pedido)
        return fallar(error);

    if (conIni) {
        BaseDatos base;
        if (!base.abrir(iniPath, &error))
            return fallar(error, kSalidaError);
        bool okUit = false, okIpm = false;
        pedido->uit = parametros834::GET_UIT(base.db(), pedido->ejercicio, &okUit);
        const Dinero factor = parametros834::GET_IPM(base.db(), pedido->ejercicio, &okIpm);
        if (!okUit || !okIpm)
            return fallar(QStringLiteral("cannot read PARAM from the database"), kSalidaError);
        pedido->factorIpm = formato834::textoFactor(factor);
    }

    // The command has no taxpayer, so the assistant's detail stays in memory:
    // nothing is written to the database.
    Declaracion834 d;
    d.aplicarEjercicio(pedido->ejercicio, pedido->uit, pedido->factorIpm);
    if (!pedido->ajuste.isEmpty())
        d.setRespuesta(Pregunta::Ajuste, pedido->ajuste);

    const QList<int> noIngresadas = entrada::teclearDeclaracion(*pedido, d);

    QJsonObject casillas;
    QList<int> bloqueadas, deshabilitadas;
    for (int numero : casillas834::vCasillas()) {
        casillas.insert(QString::number(numero), d.casilla(numero));
        if (d.bloqueada(numero))
            bloqueadas << numero;
        if (!d.habilitada(numero))
            deshabilitadas << numero;
    }
    const QJsonObject salida{
        {"ejercicio", d.periodo()},
        {"uit", formato834::textoFactor(d.cUIT())},
        {"factorIpm", d.factorIpm()},
        {"ajuste", d.respuesta(Pregunta::Ajuste)},
        {"modalidad", d.casilla(160)},
        {"formapago", d.pago().formapago},
        {"importe", d.pago().importe},
        {"casillas", casillas},
        {"bloqueadas", lista(bloqueadas)},
        {"deshabilitadas", lista(deshabilitadas)},
        {"noIngresadas", lista(noIngresadas)},
    };
    consola.salida << QJsonDocument(salida).toJson(QJsonDocument::Indented);
    return kSalidaBien;
}
