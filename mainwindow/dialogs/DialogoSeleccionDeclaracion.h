#pragma once
// What the two declaration selection dialogs share: a frame around the grid
// grdContrib, the instruction label Label1, the buttons CmdOpciones(0) (the
// action) and CmdOpciones(1) ("&Salir"), a list read whole in one statement,
// reloaded when the dialog is activated again, and the report of the current
// row to the main window's status bar.

#include "ConsultasListas.h"

#include <QDialog>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QVariantList>

#include <functional>
#include <optional>

class QGroupBox;
class QLabel;
class QPushButton;
class QTableView;
class ModeloConsultaGrilla;

// Shows the current row's RUC, name and year in the main window's status bar;
// three empty texts clear its message panels.
using FnBarraEstado = std::function<void(QString ruc, QString nombre, QString periodo)>;

// Opens the declaration form (AbreDeclaracion) in a mode with its arguments:
// RUC, name, sent flag, and for sent declarations the correlative and control.
using FnAbreDeclaracion = std::function<void(int mode, QVariantList values)>;

struct ContextoListaDeclaraciones {
    QSqlDatabase db;
    QString formCode;          // "0834"
    QString sysUser;
    FnBarraEstado showInStatusBar;        // may be empty
    FnAbreDeclaracion openDeclaration;  // may be empty
};

class DialogoSeleccionDeclaracion : public QDialog {
    Q_OBJECT
public:
    // The selected row's values (the first row when none is current); empty
    // texts when the list is empty.
    QString rucElegido() const;
    QString nombreElegido() const;
    QString periodoElegido() const;   // the third column, the year the form reads
    int filaActual() const;            // -1 when the list is empty
    int rowCount() const;              // rows given to the grid so far

    QTableView* grid() const { return grid_; }

    // Reloads the list; the row at the current position stays current when it
    // still exists, else the first row is.
    void pCargadatos();

protected:
    DialogoSeleccionDeclaracion(ContextoListaDeclaraciones context, QWidget* parent);

    void fijaTextos(const QString& caption, const QString& frameTitle, const QString& instruction,
                  const QString& actionText);

    // The list's rows; nothing, with *error set, when they could not be read.
    virtual std::optional<LoteSql::Resultado> consultaLista(QSqlError* error) const = 0;
    // Puts captions, formats and widths on the grid's columns.
    virtual void preparaColumnas() = 0;
    // The action on the selected row; only called when the list has rows.
    virtual void ejecutaAccion() = 0;

    // Loads the list; keeps the row at position `row` current when it exists.
    void carga(int row);
    // Empties the grid before the tables are written; the next load fills it.
    void sueltaLista();

    QString textoElegido(int column) const;
    QVariant valorElegido(int column) const;

    // Yes/No question box: question icon, "No" by default, titled with the
    // dialog's caption.
    bool confirm(const QString& question);

    const ContextoListaDeclaraciones& context() const { return context_; }
    ModeloConsultaGrilla* modelo() const { return model_; }

    bool event(QEvent* event) override;

private:
    void alAccionar();
    void onSalir();
    void alCambiarFilaActual();
    // A list that could not be read is told, never shown as empty.
    void muestraFalloLista(const QSqlError& error);

    ContextoListaDeclaraciones context_;
    ModeloConsultaGrilla* model_;
    QGroupBox* frame_;
    QLabel* label1_;
    QTableView* grid_;
    QPushButton* action_;
    QPushButton* salir_;
    bool activatedBefore_ = false;
    bool inAction_ = false;
    bool failureShown_ = false;
};
