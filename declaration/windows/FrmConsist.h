#pragma once
// The inconsistency list: shows the file the last "&Validar" wrote, prints it
// on the default printer ("&Imprimir") and is accepted with "&Aceptar".

#include "ColaImpresion.h"

#include <QDateTime>
#include <QDialog>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

class QPainter;
class QPagedPaintDevice;
class QPlainTextEdit;
class QPushButton;

// One item of the printed list, in twips from the top left of the printable
// area, on a page counted from 0.
struct ElementoImpreso {
    int pagina = 0;
    bool esMarco = false;
    QRect marco;          // the frame around the list
    int x = 0;
    int y = 0;            // top of the text
    QString texto;
    bool negrita = false;
    bool operator==(const ElementoImpreso&) const = default;
};

// Where the printed list puts everything: header at 300 and 570 twips, line k
// at 1000 + 270 (k - 1), the total one line below the last, the frame from 720
// to 270 below the total. The 41st line starts a new page, laid out like the
// first one below the header.
QList<ElementoImpreso> disenoInconsistencias(const QStringList& lineas, const QDateTime& ahora);

// Draws the items on a paged device (a printer), 8-point Courier New.
void pintarInconsistencias(QPainter& p, QPagedPaintDevice& dispositivo, const QList<ElementoImpreso>& elementos);

class FrmConsist : public QDialog {
    Q_OBJECT
public:
    static const QString kCaption;        // "Inconsistencias detectadas"
    static const QString kTituloImpresion; // "Impresión"
    static const QString kSinImpresora;    // "No existe una impresora seleccionada.Verifique."
    static const QString kCancelada;       // "La Impresión ha sido Cancelada."

    // What "&Imprimir" shows when the job did not print: no printer, a
    // cancelled job, or "Error Técnico : (number) description".
    static QString mensajeImpresion(const ResultadoImpresion& r);

    // Reads the whole file into TxtPreliminar.
    explicit FrmConsist(const QString& rutaArchivo, QWidget* parent = nullptr);

    // True after "&Aceptar" (the list-accepted mark "A").
    bool aceptada() const { return aceptada_; }
    // How the last "&Imprimir" ended (the queue and the job's number).
    const ResultadoImpresion& ultimaImpresion() const { return ultimaImpresion_; }

private:
    void CmdImprimir_Click();
    void CmdAceptar_Click();

    QString ruta_;
    QPlainTextEdit* TxtPreliminar_;
    QPushButton* CmdImprimir_;
    QPushButton* CmdAceptar_;
    bool aceptada_ = false;
    ResultadoImpresion ultimaImpresion_;
};
