#include "MDIFrm.h"

#include "BarradeEstadoQVR.h"
#include "ModObjetos.h"
#include "MotorSql.h"
#include "Sesion.h"
#include "MensajesInicio.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

const QString MDIFrm::kCaption = QStringLiteral("834 Anticipo Adicional de Renta 3ra. Categoría - v 1.1");

namespace {

// Where the main window stands and how big it is, in twips.
constexpr int kLeft = -60;
constexpr int kTop = -60;
constexpr int kHeight = 7320;
constexpr int kWidth = 9720;

// Toolbar buttons over which the pointer keeps the status bar's message.
constexpr int kBotonesConMensaje[] = {1, 2, 3, 4, 6, 8};

// Hourglass for the length of a command; the normal pointer when it returns.
class Reloj {
public:
    Reloj() { ModObjetos::PunteroEspera(true); }
    ~Reloj() { ModObjetos::PunteroEspera(false); }
    Reloj(const Reloj&) = delete;
    Reloj& operator=(const Reloj&) = delete;
};

} // namespace

MDIFrm::MDIFrm(EstadoAplicacion& state, QWidget* parent)
    : QMainWindow(parent)
    , state_(state)
{
    setObjectName(QStringLiteral("MDIFrm"));
    setWindowTitle(kCaption);
    // No minimise or maximise box on the frame.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    imgFondo_ = new QLabel(central);
    imgFondo_->setObjectName(QStringLiteral("imgFondo"));
    imgFondo_->setAutoFillBackground(true);
    imgFondo_->setBackgroundRole(QPalette::Dark);
    imgFondo_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    picture2_ = new QWidget(central);
    picture2_->setObjectName(QStringLiteral("Picture2"));
    auto* pictureLayout = new QVBoxLayout(picture2_);
    pictureLayout->setContentsMargins(0, 0, 0, 0);
    barraEstado_ = new BarradeEstadoQVR(picture2_);
    barraEstado_->setObjectName(QStringLiteral("BarradeEstadoQVR1"));
    pictureLayout->addWidget(barraEstado_);
    layout->addWidget(imgFondo_, 1);
    layout->addWidget(picture2_);
    setCentralWidget(central);

    for (QWidget* w : {static_cast<QWidget*>(this), central, static_cast<QWidget*>(imgFondo_), picture2_}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }

    creaMenus();
    creaToolbar();
}

MDIFrm::~MDIFrm()
{
    cierraSesion();
}

void MDIFrm::fijaEnlaces(EnlacesMDIFrm hooks)
{
    hooks_ = std::move(hooks);
}

void MDIFrm::creaMenus()
{
    auto item = [this](QMenu* menu, const char* name, const QString& caption, void (MDIFrm::*slot)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    auto menu = [this](const char* name, const QString& caption) {
        QMenu* m = menuBar()->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        m->menuAction()->setObjectName(QLatin1String(name));
        return m;
    };

    QMenu* declara = menu("mnuDeclara", QStringLiteral("&Declaraciones"));
    item(declara, "mnuNueva", QStringLiteral("&Nueva"), &MDIFrm::mnuNueva_Click);
    item(declara, "mnuModificar", QStringLiteral("&Modificar"), &MDIFrm::mnuModificar_Click);
    item(declara, "mnuEliminar", QStringLiteral("&Eliminar"), &MDIFrm::mnuEliminar_Click);
    declara->addSeparator();
    item(declara, "mnuImprimir", QStringLiteral("&Imprimir"), &MDIFrm::mnuImprimir_Click);
    declara->addSeparator();
    item(declara, "mnuSalir", QStringLiteral("&Salir"), &MDIFrm::mnuSalir_Click);

    QMenu* enviadas = menu("mnuDeclarEnv", QStringLiteral("Declaraciones &Enviadas"));
    item(enviadas, "mnuRegistrar", QStringLiteral("&Registrar número de orden"), &MDIFrm::mnuRegistrar_Click);
    item(enviadas, "mnuEliminar1", QStringLiteral("&Eliminar"), &MDIFrm::mnuEliminar1_Click);
    enviadas->addSeparator();
    item(enviadas, "mnuImprimir1", QStringLiteral("&Imprimir"), &MDIFrm::mnuImprimir1_Click);

    QMenu* consultas = menu("mnuConsultas", QStringLiteral("&Consultas"));
    item(consultas, "mnuDocIdent", QStringLiteral("&Bancos"), &MDIFrm::mnuDocIdent_Click);
    item(consultas, "mnuUIT", QStringLiteral("&UIT"), &MDIFrm::mnuUIT_Click);

    QMenu* ayuda = menu("mnuayuda", QStringLiteral("&Ayuda"));
    item(ayuda, "mnuContenido", QStringLiteral("&Contenido"), &MDIFrm::mnuContenido_Click);
    ayuda->addSeparator();
    item(ayuda, "mnuAcercade", QStringLiteral("Acerca &de QVR"), &MDIFrm::mnuAcercade_Click);
}

void MDIFrm::creaToolbar()
{
    tlbMenu_ = addToolBar(QStringLiteral("tlbMenu"));
    tlbMenu_->setObjectName(QStringLiteral("tlbMenu"));
    tlbMenu_->setMovable(false);
    tlbMenu_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tlbMenu_->setMouseTracking(true);
    tlbMenu_->installEventFilter(this);

    struct Boton {
        int posicion;
        const char* texto;   // null: a spacer
        QStyle::StandardPixmap icono;
    };
    // The image list imgMenu: the style's own pictures.
    static constexpr Boton kBotones[] = {
        {1, "Nueva", QStyle::SP_FileIcon},
        {2, "Modificar", QStyle::SP_DialogOpenButton},
        {3, "Eliminar", QStyle::SP_TrashIcon},
        {4, "Imprimir", QStyle::SP_FileDialogDetailedView},
        {5, "Salir", QStyle::SP_DialogCloseButton},
        {6, nullptr, QStyle::SP_CustomBase},
        {7, "Num. Orden", QStyle::SP_FileDialogContentsView},
        {8, nullptr, QStyle::SP_CustomBase},
        {9, nullptr, QStyle::SP_CustomBase},
        {10, "Ayuda", QStyle::SP_DialogHelpButton},
    };
    for (const Boton& b : kBotones) {
        QAction* action = nullptr;
        if (b.texto) {
            action = tlbMenu_->addAction(style()->standardIcon(b.icono), QString::fromUtf8(b.texto));
            const int posicion = b.posicion;
            connect(action, &QAction::triggered, this, [this, posicion] { tlbMenu_ButtonClick(posicion); });
        } else {
            action = tlbMenu_->addSeparator();
        }
        action->setObjectName(QStringLiteral("tlbMenu_%1").arg(b.posicion));
        if (QWidget* w = tlbMenu_->widgetForAction(action)) {
            w->setMouseTracking(true);
            w->installEventFilter(this);
        }
        botones_.append(action);
    }
}

QAction* MDIFrm::botonToolbar(int posicion) const
{
    return posicion >= 1 && posicion <= botones_.size() ? botones_.at(posicion - 1) : nullptr;
}

bool MDIFrm::cargar()
{
    state_.formCode = QString::fromUtf16(kFormCode);
    sExtra_.clear();
    ModObjetos::ColocaVentana(*this, kLeft, kTop, kHeight, kWidth);
    show();
    // The frame is only known once shown; the size given is the outer one.
    ModObjetos::ColocaVentana(*this, kLeft, kTop, kHeight, kWidth);
    // The suite's place for it lies a few pixels off the screen's corner.
    ModObjetos::DentroDePantalla(*this);
    ModObjetos::PunteroEspera(true);

    state_.settings = leeConfiguracion(state_.iniPath);
    entraCarpetaSuite(state_.settings);
    OpcionesApertura options;
    options.connectionName = state_.connectionName;
    if (const auto failure = abreBaseDatos(state_.settings, state_.iniPath, options)) {
        ModObjetos::PunteroEspera(false);
        if (hooks_.errorConexion)
            hooks_.errorConexion(*failure);
        else
            MensajesInicio::errorConexion(*failure);
        return false;
    }
    sesionAbierta_ = true;

    state_.helpFile = state_.settings.sysPath + QStringLiteral("0834/") + QStringLiteral("Kv834.hlp");
    ResetBarraEstado(QString(), QString(), sExtra_, state_.formCode);
    ModObjetos::PunteroEspera(false);
    return true;
}

void MDIFrm::ResetBarraEstado(const QString& mensaje1, const QString& mensaje2, const QString& extra,
                              const QString& formulario)
{
    barraEstado_->reinicia(mensaje1, mensaje2, extra, formulario);
}

void MDIFrm::cierraSesion()
{
    if (!sesionAbierta_)
        return;
    sesionAbierta_ = false;
    cierraBaseDatos(state_.connectionName);
}

// --- commands ---------------------------------------------------------------

void MDIFrm::mnuNueva_Click()
{
    barraEstado_->limpiaMensaje();
    Reloj reloj;
    state_.currentOperation = 0;
    // The new form fills its lists first: a server restarted since the last
    // command would leave them empty.
    asegurarConexion(state_.db());
    if (hooks_.abreDeclaracionNueva)   // Frm834 in mode 0, no arguments
        hooks_.abreDeclaracionNueva(*this);
}

void MDIFrm::mnuModificar_Click()
{
    barraEstado_->limpiaMensaje();
    state_.currentOperation = 1;
    if (hooks_.abreContAbrir)   // FrmContAbrir, mode 1
        hooks_.abreContAbrir(*this, 1);
    ModObjetos::PunteroEspera(false);
}

void MDIFrm::mnuEliminar_Click()
{
    barraEstado_->limpiaMensaje();
    // The dialog gets its mode directly; the current operation stays as it was.
    if (hooks_.abreContAbrir)   // FrmContAbrir, mode 3
        hooks_.abreContAbrir(*this, 3);
    ModObjetos::PunteroEspera(false);
}

void MDIFrm::mnuImprimir_Click()
{
    barraEstado_->limpiaMensaje();
    state_.printSent = false;
    if (hooks_.abreImpresion)   // print selection of stored declarations
        hooks_.abreImpresion(*this, false);
}

void MDIFrm::mnuSalir_Click()
{
    cierraSesion();
    if (ayuda_)
        ayuda_->close();
    close();
    QCoreApplication::quit();
}

void MDIFrm::mnuRegistrar_Click()
{
    barraEstado_->limpiaMensaje();
    Reloj reloj;
    state_.currentOperation = 1;
    if (hooks_.abreContAbrirEnv)   // FrmContAbrirEnv: register the order number
        hooks_.abreContAbrirEnv(*this);
}

void MDIFrm::mnuEliminar1_Click()
{
    barraEstado_->limpiaMensaje();
    Reloj reloj;
    state_.currentOperation = 3;
    if (hooks_.abreContAbrirEnv)   // FrmContAbrirEnv: delete a sent declaration
        hooks_.abreContAbrirEnv(*this);
}

void MDIFrm::mnuImprimir1_Click()
{
    barraEstado_->limpiaMensaje();
    state_.printSent = true;
    if (hooks_.abreImpresion)   // print selection of sent declarations
        hooks_.abreImpresion(*this, true);
}

void MDIFrm::mnuDocIdent_Click()
{
    barraEstado_->limpiaMensaje();
    state_.currentOperation = 1;
    if (hooks_.abreConsultas)   // FrmConsultas: banks
        hooks_.abreConsultas(*this);
}

void MDIFrm::mnuUIT_Click()
{
    barraEstado_->limpiaMensaje();
    state_.currentOperation = 3;
    if (hooks_.abreConsultas)   // FrmConsultas: UIT values
        hooks_.abreConsultas(*this);
}

void MDIFrm::mnuContenido_Click()
{
    MostrarHelp();
}

void MDIFrm::mnuAcercade_Click()
{
    barraEstado_->limpiaMensaje();
    Reloj reloj;
    if (hooks_.abreAcercade)   // frmAcercade
        hooks_.abreAcercade(*this);
}

void MDIFrm::tlbMenu_ButtonClick(int posicion)
{
    switch (posicion) {
    case 1: mnuNueva_Click(); break;
    case 2: mnuModificar_Click(); break;
    case 3: mnuEliminar_Click(); break;
    case 4: mnuImprimir_Click(); break;
    case 5: mnuSalir_Click(); break;
    case 7: mnuRegistrar_Click(); break;
    case 10: MostrarHelp(); break;
    default: break;   // spacers
    }
}

void MDIFrm::MostrarHelp()
{
    barraEstado_->limpiaMensaje();
    QFile file(state_.helpFile);
    if (state_.helpFile.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        QMessageBox::warning(this, kCaption,
                             QStringLiteral("No se encuentra el archivo de ayuda %1").arg(state_.helpFile));
        return;
    }
    if (!ayuda_) {
        ayuda_ = new QTextBrowser(this);
        ayuda_->setObjectName(QStringLiteral("CMDlgHlp"));
        ayuda_->setWindowFlags(Qt::Window);
        ayuda_->setWindowTitle(QStringLiteral("Ayuda - ") + kCaption);
        ayuda_->setOpenExternalLinks(false);
        ayuda_->resize(ModObjetos::twipsAPixelesX(7200, this), ModObjetos::twipsAPixelesY(6000, this));
    }
    // The help file's links resolve beside it.
    ayuda_->setSearchPaths({QFileInfo(state_.helpFile).absolutePath()});
    ayuda_->setHtml(QString::fromUtf8(file.readAll()));
    ayuda_->show();
    ayuda_->raise();
    ayuda_->activateWindow();
}

// --- frame and pointer ------------------------------------------------------

void MDIFrm::closeEvent(QCloseEvent* event)
{
    cierraSesion();
    if (ayuda_)
        ayuda_->close();
    event->accept();
}

void MDIFrm::toolbarMouseMove(int x)
{
    for (int posicion : kBotonesConMensaje) {
        const QRect r = tlbMenu_->actionGeometry(botonToolbar(posicion));
        if (r.left() <= x && x <= r.left() + r.width())
            return;
    }
    barraEstado_->limpiaMensaje();
}

bool MDIFrm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        auto* widget = qobject_cast<QWidget*>(watched);
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (widget && (widget == tlbMenu_ || widget->parentWidget() == tlbMenu_)) {
            toolbarMouseMove(widget->mapTo(tlbMenu_, mouse->position().toPoint()).x());
            // Handled here: it must not reach the window behind, which would clear the message.
            if (mouse->buttons() == Qt::NoButton)
                return true;
        } else {
            barraEstado_->limpiaMensaje();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
