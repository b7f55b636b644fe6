#include "EntradaJson.h"

#include "Calculos834.h"
#include "Casillas834.h"
#include "Eco.h"
#include "Formato834.h"

#include <QIODevice>
#include <QJsonDocument>
#include <QJsonParseError>

namespace entrada {

namespace {

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

// No amount entered: the assistant is not opened, box 105 stays blank.
bool sinDeducciones(const Detalle105& detalle)
{
    for (const QString& monto : detalle)
        if (!monto.isEmpty())
            return false;
    return true;
}

// Text every reader of the shared database takes: well-formed UTF-16 (so
// well-formed UTF-8 once stored) without control characters.
bool textoValido(const QString& s)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
        if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return false;
    }
    return true;
}

} // namespace


std::optional<QJsonObject> leerObjeto(QIODevice& dispositivo, QString* error)
{
    // A pipe hands its bytes over in parts: read until the end or one byte past the limit.
    QByteArray bytes;
    while (bytes.size() <= kEntradaMaxima) {
        const QByteArray parte = dispositivo.read(kEntradaMaxima + 1 - bytes.size());
        if (parte.isEmpty())
            break;
        bytes += parte;
    }
    if (bytes.size() > kEntradaMaxima) {
        *error = QStringLiteral("the input is larger than %1 MiB").arg(kEntradaMaxima >> 20);
        return std::nullopt;
    }
    QJsonParseError problema{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &problema);
    if (problema.error != QJsonParseError::NoError) {
        *error = QStringLiteral("the input is not valid JSON (%1 at offset %2)")
                     .arg(problema.errorString())
                     .arg(problema.offset);
        return std::nullopt;
    }
    if (!doc.isObject()) {
        *error = QStringLiteral("the input must be one JSON object");
        return std::nullopt;
    }
    return doc.object();
}

QString texto(const QJsonObject& objeto, const QString& clave, const QString& porDefecto, QString* error)
{
    const auto it = objeto.constFind(clave);
    if (it == objeto.constEnd())
        return porDefecto;
    if (!it->isString()) {
        *error = QStringLiteral("\"%1\" must be a text").arg(clave);
        return porDefecto;
    }
    if (!textoValido(it->toString())) {
        *error = QStringLiteral("\"%1\" holds a control character or an unpaired surrogate").arg(clave);
        return porDefecto;
    }
    return it->toString();
}

bool soloDigitos(const QString& s)
{
    for (const QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

QString unaLinea(QString mensaje)
{
    for (QChar& c : mensaje)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line
            || c.category() == QChar::Separator_Paragraph)
            c = u' ';
    return mensaje;
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

std::optional<Pedido> leerPedido(const QJsonObject& o, bool conIni, const QStringList& otrasClaves, QString* error)
{
    static const QStringList kClaves{"ejercicio", "ajuste", "uit", "factorIpm", "casillas", "deducciones"};
    for (const QString& clave : o.keys())
        if (!kClaves.contains(clave) && !otrasClaves.contains(clave)) {
            *error = QStringLiteral("unknown member \"%1\"").arg(eco(clave));
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
        const std::optional<Dinero> u = Dinero::analiza(uit);
        if (!u || u->esNegativo()) {
            *error = QStringLiteral("\"uit\" must be a decimal amount, not \"%1\"").arg(eco(uit));
            return std::nullopt;
        }
        p.uit = *u;
        const std::optional<Dinero> f = Dinero::analiza(p.factorIpm);
        if (!p.factorIpm.trimmed().isEmpty() && (!f || f->esNegativo())) {
            *error = QStringLiteral("\"factorIpm\" must be a decimal factor, not \"%1\"").arg(eco(p.factorIpm));
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
                *error = QStringLiteral("\"%1\" is not a box number").arg(eco(it.key()));
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
                *error = QStringLiteral("\"%1\" is not a deduction box (546 to 555)").arg(eco(it.key()));
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
        // Given empty, the declaration has no deductions: a save clears stored ones.
        p.deducciones = detalle;
    }
    return p;
}

QList<int> teclearDeclaracion(const Pedido& p, Declaracion834& d)
{
    QList<int> noIngresadas;
    for (int numero : casillas834::vCasillas()) {
        if (numero == 105) {
            if (p.deducciones && !sinDeducciones(*p.deducciones))
                aceptarAsistente(d, *p.deducciones);
            continue;
        }
        const QString valor = p.casillas.value(numero);
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

    // The model stops at a result that does not fit and keeps the boxes after
    // it as they were: such input is refused whole, as the top level says.
    if (d.desbordada())
        throw DineroDesbordado();
    return noIngresadas;
}

} // namespace entrada
