#include "FrmContAbrir.h"

#include "ApoyoDialogos.h"

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

FrmContAbrir::FrmContAbrir(ContextoListaDeclaraciones context, qint16 mode, QWidget* parent)
    : DialogoSeleccionDeclaracion(std::move(context), parent), mode_(mode)
{
    setObjectName(QStringLiteral("FrmContAbrir"));
    if (mode_ == kModify)
        fijaTextos(kModifyCaption, kFrameTitle, kModifyLabel, kModifyButton);
    else if (mode_ == kDelete)
        fijaTextos(kDeleteCaption, kFrameTitle, kDeleteLabel, kDeleteButton);
    else
        fijaTextos(QString(), kFrameTitle, QString(), QString());

    modelo()->fijaTextoColumna(ColumnaGuardada::Estado, [](const QVariant&) { return QString(); });
    const QPixmap consistent = imagenEstado(0, kStatePictureSize);
    const QPixmap inconsistent = imagenEstado(9, kStatePictureSize);
    modelo()->fijaImagenColumna(ColumnaGuardada::Estado, [consistent, inconsistent](const QVariant& v) {
        bool ok = false;
        const int estado = v.toInt(&ok);
        if (!ok || v.isNull())
            return QPixmap();
        return estado == 0 ? consistent : estado == 9 ? inconsistent : QPixmap();
    });

    redimensionaEnTwips(this, kWidthTwips, kHeightTwips);
    carga(0);
    centraEnVentanaPrincipal(this);
}

std::optional<LoteSql::Resultado> FrmContAbrir::consultaLista(QSqlError* error) const
{
    return consultaDeclaracionesGuardadas(context().db, context().formCode, context().sysUser, error);
}

void FrmContAbrir::preparaColumnas()
{
    const QStringList captions{QStringLiteral("RUC"), QStringLiteral("Razón Social"), QStringLiteral("Periodo"),
                               QStringLiteral("Formulario"), QStringLiteral("Estado")};
    for (int c = 0; c < captions.size(); ++c)
        modelo()->setHeaderData(c, Qt::Horizontal, captions[c]);
    fijaAnchosColumnasEnTwips(grid(), {1700, 3300, 800, 1000, 700});
}

void FrmContAbrir::ejecutaAccion()
{
    if (mode_ == kModify)
        modify();
    else if (mode_ == kDelete)
        elimina();
}

void FrmContAbrir::modify()
{
    const int row = filaActual();
    const QVariantList values{rucElegido().trimmed(), nombreElegido().trimmed(), false};
    if (context().openDeclaration)
        context().openDeclaration(kModify, values);
    // The form may have changed the declaration's state or removed it.
    carga(row);
}

void FrmContAbrir::elimina()
{
    const QString ruc = rucElegido();
    const QString periodo = periodoElegido();
    if (!confirm(kDeleteQuestion.arg(nombreElegido().trimmed())))
        return;
    std::optional<FalloBase> failure;
    {
        CursorDeEspera wait;
        sueltaLista();
        failure = eliminaDeclaracionGuardada(context().db, ruc, periodo, context().formCode);
    }
    carga(0);
    if (failure)
        muestraFallo(*failure);
}

void FrmContAbrir::muestraFallo(const FalloBase& failure)
{
    QMessageBox box(QMessageBox::NoIcon, kErrorTitle,
                    QString::number(failure.number) + u'\n' + failure.description, QMessageBox::Ok, this);
    box.exec();
}
