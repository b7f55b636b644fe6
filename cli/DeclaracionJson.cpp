#include "DeclaracionJson.h"

#include "Calculos834.h"
#include "Casillas834.h"
#include "Eco.h"
#include "Grabacion834.h"
#include "Formato834.h"
#include "Lectura834.h"
#include "ObjFunciones.h"
#include "Parametros834.h"
#include "ConsultasParam.h"

#include <QJsonValue>

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

// The digits typed for an amount as the box shows it once left, or grouped
// ("###,###,###,##0"; in parentheses only for a subtracted box); nothing
// for any other text.
std::optional<QString> tecleadoDeMostrado(int numero, const QString& texto)
{
    QString digitos = texto;
    digitos.remove(u',').remove(u'(').remove(u')');
    if (digitos.isEmpty() || !entrada::soloDigitos(digitos))
        return std::nullopt;
    digitos = casillas834::textoEnFoco(numero, digitos);
    if (texto != casillas834::textoFueraDeFoco(numero, digitos) && texto != formato834::miles(formato834::leer(digitos)))
        return std::nullopt;
    return digitos;
}

// The boxes as typed into the window: computed ones left out, shown amounts
// as the digits typed for them; anything else as given, for the box's own
// check to name.
QJsonObject casillasTecleables(const QJsonObject& casillas)
{
    QJsonObject tecleables;
    for (auto it = casillas.begin(); it != casillas.end(); ++it) {
        const casillas834::Casilla* c = casillas834::buscar(it.key().toInt());
        if (c && (c->tipo == casillas834::Tipo::Calculada || c->tipo == casillas834::Tipo::Asistente))
            continue;
        const std::optional<QString> tecleado =
            c && c->esImporte() && it->isString() ? tecleadoDeMostrado(c->numero, it->toString()) : std::nullopt;
        tecleables.insert(it.key(), tecleado ? QJsonValue(*tecleado) : *it);
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
        if (!ObjFunciones::caracterNombreConservado(ch))
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
        // The control's own values: cheque, cash, or neither chosen.
        if (f.formapago.isEmpty())
            f.formapago = QStringLiteral("X");
        if (f.formapago != u"C" && f.formapago != u"E" && f.formapago != u"X") {
            *error = QStringLiteral("\"formapago\" must be \"C\", \"E\" or \"X\"");
            return std::nullopt;
        }
        if (!numChequeAceptado(f.numcheque)) {
            *error = QStringLiteral("\"numcheque\" takes digits only");
            return std::nullopt;
        }
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
    Dinero ipm;
    if (!parametros834::parametrosDelEjercicio(db, p.ejercicio, &p.uit, &ipm))
        return false;
    p.factorIpm = formato834::textoFactor(ipm);
    return true;
}

QString rechazoContribuyente(const QList<Contribuyente>& contribuyentes, const QString& ruc, const QString& sysUser)
{
    switch (motivoRechazoContribuyente(contribuyentes, ruc)) {
    case MotivoRechazo::Ninguno: break;
    case MotivoRechazo::RucNoValido: return QStringLiteral("\"%1\" is not a valid RUC").arg(eco(ruc));
    case MotivoRechazo::NoListado:
        return QStringLiteral("taxpayer %1 is not in the taxpayer list of user %2").arg(eco(ruc), eco(sysUser));
    }
    return {};
}

QString revisarListas(const QList<std::pair<QString, QString>>& bancos, const Solicitud& s)
{
    // "XX" and "" are the control's "no bank chosen".
    if (!s.formaPago || s.formaPago->banco.trimmed().isEmpty() || s.formaPago->banco == u"XX")
        return {};
    for (const auto& [codigo, nombre] : bancos)
        if (codigo == s.formaPago->banco.trimmed())
            return {};
    return QStringLiteral("\"banco\" \"%1\" is not one of the banks the form lists").arg(eco(s.formaPago->banco));
}

void preparar(const Solicitud& s, QSqlDatabase db, const QList<Contribuyente>& contribuyentes, Declaracion834& d,
              validacion834::Contexto& c)
{
    d.iAccion = s.nuevo ? 0 : 1;
    c.db = db;
    c.ejercicio = s.pedido.ejercicio;
    c.rucMostrado = s.ruc;
    // The name comes from the user's taxpayer list, as the window takes it:
    // from the chosen item of a new declaration, from the list's row of a
    // stored one; only a listed taxpayer can be chosen.
    QString razonSocial = s.razonSocial;
    if (db.isValid()) {
        const Contribuyente* t = buscaContribuyente(contribuyentes, s.ruc);
        if (!t && s.nuevo)
            c.rucMostrado.clear();
        razonSocial = !t ? QString()
                    : s.nuevo ? Declaracion834::razonDeItem(Declaracion834::itemContribuyente(t->docId, t->nombre))
                              : t->nombre.trimmed();
    }
    if (s.nuevo)
        c.nuevaDeclaracion = db.isValid() && lectura834::existeDeclaracion(db, s.ruc, s.pedido.ejercicio, QStringLiteral("0834"))
                                 ? QStringLiteral("N")
                                 : QStringLiteral("S");
    if (!(s.nuevo && c.nuevaDeclaracion == u"N") && !c.rucMostrado.isEmpty())
        d.setDato(Declaracion834::Dato::Ruc, s.ruc);
    d.setDato(Declaracion834::Dato::RazonSocial, razonSocial);

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

namespace {

// The declaration as the stored-declaration dialog opens it, before its rows.
void abrir(Declaracion834& d, const QString& ruc, const QString& ejercicio)
{
    d.iAccion = 1;
    d.setCargando(true);
    d.setDato(Declaracion834::Dato::Ruc, ruc);
    d.setDato(Declaracion834::Dato::Periodo, ejercicio);
}

} // namespace

PedidoGuardada pedirGuardada(LoteSql& lote, const QString& ruc, const QString& ejercicio, bool conVersion)
{
    // The exercise's parameters, the stored rows and (when asked) the whole
    // stored version in one read: on a server each read is a round trip.
    Declaracion834 d;
    abrir(d, ruc, ejercicio);
    PedidoGuardada p;
    p.ruc = ruc;
    p.ejercicio = ejercicio;
    p.parametros = parametros834::pedirEjercicio(lote, ejercicio);
    p.carga = grabacion834::pedirCarga(lote, d);
    if (conVersion)
        p.version = lectura834::pedirVersion(lote, grabacion834::clave(d));
    return p;
}

std::optional<QJsonObject> guardadaDe(const LoteSql& lote, const PedidoGuardada& p, const QString& razonSocial,
                                      VersionGuardada* version)
{
    Declaracion834 d;
    abrir(d, p.ruc, p.ejercicio);
    Dinero uit, ipm;
    parametros834::ejercicioDe(lote, p.parametros, p.ejercicio, &uit, &ipm);
    d.setParametros(uit, formato834::textoFactor(ipm));
    if (version && p.version.cab >= 0) {
        const std::optional<lectura834::Cabecera> cab = lectura834::cabeceraDe(lote.resultado(p.carga.cabecera));
        version->estado = cab ? cab->estado.toInt() : 0;
        version->sello = lectura834::selloDe(lote.resultado(p.version.cab), lote.resultado(p.version.det));
    }
    if (!grabacion834::cargarDe(lote, p.carga, d))
        return std::nullopt;
    calculos834::Calcular113(d);
    if (!d.modalidad().isEmpty())
        d.setCasilla(160, d.modalidad());
    d.setCargando(false);
    // Stored amounts whose results do not fit are refused as input is (the top level says so).
    if (d.desbordada())
        throw DineroDesbordado();
    return escribir(d, razonSocial);
}

std::optional<QJsonObject> leerGuardada(const QSqlDatabase& db, const QString& ruc, const QString& ejercicio,
                                        const QString& razonSocial, bool* ok)
{
    LoteSql lote;
    const PedidoGuardada p = pedirGuardada(lote, ruc, ejercicio, false);
    *ok = lote.ejecutar(db);
    if (!*ok)
        return std::nullopt;
    return guardadaDe(lote, p, razonSocial);
}

QJsonObject completar(const QJsonObject& guardada, const QJsonObject& dada)
{
    QJsonObject completa = guardada;
    for (auto it = dada.begin(); it != dada.end(); ++it)
        completa.insert(it.key(), *it);
    return completa;
}

bool completarConGuardada(const QSqlDatabase& db, const QJsonObject& dada, Solicitud* s, QString* error,
                          bool* errorBase)
{
    *errorBase = false;
    if (s->nuevo)
        return true;
    bool leida = false;
    const std::optional<QJsonObject> guardada = leerGuardada(db, s->ruc, s->pedido.ejercicio, QString(), &leida);
    if (!leida) {
        *errorBase = true;
        *error = QStringLiteral("cannot read the declaration from the database");
        return false;
    }
    if (!guardada)
        return true;
    std::optional<Solicitud> completa = leer(completar(*guardada, dada), true, error);
    if (!completa) {
        *error = QStringLiteral("the stored declaration with the members given: ") + *error;
        return false;
    }
    *s = *completa;
    return true;
}

int prepararConBase(const QSqlDatabase& db, const QList<Contribuyente>& contribuyentes, const QString& sysUser,
                    const QJsonObject& dada, Solicitud* s, QString* error)
{
    constexpr int kFallo = 1;
    *error = rechazoContribuyente(contribuyentes, s->ruc, sysUser);
    if (!s->ruc.isEmpty() && !error->isEmpty())
        return kFallo;
    error->clear();
    bool errorBase = false;
    if (!completarConGuardada(db, dada, s, error, &errorBase))
        return errorBase ? kFallo : entrada::kEntradaMala;
    // The banks and the exercise's parameters in one read.
    LoteSql lote;
    const int bancos = lectura834::pedirBancos(lote);
    const parametros834::PedidoEjercicio parametros = parametros834::pedirEjercicio(lote, s->pedido.ejercicio);
    if (!lote.ejecutar(db)) {
        *error = QStringLiteral("cannot read PARAM from the database");
        return kFallo;
    }
    *error = revisarListas(lectura834::bancosDe(lote.resultado(bancos)), *s);
    if (!error->isEmpty())
        return entrada::kEntradaMala;
    Dinero ipm;
    parametros834::ejercicioDe(lote, parametros, s->pedido.ejercicio, &s->pedido.uit, &ipm);
    s->pedido.factorIpm = formato834::textoFactor(ipm);
    return 0;
}

} // namespace declaracionjson
