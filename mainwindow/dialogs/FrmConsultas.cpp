#include "FrmConsultas.h"

#include "ConsultasListas.h"
#include "ApoyoDialogos.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSqlError>
#include <QTableView>
#include <QVBoxLayout>

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
    {
        CursorDeEspera wait;
        QSqlError error;
        std::optional<LoteSql::Resultado> rows;
        if (operation == kBanks) {
            setWindowTitle(kBanksCaption);
            rows = consultaListaBancos(db, &error);
        } else if (operation == kUit) {
            setWindowTitle(kUitCaption);
            codigo = QStringLiteral("Periodo");
            descrip = QStringLiteral("Valor");
            model_->fijaTextoColumna(ColumnaReferencia::Descrip,
                                  [](const QVariant& v) { return textoImporteUit(v.toString()); });
            rows = consultaListaUit(db, &error);
        } else {
            setWindowTitle(kDefaultCaption);
        }
        if (error.isValid())
            qWarning("reference list: %s", qPrintable(error.text()));
        if (rows)
            model_->fijaFilas(std::move(*rows));
    }
    if (model_->columnCount() >= ColumnaReferencia::Count) {
        model_->setHeaderData(ColumnaReferencia::Codigo, Qt::Horizontal, codigo);
        model_->setHeaderData(ColumnaReferencia::Descrip, Qt::Horizontal, descrip);
        fijaAnchosColumnasEnTwips(grdBancos_, {1100, 3400});
    }
    if (model_->rowCount() > 0)
        grdBancos_->setCurrentIndex(model_->index(0, 0));
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
