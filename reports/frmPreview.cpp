#include "frmPreview.h"

#include "ImpRep.h"
#include "ModObjetos.h"
#include "ObjFunciones.h"
#include "SpoolPainter.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>
#include <QPainter>
#include <QScrollBar>
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

void PaginaPrevia::setContenido(const QList<SpoolItem>& items, const QColor& fondo)
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
    twipsTransform(p, logicalDpiX(), logicalDpiY());
    drawSpoolPage(p, items_);
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
    const QString textos[] = {QString(), QStringLiteral("Pag Anterior"), QStringLiteral("Pag Sgt"),
                              QStringLiteral("Imprimir"), QStringLiteral("Salir"), QStringLiteral("Guardar PDF")};
    for (int i = 0; i < int(std::size(textos)); ++i) {
        QAction* a = tlbPrevia_->addAction(textos[i]);
        a->setObjectName(QStringLiteral("tlbPrevia_%1").arg(i + 1));
        if (textos[i].isEmpty())
            a->setVisible(false);
        const int posicion = i + 1;
        connect(a, &QAction::triggered, this, [this, posicion] { tlbPrevia_ButtonClick(posicion); });
        botones_.append(a);
    }

    picFondo_ = new QWidget(this);
    picFondo_->setObjectName(QStringLiteral("picFondo"));
    picFondo_->setAutoFillBackground(true);
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
    }
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
}

QAction* frmPreview::boton(int posicion) const { return botones_.value(posicion - 1); }

std::optional<SpoolDocument> frmPreview::leeArchivo(const QString& archivo)
{
    const QString ruta = spoolFilePath(carpeta_, archivo);
    if (!ObjFunciones().ExisteArchivo(ruta)) {
        QMessageBox::critical(this, MensajesImpresion::kTituloArchivo, MensajesImpresion::kArchivoNoExiste);
        return std::nullopt;
    }
    QString error;
    std::optional<SpoolDocument> doc = readSpoolFile(ruta, &error);
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
    std::optional<SpoolDocument> doc = leeArchivo(archivo);
    if (!doc)
        return false;
    if (sTipo_ == kImprimir) {
        // The hourglass covers the job, not the message about how it ended.
        ResultadoImpresion resultado;
        {
            ModObjetos::CursorEspera ocupado;
            resultado = imprime_(printSheets(*doc, rango_), tituloTrabajo(archivo));
        }
        return informaImpresion(this, resultado);
    }
    ModObjetos::CursorEspera ocupado;

    const QList<QList<SpoolItem>> paginas = previewSurfaces(*doc, rango_);
    const QColor fondo = spoolColor(*doc).value_or(kFondoPredeterminado);
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

void frmPreview::pideArchivoPdf()
{
    const QString sugerido = carpeta_ + u'/' + QFileInfo(sNombreArchivo_).completeBaseName() + QStringLiteral(".pdf");
    const QString ruta = QFileDialog::getSaveFileName(this, QStringLiteral("Guardar como PDF"), sugerido,
                                                      QStringLiteral("Documento PDF (*.pdf)"));
    if (!ruta.isEmpty())
        guardaPdf(ruta);
}

bool frmPreview::guardaPdf(const QString& ruta)
{
    std::optional<SpoolDocument> doc = leeArchivo(sNombreArchivo_);
    if (!doc)
        return false;
    QString error;
    bool ok = false;
    {
        ModObjetos::CursorEspera ocupado;
        ok = writeSpoolPdf(ruta, printSheets(*doc, rango_), &error);
    }
    if (!ok)
        QMessageBox::critical(this, MensajesImpresion::kTituloError, MensajesImpresion::errorTecnico(error));
    return ok;
}
