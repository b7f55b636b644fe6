#include "FrmContAbrir.h"

#include "DialogSupport.h"

#include <QMessageBox>
#include <QTableView>

namespace {

const QString kFrameTitle = QStringLiteral("Declaraciones Registradas");
const QString kModifyCaption = QStringLiteral("Modificar Declaraciones");
const QString kModifyButton = QStringLiteral("&Modificar");
const QString kModifyLabel = QStringLiteral("Seleccione la Declaración que desea modificar :");
const QString kDeleteCaption = QStringLiteral("Eliminar Declaraciones");
const QString kDeleteButton = QStringLiteral("&Eliminar");
const QString kDeleteLabel = QStringLiteral("Seleccione la Declaración que desea eliminar :");
const QString kDeleteQuestion = QStringLiteral("¿Confirma que va a eliminar la declaración de\r\n\r\n%1?");
const QString kErrorTitle = QStringLiteral("Error");

constexpr int kWidthTwips = 7755;
constexpr int kHeightTwips = 4530;
constexpr int kStatePictureSize = 14;

} // namespace

FrmContAbrir::FrmContAbrir(DeclarationListContext context, qint16 mode, QWidget* parent)
    : DeclarationSelectionDialog(std::move(context), parent), mode_(mode)
{
    setObjectName(QStringLiteral("FrmContAbrir"));
    if (mode_ == kModify)
        setTexts(kModifyCaption, kFrameTitle, kModifyLabel, kModifyButton);
    else if (mode_ == kDelete)
        setTexts(kDeleteCaption, kFrameTitle, kDeleteLabel, kDeleteButton);
    else
        setTexts(QString(), kFrameTitle, QString(), QString());

    model()->setColumnText(StoredColumn::Estado, [](const QVariant&) { return QString(); });
    const QPixmap consistent = statePicture(0, kStatePictureSize);
    const QPixmap inconsistent = statePicture(9, kStatePictureSize);
    model()->setColumnPicture(StoredColumn::Estado, [consistent, inconsistent](const QVariant& v) {
        bool ok = false;
        const int estado = v.toInt(&ok);
        if (!ok || v.isNull())
            return QPixmap();
        return estado == 0 ? consistent : estado == 9 ? inconsistent : QPixmap();
    });

    resizeInTwips(this, kWidthTwips, kHeightTwips);
    load(0);
    centreOnMainWindow(this);
}

QSqlQuery FrmContAbrir::listQuery() const
{
    return storedDeclarationsQuery(context().db, context().formCode, context().sysUser);
}

void FrmContAbrir::setUpColumns()
{
    const QStringList captions{QStringLiteral("RUC"), QStringLiteral("Razón Social"), QStringLiteral("Periodo"),
                               QStringLiteral("Formulario"), QStringLiteral("Estado")};
    for (int c = 0; c < captions.size(); ++c)
        model()->setHeaderData(c, Qt::Horizontal, captions[c]);
    setColumnWidthsInTwips(grid(), {1700, 3300, 800, 1000, 700});
}

void FrmContAbrir::runAction()
{
    if (mode_ == kModify)
        modify();
    else if (mode_ == kDelete)
        remove();
}

void FrmContAbrir::modify()
{
    const int row = currentRow();
    const QVariantList values{selectedRuc().trimmed(), selectedNombre().trimmed(), false};
    if (context().openDeclaration)
        context().openDeclaration(kModify, values);
    // The form may have changed the declaration's state or removed it.
    load(row);
}

void FrmContAbrir::remove()
{
    const QString ruc = selectedRuc();
    const QString periodo = selectedPeriodo();
    if (!confirm(kDeleteQuestion.arg(selectedNombre().trimmed())))
        return;
    std::optional<DbFailure> failure;
    {
        WaitCursor wait;
        detachList();
        failure = deleteStoredDeclaration(context().db, ruc, periodo, context().formCode);
    }
    load(0);
    if (failure)
        showFailure(*failure);
}

void FrmContAbrir::showFailure(const DbFailure& failure)
{
    QMessageBox box(QMessageBox::NoIcon, kErrorTitle,
                    QString::number(failure.number) + u'\n' + failure.description, QMessageBox::Ok, this);
    box.exec();
}
