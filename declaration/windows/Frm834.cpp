#include "Frm834.h"

#include "Anexo105Datos.h"
#include "Calculos834.h"
#include "ControlesQVR.h"
#include "Formato834.h"
#include "FormaDePagoQVR.h"
#include "FrmAnexo105.h"
#include "FrmConsist.h"
#include "Grabacion834.h"
#include "ModObjetos.h"
#include "MotorSql.h"
#include "ParamLookups.h"
#include "Parametros834.h"
#include "StartupMessages.h"
#include "Validacion834.h"

#include <QApplication>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <algorithm>
#include <QButtonGroup>
#include <QComboBox>
#include <QDate>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

using casillas834::Casilla;
using casillas834::Pagina;
using casillas834::Pestana;
using casillas834::Tipo;
using Pregunta = Declaracion834::Pregunta;
using Dato = Declaracion834::Dato;

const QString Frm834::kCaption = QStringLiteral("834 Anticipo Adicional de Renta 3ra. Categoría");

namespace {

// The form's own texts.
const QString kYaExiste = QStringLiteral(
    "La declaración que desea registrar ya existe, elija la opción modificar declaración o elija otro contribuyente.");
const QString kEjercicioNoValido = QStringLiteral("El Ejercicio no es Válido.");
const QString kSinIpm = QStringLiteral("Ud. no ha actualizado el parámetro IPM correspondiente al año ");
const QString kRecuerdeRectificar = QStringLiteral(
    "Recuerde que debe consignar información en todas las casillas inclusive aquellas que no está rectificando.");
const QString kRucNoValido = QStringLiteral("El RUC no es válido.");
const QString kAyuda = QStringLiteral("Anotar los importes en nuevos soles sin considerar céntimos.");
const QString kAyudaTab4 = QStringLiteral("El registro de esta información es de caracter obligatorio");
const QString kAyudaTab4b = QStringLiteral("en los conceptos que le correspondan.");
const QString kReduccion2003 = QStringLiteral("Reducción del 30% para el ejercicio 2003");

const QColor kGris(0xC0, 0xC0, 0xC0);
const QColor kBlanco(0xFF, 0xFF, 0xFF);
const QColor kCeleste(0xC0, 0xFF, 0xFF);
const QColor kAzulFormula(0, 0, 192);

// Window size in twips.
constexpr int kAncho = 9615;
constexpr int kAlto = 6825;
// The taxpayer list, narrowed to show only the RUC once a taxpayer is chosen.
constexpr int kAnchoCmbRucElegido = 1370;
constexpr int kAnchoListaDocumentos = 15;
constexpr int kAnchoListaContribuyentes = 45;
// The asset-page scroll bar: position 1 shows the current assets.
constexpr int kPaginaCorriente = 1;
constexpr int kPaginaNoCorriente = 15;

constexpr int kTeclaBackspace = ObjFunciones::kBackspace;

// Text the year field shows; the mask's blanks are "_".
QString textoPeriodo(const QLineEdit* campo)
{
    return campo->displayText();
}

// Numeric value of a year text as the form reads it (leading digits).
int valorPeriodo(const QString& texto)
{
    return leadingNumber(texto);
}

void pintaFondo(QWidget* w, const QColor& color)
{
    QPalette p = w->palette();
    for (auto grupo : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(grupo, QPalette::Base, color);
    w->setPalette(p);
}

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

int indicePregunta(Pregunta p)
{
    return static_cast<int>(p);
}

QLabel* etiquetaNombrada(const QString& texto, const QString& nombre, QWidget* padre)
{
    auto* l = new QLabel(texto, padre);
    l->setObjectName(nombre);
    return l;
}

// A label that names `control` for the keyboard and for screen readers.
QLabel* etiquetaDe(const QString& texto, QWidget* control, const QString& nombre, QWidget* padre)
{
    auto* l = new QLabel(texto, padre);
    l->setBuddy(control);
    controlesqvr::nombra(control, nombre);
    return l;
}

// The widest amount a box can show.
QString importeMasAncho(int casilla)
{
    return casillas834::puedeMostrarParentesis(casilla) ? QStringLiteral("(999,999,999,999)")
                                                        : QStringLiteral("999,999,999,999");
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

// ---------------------------------------------------------------- building

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

void Frm834::construye()
{
    SSTab1_ = new QTabWidget(this);
    SSTab1_->setObjectName(QStringLiteral("SSTab1"));
    // All five captions stay in sight in the form's width: no scroll arrows.
    SSTab1_->setUsesScrollButtons(false);
    SSTab1_->tabBar()->setExpanding(true);
    SSTab1_->tabBar()->setElideMode(Qt::ElideNone);
    QFont letraPestanas = SSTab1_->tabBar()->font();
    letraPestanas.setPointSizeF(letraPestanas.pointSizeF() * 0.9);
    SSTab1_->tabBar()->setFont(letraPestanas);
    SSTab1_->setAccessibleName(QStringLiteral("Secciones de la declaración"));
    SSTab1_->tabBar()->setAccessibleName(SSTab1_->accessibleName());
    SSTab1_->addTab(construyeIdentificacion(), QStringLiteral("&Identificación"));
    SSTab1_->addTab(construyeActivos(), QStringLiteral("Activos"));

    auto* anticipo = construyePagina(Pestana::Anticipo, Pagina::Ninguna, nullptr);
    anticipo->setObjectName(QStringLiteral("frame1_2"));
    SSTab1_->addTab(anticipo, QStringLiteral("Determinación del Anticipo Adicional"));

    auto* deuda = new QWidget;
    deuda->setObjectName(QStringLiteral("frame1_4"));
    deuda->setMouseTracking(true);
    deuda->installEventFilter(this);
    auto* deudaLayout = new QHBoxLayout(deuda);
    deudaLayout->addWidget(construyePagina(Pestana::Deuda, Pagina::Ninguna, deuda), 3);
    FormaDePagoQVR1_ = new FormaDePagoQVR(deuda);
    FormaDePagoQVR1_->setObjectName(QStringLiteral("FormaDePagoQVR1"));
    deudaLayout->addWidget(FormaDePagoQVR1_, 2, Qt::AlignTop);
    SSTab1_->addTab(deuda, QStringLiteral("Determinación de la De&uda"));
    SSTab1_->addTab(construyeComplementaria(), QStringLiteral("Información C&omplementaria"));

    // Help lines: button-face background, small serif type.
    QFont letraAyuda(QStringLiteral("Times New Roman"));
    letraAyuda.setStyleHint(QFont::Serif);
    letraAyuda.setPointSize(8);
    TxtAyuda_ = new QLineEdit(this);
    TxtAyuda1_ = new QLineEdit(this);
    TxtAyuda_->setObjectName(QStringLiteral("TxtAyuda"));
    TxtAyuda1_->setObjectName(QStringLiteral("TxtAyuda1"));
    TxtAyuda_->setAccessibleName(QStringLiteral("Ayuda"));
    TxtAyuda1_->setAccessibleName(QStringLiteral("Ayuda, segunda línea"));
    for (QLineEdit* ayuda : {TxtAyuda_, TxtAyuda1_}) {
        ayuda->setReadOnly(true);
        ayuda->setFocusPolicy(Qt::NoFocus);
        ayuda->setFont(letraAyuda);
        ayuda->setFrame(false);
        pintaFondo(ayuda, palette().color(QPalette::Button));
    }

    CmdValidar_ = new QPushButton(QStringLiteral("&Validar"), this);
    CmdGrabar_ = new QPushButton(QStringLiteral("&Grabar"), this);
    CmdCancelar_ = new QPushButton(QStringLiteral("&Salir"), this);
    CmdValidar_->setObjectName(QStringLiteral("CmdValidar"));
    CmdGrabar_->setObjectName(QStringLiteral("CmdGrabar"));
    CmdCancelar_->setObjectName(QStringLiteral("CmdCancelar"));
    for (QPushButton* b : {CmdValidar_, CmdGrabar_, CmdCancelar_})
        b->setAutoDefault(false);
    connect(CmdValidar_, &QPushButton::clicked, this, &Frm834::onValidar);
    connect(CmdGrabar_, &QPushButton::clicked, this, &Frm834::onGrabar);
    connect(CmdCancelar_, &QPushButton::clicked, this, &Frm834::onSalir);

    auto* ayudas = new QVBoxLayout;
    ayudas->setSpacing(0);
    ayudas->addWidget(TxtAyuda_);
    ayudas->addWidget(TxtAyuda1_);
    auto* pie = new QHBoxLayout;
    pie->addLayout(ayudas, 1);
    pie->addWidget(CmdValidar_);
    pie->addWidget(CmdGrabar_);
    pie->addWidget(CmdCancelar_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1_, 1);
    layout->addLayout(pie);

    connect(SSTab1_, &QTabWidget::currentChanged, this, &Frm834::SSTab1_Click);
    ayudaPorDefecto();
}

QWidget* Frm834::construyeIdentificacion()
{
    auto* pagina = new QWidget;
    pagina->setMouseTracking(true);
    pagina->installEventFilter(this);
    auto* layout = new QVBoxLayout(pagina);

    auto* frame11 = new QGroupBox(QStringLiteral("Datos básicos del Contribuyente"), pagina);
    frame11->setObjectName(QStringLiteral("Frame11"));
    auto* g = new QGridLayout(frame11);
    CmbRuc_ = new QComboBox(frame11);
    CmbRuc_->setObjectName(QStringLiteral("CmbRuc"));
    TxtNumRuc_ = new QLineEdit(frame11);
    TxtNumRuc_->setObjectName(QStringLiteral("TxtNumRuc"));
    TxtNumRuc_->setMaxLength(11);
    TxtRazon_ = new QLineEdit(frame11);
    TxtRazon_->setObjectName(QStringLiteral("TxtRazon"));
    TxtRazon_->setMaxLength(40);
    TxtTelefono_ = new QLineEdit(frame11);
    TxtTelefono_->setObjectName(QStringLiteral("TxtTelefono"));
    TxtTelefono_->setMaxLength(8);
    MkePeriodo_ = new QLineEdit(frame11);
    MkePeriodo_->setObjectName(QStringLiteral("MkePeriodo"));
    MkePeriodo_->setInputMask(QStringLiteral("9999;_"));
    auto* ruc = new QHBoxLayout;
    ruc->addWidget(CmbRuc_);
    ruc->addWidget(TxtNumRuc_);
    ruc->addStretch();
    // Only one of the list and the field is shown; both are the RUC.
    TxtNumRuc_->setAccessibleName(QStringLiteral("RUC"));
    g->addWidget(etiquetaDe(QStringLiteral("RUC :"), CmbRuc_, QStringLiteral("RUC"), frame11), 0, 0);
    g->addLayout(ruc, 0, 1);
    g->addWidget(etiquetaDe(QStringLiteral("Razón Social :"), TxtRazon_, QStringLiteral("Razón Social"), frame11), 1, 0);
    g->addWidget(TxtRazon_, 1, 1);
    g->addWidget(etiquetaDe(QStringLiteral("Teléfono :"), TxtTelefono_, QStringLiteral("Teléfono"), frame11), 2, 0);
    g->addWidget(TxtTelefono_, 2, 1, Qt::AlignLeft);
    g->addWidget(etiquetaDe(QStringLiteral("Ejercicio :"), MkePeriodo_, QStringLiteral("Ejercicio"), frame11), 3, 0);
    g->addWidget(MkePeriodo_, 3, 1, Qt::AlignLeft);
    layout->addWidget(frame11);

    struct Marco {
        const char* nombre;
        const char* titulo;
        Pregunta pregunta;
        const char* opcion;
        const char* texto;
    };
    const Marco marcos[] = {
        {"Frame17", "Rectificatoria", Pregunta::Rectifica, "OptRectifica",
         "¿La presente declaración rectifica o sustituye a otra?"},
        {"Frame2", "Obligación de efectuar ajuste por inflación", Pregunta::Ajuste, "OptAjuste",
         "¿Esta usted obligado a efectuar ajuste por inflación de acuerdo al DL Nro. 797?"},
        {"Frame4", "", Pregunta::Liquidacion, "OptLiquid", "¿La empresa se encuentra en liquidación o insolvencia?"},
        {"Frame3", "", Pregunta::Reorganizacion, "OptReorg",
         "¿La empresa está incluida en un proceso de Reorganización de Sociedades"},
    };
    for (const Marco& m : marcos) {
        auto* marco = new QGroupBox(QString::fromUtf8(m.titulo), pagina);
        marco->setObjectName(QString::fromLatin1(m.nombre));
        marco->setMouseTracking(true);
        marco->installEventFilter(this);
        const QString pregunta = QString::fromUtf8(m.texto);
        // The frames without a title are named by their question.
        if (marco->title().isEmpty())
            marco->setAccessibleName(pregunta);
        auto* h = new QHBoxLayout(marco);
        h->addWidget(new QLabel(pregunta, marco), 1);
        auto* grupo = new QButtonGroup(marco);
        for (int i = 0; i < 2; ++i) {
            auto* opt = new QRadioButton(i == 0 ? QStringLiteral("No") : QStringLiteral("Si"), marco);
            opt->setObjectName(QStringLiteral("%1_%2").arg(QString::fromLatin1(m.opcion)).arg(i));
            opt->setAccessibleDescription(pregunta);
            grupo->addButton(opt, i);
            h->addWidget(opt);
            opt_[indicePregunta(m.pregunta)][i] = opt;
            const Pregunta p = m.pregunta;
            connect(opt, &QRadioButton::clicked, this, [this, p, i] { opcion_Click(p, i); });
        }
        if (m.pregunta == Pregunta::Rectifica)
            Frame17_ = marco;
        layout->addWidget(marco);
    }

    fraNOrden_ = new QGroupBox(QStringLiteral("Número de orden"), pagina);
    fraNOrden_->setObjectName(QStringLiteral("fraNOrden"));
    auto* orden = new QHBoxLayout(fraNOrden_);
    orden->addWidget(new QLabel(QStringLiteral("004"), fraNOrden_));
    for (int i = 0; i < 2; ++i) {
        TxtNumOrdenE_[i] = new QLineEdit(fraNOrden_);
        TxtNumOrdenE_[i]->setObjectName(QStringLiteral("TxtNumOrdenE_%1").arg(i));
        TxtNumOrdenE_[i]->setMaxLength(i == 0 ? 8 : 2);
        TxtNumOrdenE_[i]->setAccessibleName(i == 0 ? QStringLiteral("Número de orden")
                                                   : QStringLiteral("Número de orden, sufijo"));
        if (i == 1)
            orden->addWidget(new QLabel(QStringLiteral("-"), fraNOrden_));
        orden->addWidget(TxtNumOrdenE_[i]);
        const Dato dato = i == 0 ? Dato::NumOrden : Dato::NumOrdenSufijo;
        connect(TxtNumOrdenE_[i], &QLineEdit::textChanged, this, [this, dato](const QString& t) {
            if (mostrando_)
                return;
            decl_.setDato(dato, t);
            decl_.setModificado(true);
        });
    }
    orden->addStretch();
    layout->addWidget(fraNOrden_);
    layout->addStretch();

    for (QLineEdit* campo : {TxtNumRuc_, TxtTelefono_, MkePeriodo_, TxtNumOrdenE_[0], TxtNumOrdenE_[1]}) {
        controlesqvr::rechazaPegado(campo);
        campo->installEventFilter(this);
    }
    connect(CmbRuc_, &QComboBox::activated, this, &Frm834::CmbRuc_Click);
    connect(TxtRazon_, &QLineEdit::textChanged, this, &Frm834::TxtRazon_Change);
    connect(TxtTelefono_, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (!mostrando_)
            decl_.setDato(Dato::Telefono, t);
    });
    return pagina;
}

QWidget* Frm834::construyeActivos()
{
    auto* frame1 = new QWidget;
    frame1->setObjectName(QStringLiteral("frame1_1"));
    frame1->setMouseTracking(true);
    frame1->installEventFilter(this);
    Frame26_ = construyePagina(Pestana::Activos, Pagina::ActivoCorriente, frame1);
    Frame26_->setObjectName(QStringLiteral("Frame26"));
    Frame34_ = construyePagina(Pestana::Activos, Pagina::ActivoNoCorriente, frame1);
    Frame34_->setObjectName(QStringLiteral("Frame34"));
    VScroll1_ = new QScrollBar(Qt::Vertical, frame1);
    VScroll1_->setObjectName(QStringLiteral("VScroll1"));
    VScroll1_->setRange(kPaginaCorriente, kPaginaNoCorriente);
    VScroll1_->setSingleStep(kPaginaNoCorriente);
    VScroll1_->setPageStep(kPaginaNoCorriente);
    VScroll1_->setValue(kPaginaCorriente);
    VScroll1_->setFocusPolicy(Qt::NoFocus);
    VScroll1_->setAccessibleName(QStringLiteral("Página de activos"));
    auto* paginas = new QVBoxLayout;
    paginas->addWidget(Frame26_);
    paginas->addWidget(Frame34_);
    paginas->addStretch();
    auto* layout = new QHBoxLayout(frame1);
    layout->addLayout(paginas, 1);
    layout->addWidget(VScroll1_);
    connect(VScroll1_, &QScrollBar::valueChanged, this, &Frm834::VScroll1_Change);
    VScroll1_Change(kPaginaCorriente);
    return frame1;
}

QWidget* Frm834::construyePagina(Pestana pestana, Pagina pagina, QWidget* padre)
{
    auto* marco = new QWidget(padre);
    marco->setMouseTracking(true);
    marco->installEventFilter(this);
    auto* g = new QGridLayout(marco);
    g->setVerticalSpacing(2);
    int fila = 0;
    if (pestana == Pestana::Activos) {
        auto* encabezado = new QLabel(marco);
        encabezado->setObjectName(pagina == Pagina::ActivoCorriente ? QStringLiteral("lblTab2_41")
                                                                    : QStringLiteral("lblTab2_168"));
        (pagina == Pagina::ActivoCorriente ? lblTab2_41_ : lblTab2_168_) = encabezado;
        g->addWidget(encabezado, fila++, 0, 1, 3);
    }
    for (int numero : casillas834::enPantalla(pestana, pagina)) {
        const Casilla& c = *casillas834::buscar(numero);
        auto* texto = new QLabel(c.etiqueta(), marco);
        texto->setObjectName(numero == 109   ? QStringLiteral("lblTab3_5")
                             : numero == 114 ? QStringLiteral("lblTab3_6")
                                             : QStringLiteral("lblCasilla_%1").arg(numero));
        // A long caption wraps rather than narrowing the box beside it.
        texto->setWordWrap(true);
        etiqueta_.insert(numero, texto);
        QLabel* numeroCasilla =
            etiquetaNombrada(QString::number(numero), QStringLiteral("lblNumero_%1").arg(numero), marco);
        QLineEdit* campo = creaCasilla(c, marco);
        numeroCasilla->setBuddy(campo);
        texto->setBuddy(campo);
        g->addWidget(numeroCasilla, fila, 0);
        g->addWidget(texto, fila, 1);
        g->addWidget(campo, fila, 2);
        ++fila;
    }
    g->setColumnStretch(1, 1);
    g->setRowStretch(fila, 1);
    return marco;
}

QWidget* Frm834::construyeComplementaria()
{
    auto* pagina = new QWidget;
    pagina->setMouseTracking(true);
    pagina->installEventFilter(this);
    Frame7_ = new QGroupBox(QStringLiteral("Datos del Representante Legal"), pagina);
    Frame7_->setObjectName(QStringLiteral("Frame7"));
    auto* g = new QGridLayout(Frame7_);
    cboTipDocRepLegal_ = new QComboBox(Frame7_);
    cboTipDocRepLegal_->setObjectName(QStringLiteral("cboTipDocRepLegal"));
    controlesqvr::nombra(cboTipDocRepLegal_, QStringLiteral("Tipo de Documento"));
    int fila = 0;
    for (int numero : casillas834::enPantalla(Pestana::Complementaria)) {
        const Casilla& c = *casillas834::buscar(numero);
        auto* texto = new QLabel(c.etiqueta(), Frame7_);
        texto->setObjectName(QStringLiteral("lblCasilla_%1").arg(numero));
        etiqueta_.insert(numero, texto);
        g->addWidget(texto, fila, 0);
        QLineEdit* campo = creaCasilla(c, Frame7_);
        if (c.tipo == Tipo::Lista) {
            // The box keeps the code of the chosen type out of sight.
            campo->hide();
            texto->setBuddy(cboTipDocRepLegal_);
            g->addWidget(cboTipDocRepLegal_, fila, 1);
        } else {
            texto->setBuddy(campo);
            g->addWidget(campo, fila, 1);
        }
        ++fila;
    }
    txtApellidoRL_ = new QLineEdit(Frame7_);
    txtApellidoRL_->setObjectName(QStringLiteral("txtApellidoRL"));
    txtNombreRL_ = new QLineEdit(Frame7_);
    txtNombreRL_->setObjectName(QStringLiteral("txtNombreRL"));
    g->addWidget(etiquetaDe(QStringLiteral("Apellidos :"), txtApellidoRL_, QStringLiteral("Apellidos"), Frame7_), fila, 0);
    g->addWidget(txtApellidoRL_, fila++, 1);
    g->addWidget(etiquetaDe(QStringLiteral("Nombres :"), txtNombreRL_, QStringLiteral("Nombres"), Frame7_), fila, 0);
    g->addWidget(txtNombreRL_, fila++, 1);
    const std::pair<QLineEdit*, Dato> nombres[] = {{txtApellidoRL_, Dato::ApellidoRL}, {txtNombreRL_, Dato::NombreRL}};
    for (const auto& [campo, dato] : nombres) {
        campo->setMaxLength(15);
        controlesqvr::rechazaPegado(campo);
        campo->installEventFilter(this);
        const Dato d = dato;
        connect(campo, &QLineEdit::textChanged, this, [this, d](const QString& t) {
            if (!mostrando_)
                decl_.setDato(d, t);
        });
    }
    connect(cboTipDocRepLegal_, &QComboBox::activated, this, &Frm834::cboTipDocRepLegal_Click);
    auto* layout = new QVBoxLayout(pagina);
    layout->addWidget(Frame7_);
    layout->addStretch();
    return pagina;
}

QLineEdit* Frm834::creaCasilla(const Casilla& c, QWidget* padre)
{
    auto* campo = new QLineEdit(padre);
    const int numero = c.numero;
    campo->setObjectName(QStringLiteral("TxtValor_%1").arg(numero));
    if (c.esImporte()) {
        campo->setAlignment(Qt::AlignRight);
        controlesqvr::anchoParaMostrar(campo, importeMasAncho(numero));
    }
    if (c.largoFueraDeFoco > 0)
        campo->setMaxLength(c.largoFueraDeFoco);
    campo->setMouseTracking(true);
    controlesqvr::rechazaPegado(campo);
    campo->installEventFilter(this);
    txtValor_.insert(numero, campo);
    casillaDe_.insert(campo, numero);
    nombraCasilla(numero);
    connect(campo, &QLineEdit::textChanged, this, [this, numero](const QString& t) {
        if (!mostrando_)
            decl_.setCasilla(numero, t);
    });
    return campo;
}

// A screen reader names a box by its number and caption, and says when it is
// computed.
void Frm834::nombraCasilla(int casilla)
{
    const Casilla& c = *casillas834::buscar(casilla);
    const QLabel* etiqueta = etiqueta_.value(casilla);
    QString nombre = (QString::number(casilla) + u' ' + (etiqueta ? etiqueta->text() : c.etiqueta())).simplified();
    if (nombre.endsWith(u':'))
        nombre = nombre.chopped(1).trimmed();
    if (c.tipo == Tipo::Calculada)
        nombre += QStringLiteral(", calculada");
    txtValor(casilla)->setAccessibleName(nombre);
}

// ---------------------------------------------------------------- model mirrors

void Frm834::conectaModelo()
{
    connect(&decl_, &Declaracion834::casillaCambiada, this, &Frm834::muestraCasilla);
    connect(&decl_, &Declaracion834::estadoCasillaCambiado, this, &Frm834::muestraEstado);
    connect(&decl_, &Declaracion834::respuestaCambiada, this, &Frm834::muestraRespuesta);
    connect(&decl_, &Declaracion834::datoCambiado, this, &Frm834::muestraDato);
    connect(&decl_, &Declaracion834::pagoCambiado, this, [this] { FormaDePagoQVR1_->setValor(decl_.pago()); });
    // Told once the key or command that overflowed has finished, unless what
    // followed (the rest of a reload) has already made every result fit.
    connect(&decl_, &Declaracion834::desbordamiento, this, [this] {
        if (decl_.desbordada())
            mostrar(comandos834::importesExcesivos());
    }, Qt::QueuedConnection);
    connect(FormaDePagoQVR1_, &FormaDePagoQVR::cambiado, this, [this] {
        FormaDePago p = decl_.pago();
        p.formapago = FormaDePagoQVR1_->formapago();
        p.banco = FormaDePagoQVR1_->banco();
        p.numcheque = FormaDePagoQVR1_->numcheque();
        decl_.setPago(p);
    });
    for (const Casilla& c : casillas834::tabla())
        muestraEstado(c.numero);
    for (int i = 0; i < 4; ++i)
        muestraRespuesta(static_cast<Pregunta>(i));
    FormaDePagoQVR1_->setValor(decl_.pago());
}

void Frm834::muestraCasilla(int casilla, const QString& texto)
{
    QLineEdit* campo = txtValor_.value(casilla);
    if (!campo)
        return;
    // A typed change comes back with the field already showing it; the
    // document check still follows it.
    if (campo->text() != texto)
        muestraTexto(campo, texto);
    if (casilla == 226 && !decl_.bCargando())
        documentoCambiado();
}

void Frm834::muestraEstado(int casilla)
{
    QLineEdit* campo = txtValor_.value(casilla);
    if (!campo)
        return;
    const bool bloqueada = decl_.bloqueada(casilla);
    const bool habilitada = decl_.habilitada(casilla);
    campo->setReadOnly(bloqueada);
    campo->setEnabled(habilitada);
    if (bloqueada || !habilitada)
        pintaFondo(campo, kGris);
    else if (casillas834::buscar(casilla)->tipo == Tipo::Asistente)
        pintaFondo(campo, kCeleste);
    else
        pintaFondo(campo, kBlanco);
}

void Frm834::muestraRespuesta(Pregunta pregunta)
{
    const QString r = decl_.respuesta(pregunta);
    auto& par = opt_[indicePregunta(pregunta)];
    QButtonGroup* grupo = par[0]->group();
    // Neither option stays selected for an unanswered question.
    grupo->setExclusive(false);
    par[0]->setChecked(r == u"0");
    par[1]->setChecked(r == u"1");
    grupo->setExclusive(true);
    if (pregunta == Pregunta::Ajuste)
        actualizaEncabezados();
}

void Frm834::muestraDato(Dato dato)
{
    QLineEdit* campo = nullptr;
    switch (dato) {
    case Dato::Telefono: campo = TxtTelefono_; break;
    case Dato::Periodo: campo = MkePeriodo_; break;
    case Dato::ApellidoRL: campo = txtApellidoRL_; break;
    case Dato::NombreRL: campo = txtNombreRL_; break;
    case Dato::NumOrden: campo = TxtNumOrdenE_[0]; break;
    case Dato::NumOrdenSufijo: campo = TxtNumOrdenE_[1]; break;
    default: return;
    }
    const QString texto = decl_.dato(dato);
    const QString actual = dato == Dato::Periodo ? textoPeriodo(campo) : campo->text();
    if (actual == texto)
        return;
    muestraTexto(campo, texto);
}

// Puts a value from the model into its field without echoing it back as an
// edit; a stored or computed value longer than the edit length is shown whole.
void Frm834::muestraTexto(QLineEdit* campo, const QString& texto)
{
    const bool antes = mostrando_;
    mostrando_ = true;
    if (texto.size() > campo->maxLength())
        campo->setMaxLength(texto.size());
    campo->setText(texto);
    mostrando_ = antes;
}

QRadioButton* Frm834::opcion(Pregunta pregunta, int indice) const
{
    return opt_[indicePregunta(pregunta)][indice];
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
    decl_.setParametros(Money(), QString());
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
    llenaTiposDocumento(cboTipDocRepLegal_, documentTypeItems(contexto_.db, 82, false, &ok, &error));
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
    const Money uit = parametros834::GET_UIT(contexto_.db, sPeriodo, &ok, &error);
    const Money ipm = ok ? parametros834::GET_IPM(contexto_.db, sPeriodo, &ok, &error) : Money();
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
    for (const Taxpayer& t : taxpayerList(contexto_.db, contexto_.sysUser, &ok, &error))
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
    const Money ipm = parametros834::GET_IPM(contexto_.db, texto, &ok, &error);
    const Money uit = ok ? parametros834::GET_UIT(contexto_.db, texto, &ok, &error) : Money();
    if (!ok) {
        lecturaFallida(grabacion834::texto::kDatosNoLeidos, error);
        return;
    }
    if (completo && decl_.iAccion == 0 && ipm.isZero()) {
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
    const int largo = leadingNumber(mid(tipoDocumento(), 68, 2));
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
        const bool alfanumerico = leadingNumber(mid(tipoDocumento(), 71, 1)) == 0;
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
    if (filtrado == 0 || !ObjFunciones::nameCharacterKept(QChar(static_cast<char16_t>(filtrado))))
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
