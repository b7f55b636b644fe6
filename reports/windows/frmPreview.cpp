#include "frmPreview.h"

#include "ImpRep.h"
#include "ModObjetos.h"
#include "ObjFunciones.h"
#include "PintorSpool.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QScrollBar>
#include <QStandardPaths>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const QColor kFondoPredeterminado(0xC0, 0xFF, 0xFF);  // &H00FFFFC0&

int twipsAPixeles(const QWidget* w, int twips, bool horizontal)
{
    const int dpi = horizontal ? w->logicalDpiX() : w->logicalDpiY();
    return int(qint64(twips) * dpi / kTwipsPorPulgada);
}

}  // namespace

PaginaPrevia::PaginaPrevia(QWidget* parent) : QWidget(parent), fondo_(kFondoPredeterminado)
{
    resize(twipsAPixeles(this, kAncho, true), twipsAPixeles(this, kAlto, false));
}

void PaginaPrevia::setContenido(const QList<ElementoSpool>& items, const QColor& fondo)
{
    items_ = items;
    fondo_ = fondo;
    update();
}

void PaginaPrevia::colocaTwips(int left, int top)
{
    move(twipsAPixeles(this, left, true), twipsAPixeles(this, top, false));
}

void PaginaPrevia::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), fondo_);
    p.setRenderHint(QPainter::TextAntialiasing);
    transformacionTwips(p, logicalDpiX(), logicalDpiY());
    dibujaPaginaSpool(p, items_);
}

const QString frmPreview::kPresPrevia = QStringLiteral("PresPrevia");
const QString frmPreview::kImprimir = QStringLiteral("IMPRIMIR");

frmPreview::frmPreview(const QString& carpetaReportes, ImprimeHojas imprime, QWidget* parent)
    : QDialog(parent), carpeta_(carpetaReportes), imprime_(std::move(imprime))
{
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(QStringLiteral("Presentación Preliminar"));
    creaControles();
    // Surface 0 always exists.
    superficies_.append(new PaginaPrevia(picFondo_));
    superficies_[0]->setObjectName(QStringLiteral("picPrevia_0"));
    resize(960, 720);
}

void frmPreview::creaControles()
{
    tlbPrevia_ = new QToolBar(this);
    tlbPrevia_->setObjectName(QStringLiteral("tlbPrevia"));
    // Caption with its mnemonic, and the key that does the same.
    struct Boton {
        const char* texto;
        QKeySequence tecla;
    };
    const Boton botones[] = {{"", {}},
                             {"Pag &Anterior", QKeySequence(Qt::Key_PageUp)},
                             {"Pag Sg&t", QKeySequence(Qt::Key_PageDown)},
                             {"&Imprimir", QKeySequence(Qt::CTRL | Qt::Key_P)},
                             {"&Salir", {}},
                             {"&Guardar PDF", QKeySequence(Qt::CTRL | Qt::Key_S)}};
    QWidget* anterior = nullptr;
    for (int i = 0; i < int(std::size(botones)); ++i) {
        const QString texto = QString::fromUtf8(botones[i].texto);
        QAction* a = tlbPrevia_->addAction(QString(texto).remove(u'&'));
        a->setObjectName(QStringLiteral("tlbPrevia_%1").arg(i + 1));
        const int posicion = i + 1;
        connect(a, &QAction::triggered, this, [this, posicion] { tlbPrevia_ButtonClick(posicion); });
        botones_.append(a);
        if (texto.isEmpty()) {
            a->setVisible(false);
            continue;
        }
        // The button shows the mnemonic; the action keeps the plain caption.
        a->setIconText(texto);
        a->setShortcut(botones[i].tecla);
        QWidget* boton = tlbPrevia_->widgetForAction(a);
        boton->setFocusPolicy(Qt::TabFocus);
        if (anterior)
            setTabOrder(anterior, boton);
        anterior = boton;
    }

    picFondo_ = new QWidget(this);
    picFondo_->setObjectName(QStringLiteral("picFondo"));
    picFondo_->setAutoFillBackground(true);
    // The page takes the focus first: the arrow keys scroll it, Tab goes on
    // to the buttons.
    picFondo_->setFocusPolicy(Qt::StrongFocus);
    picFondo_->setAccessibleName(QStringLiteral("Página"));
    setTabOrder(picFondo_, tlbPrevia_->widgetForAction(botones_.value(kAnterior - 1)));
    vsbPic0_ = new QScrollBar(Qt::Vertical, this);
    vsbPic1_ = new QScrollBar(Qt::Vertical, this);
    hScroll1_ = new QScrollBar(Qt::Horizontal, this);
    vsbPic0_->setObjectName(QStringLiteral("vsbPic_0"));
    vsbPic1_->setObjectName(QStringLiteral("vsbPic_1"));
    hScroll1_->setObjectName(QStringLiteral("HScroll1"));
    for (QScrollBar* b : {vsbPic0_, vsbPic1_})
        b->setRange(0, 11000);
    hScroll1_->setRange(0, 8000);
    for (QScrollBar* b : {vsbPic0_, vsbPic1_, hScroll1_}) {
        b->setSingleStep(300);
        b->setPageStep(3000);
        b->setFocusPolicy(Qt::NoFocus);
    }
    vsbPic0_->setAccessibleName(QStringLiteral("Desplazamiento vertical"));
    vsbPic1_->setAccessibleName(QStringLiteral("Desplazamiento vertical"));
    hScroll1_->setAccessibleName(QStringLiteral("Desplazamiento horizontal"));
    connect(vsbPic0_, &QScrollBar::valueChanged, this, [this](int v) { vsbPic_Change(0, v); });
    connect(vsbPic1_, &QScrollBar::valueChanged, this, [this](int v) { vsbPic_Change(1, v); });
    connect(hScroll1_, &QScrollBar::valueChanged, this, &frmPreview::HScroll1_Change);

    auto* grid = new QGridLayout;
    grid->addWidget(vsbPic1_, 0, 0);
    grid->addWidget(picFondo_, 0, 1);
    grid->addWidget(vsbPic0_, 0, 2);
    grid->addWidget(hScroll1_, 1, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tlbPrevia_);
    layout->addLayout(grid, 1);
    picFondo_->setFocus();
}

void frmPreview::keyPressEvent(QKeyEvent* event)
{
    QScrollBar* barra = nullptr;
    QAbstractSlider::SliderAction accion = QAbstractSlider::SliderNoAction;
    switch (event->key()) {
    case Qt::Key_Up: barra = vsbPic0_; accion = QAbstractSlider::SliderSingleStepSub; break;
    case Qt::Key_Down: barra = vsbPic0_; accion = QAbstractSlider::SliderSingleStepAdd; break;
    case Qt::Key_Left: barra = hScroll1_; accion = QAbstractSlider::SliderSingleStepSub; break;
    case Qt::Key_Right: barra = hScroll1_; accion = QAbstractSlider::SliderSingleStepAdd; break;
    default: break;
    }
    if (!barra || event->modifiers() != Qt::NoModifier) {
        QDialog::keyPressEvent(event);
        return;
    }
    barra->triggerAction(accion);
}

QAction* frmPreview::boton(int posicion) const { return botones_.value(posicion - 1); }

std::optional<DocumentoSpool> frmPreview::leeArchivo(const QString& archivo)
{
    const QString ruta = rutaArchivoSpool(carpeta_, archivo);
    if (!ObjFunciones().ExisteArchivo(ruta)) {
        QMessageBox::critical(this, MensajesImpresion::kTituloArchivo, MensajesImpresion::kArchivoNoExiste);
        return std::nullopt;
    }
    QString error;
    std::optional<DocumentoSpool> doc = leeArchivoSpool(ruta, &error);
    if (!doc) {
        QApplication::restoreOverrideCursor();
        QMessageBox::critical(this, MensajesImpresion::kTituloError, MensajesImpresion::errorTecnico(error));
    }
    return doc;
}

bool frmPreview::pDesencripta(const QString& archivo, const QString& tipo)
{
    sNombreArchivo_ = archivo;
    sTipo_ = tipo == kPresPrevia ? kPresPrevia : kImprimir;
    std::optional<DocumentoSpool> doc = leeArchivo(archivo);
    if (!doc)
        return false;
    if (sTipo_ == kImprimir) {
        // The hourglass covers the job, not the message about how it ended.
        ResultadoImpresion resultado;
        {
            ModObjetos::CursorEspera ocupado;
            resultado = imprime_(hojasImpresion(*doc, rango_), tituloTrabajo(archivo));
        }
        return informaImpresion(this, resultado);
    }
    ModObjetos::CursorEspera ocupado;

    const QList<QList<ElementoSpool>> paginas = superficiesPrevia(*doc, rango_);
    const QColor fondo = colorSpool(*doc).value_or(kFondoPredeterminado);
    while (superficies_.size() > paginas.size())
        delete superficies_.takeLast();
    while (superficies_.size() < paginas.size()) {
        auto* s = new PaginaPrevia(picFondo_);
        s->setObjectName(QStringLiteral("picPrevia_%1").arg(superficies_.size()));
        superficies_.append(s);
    }
    for (qsizetype i = 0; i < paginas.size(); ++i) {
        superficies_[i]->setContenido(paginas[i], fondo);
        superficies_[i]->setVisible(i == 0);
    }
    actual_ = 0;
    return true;
}

void frmPreview::muestraSolo(int indice)
{
    for (qsizetype i = 0; i < superficies_.size(); ++i) {
        if (i == indice) {
            superficies_[i]->colocaTwips(-hScroll1_->value(), 0);
            superficies_[i]->show();
        } else {
            superficies_[i]->hide();
        }
    }
}

void frmPreview::pMostrar(int nroHoja)
{
    if (nroHoja == 0) {
        actual_ = 0;
        superficies_[0]->colocaTwips(-hScroll1_->value(), 0);
        superficies_[0]->show();
    } else if (nroHoja == -2) {
        if (actual_ > 0)
            muestraSolo(--actual_);
    } else if (nroHoja == -1) {
        if (actual_ < paginas() - 1)
            muestraSolo(++actual_);
    }
    vsbPic0_->setValue(0);
    vsbPic1_->setValue(0);
}

void frmPreview::vsbPic_Change(int indice, int valor)
{
    if (PaginaPrevia* s = superficie(actual_))
        s->colocaTwips(-hScroll1_->value(), -valor);
    if (sincronizando_)
        return;
    sincronizando_ = true;
    vsbPic(1 - indice)->setValue(valor);
    sincronizando_ = false;
}

void frmPreview::HScroll1_Change(int valor)
{
    if (PaginaPrevia* s = superficie(actual_))
        s->colocaTwips(-valor, -vsbPic0_->value());
}

void frmPreview::tlbPrevia_ButtonClick(int posicion)
{
    switch (posicion) {
    case kAnterior: pMostrar(-2); break;
    case kSiguiente: pMostrar(-1); break;
    case kBotonImprimir: pDesencripta(sNombreArchivo_, kImprimir); break;
    case kSalir: close(); break;
    case kPdf: pideArchivoPdf(); break;
    default: break;
    }
}

QString frmPreview::rutaPdfPropuesta() const
{
    QString carpeta = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (carpeta.isEmpty() || !QFileInfo(carpeta).isDir())
        carpeta = QDir::homePath();
    const QString nombre = archivoPdf_.isEmpty()
                               ? QFileInfo(sNombreArchivo_).completeBaseName() + QStringLiteral(".pdf")
                               : archivoPdf_;
    return QDir(carpeta).filePath(nombre);
}

void frmPreview::pideArchivoPdf()
{
    const QString ruta = QFileDialog::getSaveFileName(this, QStringLiteral("Guardar como PDF"), rutaPdfPropuesta(),
                                                      QStringLiteral("Documento PDF (*.pdf)"));
    if (!ruta.isEmpty())
        guardaPdf(ruta);
}

bool frmPreview::guardaPdf(const QString& ruta)
{
    std::optional<DocumentoSpool> doc = leeArchivo(sNombreArchivo_);
    if (!doc)
        return false;
    QString error;
    bool ok = false;
    {
        ModObjetos::CursorEspera ocupado;
        ok = escribePdfSpool(ruta, hojasImpresion(*doc, rango_), &error);
    }
    if (!ok)
        QMessageBox::critical(this, MensajesImpresion::kTituloError, MensajesImpresion::errorTecnico(error));
    return ok;
}
