// f0834 compute: types a declaration into the model in the order a user
// would (the year, the answers, then the boxes in box-list order, the
// deductions through the box-105 assistant's total) and prints every box.

#include "BaseDatos.h"
#include "EntradaJson.h"
#include "Subcomandos.h"

#include "Calculos834.h"
#include "Casillas834.h"
#include "Declaracion834.h"
#include "Formato834.h"
#include "Parametros834.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>
#include <optional>

namespace {

using Pregunta = Declaracion834::Pregunta;

struct Respuesta {
    const char* clave;
    Pregunta pregunta;
};
constexpr Respuesta kRespuestas[] = {
    {"rectifica", Pregunta::Rectifica},
    {"ajuste", Pregunta::Ajuste},
    {"liquidacion", Pregunta::Liquidacion},
    {"reorganizacion", Pregunta::Reorganizacion},
};

struct Pedido {
    QString ejercicio;
    QList<std::pair<Pregunta, QString>> respuestas;
    Money uit;
    QString factorIpm;
    QMap<int, QString> casillas;
    std::optional<Detalle105> deducciones;
};

// What the box would accept from the keyboard; empty when the text is fine.
QString revisarCasilla(int numero, const QString& valor)
{
    using casillas834::Tipo;
    const casillas834::Casilla* c = casillas834::buscar(numero);
    if (!c)
        return QStringLiteral("\"%1\" is not a box of the form").arg(numero);
    if (c->tipo == Tipo::Calculada)
        return QStringLiteral("box %1 is computed and cannot be typed").arg(numero);
    if (c->tipo == Tipo::Asistente)
        return QStringLiteral("box 105 comes from \"deducciones\"");
    if (numero == 160) {
        if (valor.size() > 1 || (!valor.isEmpty() && valor != u"1" && valor != u"2"))
            return QStringLiteral("box 160 takes \"1\" or \"2\"");
        return {};
    }
    if (c->tipo == Tipo::Documento || c->tipo == Tipo::Lista) {
        for (const QChar ch : valor)
            if (!(ch.isDigit() || (ch >= u'A' && ch <= u'Z') || (ch >= u'a' && ch <= u'z')) || ch.unicode() > 127)
                return QStringLiteral("box %1 takes letters and digits only").arg(numero);
        if (valor.size() > 15)
            return QStringLiteral("box %1 takes at most 15 characters").arg(numero);
        return {};
    }
    if (!entrada::soloDigitos(valor))
        return QStringLiteral("box %1 takes digits only").arg(numero);
    if (valor.size() > c->largoEnFoco)
        return QStringLiteral("box %1 takes at most %2 digits").arg(numero).arg(c->largoEnFoco);
    return {};
}

std::optional<Pedido> leerPedido(const QJsonObject& o, bool conIni, QString* error)
{
    static const QStringList kClaves{"ejercicio", "rectifica", "ajuste", "liquidacion", "reorganizacion",
                                     "uit", "factorIpm", "casillas", "deducciones"};
    for (const QString& clave : o.keys())
        if (!kClaves.contains(clave)) {
            *error = QStringLiteral("unknown member \"%1\"").arg(clave);
            return std::nullopt;
        }

    Pedido p;
    if (!o.contains(u"ejercicio")) {
        *error = QStringLiteral("\"ejercicio\" is missing");
        return std::nullopt;
    }
    p.ejercicio = entrada::texto(o, "ejercicio", {}, error);
    if (!error->isEmpty())
        return std::nullopt;
    if (p.ejercicio.size() != 4 || !entrada::soloDigitos(p.ejercicio)) {
        *error = QStringLiteral("\"ejercicio\" must be a four-digit year");
        return std::nullopt;
    }

    for (const Respuesta& r : kRespuestas) {
        const QString clave = QString::fromLatin1(r.clave);
        if (!o.contains(clave))
            continue;
        const QString v = entrada::texto(o, clave, {}, error);
        if (!error->isEmpty())
            return std::nullopt;
        if (v != u"1" && v != u"0" && !v.isEmpty()) {
            *error = QStringLiteral("\"%1\" must be \"1\", \"0\" or \"\"").arg(clave);
            return std::nullopt;
        }
        p.respuestas.append({r.pregunta, v});
    }

    const bool dados = o.contains(u"uit") || o.contains(u"factorIpm");
    if (conIni && dados) {
        *error = QStringLiteral("\"uit\" and \"factorIpm\" come from the database when --ini is given");
        return std::nullopt;
    }
    if (!conIni) {
        if (!o.contains(u"uit") || !o.contains(u"factorIpm")) {
            *error = QStringLiteral("\"uit\" and \"factorIpm\" are required without --ini");
            return std::nullopt;
        }
        const QString uit = entrada::texto(o, "uit", {}, error);
        p.factorIpm = entrada::texto(o, "factorIpm", {}, error);
        if (!error->isEmpty())
            return std::nullopt;
        const std::optional<Money> u = Money::parse(uit);
        if (!u || u->isNegative()) {
            *error = QStringLiteral("\"uit\" must be a decimal amount, not \"%1\"").arg(uit);
            return std::nullopt;
        }
        p.uit = *u;
        const std::optional<Money> f = Money::parse(p.factorIpm);
        if (!p.factorIpm.trimmed().isEmpty() && (!f || f->isNegative())) {
            *error = QStringLiteral("\"factorIpm\" must be a decimal factor, not \"%1\"").arg(p.factorIpm);
            return std::nullopt;
        }
    }

    if (o.contains(u"casillas")) {
        if (!o.value(u"casillas").isObject()) {
            *error = QStringLiteral("\"casillas\" must be an object");
            return std::nullopt;
        }
        const QJsonObject casillas = o.value(u"casillas").toObject();
        for (auto it = casillas.begin(); it != casillas.end(); ++it) {
            bool esNumero = false;
            const int numero = it.key().toInt(&esNumero);
            if (!esNumero || it.key().size() != 3 || !entrada::soloDigitos(it.key())) {
                *error = QStringLiteral("\"%1\" is not a box number").arg(it.key());
                return std::nullopt;
            }
            if (!it->isString()) {
                *error = QStringLiteral("box %1 must be given as text").arg(it.key());
                return std::nullopt;
            }
            *error = revisarCasilla(numero, it->toString());
            if (!error->isEmpty())
                return std::nullopt;
            p.casillas.insert(numero, it->toString());
        }
    }

    if (o.contains(u"deducciones")) {
        if (!o.value(u"deducciones").isObject()) {
            *error = QStringLiteral("\"deducciones\" must be an object");
            return std::nullopt;
        }
        const QJsonObject deducciones = o.value(u"deducciones").toObject();
        Detalle105 detalle;
        for (auto it = deducciones.begin(); it != deducciones.end(); ++it) {
            const int numero = it.key().toInt();
            if (it.key().size() != 3 || numero < kPrimeraDeduccion || numero > kUltimaDeduccion) {
                *error = QStringLiteral("\"%1\" is not a deduction box (546 to 555)").arg(it.key());
                return std::nullopt;
            }
            // The first and the last field of the assistant take 11 digits, the others 10.
            const int largo = (numero == kPrimeraDeduccion || numero == kUltimaDeduccion) ? 11 : 10;
            if (!it->isString() || !entrada::soloDigitos(it->toString()) || it->toString().size() > largo) {
                *error = QStringLiteral("deduction %1 must be text of at most %2 digits").arg(it.key()).arg(largo);
                return std::nullopt;
            }
            detalle[numero - kPrimeraDeduccion] = it->toString();
        }
        p.deducciones = detalle;
    }
    return p;
}

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
    QTextStream& err = consola.errores;
    const auto fallar = [&err](const QString& mensaje) {
        err << "f0834 compute: " << mensaje << '\n';
        return kSalidaError;
    };

    QString iniPath;
    for (qsizetype i = 0; i < argumentos.size(); ++i) {
        if (argumentos[i] == u"--ini" && i + 1 < argumentos.size() && iniPath.isEmpty())
            iniPath = argumentos[++i];
        else
            return fallar(QStringLiteral("unexpected argument \"%1\" (usage: f0834 compute [--ini INI_PATH])")
                              .arg(argumentos[i]));
    }

    QString error;
    const std::optional<QJsonObject> objeto = entrada::leerObjeto(consola.entrada, &error);
    if (!objeto)
        return fallar(error);
    std::optional<Pedido> pedido = leerPedido(*objeto, !iniPath.isEmpty(), &error);
    if (!pedido)
        return fallar(error);

    if (!iniPath.isEmpty()) {
        BaseDatos base;
        if (!base.abrir(iniPath, &error))
            return fallar(error);
        bool okUit = false, okIpm = false;
        pedido->uit = parametros834::GET_UIT(base.db(), pedido->ejercicio, &okUit);
        const Money factor = parametros834::GET_IPM(base.db(), pedido->ejercicio, &okIpm);
        if (!okUit || !okIpm)
            return fallar(QStringLiteral("cannot read PARAM from the database"));
        pedido->factorIpm = formato834::textoFactor(factor);
    }

    Declaracion834 d;
    d.aplicarEjercicio(pedido->ejercicio, pedido->uit, pedido->factorIpm);
    for (const auto& [pregunta, valor] : pedido->respuestas)
        d.setRespuesta(pregunta, valor);

    QList<int> noIngresadas;
    for (int numero : casillas834::vCasillas()) {
        if (numero == 105) {
            if (pedido->deducciones) {
                // What the assistant hands back: the total as a number; the
                // cascade then rebuilds the box from the detail.
                d.setDetalle105(*pedido->deducciones);
                d.setCasilla(105, formato834::plano(calculos834::totalDeducciones(*pedido->deducciones)));
            }
            continue;
        }
        const QString valor = pedido->casillas.value(numero);
        if (valor.isEmpty())
            continue;
        if (d.bloqueada(numero) || !d.habilitada(numero)) {
            noIngresadas << numero;  // the form would not let the user type here
            continue;
        }
        d.entrarCasilla(numero);
        d.setCasilla(numero, valor);
        d.salirCasilla(numero);
    }

    QJsonObject casillas;
    QList<int> bloqueadas, deshabilitadas;
    for (int numero : casillas834::vCasillas()) {
        casillas.insert(QString::number(numero), d.casilla(numero));
        if (d.bloqueada(numero))
            bloqueadas << numero;
        if (!d.habilitada(numero))
            deshabilitadas << numero;
    }
    QJsonObject salida{
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
