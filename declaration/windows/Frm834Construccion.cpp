// Frm834: the building of the window (the four tabs, the asset pages, one
// field per box from the box table of Casillas834, with their accessible names
// and widths) and the mirrors that copy the model into the controls.

#include "Frm834.h"

#include "ControlesQVR.h"
#include "FormaDePagoQVR.h"
#include "Frm834Interno.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

using casillas834::Casilla;
using casillas834::Pagina;
using casillas834::Pestana;
using casillas834::Tipo;
using Pregunta = Declaracion834::Pregunta;
using Dato = Declaracion834::Dato;
using frm834::kPaginaCorriente;
using frm834::kPaginaNoCorriente;
using frm834::textoPeriodo;

namespace {

const QColor kGris(0xC0, 0xC0, 0xC0);
const QColor kBlanco(0xFF, 0xFF, 0xFF);
const QColor kCeleste(0xC0, 0xFF, 0xFF);

void pintaFondo(QWidget* w, const QColor& color)
{
    QPalette p = w->palette();
    for (auto grupo : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(grupo, QPalette::Base, color);
    w->setPalette(p);
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

} // namespace

// ---------------------------------------------------------------- building

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
