#include "FrmContAbrirEnv.h"

#include "ApoyoDialogos.h"

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
QString numeroConLugarSigno(int number)
{
    return number < 0 ? QString::number(number) : u' ' + QString::number(number);
}

} // namespace

FrmContAbrirEnv::FrmContAbrirEnv(ContextoListaDeclaraciones context, qint16 operation, QWidget* parent)
    : DialogoSeleccionDeclaracion(std::move(context), parent), operation_(operation)
{
    setObjectName(QStringLiteral("FrmContAbrirEnv"));
    if (operation_ == kRegister)
        fijaTextos(kRegisterCaption, kFrameTitle, kRegisterLabel, kRegisterButton);
    else if (operation_ == kDelete)
        fijaTextos(kDeleteCaption, kFrameTitle, kDeleteLabel, kDeleteButton);
    else
        fijaTextos(QString(), kFrameTitle, QString(), QString());

    modelo()->fijaTextoColumna(ColumnaEnviada::FecEnv, &textoFechaEnvio);

    redimensionaEnTwips(this, kWidthTwips, kHeightTwips);
    carga(0);
    centraEnVentanaPrincipal(this);
}

QString FrmContAbrirEnv::nordenElegido() const
{
    const QVariant v = valorElegido(ColumnaEnviada::Norden);
    return v.isNull() ? QString() : v.toString();
}

QString FrmContAbrirEnv::controlElegido() const { return textoElegido(ColumnaEnviada::Control); }
QString FrmContAbrirEnv::correlElegido() const { return textoElegido(ColumnaEnviada::Correl); }

std::optional<LoteSql::Resultado> FrmContAbrirEnv::consultaLista(QSqlError* error) const
{
    return consultaDeclaracionesEnviadas(context().db, context().formCode, context().sysUser, error);
}

void FrmContAbrirEnv::preparaColumnas()
{
    const QStringList captions{QStringLiteral("RUC"),        QStringLiteral("Razón Social"),
                               QStringLiteral("Periodo"),    QStringLiteral("Formulario"),
                               QStringLiteral("N. Orden"),   QStringLiteral("Fecha Env."),
                               QStringLiteral("Control"),    QStringLiteral("Correl")};
    for (int c = 0; c < captions.size(); ++c)
        modelo()->setHeaderData(c, Qt::Horizontal, captions[c]);
    fijaAnchosColumnasEnTwips(grid(), {1700, 2600, 750, 950, 1100, 1200, 1500, 700});
}

void FrmContAbrirEnv::ejecutaAccion()
{
    if (operation_ == kRegister)
        registraNumeroOrden();
    else if (operation_ == kDelete)
        elimina();
}

void FrmContAbrirEnv::registraNumeroOrden()
{
    const int row = filaActual();
    const QVariantList values{rucElegido().trimmed(), nombreElegido().trimmed(), true, correlElegido(),
                              controlElegido().trimmed()};
    if (context().openDeclaration)
        context().openDeclaration(1, values);
    carga(row);
}

void FrmContAbrirEnv::elimina()
{
    const QString ruc = rucElegido();
    const QString periodo = periodoElegido();
    const QString correl = correlElegido();
    if (!confirm(kDeleteQuestion))
        return;
    std::optional<FalloBase> failure;
    {
        CursorDeEspera wait;
        sueltaLista();
        failure = eliminaDeclaracionEnviada(context().db, ruc, periodo, context().formCode, correl);
    }
    carga(0);
    if (failure)
        muestraFallo(*failure);
}

void FrmContAbrirEnv::muestraFallo(const FalloBase& failure)
{
    QMessageBox box(QMessageBox::NoIcon, kErrorTitle,
                    failure.description + u'\n' + numeroConLugarSigno(failure.number), QMessageBox::Ok, this);
    box.exec();
}
