#include "DeclarationSelectionDialog.h"

#include "DialogSupport.h"
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

DeclarationSelectionDialog::DeclarationSelectionDialog(DeclarationListContext context, QWidget* parent)
    : QDialog(parent),
      context_(std::move(context)),
      model_(new GridQueryModel(this)),
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

    setUpReadOnlyGrid(grid_);
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

    connect(action_, &QPushButton::clicked, this, &DeclarationSelectionDialog::onAction);
    connect(salir_, &QPushButton::clicked, this, &DeclarationSelectionDialog::onSalir);
    connect(grid_, &QTableView::doubleClicked, this, &DeclarationSelectionDialog::onAction);
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &DeclarationSelectionDialog::onCurrentRowChanged);
}

void DeclarationSelectionDialog::setTexts(const QString& caption, const QString& frameTitle,
                                          const QString& instruction, const QString& actionText)
{
    setWindowTitle(caption);
    frame_->setTitle(frameTitle);
    label1_->setText(instruction);
    action_->setText(actionText);
}

void DeclarationSelectionDialog::load(int row)
{
    std::optional<QSqlError> failure;
    {
        WaitCursor wait;
        QSqlQuery query = listQuery();
        // The server restarted since the last statement: the list is asked
        // again on a connection opened anew.
        const bool lost = !query.isActive() && !conexionViva(context_.db);
        if (lost && reabrirConexion(context_.db))
            query = listQuery();
        if (!query.isActive())
            failure = context_.db.isOpen() ? query.lastError() : context_.db.lastError();
        model_->setQuery(std::move(query));
        setUpColumns();
    }
    // The list is there: the dialog waits for the user with the normal
    // pointer, whatever hourglass the command that opened it set.
    ModObjetos::PunteroEspera(false);
    if (failure) {
        showListFailure(*failure);
        return;
    }
    if (model_->rowCount() == 0)
        return;
    // Rows arrive in chunks; fetch only as far as the row to show again.
    while (row >= model_->rowCount() && model_->canFetchMore())
        model_->fetchMore();
    if (row < 0 || row >= model_->rowCount())
        row = 0;
    grid_->setCurrentIndex(model_->index(row, 0));
}

void DeclarationSelectionDialog::showListFailure(const QSqlError& error)
{
    // Closing the box activates the dialog again: that activation does not
    // ask for the list once more.
    failureShown_ = true;
    QMessageBox box(QMessageBox::Critical, kListErrorTitle, listFailureText(error), QMessageBox::Ok, this);
    box.exec();
}

void DeclarationSelectionDialog::pCargadatos()
{
    load(currentRow());
}

void DeclarationSelectionDialog::detachList()
{
    model_->clear();
}

int DeclarationSelectionDialog::currentRow() const
{
    if (model_->rowCount() == 0)
        return -1;
    const int row = grid_->currentIndex().row();
    return row < 0 ? 0 : row;
}

int DeclarationSelectionDialog::rowCount() const { return model_->rowCount(); }

QVariant DeclarationSelectionDialog::selectedValue(int column) const
{
    const int row = currentRow();
    if (row < 0)
        return {};
    return model_->QSqlQueryModel::data(model_->index(row, column), Qt::DisplayRole);
}

QString DeclarationSelectionDialog::selectedText(int column) const { return selectedValue(column).toString(); }

QString DeclarationSelectionDialog::selectedRuc() const { return selectedText(0); }
QString DeclarationSelectionDialog::selectedNombre() const { return selectedText(1); }
QString DeclarationSelectionDialog::selectedPeriodo() const { return selectedText(2); }

bool DeclarationSelectionDialog::confirm(const QString& question)
{
    QMessageBox box(QMessageBox::Question, windowTitle(), question, QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void DeclarationSelectionDialog::onAction()
{
    if (model_->rowCount() == 0)
        return;
    // The question boxes and the declaration form take the activation away
    // and give it back; the action reloads the list itself.
    inAction_ = true;
    runAction();
    inAction_ = false;
}

void DeclarationSelectionDialog::onSalir()
{
    if (context_.showInStatusBar)
        context_.showInStatusBar(QString(), QString(), QString());
    detachList();
    accept();
}

void DeclarationSelectionDialog::onCurrentRowChanged()
{
    if (!isVisible() || !context_.showInStatusBar || currentRow() < 0)
        return;
    context_.showInStatusBar(selectedRuc(), selectedNombre(), selectedPeriodo());
}

bool DeclarationSelectionDialog::event(QEvent* e)
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
