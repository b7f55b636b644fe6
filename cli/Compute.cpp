// f0834 compute: types a declaration into the model as a user at the window
// would. The exercise is entered and validated and the adjustment answer
// clicked first; then the boxes are visited in box-list order: each one is
// focused, its digits are typed one key at a time (every key is one change of
// the box text, with the whole cascade after it) and it is left. When the
// order reaches box 105 the deductions assistant hands back its total. A box
// that is locked or disabled at that moment takes no keys. Every box is then
// printed as the form shows it.

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

// Bad input (arguments, JSON, a member or a box the form would not take) ends
// with status 2; a database that cannot be read ends with the general 1.
constexpr int kEntradaMala = 2;

struct Pedido {
    QString ejercicio;
    QString ajuste;              // "" = the option is not clicked ("Si" stays selected)
    Money uit;
    QString factorIpm;
    QMap<int, QString> casillas;
    std::optional<Detalle105> deducciones;
};

// A key the box's filter lets through (Backspace aside, which JSON cannot type).
bool teclaAceptada(int numero, QChar k)
{
    const bool digito = k >= u'0' && k <= u'9';
    if (numero == 160)
        return k == u'1' || k == u'2';
    if (numero == 226 || numero == 225) {
        const QChar m = k.toUpper();
        return digito || (m >= u'A' && m <= u'Z');
    }
    return digito;
}

// What the box would take from the keyboard; empty when the text is fine.
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
    for (const QChar k : valor)
        if (!teclaAceptada(numero, k)) {
            if (numero == 160)
                return QStringLiteral("box 160 takes \"1\" or \"2\"");
            if (c->tipo == Tipo::Documento || c->tipo == Tipo::Lista)
                return QStringLiteral("box %1 takes letters and digits only").arg(numero);
            return QStringLiteral("box %1 takes digits only").arg(numero);
        }
    const int largo = (c->tipo == Tipo::Documento || c->tipo == Tipo::Lista) ? 15 : c->largoEnFoco;
    if (valor.size() > largo)
        return QStringLiteral("box %1 takes at most %2 characters").arg(numero).arg(largo);
    return {};
}

std::optional<Pedido> leerPedido(const QJsonObject& o, bool conIni, QString* error)
{
    static const QStringList kClaves{"ejercicio", "ajuste", "uit", "factorIpm", "casillas", "deducciones"};
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

    p.ajuste = entrada::texto(o, "ajuste", {}, error);
    if (!error->isEmpty())
        return std::nullopt;
    if (p.ajuste != u"1" && p.ajuste != u"0" && !p.ajuste.isEmpty()) {
        *error = QStringLiteral("\"ajuste\" must be \"1\", \"0\" or \"\"");
        return std::nullopt;
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
            if (it.key().size() != 3 || !entrada::soloDigitos(it.key())) {
                *error = QStringLiteral("\"%1\" is not a box number").arg(it.key());
                return std::nullopt;
            }
            const int numero = it.key().toInt();
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
            if (it.key().size() != 3 || !entrada::soloDigitos(it.key()) || numero < kPrimeraDeduccion
                || numero > kUltimaDeduccion) {
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
        if (!deducciones.isEmpty())
            p.deducciones = detalle;
    }
    return p;
}

// One key at the end of the box text. The first key replaces what the box
// showed, as the field is entered with Tab and its text selected.
void teclear(Declaracion834& d, int numero, const QString& texto)
{
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QString tecla = numero == 226 ? texto.at(i).toUpper() : QString(texto.at(i));
        d.setCasilla(numero, i == 0 ? tecla : d.casilla(numero) + tecla);
    }
}

// The assistant accepted with these amounts: the form writes the total it
// hands back into box 105, rebuilds the box from the stored detail, and the
// focus passes through box 105 on its way to the next field.
void aceptarAsistente(Declaracion834& d, const Detalle105& detalle)
{
    d.setDetalle105(detalle);
    d.setCasilla(105, formato834::entreParentesis(calculos834::totalDeducciones(detalle)));
    calculos834::Calcular105(d, QStringLiteral("105"));
    d.entrarCasilla(105);
    d.salirCasilla(105);
}

QJsonArray lista(const QList<int>& numeros)
{
    QJsonArray a;
    for (int n : numeros)
        a.append(QString::number(n));
    return a;
}

// Messages stay on one line whatever the input held.
QString unaLinea(QString mensaje)
{
    for (QChar& c : mensaje)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line
            || c.category() == QChar::Separator_Paragraph)
            c = u' ';
    return mensaje;
}

} // namespace

int compute(const QStringList& argumentos, Consola& consola)
{
    QTextStream& err = consola.errores;
    const auto fallar = [&err](const QString& mensaje, int codigo = kEntradaMala) {
        err << "f0834 compute: " << unaLinea(mensaje) << '\n';
        return codigo;
    };

    QString iniPath;
    bool conIni = false;
    for (qsizetype i = 0; i < argumentos.size(); ++i) {
        if (argumentos[i] == u"--ini" && i + 1 < argumentos.size() && !conIni) {
            iniPath = argumentos[++i];
            conIni = true;
        } else {
            return fallar(QStringLiteral("unexpected argument \"%1\" (usage: f0834 compute [--ini INI_PATH])")
                              .arg(argumentos[i]));
        }
    }
    if (conIni && !QFileInfo(iniPath).isFile())
        return fallar(QStringLiteral("settings file not found: %1").arg(iniPath));

    QString error;
    const std::optional<QJsonObject> objeto = entrada::leerObjeto(consola.entrada, &error);
    if (!objeto)
        return fallar(error);
    std::optional<Pedido> pedido = leerPedido(*objeto, conIni, &error);
    if (!pedido)
        return fallar(error);

    if (conIni) {
        BaseDatos base;
        if (!base.abrir(iniPath, &error))
            return fallar(error, kSalidaError);
        bool okUit = false, okIpm = false;
        pedido->uit = parametros834::GET_UIT(base.db(), pedido->ejercicio, &okUit);
        const Money factor = parametros834::GET_IPM(base.db(), pedido->ejercicio, &okIpm);
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

    QList<int> noIngresadas;
    for (int numero : casillas834::vCasillas()) {
        if (numero == 105) {
            if (pedido->deducciones)
                aceptarAsistente(d, *pedido->deducciones);
            continue;
        }
        const QString valor = pedido->casillas.value(numero);
        if (valor.isEmpty())
            continue;
        if (d.bloqueada(numero) || !d.habilitada(numero)) {
            noIngresadas << numero;  // the form would not let the user type here
            continue;
        }
        if (numero == 225) {
            d.setCasilla(225, valor);  // hidden: set by choosing a document type, not typed
            continue;
        }
        d.entrarCasilla(numero);
        teclear(d, numero, valor);
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
