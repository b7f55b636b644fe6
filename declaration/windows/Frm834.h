#pragma once
// "834 Anticipo Adicional de Renta 3ra. Categoría": the window in which one
// declaration of form 0834 is entered. The declaration itself lives in a
// Declaracion834 model; the window shows it, feeds it what the user types and
// follows its changes (the calculation cascade runs in the model).
//
// "&Validar", "&Grabar", "&Salir" and the tab-0 check run the commands of
// Comandos834.h; the window answers them through comandos834::Interfaz.

#include "Comandos834.h"
#include "Declaracion834.h"
#include "Lectura834.h"
#include "ObjFunciones.h"

#include <QDialog>
#include <QHash>
#include <QMessageBox>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

#include <array>
#include <functional>
#include <optional>

class FormaDePagoQVR;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTabWidget;
class QWidget;

// The main window's status bar: RUC, name, year and user.
using BarraEstadoFn = std::function<void(const QString& ruc, const QString& nombre, const QString& periodo,
                                         const QString& usuario)>;

// What the form needs from whoever opens it.
struct ContextoDeclaracion {
    QSqlDatabase db;
    QString formulario = QStringLiteral("0834");
    QString sysUser;
    QString sysPath;                     // suite folder; "&Validar" writes Mens.txt there
    BarraEstadoFn barraEstado;           // may be empty
    QString periodoSeleccionado;         // PERIODO of the opening dialog's selected row (mode 1)
    QString nordenSeleccionado;          // NORDEN of the sent-declaration dialog's selected row
    std::function<void()> liberaPreview; // run after the form closes; may be empty
};

class Frm834 : public QDialog, public comandos834::Interfaz {
    Q_OBJECT
public:
    static const QString kCaption;   // "834 Anticipo Adicional de Renta 3ra. Categoría"

    explicit Frm834(ContextoDeclaracion contexto, QWidget* parent = nullptr);

    // ---- Values the opener sets before the form is shown (AbreDeclaracion):
    // mode 1 takes RUC, name and sent flag, a sent declaration also CORREL and
    // CONTROL.
    void setApertura(int modo, const QVariantList& valores);
    int iAccion() const { return decl_.iAccion; }
    bool bEnviada() const { return decl_.bEnviada; }
    QString sRuc() const { return decl_.dato(Declaracion834::Dato::Ruc); }
    QString sPeriodo;

    // The load (steps 1 to 13); runs once, at the latest when first shown.
    void cargar();

    bool CargaCasillas();
    // The key of the declaration shown (sRuc, sPeriodo, form, sent, CORREL).
    lectura834::Clave clave() const;

    // ---- What the commands ask of the window (comandos834::Interfaz)
    void mostrar(const validacion834::Resultado& aviso) override;
    bool preguntar(const QString& texto, bool noPorDefecto = false) override;
    int pestanaActual() const override;
    void seleccionarPestana(int pestana) override;
    bool mostrarInconsistencias(const QString& rutaArchivo) override;
    void ocupado(bool si) override;
    // Closes the form (no questions asked); the status bar keeps only the year.
    void cerrar() override;

    // The commands' state (last-save state, list-accepted mark), reset at load.
    const comandos834::Estado& estadoComandos() const { return estado_; }

    // ---- State
    Declaracion834& declaracion() { return decl_; }
    const Declaracion834& declaracion() const { return decl_; }
    const ContextoDeclaracion& contexto() const { return contexto_; }
    QString nuevaDeclaracion() const { return nuevaDeclaracion_; }   // "S", "N" or "" before a choice
    // The RUC shown: first 11 characters of CmbRuc (mode 0) or TxtNumRuc, trimmed.
    QString rucMostrado() const;

    // ---- Controls
    QLineEdit* txtValor(int casilla) const { return txtValor_.value(casilla); }
    QLabel* etiquetaCasilla(int casilla) const { return etiqueta_.value(casilla); }
    QTabWidget* sstab1() const { return SSTab1_; }
    QComboBox* cmbRuc() const { return CmbRuc_; }
    QLineEdit* txtNumRuc() const { return TxtNumRuc_; }
    QLineEdit* txtRazon() const { return TxtRazon_; }
    QLineEdit* txtTelefono() const { return TxtTelefono_; }
    QLineEdit* mkePeriodo() const { return MkePeriodo_; }
    QRadioButton* opcion(Declaracion834::Pregunta pregunta, int indice) const;
    QGroupBox* fraNOrden() const { return fraNOrden_; }
    QLineEdit* txtNumOrdenE(int indice) const { return TxtNumOrdenE_[indice]; }
    QComboBox* cboTipDocRepLegal() const { return cboTipDocRepLegal_; }
    QLineEdit* txtApellidoRL() const { return txtApellidoRL_; }
    QLineEdit* txtNombreRL() const { return txtNombreRL_; }
    FormaDePagoQVR* formaDePago() const { return FormaDePagoQVR1_; }
    QScrollBar* vScroll1() const { return VScroll1_; }
    QWidget* frame26() const { return Frame26_; }
    QWidget* frame34() const { return Frame34_; }
    QLineEdit* txtAyuda() const { return TxtAyuda_; }
    QLineEdit* txtAyuda1() const { return TxtAyuda1_; }
    QPushButton* cmdValidar() const { return CmdValidar_; }
    QPushButton* cmdGrabar() const { return CmdGrabar_; }
    QPushButton* cmdCancelar() const { return CmdCancelar_; }
    QLabel* lblEncabezadoActivos(int pagina) const { return pagina == 0 ? lblTab2_41_ : lblTab2_168_; }

public slots:
    void reject() override;

protected slots:
    // "&Validar", "&Grabar" and "&Salir".
    virtual void onValidar();
    virtual void onGrabar();
    virtual void onSalir();

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void setSRuc(const QString& ruc) { decl_.setDato(Declaracion834::Dato::Ruc, ruc); }
    QString sRazonSocial;
    void pCargaIdent(int iAccion);
    void LlenaContribuyentes();
    // Tells the status bar RUC, name, year and the suite user.
    void informaBarraEstado(const QString& ruc, const QString& nombre, const QString& periodo);
    // A message box titled with the form's caption (or `titulo`); returns the button pressed.
    int mensaje(QMessageBox::Icon icono, const QString& texto,
                QMessageBox::StandardButtons botones = QMessageBox::Ok, const QString& titulo = {});
    // What the checks read besides the model: the RUC shown, the
    // new-declaration flag, the year field's text and the database.
    validacion834::Contexto contextoValidacion() const;
    // The exercise rule applied when the year field is left (validacion834::ValidaPeriodo).
    std::function<bool(Frm834&)> validaPeriodo;

    // The asset-page headers for the exercise shown and the adjustment answer.
    void actualizaEncabezados();

    void construye();
    QWidget* construyeIdentificacion();
    QWidget* construyeActivos();
    QWidget* construyePagina(casillas834::Pestana pestana, casillas834::Pagina pagina, QWidget* padre);
    QWidget* construyeComplementaria();
    QLineEdit* creaCasilla(const casillas834::Casilla& c, QWidget* padre);
    void nombraCasilla(int casilla);
    void conectaModelo();

    // Events
    void CmbRuc_Click(int indice);
    void MkePeriodo_LostFocus();
    void TxtRazon_Change();
    void SSTab1_Click(int pestana);
    void VScroll1_Change(int valor);
    void cboTipDocRepLegal_Click(int indice);
    void opcion_Click(Declaracion834::Pregunta pregunta, int indice);
    void teclaCasilla(int casilla, QKeyEvent* tecla, bool* consumida);
    void enterCasilla(int casilla);
    void irAPaginaActivos(int pagina, int casilla, Qt::FocusReason razon);
    bool cruzaPaginaActivos(int casilla, const QKeyEvent* tecla);
    void abreAnexo105();
    void documentoCambiado();

    // Mirrors of the model
    void muestraTexto(QLineEdit* campo, const QString& texto);
    void muestraCasilla(int casilla, const QString& texto);
    void muestraEstado(int casilla);
    void muestraRespuesta(Declaracion834::Pregunta pregunta);
    void muestraDato(Declaracion834::Dato dato);

    // Help lines
    void ayudaPorDefecto();
    void ayudaCasilla(int casilla);

    bool refrescaDetalle105();
    void sigueDetalle105();
    // A read that failed: its error is shown and the form locked, so that
    // nothing taken for "no row" is ever written. Once locked, later failures
    // add no message.
    void lecturaFallida(const QString& error);
    void lecturaFallida(const QString& queOcurrio, const QString& error);
    // What happened in Spanish, the server's loss when that was the cause,
    // then the driver's text.
    QString textoFalloLectura(const QString& queOcurrio, const QString& error);
    QWidget* controlDeFoco(validacion834::Foco foco) const;
    comandos834::Entorno entorno() const;
    void bloqueaFormulario();        // tabs, "&Validar", "&Grabar" off; "&Salir" default
    void bloqueaEnviada();
    QString tipoDocumento() const;   // the whole item of the chosen document type
    int largoDocumento() const;      // box 226 length from the chosen document type
    // Nothing when the check could not be made (its error has been shown).
    std::optional<bool> existeEnCab(const QString& ruc, const QString& periodo);
    void cambiaRuc(const QString& ruc);   // sRuc, forgetting the stamp of another key
    void avanzaFoco();

    ContextoDeclaracion contexto_;
    ObjFunciones funciones_;
    Declaracion834 decl_;
    QHash<int, QLineEdit*> txtValor_;
    QHash<int, QLabel*> etiqueta_;
    QHash<QObject*, int> casillaDe_;
    std::array<std::array<QRadioButton*, 2>, 4> opt_{};

    QTabWidget* SSTab1_ = nullptr;
    QComboBox* CmbRuc_ = nullptr;
    QLineEdit* TxtNumRuc_ = nullptr;
    QLineEdit* TxtRazon_ = nullptr;
    QLineEdit* TxtTelefono_ = nullptr;
    QLineEdit* MkePeriodo_ = nullptr;
    QGroupBox* Frame17_ = nullptr;
    QGroupBox* fraNOrden_ = nullptr;
    std::array<QLineEdit*, 2> TxtNumOrdenE_{};
    QWidget* Frame26_ = nullptr;
    QWidget* Frame34_ = nullptr;
    QScrollBar* VScroll1_ = nullptr;
    QLabel* lblTab2_41_ = nullptr;
    QLabel* lblTab2_168_ = nullptr;
    FormaDePagoQVR* FormaDePagoQVR1_ = nullptr;
    QGroupBox* Frame7_ = nullptr;
    QComboBox* cboTipDocRepLegal_ = nullptr;
    QLineEdit* txtApellidoRL_ = nullptr;
    QLineEdit* txtNombreRL_ = nullptr;
    QLineEdit* TxtAyuda_ = nullptr;
    QLineEdit* TxtAyuda1_ = nullptr;
    QPushButton* CmdValidar_ = nullptr;
    QPushButton* CmdGrabar_ = nullptr;
    QPushButton* CmdCancelar_ = nullptr;

    comandos834::Estado estado_;
    QString nuevaDeclaracion_;
    int iTabActual_ = 0;
    bool cargado_ = false;
    bool activado_ = false;
    bool mostrando_ = false;          // the window is copying the model into a control
    bool enSalidaPeriodo_ = false;
};
