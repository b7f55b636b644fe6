#pragma once
// The page-range dialog: the report's page total, first and last page, and
// the preview of that range, as often as the user asks.

#include "ImpresionSpool.h"
#include "LectorSpool.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;
class frmPreview;

class frmImpxPag : public QDialog {
    Q_OBJECT
public:
    frmImpxPag(const QString& carpetaReportes, const QString& archivo, int totalPaginas,
               ImprimeHojas imprime = imprimeEnImpresoraPredeterminada, QWidget* parent = nullptr);

    // The checks of "&Preliminar", in order: the message of the first that
    // fails, or an empty text and *rango filled (pages as 16-bit numbers).
    static QString validaRango(const QString& desde, const QString& hasta, int totalPaginas,
                               RangoPaginasSpool* rango);

    QLineEdit* txtTotPaginas() const { return txtTotPaginas_; }
    QLineEdit* txtPagDesde() const { return txtPagDesde_; }
    QLineEdit* txtPagHasta() const { return txtPagHasta_; }
    QPushButton* cmdAccion(int i) const { return i == 0 ? cmdPreliminar_ : cmdCancelar_; }
    std::optional<RangoPaginasSpool> rango() const { return rango_; }
    // The PDF file name its previews propose.
    void setArchivoPdf(const QString& nombre) { archivoPdf_ = nombre; }

    // Runs each time a preview has been built, before it is shown (tests
    // look at it here); by default nothing.
    std::function<void(frmPreview&)> alAbrirPreview;

public slots:
    void cmdAccion_Click(int indice);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString carpeta_;
    QString archivo_;
    QString archivoPdf_;
    int total_;
    ImprimeHojas imprime_;
    std::optional<RangoPaginasSpool> rango_;
    QLineEdit* txtTotPaginas_;
    QLineEdit* txtPagDesde_;
    QLineEdit* txtPagHasta_;
    QPushButton* cmdPreliminar_;
    QPushButton* cmdCancelar_;
};
