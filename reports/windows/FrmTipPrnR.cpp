#include "FrmTipPrnR.h"

#include "EstadoAplicacion.h"
#include "DeclaracionReporte.h"
#include "ListaImpresion.h"
#include "ModObjetos.h"
#include "frmImpxPag.h"
#include "frmPreview.h"

#include <QApplication>
#include <array>
#include <QCheckBox>
#include <QDate>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQueryModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// Window geometry is given in twips.
int tw(int twips) { return twips / 15; }

// The list with the sending date shown as day/month/year.
class ModeloLista : public QSqlQueryModel {
public:
    using QSqlQueryModel::QSqlQueryModel;
    QVariant data(const QModelIndex& index, int role) const override
    {
        QVariant v = QSqlQueryModel::data(index, role);
        if (role == Qt::DisplayRole && index.column() == ColumnaImpresion::FecEnv && !v.isNull()) {
            const QString s = v.toString().trimmed();
            QDate d = QDate::fromString(s.left(10), Qt::ISODate);
            if (d.isValid())
                return d.toString(QStringLiteral("dd/MM/yyyy"));
        }
        return v;
    }
};

}  // namespace

FrmTipPrnR::FrmTipPrnR(EntornoImpresion entorno, bool enviadas, QWidget* parent)
    : QDialog(parent), entorno_(std::move(entorno)), enviadas_(enviadas)
{
    setObjectName(QStringLiteral("FrmTipPrnR"));
    setWindowTitle(enviadas ? QStringLiteral("Imprimir Declaraciones Enviadas") : QStringLiteral("Imprimir Declaraciones"));

    const int anchoMarco = enviadas ? 10500 : 6600;
    const int anchoGrilla = anchoMarco - 300;
    // The buttons sit under the frame's right end; the registered list's have lefts of their own.
    const std::array<int, 3> lefts = enviadas ? std::array{anchoMarco - 3770, anchoMarco - 2435, anchoMarco - 1100}
                                              : std::array{2710, 4045, 5380};

    marco_ = new QGroupBox(enviadas ? QStringLiteral("Declaraciones Enviadas") : QStringLiteral("Declaraciones Registradas"),
                           this);
    marco_->setObjectName(QStringLiteral("Frame1"));
    marco_->setGeometry(tw(120), tw(120), tw(anchoMarco), tw(4200));
    auto* etiqueta = new QLabel(QStringLiteral("Seleccione la Declaración que desea imprimir :"), marco_);
    etiqueta->setGeometry(tw(150), tw(300), tw(anchoGrilla), tw(255));

    modelo_ = new ModeloLista(this);
    grdContrib_ = new QTableView(marco_);
    grdContrib_->setObjectName(QStringLiteral("grdContrib"));
    grdContrib_->setGeometry(tw(150), tw(600), tw(anchoGrilla), tw(3450));
    grdContrib_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdContrib_->setSelectionMode(QAbstractItemView::SingleSelection);
    grdContrib_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdContrib_->verticalHeader()->setDefaultSectionSize(18);
    grdContrib_->setModel(modelo_);
    grdContrib_->installEventFilter(this);
    connect(grdContrib_, &QTableView::doubleClicked, this, [this] { CmdImprimir_Click(0); });
    connect(grdContrib_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { filaActual_Change(); });

    chkAnexo_ = new QCheckBox(QStringLiteral("Con Anexos"), this);
    chkAnexo_->setObjectName(QStringLiteral("ChkAnexo"));
    chkAnexo_->setGeometry(tw(240), tw(4440), tw(1800), tw(300));

    const QString textos[3] = {QStringLiteral("&Preliminar"), QStringLiteral("&Imprimir"), QStringLiteral("&Salir")};
    for (int i = 0; i < 3; ++i) {
        cmdImprimir_[i] = new QPushButton(textos[i], this);
        cmdImprimir_[i]->setObjectName(QStringLiteral("CmdImprimir_%1").arg(i));
        cmdImprimir_[i]->setGeometry(tw(lefts[i]), tw(4440), tw(1215), tw(375));
        cmdImprimir_[i]->setAutoDefault(false);
        connect(cmdImprimir_[i], &QPushButton::clicked, this, [this, i] { CmdImprimir_Click(i); });
    }
    setFixedSize(tw(anchoMarco + 360), tw(5040));

    cargaLista();
    listaVaciaAlCargar_ = filas() == 0;
    if (parent) {
        const QRect r = parent->geometry();
        move(r.x() + (r.width() - width()) / 2, r.y() + (r.height() - height()) / 2);
    }
}

int FrmTipPrnR::filas() const { return modelo_->rowCount(); }

QString FrmTipPrnR::celda(int fila, int columna) const
{
    return modelo_->data(modelo_->index(fila, columna), Qt::EditRole).toString();
}

void FrmTipPrnR::cargaLista()
{
    QSqlQuery q = listaDeclaracionesImpresion(entorno_.db, entorno_.formulario, entorno_.sysUser, enviadas_);
    if (!q.isActive()) {
        QMessageBox::critical(this, windowTitle(), q.lastError().text());
        return;
    }
    modelo_->setQuery(std::move(q));
    // The whole list is read at once, so the grid knows its size.
    while (modelo_->canFetchMore())
        modelo_->fetchMore();
    const QStringList titulos = {QStringLiteral("RUC"),       QStringLiteral("Razón Social"),
                                 QStringLiteral("Periodo"),   QStringLiteral("Formulario"),
                                 QStringLiteral("N.Orden"),   QStringLiteral("Fecha Env."),
                                 QStringLiteral("Control"),   QStringLiteral("Corr")};
    for (int c = 0; c < modelo_->columnCount() && c < titulos.size(); ++c)
        modelo_->setHeaderData(c, Qt::Horizontal, titulos[c]);
    if (filas() > 0)
        grdContrib_->selectRow(0);
}

void FrmTipPrnR::filaActual_Change()
{
    const int fila = grdContrib_->currentIndex().row();
    if (fila < 0 || !entorno_.resetBarraEstado)
        return;
    entorno_.resetBarraEstado(celda(fila, ColumnaImpresion::Ruc).trimmed(),
                              celda(fila, ColumnaImpresion::Nombre).trimmed(),
                              celda(fila, ColumnaImpresion::Periodo).trimmed(), entorno_.formulario);
}

void FrmTipPrnR::CmdImprimir_Click(int indice)
{
    if (indice == 2) {
        accept();
        return;
    }
    if (filas() == 0)
        return;
    const int fila = std::max(0, grdContrib_->currentIndex().row());
    ctx_ = ContextoReporte();
    ctx_.ruc = celda(fila, ColumnaImpresion::Ruc);
    ctx_.formulario = celda(fila, ColumnaImpresion::Formulario);
    ctx_.nombre = celda(fila, ColumnaImpresion::Nombre);
    ctx_.periodo = celda(fila, ColumnaImpresion::Periodo).trimmed();
    ctx_.enviada = enviadas_;
    if (enviadas_) {
        ctx_.correl = celda(fila, ColumnaImpresion::Correl);
        ctx_.norden = celda(fila, ColumnaImpresion::Norden);
        ctx_.control = celda(fila, ColumnaImpresion::Control);
    }
    ctx_.imprimeAnexo = chkAnexo_->isChecked();

    QString error;
    {
        ModObjetos::CursorEspera ocupado;
        error = GeneraReporteDeclaracion(entorno_.db, entorno_.sysUser, entorno_.carpetaReportes, ctx_);
    }
    if (!error.isEmpty()) {
        QMessageBox::critical(this, MensajesImpresion::kTituloError, MensajesImpresion::errorTecnico(error));
        return;
    }

    if (indice == 1) {
        abrePreview(this, entorno_.carpetaReportes, ctx_.archivo, QStringLiteral("IMPRIMIR"), entorno_.imprime);
    } else {
        frmImpxPag rango(entorno_.carpetaReportes, ctx_.archivo, ctx_.pageTotal, entorno_.imprime, this);
        rango.setArchivoPdf(ctx_.nombreArchivoPdf());
        if (alAbrirRango)
            alAbrirRango(rango);
        rango.exec();
    }
    QApplication::processEvents();
    // Back in the list: read it again and return to the row printed.
    if (!listaVaciaAlCargar_) {
        cargaLista();
        if (fila < filas())
            grdContrib_->selectRow(fila);
    }
}

// "&Salir", Escape and the close box all end here: the status bar returns to
// its normal content.
void FrmTipPrnR::done(int resultado)
{
    if (entorno_.resetBarraEstado)
        entorno_.resetBarraEstado(QString(), QString(), QString(), entorno_.formulario);
    QDialog::done(resultado);
}

bool FrmTipPrnR::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == grdContrib_ && event->type() == QEvent::KeyPress) {
        const int k = static_cast<QKeyEvent*>(event)->key();
        if (k == Qt::Key_Return || k == Qt::Key_Enter) {
            CmdImprimir_Click(0);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void abreSeleccionImpresion(QWidget* parent, EstadoAplicacion& state, bool enviadas, ResetBarraEstado resetBarraEstado)
{
    EntornoImpresion entorno;
    entorno.db = state.db();
    entorno.sysUser = state.settings.sysUser;
    entorno.carpetaReportes = carpetaDeReportes(state.settings.sysPath);
    entorno.formulario = state.formCode.isEmpty() ? QString::fromUtf16(kFormCode) : state.formCode;
    entorno.resetBarraEstado = std::move(resetBarraEstado);
    state.printSent = enviadas;
    FrmTipPrnR ventana(std::move(entorno), enviadas, parent);
    ventana.exec();
}

void abrePreview(QWidget* parent, const QString& carpetaReportes, const QString& archivo, const QString& como,
                 ImprimeHojas imprime)
{
    frmPreview preview(carpetaReportes, std::move(imprime), parent);
    if (como == QLatin1String("Vprevia")) {
        if (!preview.pDesencripta(archivo, frmPreview::kPresPrevia))
            return;
        preview.pMostrar(0);
        preview.exec();
    } else {
        preview.pDesencripta(archivo, frmPreview::kImprimir);
    }
}
