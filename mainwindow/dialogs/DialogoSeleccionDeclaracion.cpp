#include "DialogoSeleccionDeclaracion.h"

#include "ApoyoDialogos.h"
#include "MotorSql.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSqlError>
#include <QTableView>
#include <QVBoxLayout>

#include <optional>

namespace {
const QString kListErrorTitle = QStringLiteral("Error");
}

DialogoSeleccionDeclaracion::DialogoSeleccionDeclaracion(ContextoListaDeclaraciones context, QWidget* parent)
    : QDialog(parent),
      context_(std::move(context)),
      model_(new ModeloConsultaGrilla(this)),
      frame_(new QGroupBox(this)),
      label1_(new QLabel(frame_)),
      grid_(new QTableView(frame_)),
      action_(new QPushButton(this)),
      salir_(new QPushButton(QStringLiteral("&Salir"), this))
{
    frame_->setObjectName(QStringLiteral("Frame1"));
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setWordWrap(true);
    grid_->setObjectName(QStringLiteral("grdContrib"));
    action_->setObjectName(QStringLiteral("CmdOpciones_0"));
    salir_->setObjectName(QStringLiteral("CmdOpciones_1"));

    preparaGrillaSoloLectura(grid_);
    grid_->setModel(model_);

    auto* frameLayout = new QVBoxLayout(frame_);
    frameLayout->addWidget(label1_);
    frameLayout->addWidget(grid_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(action_);
    buttons->addWidget(salir_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame_);
    layout->addLayout(buttons);

    connect(action_, &QPushButton::clicked, this, &DialogoSeleccionDeclaracion::alAccionar);
    connect(salir_, &QPushButton::clicked, this, &DialogoSeleccionDeclaracion::onSalir);
    connect(grid_, &QTableView::doubleClicked, this, &DialogoSeleccionDeclaracion::alAccionar);
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &DialogoSeleccionDeclaracion::alCambiarFilaActual);
}

void DialogoSeleccionDeclaracion::fijaTextos(const QString& caption, const QString& frameTitle,
                                          const QString& instruction, const QString& actionText)
{
    setWindowTitle(caption);
    frame_->setTitle(frameTitle);
    label1_->setText(instruction);
    action_->setText(actionText);
}

void DialogoSeleccionDeclaracion::carga(int row)
{
    std::optional<QSqlError> failure;
    {
        CursorDeEspera wait;
        QSqlError error;
        std::optional<LoteSql::Resultado> rows = consultaLista(&error);
        // The server restarted since the last statement: the list is asked
        // again on a connection opened anew.
        const bool lost = !rows && !conexionViva(context_.db);
        if (lost && reabrirConexion(context_.db))
            rows = consultaLista(&error);
        if (!rows)
            failure = context_.db.isOpen() ? error : context_.db.lastError();
        model_->fijaFilas(rows ? std::move(*rows) : LoteSql::Resultado{});
        preparaColumnas();
    }
    // The list is there: the dialog waits for the user with the normal
    // pointer, whatever hourglass the command that opened it set.
    ModObjetos::PunteroEspera(false);
    if (failure) {
        muestraFalloLista(*failure);
        return;
    }
    if (model_->rowCount() == 0)
        return;
    // Rows arrive in chunks; fetch only as far as the row to show again.
    while (row >= model_->rowCount() && model_->canFetchMore(QModelIndex()))
        model_->fetchMore(QModelIndex());
    if (row < 0 || row >= model_->rowCount())
        row = 0;
    grid_->setCurrentIndex(model_->index(row, 0));
}

void DialogoSeleccionDeclaracion::muestraFalloLista(const QSqlError& error)
{
    // Closing the box activates the dialog again: that activation does not
    // ask for the list once more.
    failureShown_ = true;
    QMessageBox box(QMessageBox::Critical, kListErrorTitle, textoFalloLista(error), QMessageBox::Ok, this);
    box.exec();
}

void DialogoSeleccionDeclaracion::pCargadatos()
{
    carga(filaActual());
}

void DialogoSeleccionDeclaracion::sueltaLista()
{
    model_->clear();
}

int DialogoSeleccionDeclaracion::filaActual() const
{
    if (model_->rowCount() == 0)
        return -1;
    const int row = grid_->currentIndex().row();
    return row < 0 ? 0 : row;
}

int DialogoSeleccionDeclaracion::rowCount() const { return model_->rowCount(); }

QVariant DialogoSeleccionDeclaracion::valorElegido(int column) const
{
    const int row = filaActual();
    if (row < 0)
        return {};
    return model_->valor(row, column);
}

QString DialogoSeleccionDeclaracion::textoElegido(int column) const { return valorElegido(column).toString(); }

QString DialogoSeleccionDeclaracion::rucElegido() const { return textoElegido(0); }
QString DialogoSeleccionDeclaracion::nombreElegido() const { return textoElegido(1); }
QString DialogoSeleccionDeclaracion::periodoElegido() const { return textoElegido(2); }

bool DialogoSeleccionDeclaracion::confirm(const QString& question)
{
    QMessageBox box(QMessageBox::Question, windowTitle(), question, QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void DialogoSeleccionDeclaracion::alAccionar()
{
    if (model_->rowCount() == 0)
        return;
    // The question boxes and the declaration form take the activation away
    // and give it back; the action reloads the list itself.
    inAction_ = true;
    ejecutaAccion();
    inAction_ = false;
}

void DialogoSeleccionDeclaracion::onSalir()
{
    if (context_.showInStatusBar)
        context_.showInStatusBar(QString(), QString(), QString());
    sueltaLista();
    accept();
}

void DialogoSeleccionDeclaracion::alCambiarFilaActual()
{
    if (!isVisible() || !context_.showInStatusBar || filaActual() < 0)
        return;
    context_.showInStatusBar(rucElegido(), nombreElegido(), periodoElegido());
}

bool DialogoSeleccionDeclaracion::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate) {
        // The first activation follows the load; later ones come back from
        // another window, which may have changed the declarations.
        if (activatedBefore_ && !inAction_ && !failureShown_)
            pCargadatos();
        activatedBefore_ = true;
        failureShown_ = false;
    }
    return QDialog::event(e);
}
