#include "FrmContAbrirEnv.h"

#include "DialogSupport.h"

#include <QMessageBox>
#include <QTableView>

namespace {

const QString kFrameTitle = QStringLiteral("Declaraciones Enviadas");
const QString kRegisterCaption = QStringLiteral("Registrar número de orden");
const QString kRegisterButton = QStringLiteral("&Registrar");
const QString kRegisterLabel = QStringLiteral(
    "Seleccione la Declaración en la que desea registrar el número de orden asignado por KALDEN :");
const QString kDeleteCaption = QStringLiteral("Eliminar Declaraciones Enviadas");
const QString kDeleteButton = QStringLiteral("&Eliminar");
const QString kDeleteLabel = QStringLiteral("Seleccione la Declaración que desea eliminar :");
const QString kDeleteQuestion = QStringLiteral("¿Confirma que va a eliminar la declaración seleccionada?");
const QString kErrorTitle = QStringLiteral("Error");

// Wide enough for the eight columns, still inside the main window.
constexpr int kWidthTwips = 9480;
constexpr int kHeightTwips = 4530;

// A number as the suite's number-to-text conversion writes it: a blank in
// place of the sign of a positive number.
QString numberWithSignPlace(int number)
{
    return number < 0 ? QString::number(number) : u' ' + QString::number(number);
}

} // namespace

FrmContAbrirEnv::FrmContAbrirEnv(DeclarationListContext context, qint16 operation, QWidget* parent)
    : DeclarationSelectionDialog(std::move(context), parent), operation_(operation)
{
    setObjectName(QStringLiteral("FrmContAbrirEnv"));
    if (operation_ == kRegister)
        setTexts(kRegisterCaption, kFrameTitle, kRegisterLabel, kRegisterButton);
    else if (operation_ == kDelete)
        setTexts(kDeleteCaption, kFrameTitle, kDeleteLabel, kDeleteButton);
    else
        setTexts(QString(), kFrameTitle, QString(), QString());

    model()->setColumnText(SentColumn::FecEnv, &submissionDateText);

    resizeInTwips(this, kWidthTwips, kHeightTwips);
    load(0);
    centreOnMainWindow(this);
}

QString FrmContAbrirEnv::selectedNorden() const
{
    const QVariant v = selectedValue(SentColumn::Norden);
    return v.isNull() ? QString() : v.toString();
}

QString FrmContAbrirEnv::selectedControl() const { return selectedText(SentColumn::Control); }
QString FrmContAbrirEnv::selectedCorrel() const { return selectedText(SentColumn::Correl); }

QSqlQuery FrmContAbrirEnv::listQuery() const
{
    return sentDeclarationsQuery(context().db, context().formCode, context().sysUser);
}

void FrmContAbrirEnv::setUpColumns()
{
    const QStringList captions{QStringLiteral("RUC"),        QStringLiteral("Razón Social"),
                               QStringLiteral("Periodo"),    QStringLiteral("Formulario"),
                               QStringLiteral("N. Orden"),   QStringLiteral("Fecha Env."),
                               QStringLiteral("Control"),    QStringLiteral("Correl")};
    for (int c = 0; c < captions.size(); ++c)
        model()->setHeaderData(c, Qt::Horizontal, captions[c]);
    setColumnWidthsInTwips(grid(), {1700, 2600, 750, 950, 1100, 1200, 1500, 700});
}

void FrmContAbrirEnv::runAction()
{
    if (operation_ == kRegister)
        registerOrderNumber();
    else if (operation_ == kDelete)
        remove();
}

void FrmContAbrirEnv::registerOrderNumber()
{
    const int row = currentRow();
    const QVariantList values{selectedRuc().trimmed(), selectedNombre().trimmed(), true, selectedCorrel(),
                              selectedControl().trimmed()};
    if (context().openDeclaration)
        context().openDeclaration(1, values);
    load(row);
}

void FrmContAbrirEnv::remove()
{
    const QString ruc = selectedRuc();
    const QString periodo = selectedPeriodo();
    const QString correl = selectedCorrel();
    if (!confirm(kDeleteQuestion))
        return;
    std::optional<DbFailure> failure;
    {
        WaitCursor wait;
        detachList();
        failure = deleteSentDeclaration(context().db, ruc, periodo, context().formCode, correl);
    }
    load(0);
    if (failure)
        showFailure(*failure);
}

void FrmContAbrirEnv::showFailure(const DbFailure& failure)
{
    QMessageBox box(QMessageBox::NoIcon, kErrorTitle,
                    failure.description + u'\n' + numberWithSignPlace(failure.number), QMessageBox::Ok, this);
    box.exec();
}
