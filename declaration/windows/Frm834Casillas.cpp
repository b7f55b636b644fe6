// Frm834: what happens while the user fills the boxes: keys, Enter, Tab and
// focus, the tab and page changes, the document type and the yes/no answers,
// box 105's assistant, and the two help lines.

#include "Frm834.h"

#include "Calculos834.h"
#include "Formato834.h"
#include "Frm834Interno.h"
#include "FrmAnexo105.h"
#include "ConsultasParam.h"
#include "MensajesInicio.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>

using casillas834::Casilla;
using Pregunta = Declaracion834::Pregunta;
using frm834::kPaginaCorriente;
using frm834::kPaginaNoCorriente;

namespace {

// The form's own texts.
const QString kRecuerdeRectificar = QStringLiteral(
    "Recuerde que debe consignar información en todas las casillas inclusive aquellas que no está rectificando.");
const QString kRucNoValido = QStringLiteral("El RUC no es válido.");
const QString kAyuda = QStringLiteral("Anotar los importes en nuevos soles sin considerar céntimos.");
const QString kAyudaTab4 = QStringLiteral("El registro de esta información es de caracter obligatorio");
const QString kAyudaTab4b = QStringLiteral("en los conceptos que le correspondan.");

const QColor kAzulFormula(0, 0, 192);

constexpr int kTeclaBackspace = ObjFunciones::kBackspace;

void pintaTexto(QWidget* w, const QColor& color)
{
    QPalette p = w->palette();
    for (auto grupo : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(grupo, QPalette::Text, color);
    w->setPalette(p);
}

// An edit length never cuts what the field already holds: a longer text
// stays whole until the user shortens it (or a check refuses it).
void ponLargo(QLineEdit* campo, int largo)
{
    campo->setMaxLength(std::max(largo, static_cast<int>(campo->text().size())));
}

bool esEnter(const QKeyEvent* tecla)
{
    return tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter;
}

bool esNavegacion(const QKeyEvent* tecla)
{
    return tecla->key() == Qt::Key_Tab || tecla->key() == Qt::Key_Backtab || tecla->key() == Qt::Key_Escape;
}

bool esCambioDeVentana(const QEvent* event)
{
    const auto razon = static_cast<const QFocusEvent*>(event)->reason();
    return razon == Qt::ActiveWindowFocusReason || razon == Qt::PopupFocusReason;
}

} // namespace

// ---------------------------------------------------------------- tabs and pages

void Frm834::SSTab1_Click(int pestana)
{
    iTabActual_ = pestana;
    ayudaPorDefecto();
    if (pestana == 0) {
        if (TxtTelefono_->isEnabled())
            TxtTelefono_->setFocus();
        if (decl_.bEnviada)
            TxtNumOrdenE_[0]->setFocus();
        return;
    }
    if (!comandos834::ValidaContForm1(decl_, contextoValidacion(), *this)) {
        if (SSTab1_->currentIndex() != 0)
            SSTab1_->setCurrentIndex(0);
        return;
    }
    switch (pestana) {
    case 1:
        txtValor(VScroll1_->value() == kPaginaCorriente ? 300 : 318)->setFocus();
        break;
    case 2:
        if (txtValor(104)->isEnabled())
            txtValor(104)->setFocus();
        break;
    case 3:
        if (!decl_.bloqueada(160) && txtValor(160)->isEnabled())
            txtValor(160)->setFocus();
        else if (decl_.bloqueada(160) && txtValor(144)->isEnabled())
            txtValor(144)->setFocus();
        break;
    case 4:
        if (cboTipDocRepLegal_->isEnabled())
            cboTipDocRepLegal_->setFocus();
        break;
    default:
        break;
    }
}

void Frm834::VScroll1_Change(int valor)
{
    const bool corriente = valor == kPaginaCorriente;
    Frame26_->setVisible(corriente);
    Frame34_->setVisible(!corriente);
}

void Frm834::cboTipDocRepLegal_Click(int indice)
{
    if (indice < 0)
        return;
    decl_.setCasilla(225, cboTipDocRepLegal_->itemText(indice).left(2));
    ponLargo(txtValor(226), largoDocumento());
    decl_.setModificado(true);
}

QString Frm834::tipoDocumento() const
{
    return cboTipDocRepLegal_->currentData().toString();
}

int Frm834::largoDocumento() const
{
    const int largo = numeroInicial(mid(tipoDocumento(), 68, 2));
    return largo != 0 ? largo : casillas834::kLargoDocumentoPorDefecto;
}

void Frm834::documentoCambiado()
{
    const QString tipo = tipoDocumento().left(2);
    const QString numero = decl_.casilla(226);
    if (tipo != u"06" || numero.size() != 11 || funciones_.RucValido(numero.trimmed()))
        return;
    mensaje(QMessageBox::Critical, kRucNoValido);
    SSTab1_->setCurrentIndex(4);
    txtValor(226)->setFocus();
}

void Frm834::opcion_Click(Pregunta pregunta, int indice)
{
    decl_.setRespuesta(pregunta, indice == 1 ? QStringLiteral("1") : QStringLiteral("0"));
    if (pregunta == Pregunta::Ajuste)
        actualizaEncabezados();
    if (pregunta == Pregunta::Rectifica && indice == 1 && !decl_.bCargando())
        mensaje(QMessageBox::Warning, kRecuerdeRectificar);
    decl_.setModificado(true);
}

// ---------------------------------------------------------------- keys and focus

void Frm834::avanzaFoco()
{
    if (QApplication::activeWindow() == this)
        AvanzaFoco(QStringLiteral("TAB"));
    else
        focusNextChild();
}

void Frm834::enterCasilla(int casilla)
{
    switch (casilla) {
    case 113:
        return;
    case 105:
        abreAnexo105();
        return;
    case 316:
        irAPaginaActivos(kPaginaNoCorriente, 318, Qt::OtherFocusReason);
        return;
    case 329:
        irAPaginaActivos(kPaginaCorriente, 300, Qt::OtherFocusReason);
        return;
    default:
        avanzaFoco();
    }
}

void Frm834::irAPaginaActivos(int pagina, int casilla, Qt::FocusReason razon)
{
    VScroll1_->setValue(pagina);
    txtValor(casilla)->setFocus(razon);
}

// Tab from the last current-asset box and Shift+Tab from the first
// non-current one cross to the other page, which the focus chain skips while
// it is hidden.
bool Frm834::cruzaPaginaActivos(int casilla, const QKeyEvent* tecla)
{
    const bool atras = tecla->key() == Qt::Key_Backtab
                       || (tecla->key() == Qt::Key_Tab && (tecla->modifiers() & Qt::ShiftModifier));
    const bool adelante = tecla->key() == Qt::Key_Tab && !atras;
    if (casilla == 316 && adelante)
        irAPaginaActivos(kPaginaNoCorriente, 318, Qt::TabFocusReason);
    else if (casilla == 318 && atras)
        irAPaginaActivos(kPaginaCorriente, 316, Qt::BacktabFocusReason);
    else
        return false;
    return true;
}

void Frm834::teclaCasilla(int casilla, QKeyEvent* tecla, bool* consumida)
{
    *consumida = false;
    if (esEnter(tecla)) {
        decl_.setModificado(true);
        *consumida = true;
        enterCasilla(casilla);
        return;
    }
    if (tecla->text().isEmpty() || (tecla->modifiers() & Qt::ControlModifier))
        return;
    const QChar k = tecla->text().at(0);
    const bool digito = k >= u'0' && k <= u'9';
    const bool borrar = k.unicode() == kTeclaBackspace;
    decl_.setModificado(true);
    if (casilla == 160) {
        *consumida = !(k == u'1' || k == u'2' || borrar);
        return;
    }
    if (casilla == 226) {
        const QChar mayuscula = k.toUpper();
        // Data kind "0": letters and digits, otherwise digits only.
        const bool alfanumerico = numeroInicial(mid(tipoDocumento(), 71, 1)) == 0;
        const bool letra = mayuscula >= u'A' && mayuscula <= u'Z';
        const bool aceptada = digito || borrar || (alfanumerico && letra);
        *consumida = true;
        if (aceptada && !borrar && !txtValor(226)->isReadOnly())
            txtValor(226)->insert(QString(mayuscula));
        else if (borrar)
            *consumida = false;
        return;
    }
    *consumida = !(digito || borrar);
}

void Frm834::abreAnexo105()
{
    FrmAnexo105 asistente(contexto_.db, this);
    asistente.sRuc = sRuc();
    asistente.sPeriodo = sPeriodo;
    asistente.sFormulario = contexto_.formulario;
    asistente.iExistente = static_cast<qint16>(decl_.iAccion);
    asistente.iEnviada = decl_.bEnviada ? 1 : 0;
    asistente.sCorrel = decl_.sCorrel;
    const QString antes = lectura834::sello(contexto_.db, clave());
    // In mode 1 too: the declaration may have been deleted meanwhile, and the
    // assistant then leaves a placeholder header under its key.
    if (asistente.exec() == QDialog::Accepted)
        estado_.borradores.append({sRuc(), sPeriodo});
    // The assistant's own write is no one else's change: the form now knows
    // that version, unless another user had changed it before.
    if (estado_.sello == antes)
        estado_.sello = lectura834::sello(contexto_.db, clave());
    // Box 105 always ends up as the sum of what is stored.
    refrescaDetalle105();
    decl_.setCasilla(105, formato834::entreParentesis(asistente.total()));
    decl_.calcular([this] { calculos834::Calcular105(decl_, QStringLiteral("105")); });
    txtValor(105)->setFocus();
    avanzaFoco();
}

bool Frm834::eventFilter(QObject* watched, QEvent* event)
{
    const auto it = casillaDe_.constFind(watched);
    if (it != casillaDe_.constEnd()) {
        const int casilla = *it;
        QLineEdit* campo = txtValor_.value(casilla);
        const Casilla& c = *casillas834::buscar(casilla);
        switch (event->type()) {
        case QEvent::KeyPress: {
            auto* tecla = static_cast<QKeyEvent*>(event);
            if (cruzaPaginaActivos(casilla, tecla))
                return true;
            if (esNavegacion(tecla))
                return false;
            bool consumida = false;
            teclaCasilla(casilla, tecla, &consumida);
            return consumida;
        }
        case QEvent::FocusIn:
            if (esCambioDeVentana(event))
                break;
            ayudaCasilla(casilla);
            if (decl_.bloqueada(casilla))
                break;
            if (casilla == 226) {
                ponLargo(campo, largoDocumento());
            } else {
                decl_.entrarCasilla(casilla);
                if (c.largoEnFoco > 0 && campo->text().size() <= c.largoEnFoco)
                    campo->setMaxLength(c.largoEnFoco);
            }
            break;
        case QEvent::FocusOut:
            if (esCambioDeVentana(event) || decl_.bloqueada(casilla))
                break;
            if (casilla == 226) {
                ponLargo(campo, largoDocumento());
            } else {
                if (c.largoFueraDeFoco > 0)
                    campo->setMaxLength(c.largoFueraDeFoco);
                decl_.salirCasilla(casilla);
            }
            break;
        case QEvent::MouseMove:
            ayudaCasilla(casilla);
            break;
        default:
            break;
        }
        return QDialog::eventFilter(watched, event);
    }

    if (event->type() == QEvent::MouseMove && !qobject_cast<QLineEdit*>(watched)) {
        ayudaPorDefecto();
        return QDialog::eventFilter(watched, event);
    }

    auto* campo = qobject_cast<QLineEdit*>(watched);
    if (!campo)
        return QDialog::eventFilter(watched, event);

    if (event->type() == QEvent::FocusOut && campo == MkePeriodo_ && !esCambioDeVentana(event)) {
        // Checked once the focus has settled on the next control, so that a
        // message can put it back into the field.
        QTimer::singleShot(0, this, [this] {
            if (enSalidaPeriodo_)
                return;
            enSalidaPeriodo_ = true;
            MkePeriodo_LostFocus();
            enSalidaPeriodo_ = false;
        });
        return QDialog::eventFilter(watched, event);
    }
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);

    auto* tecla = static_cast<QKeyEvent*>(event);
    if (esNavegacion(tecla))
        return false;
    const bool nombre = campo == txtApellidoRL_ || campo == txtNombreRL_;
    const bool numerico = campo == TxtTelefono_ || campo == TxtNumOrdenE_[0] || campo == TxtNumOrdenE_[1];
    if (!nombre && !numerico && campo != MkePeriodo_)
        return QDialog::eventFilter(watched, event);
    if (campo != TxtNumOrdenE_[0] && campo != TxtNumOrdenE_[1])
        decl_.setModificado(true);
    if (esEnter(tecla)) {
        avanzaFoco();
        return true;
    }
    if (campo == MkePeriodo_ || tecla->text().isEmpty() || (tecla->modifiers() & Qt::ControlModifier))
        return false;
    const int codigo = tecla->text().at(0).unicode();
    if (numerico)
        return funciones_.FiltroNumerico(codigo) == 0;
    // Names keep letters with their accents, Ñ, digits, blank and apostrophe;
    // anything else is dropped.
    const int filtrado = funciones_.FiltroNombre(codigo);
    if (filtrado == 0 || !ObjFunciones::caracterNombreConservado(QChar(static_cast<char16_t>(filtrado))))
        return true;
    if (filtrado != codigo) {
        campo->insert(QString(QChar(static_cast<char16_t>(filtrado))));
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- help lines

void Frm834::ayudaPorDefecto()
{
    const bool pestana4 = SSTab1_->currentIndex() == 4;
    TxtAyuda_->setText(pestana4 ? kAyudaTab4 : kAyuda);
    TxtAyuda1_->setText(pestana4 ? kAyudaTab4b : QString());
    pintaTexto(TxtAyuda_, Qt::black);
    pintaTexto(TxtAyuda1_, Qt::black);
}

void Frm834::ayudaCasilla(int casilla)
{
    QString primera;
    QString segunda;
    bool cambiaSegunda = true;
    switch (casilla) {
    case 330:
        primera = QStringLiteral("c330=c300+c301+c302+c304-c303+c305+c306+c307+c308+c310+c311+c313+c314+c315+");
        segunda = QStringLiteral("c316+c318+c319+c321+c322+c323+c324+c395+c396+c397+c325+c327-c328-c326+c329");
        break;
    case 101:
        primera = QStringLiteral("c101 = c330");
        break;
    case 109:
        primera = decl_.respuesta(Pregunta::Ajuste) == u"1" ? QStringLiteral("c109 = c108 * ") + decl_.factorIpm()
                                                            : QStringLiteral("c109 = c108");
        break;
    case 139:
        primera = QStringLiteral("c139 = c113 - c114");
        cambiaSegunda = false;
        break;
    case 146:
        primera = QStringLiteral("c146 = c161 - c144 + c145");
        break;
    default:
        ayudaPorDefecto();
        return;
    }
    TxtAyuda_->setText(primera);
    pintaTexto(TxtAyuda_, kAzulFormula);
    if (cambiaSegunda) {
        TxtAyuda1_->setText(segunda);
        pintaTexto(TxtAyuda1_, kAzulFormula);
    }
}
