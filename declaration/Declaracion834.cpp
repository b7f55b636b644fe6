#include "Declaracion834.h"

#include "Calculos834.h"
#include "Formato834.h"

using casillas834::Tipo;

Declaracion834::Declaracion834(QObject* parent)
    : QObject(parent)
{
    for (const casillas834::Casilla& c : casillas834::tabla()) {
        texto_.insert(c.numero, QString());
        bloqueada_.insert(c.numero, c.tipo == Tipo::Calculada);
        habilitada_.insert(c.numero, true);
    }
    // "Si" is the option selected when the form opens.
    respuestas_[static_cast<int>(Pregunta::Ajuste)] = QStringLiteral("1");
}

// ---- Boxes

QString Declaracion834::casilla(int numero) const
{
    return texto_.value(numero);
}

bool Declaracion834::setCasilla(int numero, const QString& texto)
{
    const auto it = texto_.find(numero);
    if (it == texto_.end() || *it == texto)
        return false;
    *it = texto;
    emit casillaCambiada(numero, texto);
    alCambiarCasilla(numero);
    return true;
}

Dinero Declaracion834::Vale(int numero) const
{
    return formato834::leer(casilla(numero));
}

bool Declaracion834::vacio(int numero) const
{
    return formato834::vacio(casilla(numero));
}

void Declaracion834::limpiarCasillas()
{
    for (int numero : casillas834::vCasillas())
        setCasilla(numero, QString());
    desbordada_ = false;
}

bool Declaracion834::bloqueada(int numero) const
{
    return bloqueada_.value(numero, false);
}

void Declaracion834::setBloqueada(int numero, bool bloqueada)
{
    cambiaEstado(bloqueada_, numero, bloqueada);
}

bool Declaracion834::habilitada(int numero) const
{
    return habilitada_.value(numero, false);
}

void Declaracion834::setHabilitada(int numero, bool habilitada)
{
    cambiaEstado(habilitada_, numero, habilitada);
}

void Declaracion834::cambiaEstado(QHash<int, bool>& estados, int numero, bool valor)
{
    const auto it = estados.find(numero);
    if (it == estados.end() || *it == valor)
        return;
    *it = valor;
    emit estadoCasillaCambiado(numero);
}

void Declaracion834::bloquearEnviada()
{
    for (int numero : casillas834::vCasillas())
        if (numero != 105)
            setBloqueada(numero, true);
    setHabilitado(false);
}

void Declaracion834::entrarCasilla(int numero)
{
    if (casillas834::existe(numero) && !bloqueada(numero))
        setCasilla(numero, casillas834::textoEnFoco(numero, casilla(numero)));
}

void Declaracion834::salirCasilla(int numero)
{
    if (casillas834::existe(numero) && !bloqueada(numero))
        setCasilla(numero, casillas834::textoFueraDeFoco(numero, casilla(numero)));
}

// The box-change handler: recomputation, then the payment control follows box
// 180, then the edit mark (changes made while loading are not edits).
void Declaracion834::calcular(const std::function<void()>& reglas)
{
    const int antes = desbordes_;
    const auto ejecuta = [this](const std::function<void()>& f) {
        ++reglasEnCurso_;
        try {
            f();
        } catch (const DineroDesbordado&) {
            ++desbordes_;
            const bool primera = !desbordada_;
            desbordada_ = true;
            if (primera)
                emit desbordamiento();
        }
        --reglasEnCurso_;
    };
    ejecuta(reglas);
    // Checked once, when the outermost change is through: the boxes a result
    // that did not fit left stale are worked out again, and if all of them
    // fit now the declaration is whole again.
    if (reglasEnCurso_ > 0 || !desbordada_ || desbordes_ != antes)
        return;
    ejecuta([this] { calculos834::recalcular(*this); });
    if (desbordes_ == antes)
        desbordada_ = false;
}

void Declaracion834::alCambiarCasilla(int numero)
{
    calcular([&] { calculos834::TxtValor_Change(*this, numero); });
    if (numero == 180) {
        FormaDePago p = pago_;
        if (!vacio(180) && Vale(180).esCero())
            p.formapago = QStringLiteral("E");
        p.importe = casilla(180);
        setPago(p);
    }
    marcarEdicion();
}

void Declaracion834::marcarEdicion()
{
    if (!cargando_)
        setModificado(true);
}

// ---- Exercise

void Declaracion834::setParametros(Dinero uit, const QString& factorIpm)
{
    if (uit == uit_ && factorIpm == factorIpm_)
        return;
    uit_ = uit;
    factorIpm_ = factorIpm;
    emit parametrosCambiados();
}

void Declaracion834::aplicarEjercicio(const QString& periodo, Dinero uit, const QString& factorIpm)
{
    setDato(Dato::Periodo, periodo);
    setParametros(uit, factorIpm);
    calcular([&] {
        calculos834::Calcular109(*this);
        // The scale and the 2003 reduction read the UIT and the exercise directly;
        // when 109 keeps its text they would otherwise keep the old year's result.
        if (!vacio(109)) {
            calculos834::Calcular113(*this);
            calculos834::Calcular114(*this);
        }
    });
    setModificado(true);
}

// ---- Answers

QString Declaracion834::respuesta(Pregunta p) const
{
    return respuestas_[static_cast<int>(p)];
}

void Declaracion834::setRespuesta(Pregunta p, const QString& valor)
{
    const QString v = valor.trimmed();
    const QString normal = (v == u"1" || v == u"0") ? v : QString();
    QString& actual = respuestas_[static_cast<int>(p)];
    if (actual != normal) {
        actual = normal;
        emit respuestaCambiada(p);
    }
    if (p == Pregunta::Ajuste)
        calcular([this] { calculos834::Calcular109(*this); });
    marcarEdicion();
}

// ---- Identification data

QString Declaracion834::dato(Dato d) const
{
    return datos_.value(d);
}

void Declaracion834::setDato(Dato d, const QString& valor)
{
    QString& actual = datos_[d];
    if (actual == valor)
        return;
    actual = valor;
    emit datoCambiado(d);
}

// ---- Payment control

void Declaracion834::setPago(const FormaDePago& pago)
{
    if (pago == pago_)
        return;
    pago_ = pago;
    emit pagoCambiado();
}

void Declaracion834::setFormaPago(const QString& formapago)
{
    FormaDePago p = pago_;
    p.formapago = formapago;
    setPago(p);
}

void Declaracion834::setBanco(const QString& banco)
{
    FormaDePago p = pago_;
    p.banco = banco;
    setPago(p);
}

void Declaracion834::setNumCheque(const QString& numcheque)
{
    FormaDePago p = pago_;
    p.numcheque = numcheque;
    setPago(p);
}

void Declaracion834::setHabilitado(bool habilitado)
{
    FormaDePago p = pago_;
    p.habilitado = habilitado;
    setPago(p);
}

void Declaracion834::setModificado(bool modificado)
{
    if (modificado_ == modificado)
        return;
    modificado_ = modificado;
    emit modificadoCambiado(modificado);
}

// ---- Non-box codes

bool numChequeAceptado(const QString& numcheque)
{
    if (numcheque.size() > kLargoNumCheque)
        return false;
    for (const QChar c : numcheque)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

QString Declaracion834::itemContribuyente(const QString& ruc, const QString& nombre)
{
    return ruc.left(11).trimmed() + QString(7, u' ') + nombre;
}

QString Declaracion834::razonDeItem(const QString& item) { return item.mid(15, 50); }

QStringList Declaracion834::codigosNoCasilla()
{
    return {QStringLiteral("002"), QStringLiteral("801"), QStringLiteral("005"), QStringLiteral("871"),
            QStringLiteral("825"), QStringLiteral("826"), QStringLiteral("827"), QStringLiteral("028"),
            QStringLiteral("007"), QStringLiteral("599"), QStringLiteral("012"), QStringLiteral("015"),
            QStringLiteral("721"), QStringLiteral("722"), QStringLiteral("817"), QStringLiteral("818")};
}

QString Declaracion834::valorCodigo(const QString& codigo) const
{
    bool ok = false;
    const int n = codigo.trimmed().toInt(&ok);
    if (!ok)
        return {};
    switch (n) {
    case 2: return dato(Dato::Ruc);
    case 801: return dato(Dato::RazonSocial).left(15);
    case 5:
    case 871: return respuesta(Pregunta::Rectifica);
    case 825: return respuesta(Pregunta::Ajuste);
    case 826: return respuesta(Pregunta::Liquidacion);
    case 827: return respuesta(Pregunta::Reorganizacion);
    case 28: return dato(Dato::Telefono).trimmed();
    case 7: return periodo().trimmed();
    case 599: return pago_.formapago;
    case 12: return pago_.numcheque;
    case 15: return pago_.formapago == u"C" ? pago_.banco : QString();
    case 721: return QStringLiteral("1.1");
    case 817: return dato(Dato::ApellidoRL).left(15);
    case 818: return dato(Dato::NombreRL).left(15);
    case 806: return dato(Dato::NumOrdenSufijo).trimmed();
    default: return {};
    }
}

void Declaracion834::AsignaCasilla(const QString& codigo, const QString& valor)
{
    bool ok = false;
    const int n = codigo.trimmed().toInt(&ok);
    if (!ok)
        return;
    const auto entre = [n](int a, int b) { return n >= a && n <= b; };
    // Identification kept elsewhere (RUC, name, bank, cheque), the format
    // version and check sum, and the detail boxes of other forms and of box 105.
    if (n == 2 || n == 12 || n == 15 || n == 721 || n == 722 || n == 801 || entre(535, 559) || entre(594, 597)
        || entre(655, 659))
        return;
    switch (n) {
    case 5:
    case 805:
    case 871: setRespuesta(Pregunta::Rectifica, valor); return;
    case 825: setRespuesta(Pregunta::Ajuste, valor); return;
    case 826: setRespuesta(Pregunta::Liquidacion, valor); return;
    case 827: setRespuesta(Pregunta::Reorganizacion, valor); return;
    case 28: setDato(Dato::Telefono, valor); return;
    case 7: setDato(Dato::Periodo, valor); return;
    case 599: setFormaPago(valor); return;
    case 817: setDato(Dato::ApellidoRL, valor); return;
    case 818: setDato(Dato::NombreRL, valor); return;
    case 806: setDato(Dato::NumOrdenSufijo, valor); return;
    default: break;
    }
    if (!casillas834::existe(n))
        return;  // no control of this form holds it
    if (n == 160)
        modalidad_ = valor;
    setCasilla(n, casillas834::textoRecargado(n, valor));
}
