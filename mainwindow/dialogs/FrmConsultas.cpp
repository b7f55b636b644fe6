#include "FrmConsultas.h"

#include "ConsultasListas.h"
#include "ApoyoDialogos.h"
#include "MotorSql.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSqlError>
#include <QTableView>
#include <QVBoxLayout>

#include <functional>

namespace {

const QString kBanksCaption = QStringLiteral("Bancos");
const QString kUitCaption = QStringLiteral("UIT");
const QString kDefaultCaption = QStringLiteral("Consultas");

constexpr int kWidthTwips = 5400;
constexpr int kHeightTwips = 4200;

} // namespace

FrmConsultas::FrmConsultas(QSqlDatabase db, qint16 operation, QWidget* parent)
    : QDialog(parent),
      model_(new ModeloConsultaGrilla(this)),
      grdBancos_(new QTableView(this)),
      cmdSalir_(new QPushButton(QStringLiteral("&Salir"), this))
{
    setObjectName(QStringLiteral("FrmConsultas"));
    grdBancos_->setObjectName(QStringLiteral("grdBancos"));
    cmdSalir_->setObjectName(QStringLiteral("CmdSalir"));
    preparaGrillaSoloLectura(grdBancos_);
    grdBancos_->setModel(model_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grdBancos_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSalir_);
    layout->addLayout(buttons);
    connect(cmdSalir_, &QPushButton::clicked, this, &FrmConsultas::onSalir);

    redimensionaEnTwips(this, kWidthTwips, kHeightTwips);
    centraEnVentanaPrincipal(this);

    QString codigo = QStringLiteral("Código");
    QString descrip = QStringLiteral("Descripción");
    std::optional<QSqlError> failure;
    {
        CursorDeEspera wait;
        std::function<std::optional<LoteSql::Resultado>(QSqlError*)> lee;
        if (operation == kBanks) {
            setWindowTitle(kBanksCaption);
            lee = [db](QSqlError* e) { return consultaListaBancos(db, e); };
        } else if (operation == kUit) {
            setWindowTitle(kUitCaption);
            codigo = QStringLiteral("Periodo");
            descrip = QStringLiteral("Valor");
            model_->fijaTextoColumna(ColumnaReferencia::Descrip,
                                  [](const QVariant& v) { return textoImporteUit(v.toString()); });
            lee = [db](QSqlError* e) { return consultaListaUit(db, e); };
        } else {
            setWindowTitle(kDefaultCaption);
        }
        if (lee) {
            QSqlError error;
            std::optional<LoteSql::Resultado> rows = lee(&error);
            // The server restarted since the last statement: the list is
            // asked again on a connection opened anew.
            if (!rows && !conexionViva(db) && reabrirConexion(db))
                rows = lee(&error);
            if (rows)
                model_->fijaFilas(std::move(*rows));
            else
                failure = error;
        }
    }
    if (model_->columnCount() >= ColumnaReferencia::Count) {
        model_->setHeaderData(ColumnaReferencia::Codigo, Qt::Horizontal, codigo);
        model_->setHeaderData(ColumnaReferencia::Descrip, Qt::Horizontal, descrip);
        fijaAnchosColumnasEnTwips(grdBancos_, {1100, 3400});
    }
    if (model_->rowCount() > 0)
        grdBancos_->setCurrentIndex(model_->index(0, 0));
    // A list that could not be read is said to be so, never shown empty.
    if (failure) {
        const QString lista = operation == kBanks ? QStringLiteral("la lista de bancos")
                                                  : QStringLiteral("la lista de valores de la UIT");
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), textoFalloLectura(lista, *failure),
                        QMessageBox::Ok, this);
        box.exec();
    }
}

bool FrmConsultas::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate && model_->rowCount() > 0)
        grdBancos_->setFocus();
    return QDialog::event(e);
}

void FrmConsultas::onSalir()
{
    model_->clear();
    accept();
}
