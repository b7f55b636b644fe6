#include "Validacion834.h"

#include "ArchivoSeguro.h"
#include "Casillas834.h"
#include "Formato834.h"
#include "ObjFunciones.h"
#include "ConsultasParam.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace validacion834 {

namespace {

Dinero abs(Dinero m) { return m.esNegativo() ? -m : m; }

Dinero suma(const Declaracion834& d, std::initializer_list<int> casillas)
{
    Dinero total;
    for (int c : casillas)
        total += d.Vale(c);
    return total;
}

// Messages of the tab-0 check: the telephone texts end with a full stop and
// the exercise text has none, unlike the lines of the consistency check.
const QString kTelCortoForm1 = QStringLiteral("Ingrese su número de teléfono o un número de referencia.");
const QString kTelOchoForm1 = QStringLiteral("El número ingresado debe ser de 7 digitos, o un celular de 8 o 7 digitos.");
const QString kTelCelularForm1 = QStringLiteral("El celular ingresado debe ser de 8 o 7 digitos.");
const QString kRectificaForm1 = QStringLiteral("Indique si la presente declaración rectifica o sustituye a otra.");
const QString kEjercicioForm1 = QStringLiteral("El ejercicio no es válido");

// Lines of the inconsistency file.
const QString kLineaTelCorto = QStringLiteral(
    "Identificación-Datos Generales : Ingrese su número de teléfono o un número de referencia");
const QString kLineaTelOcho = QStringLiteral(
    "Identificación-Datos Generales : El número ingresado debe ser de 7 digitos, o un celular de 8 o 7 digitos");
const QString kLineaTelCelular = QStringLiteral("Identificación-Datos Generales : El celular debe ser de 8 o 7 digitos");
const QString kLineaActivos = QStringLiteral("Activos : Ingrese los valores en los Activos");
const QString kLinea303 = QStringLiteral(
    "Activos : La provisión (c303) debe ser menor o igual que las cuentas (c301+c302+c304)");
const QString kLinea328 = QStringLiteral(
    "Activos : La depreciación (c328) debe ser menor o igual que las cuentas "
    "(c318+c319+c321+c322+c323+c324+c395+c396+c397)");
const QString kLinea326 = QStringLiteral("Activos : La amortización (c326) debe ser menor o igual que la cuenta (c325)");
const QString kLineaModalidad = QStringLiteral("Determinación de la Deuda : Indique la modalidad de pago");
const QString kLineaFormaPago = QStringLiteral("Determinación de la Deuda : Indique la forma de pago.");
const QString kLineaImporte = QStringLiteral("Determinación de la Deuda : Ingrese el importe a pagar (casilla 180)");
const QString kLineaRepresentante = QStringLiteral(
    "Información Complementaria : Ingrese los datos del Representante Legal");

const QString kRucNoValidoConsistencia = QStringLiteral("El RUC no es Válido.");
const QString kBanco = QStringLiteral("Ingrese el banco.");
const QString kCheque = QStringLiteral("Debe ingresar el número de cheque.");
const QString kChequeCero = QStringLiteral("Número de cheque no es válido.");
const QString kImporteMayor = QStringLiteral("El importe a pagar es mayor que el saldo definitivo a pagar.");
const QString kPagoExceso = QStringLiteral(" Se generará un pago en exceso.");
const QString kImporteMenor = QStringLiteral("El importe a pagar es menor que el saldo definitivo a pagar.");
const QString kOrdenPago = QStringLiteral("La KALDEN emitirá una Orden de Pago.");

constexpr int kTabIdentificacion = static_cast<int>(casillas834::Pestana::Identificacion);
constexpr int kTabDeuda = static_cast<int>(casillas834::Pestana::Deuda);
constexpr int kTabComplementaria = static_cast<int>(casillas834::Pestana::Complementaria);

bool periodoValido(const Contexto& c)
{
    return ValidaPeriodo(c.ejercicio, c.hoy ? c.hoy() : QDate::currentDate());
}

} // namespace

bool esNumero(const QString& texto)
{
    QString t = texto.trimmed();
    if (t.size() >= 2 && t.front() == u'(' && t.back() == u')')
        t = t.mid(1, t.size() - 2).trimmed();
    t.remove(u',');
    return !t.isEmpty() && Dinero::analiza(t).has_value();
}

// ---- Asset rules

bool Valida303(const Declaracion834& d)
{
    return abs(d.Vale(303)) <= suma(d, {301, 302, 304});
}

bool Valida328(const Declaracion834& d)
{
    return abs(d.Vale(328)) <= suma(d, {318, 319, 321, 322, 323, 324, 395, 396, 397});
}

bool Valida326(const Declaracion834& d)
{
    return abs(d.Vale(326)) <= d.Vale(325);
}

bool activosVacios(const Declaracion834& d)
{
    for (int numero : casillas834::activos())
        if (!d.vacio(numero))
            return false;
    return true;
}

// ---- Exercise and telephone

bool ValidaPeriodo(const QString& ejercicio, const QDate& hoy)
{
    if (ejercicio.contains(u'_'))
        return false;
    const int valor = numeroInicial(ejercicio);
    return valor > 0 && ejercicio >= QLatin1String("2003") && hoy.year() >= valor;
}

FallasTelefono revisarTelefono(const QString& telefono)
{
    const qsizetype n = telefono.size();
    const bool empiezaConNueve = telefono.startsWith(u'9');
    FallasTelefono f;
    f.corto = n >= 1 && n <= 5;
    f.ochoSinNueve = n == 8 && !empiezaConNueve;
    f.celularCorto = empiezaConNueve && n < 7;
    return f;
}

// ---- Payment control

bool formaPagoElegida(const FormaDePago& p)
{
    return p.formapago == u"C" || p.formapago == u"E";
}

bool bancoFalta(const FormaDePago& p)
{
    const QString b = p.banco.trimmed();
    return b.isEmpty() || b == u"XX";
}

bool chequeFalta(const FormaDePago& p)
{
    const QString n = p.numcheque.trimmed();
    return n.isEmpty() || n == u"0";
}

QString tipoDocumentoRL(const Declaracion834& d)
{
    return d.casilla(225).trimmed().left(2);
}

// ---- Identification check of tab 0

Resultado ValidaContForm1(const Declaracion834& d, const Contexto& c)
{
    const auto falla = [](const QString& mensaje, Foco foco) {
        return Resultado::falla(mensaje, kTabIdentificacion, foco);
    };
    const bool nueva = d.iAccion == 0;
    if (nueva && c.rucMostrado.trimmed().isEmpty())
        return falla(texto::kSeleccioneContribuyente, Foco::CmbRuc);
    const FallasTelefono tel = revisarTelefono(d.dato(Declaracion834::Dato::Telefono));
    if (tel.corto)
        return falla(kTelCortoForm1, Foco::TxtTelefono);
    if (tel.ochoSinNueve)
        return falla(kTelOchoForm1, Foco::TxtTelefono);
    if (tel.celularCorto)
        return falla(kTelCelularForm1, Foco::TxtTelefono);
    if (nueva && c.nuevaDeclaracion == u"N")
        return falla(texto::kYaExiste, Foco::CmbRuc);
    if (d.respuesta(Declaracion834::Pregunta::Rectifica).isEmpty())
        return falla(kRectificaForm1, Foco::CmdCancelar);
    if (!periodoValido(c))
        return falla(kEjercicioForm1, Foco::CmdCancelar);
    return Resultado::bien();
}

// ---- Consistency check

QStringList inconsistencias(const Declaracion834& d, const Contexto&)
{
    QStringList lineas;
    const FallasTelefono tel = revisarTelefono(d.dato(Declaracion834::Dato::Telefono));
    if (tel.corto)
        lineas << kLineaTelCorto;
    if (tel.ochoSinNueve)
        lineas << kLineaTelOcho;
    if (tel.celularCorto)
        lineas << kLineaTelCelular;
    if (activosVacios(d))
        lineas << kLineaActivos;
    if (!Valida303(d))
        lineas << kLinea303;
    if (!Valida328(d))
        lineas << kLinea328;
    if (!Valida326(d))
        lineas << kLinea326;
    if (d.vacio(160))
        lineas << kLineaModalidad;
    if (!formaPagoElegida(d.pago()))
        lineas << kLineaFormaPago;
    if (d.vacio(180))
        lineas << kLineaImporte;
    if (d.vacio(225) || d.vacio(226))
        lineas << kLineaRepresentante;
    return lineas;
}

QString rutaMensajes(const QString& sysPath)
{
    return sysPath + QStringLiteral("Mens.txt");
}

namespace {

QString escribirMensajes(const QString& ruta, const QStringList& lineas)
{
    QStringEncoder cp1252("windows-1252");
    QByteArray bytes;
    for (const QString& l : lineas)
        bytes += QByteArray(cp1252.encode(l)) + "\r\n";
    QString error;
    ArchivoSeguro::escribeTodo(ruta, bytes, &error);
    return error;
}

} // namespace

Consistencia ValidaConsistencia(const Declaracion834& d, const Contexto& c, const QString& rutaArchivo)
{
    Consistencia r;
    const QString ruc226 = d.casilla(226).trimmed();
    if (d.iAccion == 0 && c.rucMostrado.trimmed().isEmpty()) {
        r.errorArchivo = escribirMensajes(rutaArchivo, {});
        r.bloqueo = Resultado::falla(texto::kSeleccioneContribuyente, kTabIdentificacion, Foco::CmbRuc);
        return r;
    }
    r.lineas = inconsistencias(d, c);
    r.errorArchivo = escribirMensajes(rutaArchivo, r.lineas);

    if (tipoDocumentoRL(d) == u"06" && !ruc226.isEmpty()
        && (!ObjFunciones().RucValido(ruc226) || !revisaNumeroDocumento(c.db, QStringLiteral("06"), ruc226))) {
        r.bloqueo = Resultado::falla(kRucNoValidoConsistencia, kTabComplementaria, Foco::Casilla226);
        return r;
    }
    if (!ruc226.isEmpty() && ruc226 == c.rucMostrado.trimmed()) {
        r.bloqueo = Resultado::falla(texto::kRucIgual, kTabComplementaria, Foco::Casilla226);
        return r;
    }
    if (!periodoValido(c))
        r.bloqueo = Resultado::falla(texto::kEjercicioInvalido, kTabIdentificacion, Foco::MkePeriodo);
    return r;
}

QStringList leerMensajes(const QString& rutaArchivo)
{
    QFile f(rutaArchivo);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringDecoder cp1252("windows-1252");
    QString texto = cp1252.decode(f.readAll());
    texto.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lineas = texto.split(u'\n');
    if (!lineas.isEmpty() && lineas.last().isEmpty())
        lineas.removeLast();
    return lineas;
}

// ---- Silent check of the save

bool ValidaGrabacion(const Declaracion834& d, const Contexto& c)
{
    if (revisarTelefono(d.dato(Declaracion834::Dato::Telefono)).alguna())
        return false;
    if (activosVacios(d) || !Valida303(d) || !Valida328(d) || !Valida326(d))
        return false;
    const FormaDePago& pago = d.pago();
    if (!formaPagoElegida(pago) || d.vacio(180))
        return false;
    if (pago.formapago == u"C" && (bancoFalta(pago) || chequeFalta(pago)))
        return false;
    if (d.vacio(225) || d.vacio(226) || d.vacio(160))
        return false;
    return periodoValido(c);
}

// ---- The blocking checks of "&Validar"

Resultado validarComando(const Declaracion834& d, const Contexto& c)
{
    if (d.iAccion == 0) {
        if (c.rucMostrado.trimmed().isEmpty())
            return Resultado::falla(texto::kSeleccioneContribuyente, -1, Foco::Ninguno);
        if (c.nuevaDeclaracion == u"N")
            return Resultado::falla(texto::kYaExiste, -1, Foco::Ninguno);
    }
    const FormaDePago& pago = d.pago();
    if (pago.formapago == u"C") {
        if (bancoFalta(pago))
            return Resultado::falla(kBanco, kTabDeuda, Foco::FormaDePago);
        if (chequeFalta(pago))
            return Resultado::falla(kCheque, kTabDeuda, Foco::Ninguno);
        if (esNumero(pago.numcheque) && formato834::leer(pago.numcheque).esCero())
            return Resultado::falla(kChequeCero, kTabDeuda, Foco::Ninguno);
    }
    if (tipoDocumentoRL(d) == u"01" && d.casilla(226).size() != 8)
        return Resultado::fallaYLuegoPestana(texto::kDniOcho, kTabComplementaria, Foco::Casilla226);
    if (d.dato(Declaracion834::Dato::ApellidoRL).trimmed().isEmpty())
        return Resultado::fallaYLuegoPestana(texto::kApellidos, kTabComplementaria, Foco::ApellidoRL);
    if (d.dato(Declaracion834::Dato::NombreRL).trimmed().isEmpty())
        return Resultado::fallaYLuegoPestana(texto::kNombres, kTabComplementaria, Foco::NombreRL);
    return Resultado::bien();
}

Resultado avisoImporte(const Declaracion834& d)
{
    const Dinero c180 = d.Vale(180);
    const Dinero c146 = d.Vale(146);
    if (c180 > c146 && !c180.esCero())
        return Resultado::falla(kImporteMayor + kPagoExceso, -1, Foco::Ninguno, Icono::Informacion);
    if (c180 < c146)
        return Resultado::falla(kImporteMenor + kOrdenPago, -1, Foco::Ninguno, Icono::Informacion);
    return Resultado::bien();
}

} // namespace validacion834
