#pragma once
// The main window of Kv834: menus, toolbar and status bar; its load step
// reads the settings and opens the database. Every command opens one window
// modally; the windows are wired in through EnlacesMDIFrm.

#include "EstadoAplicacion.h"

#include <QMainWindow>
#include <QVector>

#include <functional>

class BarradeEstadoQVR;
class MDIFrm;
class QAction;
class QLabel;
class QTextBrowser;
class QToolBar;
struct FalloApertura;

// How each command opens its window. A hook that is not set does nothing.
// Each runs modally and returns when the window has closed; the current
// operation and the print flag are already in frm.estado().
struct EnlacesMDIFrm {
    std::function<void(MDIFrm& frm)> abreDeclaracionNueva;        // AbreDeclaracion(0, {}): Frm834 in mode 0
    std::function<void(MDIFrm& frm, int modo)> abreContAbrir;     // FrmContAbrir, mode 1 modify or 3 delete
    std::function<void(MDIFrm& frm)> abreContAbrirEnv;            // FrmContAbrirEnv (operation 1 or 3)
    std::function<void(MDIFrm& frm, bool enviadas)> abreImpresion; // print selection of stored/sent declarations
    std::function<void(MDIFrm& frm)> abreConsultas;               // FrmConsultas (operation 1 banks, 3 UIT)
    std::function<void(MDIFrm& frm)> abreAcercade;                // frmAcercade
    // Shows the open failure; by default the start-up's message box.
    std::function<void(const FalloApertura& failure)> errorConexion;
};

class MDIFrm : public QMainWindow {
    Q_OBJECT
public:
    explicit MDIFrm(EstadoAplicacion& state, QWidget* parent = nullptr);
    ~MDIFrm() override;

    static const QString kCaption;    // "834 Anticipo Adicional de Renta 3ra. Categoría - v 1.1"
    static constexpr int kBotones = 10;

    // The load step: form code, place, show, read the settings, open the
    // database, help file, status bar. False when the database could not be
    // opened: the message has been shown and the program must end.
    bool cargar();

    EstadoAplicacion& estado() { return state_; }
    BarradeEstadoQVR* barraEstado() const { return barraEstado_; }
    void fijaEnlaces(EnlacesMDIFrm hooks);

    // Routine 7: status bar mode 1 and its four panels.
    void ResetBarraEstado(const QString& mensaje1, const QString& mensaje2, const QString& extra,
                          const QString& formulario);

    // Toolbar button at position 1..10 (spacers included).
    QAction* botonToolbar(int posicion) const;
    QToolBar* toolbar() const { return tlbMenu_; }
    QTextBrowser* ventanaAyuda() const { return ayuda_; }

public slots:
    virtual void mnuNueva_Click();
    virtual void mnuModificar_Click();
    virtual void mnuEliminar_Click();
    virtual void mnuImprimir_Click();
    virtual void mnuSalir_Click();
    virtual void mnuRegistrar_Click();
    virtual void mnuEliminar1_Click();
    virtual void mnuImprimir1_Click();
    virtual void mnuDocIdent_Click();
    virtual void mnuUIT_Click();
    virtual void mnuContenido_Click();
    virtual void mnuAcercade_Click();
    // Dispatch on the button's position, 1 to 10; 6, 8 and 9 do nothing.
    void tlbMenu_ButtonClick(int posicion);
    void MostrarHelp();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void creaMenus();
    void creaToolbar();
    void toolbarMouseMove(int x);
    void cierraSesion();

    EstadoAplicacion& state_;
    EnlacesMDIFrm hooks_;
    QToolBar* tlbMenu_ = nullptr;
    QVector<QAction*> botones_;       // positions 1..10 at indexes 0..9
    QLabel* imgFondo_ = nullptr;
    QWidget* picture2_ = nullptr;
    BarradeEstadoQVR* barraEstado_ = nullptr;
    QTextBrowser* ayuda_ = nullptr;
    QString sExtra_;                  // the extra status text, empty at load
    bool sesionAbierta_ = false;
};
