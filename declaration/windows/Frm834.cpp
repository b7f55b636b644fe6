// Frm834: the opening of the window, the load (steps 1 to 13) with its three
// opening modes and its handling of a failed read, the identification fields'
// events, the window events, and the window's answers to the commands of
// Comandos834 ("&Validar", "&Grabar", "&Salir").

#include "Frm834.h"

#include "Anexo105Datos.h"
#include "Calculos834.h"
#include "ControlesQVR.h"
#include "FormaDePagoQVR.h"
#include "Formato834.h"
#include "Frm834Interno.h"
#include "FrmConsist.h"
#include "Grabacion834.h"
#include "ModObjetos.h"
#include "MotorSql.h"
#include "ConsultasParam.h"
#include "Parametros834.h"
#include "Validacion834.h"

#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabWidget>
#include <algorithm>

using Pregunta = Declaracion834::Pregunta;
using Dato = Declaracion834::Dato;
using frm834::kPaginaCorriente;
using frm834::textoPeriodo;

const QString Frm834::kCaption = QStringLiteral("834 Anticipo Adicional de Renta 3ra. Categoría");

namespace {

// The form's own texts.
const QString kYaExiste = QStringLiteral(
    "La declaración que desea registrar ya existe, elija la opción modificar declaración o elija otro contribuyente.");
const QString kEjercicioNoValido = QStringLiteral("El Ejercicio no es Válido.");
const QString kSinIpm = QStringLiteral("Ud. no ha actualizado el parámetro IPM correspondiente al año ");
const QString kReduccion2003 = QStringLiteral("Reducción del 30% para el ejercicio 2003");

// Window size in twips.
constexpr int kAncho = 9615;
constexpr int kAlto = 6825;
// The taxpayer list, narrowed to show only the RUC once a taxpayer is chosen.
constexpr int kAnchoCmbRucElegido = 1370;
constexpr int kAnchoListaDocumentos = 15;
constexpr int kAnchoListaContribuyentes = 45;

// Numeric value of a year text as the form reads it (leading digits).
int valorPeriodo(const QString& texto)
{
    return numeroInicial(texto);
}

// A document-type item shows the code and the short name; the whole item,
// with the length and data kind at their fixed characters, stays its data.
constexpr int kLargoVisibleDocumento = 67;

void llenaTiposDocumento(QComboBox* lista, const QStringList& items)
{
    for (const QString& item : items)
        lista->addItem(item.left(kLargoVisibleDocumento).trimmed(), item);
}

} // namespace

Frm834::Frm834(ContextoDeclaracion contexto, QWidget* parent)
    : QDialog(parent)
    , contexto_(std::move(contexto))
{
    setObjectName(QStringLiteral("Frm834"));
    setWindowTitle(kCaption);
    setModal(true);
    setMouseTracking(true);
    validaPeriodo = [](Frm834& f) {
        return validacion834::ValidaPeriodo(textoPeriodo(f.mkePeriodo()), QDate::currentDate());
    };
    construye();
    conectaModelo();
}


// ---------------------------------------------------------------- load

void Frm834::setApertura(int modo, const QVariantList& valores)
{
    decl_.iAccion = modo;
    if (modo != 1)
        return;
    setSRuc(valores.value(0).toString());
    sRazonSocial = valores.value(1).toString();
    decl_.bEnviada = valores.value(2).toBool();
    if (decl_.bEnviada) {
        decl_.sCorrel = valores.value(3).toString();
        decl_.sControl = valores.value(4).toString();
    }
}

void Frm834::cargar()
{
    if (cargado_)
        return;
    cargado_ = true;
    // 1. Size and pointer (the opener centres the window).
    resize(ModObjetos::twipsAPixelesX(kAncho, this), ModObjetos::twipsAPixelesY(kAlto, this));
    ModObjetos::PunteroEspera(true);
    // 2. No factor or UIT until the exercise is known; nothing validated or
    // saved yet; tab 0.
    decl_.setParametros(Dinero(), QString());
    estado_ = {};
    SSTab1_->setCurrentIndex(0);
    iTabActual_ = 0;
    decl_.setCargando(true);
    // 4. Document types of the representative.
    const bool antes = mostrando_;
    mostrando_ = true;
    bool ok = true;
    QString error;
    cboTipDocRepLegal_->clear();
    llenaTiposDocumento(cboTipDocRepLegal_, elementosTipoDocumento(contexto_.db, 82, false, &ok, &error));
    cboTipDocRepLegal_->setCurrentIndex(-1);
    mostrando_ = antes;
    if (!ok)
        lecturaFallida(grabacion834::texto::kDatosNoLeidos, error);
    controlesqvr::ensanchaLista(cboTipDocRepLegal_, kAnchoListaDocumentos);
    // 5. The payment control: banks, and no payment form chosen.
    FormaDePagoQVR1_->setBancos(lectura834::bancos(contexto_.db, &ok, &error));
    if (!ok)
        lecturaFallida(grabacion834::texto::kDatosNoLeidos, error);
    decl_.setFormaPago(QStringLiteral("X"));
    // 6.
    if (!decl_.bEnviada)
        fraNOrden_->hide();
    // 7.
    pCargaIdent(decl_.iAccion);
    // 8. The order number registered so far.
    if (decl_.bEnviada) {
        const QString norden = contexto_.nordenSeleccionado.trimmed();
        decl_.setDato(Dato::NumOrden, norden == u"0" ? QString() : norden);
        decl_.setHabilitado(false);
    }
    // 9. Two positions: the current assets (1) and the non-current ones.
    VScroll1_->setValue(kPaginaCorriente);
    // 10.
    decl_.setCargando(false);
    // 11. Without the December 2002 index no new declaration may be entered.
    if (!lectura834::existeIndiceInicial(contexto_.db) && decl_.iAccion == 0)
        bloqueaFormulario();
    // 12.
    if (decl_.bEnviada)
        bloqueaEnviada();
    // 13.
    decl_.setModificado(false);
    actualizaEncabezados();
    ModObjetos::PunteroEspera(false);
}

void Frm834::pCargaIdent(int iAccion)
{
    if (iAccion == 0) {
        LlenaContribuyentes();
        informaBarraEstado(QString(), QString(), sPeriodo);
        TxtNumRuc_->setEnabled(false);
        TxtNumRuc_->hide();
        CmbRuc_->setEnabled(true);
        CmbRuc_->show();
        TxtRazon_->setEnabled(false);
        TxtTelefono_->setEnabled(true);
        return;
    }
    if (iAccion != 1)
        return;
    sPeriodo = contexto_.periodoSeleccionado.trimmed();
    informaBarraEstado(sRuc(), sRazonSocial, sPeriodo);
    CmbRuc_->setEnabled(false);
    CmbRuc_->hide();
    TxtNumRuc_->setEnabled(false);
    TxtRazon_->setEnabled(false);
    TxtTelefono_->setEnabled(true);
    MkePeriodo_->setEnabled(false);
    decl_.setDato(Dato::Periodo, sPeriodo);
    TxtNumRuc_->setText(sRuc());
    // The reload recomputes the derived boxes, so it needs the year's UIT and
    // factor: without them box 113 would be taxed as if the UIT were 0.
    bool ok = true;
    QString error;
    const Dinero uit = parametros834::GET_UIT(contexto_.db, sPeriodo, &ok, &error);
    const Dinero ipm = ok ? parametros834::GET_IPM(contexto_.db, sPeriodo, &ok, &error) : Dinero();
    if (!ok) {
        lecturaFallida(grabacion834::texto::kDatosNoLeidos, error);
        return;
    }
    decl_.setParametros(uit, formato834::textoFactor(ipm));
    // Putting the name in starts the reload; the same name would not.
    if (TxtRazon_->text() == sRazonSocial)
        TxtRazon_Change();
    else
        TxtRazon_->setText(sRazonSocial);
    const QString tipo = decl_.casilla(225).trimmed();
    for (int i = 0; i < cboTipDocRepLegal_->count(); ++i) {
        if (!tipo.isEmpty() && cboTipDocRepLegal_->itemText(i).left(2) == tipo) {
            cboTipDocRepLegal_->setCurrentIndex(i);
            break;
        }
    }
    decl_.calcular([this] { calculos834::Calcular113(decl_); });
    decl_.setCasilla(160, decl_.modalidad());
}

void Frm834::LlenaContribuyentes()
{
    bool ok = true;
    QString error;
    for (const Contribuyente& t : listaContribuyentes(contexto_.db, contexto_.sysUser, &ok, &error))
        CmbRuc_->addItem(Declaracion834::itemContribuyente(t.docId, t.nombre));
    CmbRuc_->setCurrentIndex(-1);
    if (!ok)
        lecturaFallida(grabacion834::texto::kDatosNoLeidos, error);
}

bool Frm834::CargaCasillas()
{
    // Box 105 is the sum of the stored detail, even when nothing else is stored.
    if (!refrescaDetalle105())
        return false;
    // An opened stored declaration is saved later only over the version read now.
    if (decl_.iAccion != 0 && !decl_.bEnviada)
        estado_.sello = lectura834::sello(contexto_.db, clave());
    bool ok = true;
    QString error;
    const bool hallada = grabacion834::CargaCasillas(contexto_.db, decl_, &ok, &error);
    if (!ok)
        lecturaFallida(error);
    return hallada;
}

lectura834::Clave Frm834::clave() const
{
    return {sRuc(), sPeriodo, contexto_.formulario, decl_.bEnviada, decl_.sCorrel};
}

bool Frm834::refrescaDetalle105()
{
    bool ok = true;
    QString error;
    const Detalle105 detalle = anexo105::leer(contexto_.db, clave(), &ok, &error);
    if (!ok) {
        lecturaFallida(error);
        return false;
    }
    decl_.setDetalle105(detalle);
    return true;
}

QString Frm834::textoFalloLectura(const QString& queOcurrio, const QString& error)
{
    // The server's connection is gone: the next action finds it open again
    // when the server is back.
    if (conexionViva(contexto_.db))
        return queOcurrio + u'\n' + error;
    reabrirConexion(contexto_.db);
    return queOcurrio + u' ' + grabacion834::texto::kSinServidor + u'\n' + error;
}

void Frm834::lecturaFallida(const QString& error)
{
    lecturaFallida(grabacion834::texto::kLecturaFallida, error);
}

void Frm834::lecturaFallida(const QString& queOcurrio, const QString& error)
{
    const bool primera = !estado_.lecturaFallida;
    estado_.lecturaFallida = true;
    ModObjetos::PunteroEspera(false);
    if (primera)
        mensaje(QMessageBox::Critical, textoFalloLectura(queOcurrio, error));
    bloqueaFormulario();
    decl_.setModificado(false);
}

// Another taxpayer or year on the form: box 105 is the sum of that key's
// stored detail, never of the one chosen before.
void Frm834::sigueDetalle105()
{
    if (!refrescaDetalle105())
        return;
    const Detalle105& detalle = decl_.detalle105();
    const bool hayDetalle =
        std::any_of(detalle.begin(), detalle.end(), [](const QString& v) { return !v.trimmed().isEmpty(); });
    if (hayDetalle || !decl_.vacio(105))
        decl_.calcular([this] { calculos834::Calcular105(decl_, QStringLiteral("105")); });
}

void Frm834::bloqueaFormulario()
{
    SSTab1_->setEnabled(false);
    CmdValidar_->setEnabled(false);
    CmdGrabar_->setEnabled(false);
    CmdCancelar_->setDefault(true);
}

void Frm834::bloqueaEnviada()
{
    decl_.bloquearEnviada();
    TxtTelefono_->setEnabled(false);
    Frame17_->setEnabled(false);
    for (auto& par : opt_)
        for (QRadioButton* opt : par)
            opt->setEnabled(false);
    Frame7_->setEnabled(false);
    cboTipDocRepLegal_->setEnabled(false);
    txtApellidoRL_->setEnabled(false);
    txtNombreRL_->setEnabled(false);
    CmdValidar_->setEnabled(false);
}

// ---------------------------------------------------------------- identification

QString Frm834::rucMostrado() const
{
    return decl_.iAccion == 0 ? CmbRuc_->currentText().left(11).trimmed() : TxtNumRuc_->text().trimmed();
}

std::optional<bool> Frm834::existeEnCab(const QString& ruc, const QString& periodo)
{
    bool ok = true;
    QString error;
    const bool existe = lectura834::existeDeclaracion(contexto_.db, ruc, periodo, contexto_.formulario, &ok, &error);
    if (!ok) {
        // Unknown is not "new": without a RUC the save is refused.
        nuevaDeclaracion_.clear();
        cambiaRuc(QString());
        lecturaFallida(grabacion834::texto::kExistenciaNoLeida, error);
        return std::nullopt;
    }
    return existe;
}

// The stamp belongs to the declaration it was read from or saved as: another
// taxpayer (or year) on the form is another declaration.
void Frm834::cambiaRuc(const QString& ruc)
{
    if (ruc != sRuc())
        estado_.sello.reset();
    setSRuc(ruc);
}

void Frm834::CmbRuc_Click(int indice)
{
    if (indice < 0)
        return;
    const QString item = CmbRuc_->itemText(indice);
    TxtRazon_->setText(Declaracion834::razonDeItem(item));
    if (estado_.lecturaFallida)
        return;
    // The narrowed list must still show all eleven digits in this font.
    QStyleOptionComboBox opcion;
    opcion.initFrom(CmbRuc_);
    const QSize paraRuc = CmbRuc_->style()->sizeFromContents(
        QStyle::CT_ComboBox, &opcion, QSize(CmbRuc_->fontMetrics().horizontalAdvance(item.left(11)), 0), CmbRuc_);
    CmbRuc_->setFixedWidth(std::max(ModObjetos::twipsAPixelesX(kAnchoCmbRucElegido, this), paraRuc.width()));
    controlesqvr::ensanchaLista(CmbRuc_, kAnchoListaContribuyentes);
    if (decl_.iAccion != 0)
        return;
    const QString ruc = item.left(11).trimmed();
    const std::optional<bool> existe = existeEnCab(ruc, sPeriodo);
    if (!existe) {
        CmbRuc_->setFocus();
        return;
    }
    if (*existe) {
        SSTab1_->setCurrentIndex(0);
        nuevaDeclaracion_ = QStringLiteral("N");
        mensaje(QMessageBox::Critical, kYaExiste);
        CmbRuc_->setFocus();
        return;
    }
    nuevaDeclaracion_ = QStringLiteral("S");
    cambiaRuc(ruc);
    sigueDetalle105();
    TxtTelefono_->setFocus();
    informaBarraEstado(ruc, TxtRazon_->text().trimmed(), sPeriodo);
    decl_.setModificado(true);
}

void Frm834::TxtRazon_Change()
{
    decl_.setDato(Dato::RazonSocial, TxtRazon_->text());
    if (!CargaCasillas() && !estado_.lecturaFallida)
        decl_.limpiarCasillas();
}

void Frm834::MkePeriodo_LostFocus()
{
    const QString texto = textoPeriodo(MkePeriodo_);
    const bool completo = !texto.contains(u'_');
    if (completo && !validaPeriodo(*this)) {
        SSTab1_->setCurrentIndex(0);
        mensaje(QMessageBox::Critical, kEjercicioNoValido);
        if (MkePeriodo_->isEnabled())
            MkePeriodo_->setFocus();
        return;
    }
    // A factor or UIT that could not be read is no parameter of 0.
    bool ok = true;
    QString error;
    const Dinero ipm = parametros834::GET_IPM(contexto_.db, texto, &ok, &error);
    const Dinero uit = ok ? parametros834::GET_UIT(contexto_.db, texto, &ok, &error) : Dinero();
    if (!ok) {
        lecturaFallida(grabacion834::texto::kDatosNoLeidos, error);
        return;
    }
    if (completo && decl_.iAccion == 0 && ipm.esCero()) {
        bloqueaFormulario();
        mensaje(QMessageBox::Warning, kSinIpm + texto);
    }
    if (texto != sPeriodo)
        estado_.sello.reset();
    sPeriodo = texto;
    informaBarraEstado(sRuc(), TxtRazon_->text().trimmed(), sPeriodo);
    if (decl_.iAccion == 0) {
        const QString ruc = rucMostrado();
        const std::optional<bool> existe = existeEnCab(ruc, sPeriodo);
        if (!existe) {
            CmbRuc_->setFocus();
        } else if (*existe) {
            nuevaDeclaracion_ = QStringLiteral("N");
            mensaje(QMessageBox::Critical, kYaExiste);
            CmbRuc_->setFocus();
            cambiaRuc(QString());
        } else {
            nuevaDeclaracion_ = QStringLiteral("S");
            cambiaRuc(ruc);
        }
    }
    etiqueta_.value(109)->setText(casillas834::etiqueta(109, sPeriodo));
    etiqueta_.value(114)->setText(kReduccion2003);
    nombraCasilla(109);
    nombraCasilla(114);
    // The detail of box 105 belongs to the declaration's key, which now has this year.
    sigueDetalle105();
    if (estado_.lecturaFallida)
        return;
    decl_.aplicarEjercicio(texto, uit, formato834::textoFactor(ipm));
    actualizaEncabezados();
}

void Frm834::actualizaEncabezados()
{
    const QString valor = decl_.respuesta(Pregunta::Ajuste) == u"1" ? QStringLiteral("Valor ajustado")
                                                                     : QStringLiteral("Valor historico");
    const QString texto = QStringLiteral("Cuentas") + QString(60, u' ') + valor + QString(6, u' ')
                          + QStringLiteral("al 31-12-")
                          + (sPeriodo.isEmpty() ? QString() : QString::number(valorPeriodo(sPeriodo) - 1));
    lblTab2_41_->setText(texto);
    lblTab2_168_->setText(texto);
}

void Frm834::informaBarraEstado(const QString& ruc, const QString& nombre, const QString& periodo)
{
    if (contexto_.barraEstado)
        contexto_.barraEstado(ruc, nombre, periodo, contexto_.sysUser);
}

int Frm834::mensaje(QMessageBox::Icon icono, const QString& texto, QMessageBox::StandardButtons botones,
                    const QString& titulo)
{
    QMessageBox box(icono, titulo.isEmpty() ? kCaption : titulo, texto, botones, this);
    return box.exec();
}

// ---------------------------------------------------------------- window events

void Frm834::showEvent(QShowEvent* event)
{
    cargar();
    QDialog::showEvent(event);
}

bool Frm834::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && cargado_ && !decl_.bModificado()) {
        if (SSTab1_->currentIndex() == 0 && decl_.bEnviada && TxtNumOrdenE_[0]->isEnabled())
            TxtNumOrdenE_[0]->setFocus();
        informaBarraEstado(sRuc(), TxtRazon_->text().trimmed(), sPeriodo);
        // Only the first activation places the focus: a message box closing
        // must not move it away from where the message put it.
        if (!activado_) {
            if (decl_.iAccion == 0 && CmbRuc_->isEnabled())
                CmbRuc_->setFocus();
            else if (decl_.iAccion == 1 && TxtTelefono_->isEnabled())
                TxtTelefono_->setFocus();
        }
        activado_ = true;
    } else if (event->type() == QEvent::MouseButtonPress) {
        if (decl_.iAccion == 0 && sRuc().isEmpty())
            informaBarraEstado(QString(), QString(), sPeriodo);
        else
            informaBarraEstado(sRuc(), TxtRazon_->text().trimmed(), sPeriodo);
    }
    return QDialog::event(event);
}

void Frm834::mouseMoveEvent(QMouseEvent* event)
{
    ayudaPorDefecto();
    QDialog::mouseMoveEvent(event);
}

// ---------------------------------------------------------------- commands

validacion834::Contexto Frm834::contextoValidacion() const
{
    validacion834::Contexto c;
    c.rucMostrado = rucMostrado();
    c.nuevaDeclaracion = nuevaDeclaracion_;
    c.ejercicio = textoPeriodo(MkePeriodo_);
    c.db = contexto_.db;
    return c;
}

comandos834::Entorno Frm834::entorno() const
{
    return {contexto_.db, contexto_.sysPath};
}

void Frm834::reject()
{
    onSalir();
}

void Frm834::onValidar()
{
    comandos834::CmdValidar(decl_, contextoValidacion(), entorno(), estado_, *this);
}

void Frm834::onGrabar()
{
    comandos834::CmdGrabar(decl_, contextoValidacion(), entorno(), estado_, *this);
}

void Frm834::onSalir()
{
    comandos834::CmdCancelar(decl_, contextoValidacion(), entorno(), estado_, *this);
}

// ---------------------------------------------------------------- what the commands ask

QWidget* Frm834::controlDeFoco(validacion834::Foco foco) const
{
    using validacion834::Foco;
    switch (foco) {
    case Foco::CmbRuc: return CmbRuc_;
    case Foco::TxtTelefono: return TxtTelefono_;
    case Foco::MkePeriodo: return MkePeriodo_;
    case Foco::CmdCancelar: return CmdCancelar_;
    case Foco::Casilla226: return txtValor(226);
    case Foco::ApellidoRL: return txtApellidoRL_;
    case Foco::NombreRL: return txtNombreRL_;
    case Foco::FormaDePago: return FormaDePagoQVR1_;
    case Foco::Ninguno: break;
    }
    return nullptr;
}

void Frm834::mostrar(const validacion834::Resultado& aviso)
{
    if (aviso.pestana >= 0 && !aviso.pestanaDespues)
        seleccionarPestana(aviso.pestana);
    if (aviso.foco == validacion834::Foco::FormaDePago)
        FormaDePagoQVR1_->show();
    QMessageBox::Icon icono = QMessageBox::Critical;
    switch (aviso.icono) {
    case validacion834::Icono::Critico: icono = QMessageBox::Critical; break;
    case validacion834::Icono::Informacion: icono = QMessageBox::Information; break;
    case validacion834::Icono::Exclamacion: icono = QMessageBox::Warning; break;
    }
    mensaje(icono, aviso.mensaje, QMessageBox::Ok, aviso.titulo);
    if (aviso.pestana >= 0 && aviso.pestanaDespues)
        seleccionarPestana(aviso.pestana);
    if (QWidget* foco = controlDeFoco(aviso.foco); foco && foco->isEnabled())
        foco->setFocus();
}

bool Frm834::preguntar(const QString& texto, bool noPorDefecto)
{
    QMessageBox box(QMessageBox::Question, kCaption, texto, QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(noPorDefecto ? QMessageBox::No : QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

int Frm834::pestanaActual() const
{
    return SSTab1_->currentIndex();
}

void Frm834::seleccionarPestana(int pestana)
{
    SSTab1_->setCurrentIndex(pestana);
}

bool Frm834::mostrarInconsistencias(const QString& rutaArchivo)
{
    FrmConsist lista(rutaArchivo, this);
    lista.exec();
    return lista.aceptada();
}

void Frm834::ocupado(bool si)
{
    ModObjetos::PunteroEspera(si);
}

void Frm834::cerrar()
{
    informaBarraEstado(QString(), QString(), sPeriodo);
    QDialog::done(QDialog::Rejected);
}
