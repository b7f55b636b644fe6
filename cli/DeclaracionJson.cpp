#include "DeclaracionJson.h"

#include "Casillas834.h"
#include "Eco.h"
#include "Formato834.h"
#include "Lectura834.h"
#include "ObjFunciones.h"
#include "Parametros834.h"
#include "ParamLookups.h"

#include <QJsonValue>
#include <QRegularExpression>

namespace declaracionjson {

namespace {

using Pregunta = Declaracion834::Pregunta;

struct Respuesta {
    const char* clave;
    Pregunta pregunta;
};
constexpr Respuesta kRespuestas[] = {
    {"rectifica", Pregunta::Rectifica},
    {"liquidacion", Pregunta::Liquidacion},
    {"reorganizacion", Pregunta::Reorganizacion},
};

const QStringList kClaves{"ruc", "razonSocial", "telefono", "rectifica", "liquidacion", "reorganizacion",
                          "formaPago", "representante", "nuevo", "estado", "sello"};

// An amount as show prints it: "###,###,###,##0", in parentheses for a
// subtracted box.
bool montoMostrado(const QString& texto)
{
    static const QRegularExpression kMostrado(QStringLiteral("^\\(?[0-9]{1,3}(,[0-9]{3})*\\)?$"));
    return kMostrado.match(texto).hasMatch();
}

// The boxes as typed into the window: computed ones left out, shown amounts
// as bare digits of their absolute value.
QJsonObject casillasTecleables(const QJsonObject& casillas)
{
    QJsonObject tecleables;
    for (auto it = casillas.begin(); it != casillas.end(); ++it) {
        const casillas834::Casilla* c = casillas834::buscar(it.key().toInt());
        if (c && (c->tipo == casillas834::Tipo::Calculada || c->tipo == casillas834::Tipo::Asistente))
            continue;
        const QString texto = it->toString();
        if (c && c->esImporte() && it->isString() && montoMostrado(texto)) {
            const Money m = formato834::leer(texto);
            tecleables.insert(it.key(), formato834::plano(m.isNegative() ? -m : m));
        } else {
            tecleables.insert(it.key(), *it);
        }
    }
    return tecleables;
}

// A text member no longer than the control it stands for.
bool textoCorto(const QJsonObject& o, const char* clave, int largo, QString* destino, QString* error)
{
    const QString c = QString::fromLatin1(clave);
    *destino = entrada::texto(o, c, {}, error);
    if (!error->isEmpty())
        return false;
    if (destino->size() > largo) {
        *error = QStringLiteral("\"%1\" takes at most %2 characters").arg(c).arg(largo);
        return false;
    }
    return true;
}

// What the name filter lets through: letters, digits, blanks and Ñ.
bool nombreValido(const QString& s)
{
    for (const QChar ch : s)
        if (!ObjFunciones::nameCharacterKept(ch))
            return false;
    return true;
}

bool objeto(const QJsonObject& o, const char* clave, QJsonObject* destino, QString* error)
{
    const QJsonValue v = o.value(QLatin1String(clave));
    if (v.isUndefined())
        return true;
    if (!v.isObject()) {
        *error = QStringLiteral("\"%1\" must be an object").arg(QLatin1String(clave));
        return false;
    }
    *destino = v.toObject();
    return true;
}

bool soloClaves(const QJsonObject& o, const QStringList& claves, const char* dentro, QString* error)
{
    for (const QString& k : o.keys())
        if (!claves.contains(k)) {
            *error = QStringLiteral("unknown member \"%1\" in \"%2\"").arg(eco(k), QLatin1String(dentro));
            return false;
        }
    return true;
}

} // namespace

std::optional<Solicitud> leer(const QJsonObject& dado, bool conIni, QString* error)
{
    Solicitud s;
    QJsonObject o = dado;
    if (o.value(u"casillas").isObject())
        o.insert(u"casillas", casillasTecleables(o.value(u"casillas").toObject()));
    if (o.contains(u"sello")) {
        s.sello = entrada::texto(o, QStringLiteral("sello"), {}, error);
        if (!error->isEmpty())
            return std::nullopt;
    }
    std::optional<entrada::Pedido> pedido = entrada::leerPedido(o, conIni, kClaves, error);
    if (!pedido)
        return std::nullopt;
    s.pedido = *pedido;
    if (s.pedido.casillas.contains(225) || s.pedido.casillas.contains(226)) {
        *error = QStringLiteral("boxes 225 and 226 are given in \"representante\"");
        return std::nullopt;
    }

    if (!textoCorto(o, "ruc", 11, &s.ruc, error) || !textoCorto(o, "razonSocial", 40, &s.razonSocial, error)
        || !textoCorto(o, "telefono", 8, &s.telefono, error))
        return std::nullopt;
    if (!entrada::soloDigitos(s.ruc) || !entrada::soloDigitos(s.telefono)) {
        *error = QStringLiteral("\"ruc\" and \"telefono\" take digits only");
        return std::nullopt;
    }
    for (const Respuesta& r : kRespuestas) {
        QString v;
        if (!textoCorto(o, r.clave, 1, &v, error))
            return std::nullopt;
        if (!v.isEmpty() && v != u"1" && v != u"0") {
            *error = QStringLiteral("\"%1\" must be \"1\", \"0\" or \"\"").arg(QLatin1String(r.clave));
            return std::nullopt;
        }
        if (o.contains(QLatin1String(r.clave)))
            s.respuestas.append({r.pregunta, v});
    }

    QJsonObject pago;
    if (!objeto(o, "formaPago", &pago, error) || !soloClaves(pago, {"formapago", "banco", "numcheque"}, "formaPago", error))
        return std::nullopt;
    if (o.contains(u"formaPago")) {
        FormaDePago f;
        if (!textoCorto(pago, "formapago", 1, &f.formapago, error) || !textoCorto(pago, "banco", 2, &f.banco, error)
            || !textoCorto(pago, "numcheque", 20, &f.numcheque, error))
            return std::nullopt;
        if (!pago.contains(u"formapago"))
            f.formapago = QStringLiteral("X");
        s.formaPago = f;
    }

    QJsonObject rep;
    if (!objeto(o, "representante", &rep, error)
        || !soloClaves(rep, {"tipoDoc", "numDoc", "apellidos", "nombres"}, "representante", error))
        return std::nullopt;
    QString tipo, numero;
    if (!textoCorto(rep, "tipoDoc", 2, &tipo, error) || !textoCorto(rep, "numDoc", 15, &numero, error)
        || !textoCorto(rep, "apellidos", 15, &s.apellidos, error) || !textoCorto(rep, "nombres", 15, &s.nombres, error))
        return std::nullopt;
    if (!entrada::soloDigitos(tipo) || !nombreValido(s.apellidos) || !nombreValido(s.nombres)) {
        *error = QStringLiteral("\"representante\" holds characters its fields do not take");
        return std::nullopt;
    }
    if (!(*error = entrada::revisarCasilla(226, numero)).isEmpty())
        return std::nullopt;
    if (!tipo.isEmpty())
        s.pedido.casillas.insert(225, tipo);
    if (!numero.isEmpty())
        s.pedido.casillas.insert(226, numero);

    const QJsonValue nuevo = o.value(u"nuevo");
    if (!nuevo.isUndefined() && !nuevo.isBool()) {
        *error = QStringLiteral("\"nuevo\" must be true or false");
        return std::nullopt;
    }
    s.nuevo = nuevo.toBool(false);
    return s;
}

std::optional<Solicitud> leer(QIODevice& entrada, bool conIni, QString* error)
{
    const std::optional<QJsonObject> objeto = entrada::leerObjeto(entrada, error);
    if (!objeto)
        return std::nullopt;
    return leer(*objeto, conIni, error);
}

bool parametrosDeBase(const QSqlDatabase& db, entrada::Pedido& p)
{
    bool okUit = false, okIpm = false;
    p.uit = parametros834::GET_UIT(db, p.ejercicio, &okUit);
    p.factorIpm = formato834::textoFactor(parametros834::GET_IPM(db, p.ejercicio, &okIpm));
    return okUit && okIpm;
}

void preparar(const Solicitud& s, QSqlDatabase db, const QList<Taxpayer>& contribuyentes, Declaracion834& d,
              validacion834::Contexto& c)
{
    d.iAccion = s.nuevo ? 0 : 1;
    c.db = db;
    c.ejercicio = s.pedido.ejercicio;
    c.rucMostrado = s.ruc;
    if (s.nuevo && db.isValid()) {
        // Only a taxpayer of the user's list can be chosen in a new declaration.
        bool enLista = false;
        for (const Taxpayer& t : contribuyentes)
            enLista = enLista || t.docId == s.ruc;
        if (!enLista)
            c.rucMostrado.clear();
    }
    if (s.nuevo)
        c.nuevaDeclaracion = db.isValid() && lectura834::existeDeclaracion(db, s.ruc, s.pedido.ejercicio, QStringLiteral("0834"))
                                 ? QStringLiteral("N")
                                 : QStringLiteral("S");
    if (!(s.nuevo && c.nuevaDeclaracion == u"N") && !c.rucMostrado.isEmpty())
        d.setDato(Declaracion834::Dato::Ruc, s.ruc);
    d.setDato(Declaracion834::Dato::RazonSocial, s.razonSocial);

    d.aplicarEjercicio(s.pedido.ejercicio, s.pedido.uit, s.pedido.factorIpm);
    if (!s.pedido.ajuste.isEmpty())
        d.setRespuesta(Pregunta::Ajuste, s.pedido.ajuste);
    for (const auto& [pregunta, valor] : s.respuestas)
        d.setRespuesta(pregunta, valor);
    d.setDato(Declaracion834::Dato::Telefono, s.telefono);
    entrada::teclearDeclaracion(s.pedido, d);
    if (s.formaPago) {
        FormaDePago p = d.pago();
        p.formapago = s.formaPago->formapago;
        p.banco = s.formaPago->banco;
        p.numcheque = s.formaPago->numcheque;
        d.setPago(p);
    }
    d.setDato(Declaracion834::Dato::ApellidoRL, s.apellidos);
    d.setDato(Declaracion834::Dato::NombreRL, s.nombres);
}

QJsonObject escribir(const Declaracion834& d, const QString& razonSocial)
{
    QJsonObject casillas;
    for (int n : casillas834::vCasillas())
        if (n != 225 && n != 226 && !d.vacio(n))
            casillas.insert(QString::number(n), d.casilla(n));
    QJsonObject deducciones;
    for (int i = 0; i < int(d.detalle105().size()); ++i)
        if (!d.detalle105()[i].trimmed().isEmpty())
            deducciones.insert(QString::number(kPrimeraDeduccion + i), d.detalle105()[i]);
    using Dato = Declaracion834::Dato;
    return QJsonObject{
        {"ruc", d.dato(Dato::Ruc)},
        {"razonSocial", razonSocial},
        {"telefono", d.dato(Dato::Telefono)},
        {"ejercicio", d.periodo()},
        {"rectifica", d.respuesta(Pregunta::Rectifica)},
        {"ajuste", d.respuesta(Pregunta::Ajuste)},
        {"liquidacion", d.respuesta(Pregunta::Liquidacion)},
        {"reorganizacion", d.respuesta(Pregunta::Reorganizacion)},
        {"formaPago", QJsonObject{{"formapago", d.pago().formapago},
                                  {"banco", d.pago().banco},
                                  {"numcheque", d.pago().numcheque}}},
        {"representante", QJsonObject{{"tipoDoc", d.casilla(225)},
                                       {"numDoc", d.casilla(226)},
                                       {"apellidos", d.dato(Dato::ApellidoRL)},
                                       {"nombres", d.dato(Dato::NombreRL)}}},
        {"casillas", casillas},
        {"deducciones", deducciones},
        {"nuevo", false},
    };
}

} // namespace declaracionjson
