#pragma once
// The print selection window: the list of stored (or sent) declarations,
// "Con Anexos", and the preview or direct print of the chosen one.

#include "ImpRep.h"
#include "ImpresionSpool.h"

#include <QDialog>
#include <QSqlDatabase>
#include <QString>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSqlQueryModel;
class QTableView;
class frmImpxPag;

// The main window's status-bar routine: first message, second message,
// extra text, form code.
using ResetBarraEstado =
    std::function<void(const QString& mensaje1, const QString& mensaje2, const QString& extra, const QString& formulario)>;

// What the print windows need from the program.
struct EntornoImpresion {
    QSqlDatabase db;
    QString sysUser;
    QString carpetaReportes;   // SysPath + "RPT"
    QString formulario;        // "0834"
    ResetBarraEstado resetBarraEstado;  // may be empty
    ImprimeHojas imprime = imprimeEnImpresoraPredeterminada;
};

class FrmTipPrnR : public QDialog {
    Q_OBJECT
public:
    FrmTipPrnR(EntornoImpresion entorno, bool enviadas, QWidget* parent = nullptr);

    QTableView* grdContrib() const { return grdContrib_; }
    QCheckBox* ChkAnexo() const { return chkAnexo_; }
    QPushButton* CmdImprimir(int i) const { return cmdImprimir_[i]; }
    QGroupBox* marco() const { return marco_; }
    int filas() const;
    // The context of the last print command (report code, file, pages).
    const ContextoReporte& contexto() const { return ctx_; }

    // Runs each time the page-range dialog has been built, before it is
    // shown (tests drive it here); by default nothing.
    std::function<void(frmImpxPag&)> alAbrirRango;

public slots:
    // 0 "&Preliminar", 1 "&Imprimir", 2 "&Salir".
    void CmdImprimir_Click(int indice);

    void done(int resultado) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cargaLista();
    void filaActual_Change();
    QString celda(int fila, int columna) const;

    EntornoImpresion entorno_;
    bool enviadas_;
    ContextoReporte ctx_;
    bool listaVaciaAlCargar_ = false;
    QSqlQueryModel* modelo_;
    QTableView* grdContrib_;
    QCheckBox* chkAnexo_;
    QPushButton* cmdImprimir_[3];
    QGroupBox* marco_;
};

// Routine 2 of the main window: opens the print selection for stored
// (enviadas false) or sent declarations, modally, and releases it.
struct EstadoAplicacion;
void abreSeleccionImpresion(QWidget* parent, EstadoAplicacion& state, bool enviadas, ResetBarraEstado resetBarraEstado);

// Routine 3: "Vprevia" shows the preview of the whole file modally; any
// other word prints every page of it without a window.
void abrePreview(QWidget* parent, const QString& carpetaReportes, const QString& archivo, const QString& como,
                 ImprimeHojas imprime = imprimeEnImpresoraPredeterminada);
