#pragma once
// The print preview: reads a spool file and shows its pages (or the pages of
// the chosen range) as surfaces of 18000 x 15000 twips, pages through them,
// prints the same pages again and saves them as a PDF file.

#include "ImpresionSpool.h"
#include "LectorSpool.h"

#include <QColor>
#include <QDialog>
#include <QList>
#include <QString>
#include <optional>

class QAction;
class QScrollBar;
class QToolBar;

// One page surface, drawn in twips over its background colour.
class PaginaPrevia : public QWidget {
    Q_OBJECT
public:
    static constexpr int kAncho = 18000;  // twips
    static constexpr int kAlto = 15000;

    explicit PaginaPrevia(QWidget* parent = nullptr);
    void setContenido(const QList<ElementoSpool>& items, const QColor& fondo);
    const QList<ElementoSpool>& items() const { return items_; }
    QColor fondo() const { return fondo_; }
    // Place of the surface in twips (both zero or negative while scrolled).
    void colocaTwips(int left, int top);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<ElementoSpool> items_;
    QColor fondo_;
};

class frmPreview : public QDialog {
    Q_OBJECT
public:
    // Words of sTipo.
    static const QString kPresPrevia;  // "PresPrevia": build the surfaces
    static const QString kImprimir;    // "IMPRIMIR": print

    // Toolbar positions.
    enum Boton { kNada = 1, kAnterior = 2, kSiguiente = 3, kBotonImprimir = 4, kSalir = 5, kPdf = 6 };

    explicit frmPreview(const QString& carpetaReportes, ImprimeHojas imprime = imprimeEnImpresoraPredeterminada,
                        QWidget* parent = nullptr);

    // The file name "Guardar PDF" proposes in the user's documents folder;
    // by default the spool file's name.
    void setArchivoPdf(const QString& nombre) { archivoPdf_ = nombre; }
    QString rutaPdfPropuesta() const;

    // The range flag and its pages; nothing means every page.
    void setRango(const std::optional<RangoPaginasSpool>& rango) { rango_ = rango; }
    std::optional<RangoPaginasSpool> rango() const { return rango_; }

    // Reads the spool file from the report folder: with "PresPrevia" builds
    // the surfaces, with any other word prints the pages in range. Shows the
    // failure messages itself; false when nothing was shown or printed.
    bool pDesencripta(const QString& archivo, const QString& tipo);
    // 0 shows surface 0, -2 the previous page, -1 the next one.
    void pMostrar(int nroHoja);
    // Writes the pages in range to a PDF file, drawn as the printer draws.
    bool guardaPdf(const QString& ruta);

    QString sNombreArchivo() const { return sNombreArchivo_; }
    QString sTipo() const { return sTipo_; }
    int paginas() const { return int(superficies_.size()); }
    int paginaActual() const { return actual_; }
    PaginaPrevia* superficie(int i) const { return superficies_.value(i); }
    QScrollBar* vsbPic(int i) const { return i == 0 ? vsbPic0_ : vsbPic1_; }
    QScrollBar* HScroll1() const { return hScroll1_; }
    QToolBar* tlbPrevia() const { return tlbPrevia_; }
    QAction* boton(int posicion) const;

public slots:
    void tlbPrevia_ButtonClick(int posicion);

protected:
    // The arrow keys scroll the page on show.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void creaControles();
    void vsbPic_Change(int indice, int valor);
    void HScroll1_Change(int valor);
    void muestraSolo(int indice);
    void pideArchivoPdf();
    // The file read back; nothing (and the message shown) when missing or unreadable.
    std::optional<DocumentoSpool> leeArchivo(const QString& archivo);

    QString carpeta_;
    QString archivoPdf_;
    ImprimeHojas imprime_;
    std::optional<RangoPaginasSpool> rango_;
    QString sNombreArchivo_;
    QString sTipo_;
    QList<PaginaPrevia*> superficies_;
    int actual_ = 0;
    QWidget* picFondo_ = nullptr;
    QScrollBar* vsbPic0_ = nullptr;
    QScrollBar* vsbPic1_ = nullptr;
    QScrollBar* hScroll1_ = nullptr;
    QToolBar* tlbPrevia_ = nullptr;
    QList<QAction*> botones_;
    bool sincronizando_ = false;
};
