#include "VentanaIntegrador.h"

#include "ArgumentoResumen.h"
#include "EnvioDeclaracion.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QDir>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTableView>
#include <QVBoxLayout>

using namespace qvrhost;

namespace {

const QString kTitle = QStringLiteral("Qvarion");

QTableView* creaLista(QSqlQueryModel* model, const QString& objectName)
{
    auto* view = new QTableView;
    view->setObjectName(objectName);
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}

void llenaModelo(QSqlQueryModel* model, QSqlDatabase db, const QString& sql, const QStringList& headers)
{
    QSqlQuery q(db);
    q.prepare(sql);
    q.addBindValue(QStringLiteral("0834"));
    q.exec();
    model->setQuery(std::move(q));
    // Read to the end so that no statement stays open on the shared file
    // while Kv834 writes to it.
    while (model->canFetchMore())
        model->fetchMore();
    for (int i = 0; i < headers.size(); ++i)
        model->setHeaderData(i, Qt::Horizontal, headers.at(i));
}

} // namespace

VentanaIntegrador::VentanaIntegrador(const ConfiguracionIntegrador& settings, QSqlDatabase db, QWidget* parent)
    : QMainWindow(parent)
    , settings_(settings)
    , db_(db)
    , folderLabel_(new QLabel)
    , storedModel_(new QSqlQueryModel(this))
    , sentModel_(new QSqlQueryModel(this))
    , storedView_(creaLista(storedModel_, QStringLiteral("grdGrabadas")))
    , sentView_(creaLista(sentModel_, QStringLiteral("grdEnviadas")))
    , kv834Button_(new QPushButton(QStringLiteral("Declaración 0834 (Kv834)")))
    , sendButton_(new QPushButton(QStringLiteral("Enviar")))
    , summaryButton_(new QPushButton(QStringLiteral("Resumen 0834IMP")))
{
    setWindowTitle(kTitle);
    kv834Button_->setObjectName(QStringLiteral("cmdKv834"));
    sendButton_->setObjectName(QStringLiteral("cmdEnviar"));
    summaryButton_->setObjectName(QStringLiteral("cmdResumen"));
    // Enter presses the focused button, as on a desktop dialog (outside a
    // dialog a push button answers only the space bar unless told so).
    for (QPushButton* button : {kv834Button_, sendButton_, summaryButton_})
        button->setAutoDefault(true);
    folderLabel_->setObjectName(QStringLiteral("lblCarpeta"));
    folderLabel_->setText(QStringLiteral("Carpeta de la suite: %1\nBase de datos: %2\nUsuario: %3")
                              .arg(settings.suite.sysPath, settings.suite.dbFile, settings.suite.sysUser));
    folderLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* stored = new QGroupBox(QStringLiteral("Declaraciones Registradas"));
    auto* storedLayout = new QVBoxLayout(stored);
    storedLayout->addWidget(storedView_);
    auto* sent = new QGroupBox(QStringLiteral("Declaraciones Enviadas"));
    auto* sentLayout = new QVBoxLayout(sent);
    sentLayout->addWidget(sentView_);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(kv834Button_);
    buttons->addWidget(sendButton_);
    buttons->addWidget(summaryButton_);
    buttons->addStretch();

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(folderLabel_);
    layout->addLayout(buttons);
    layout->addWidget(stored);
    layout->addWidget(sent);
    setCentralWidget(central);
    resize(900, 600);

    connect(kv834Button_, &QPushButton::clicked, this, &VentanaIntegrador::iniciaProgramaDeclaracion);
    connect(sendButton_, &QPushButton::clicked, this, &VentanaIntegrador::enviaElegida);
    connect(summaryButton_, &QPushButton::clicked, this, &VentanaIntegrador::iniciaResumen);
    recarga();
}

void VentanaIntegrador::recarga()
{
    llenaModelo(storedModel_, db_,
         QStringLiteral("SELECT A.DOC_ID_D, B.NOMBRE, A.PERIODO, A.FORMULARIO, A.ESTADO FROM CAB AS A, CONT AS B"
                        " WHERE A.DOC_ID_D=B.DOC_ID_D AND A.TIP_DOC_D=6 AND B.TIP_DOC_D=6 AND A.FORMULARIO=?"
                        " ORDER BY A.DOC_ID_D ASC, A.PERIODO ASC"),
         {QStringLiteral("RUC"), QStringLiteral("Razón Social"), QStringLiteral("Periodo"),
          QStringLiteral("Formulario"), QStringLiteral("Estado")});
    llenaModelo(sentModel_, db_,
         QStringLiteral("SELECT A.DOC_ID_D, B.NOMBRE, A.PERIODO, A.FORMULARIO, A.NORDEN, A.FEC_ENV, A.CONTROL, A.CORREL"
                        " FROM HCAB AS A, CONT AS B"
                        " WHERE A.DOC_ID_D=B.DOC_ID_D AND A.TIP_DOC_D=6 AND B.TIP_DOC_D=6 AND A.FORMULARIO=?"
                        " ORDER BY A.DOC_ID_D ASC, A.PERIODO ASC"),
         {QStringLiteral("RUC"), QStringLiteral("Razón Social"), QStringLiteral("Periodo"),
          QStringLiteral("Formulario"), QStringLiteral("N. Orden"), QStringLiteral("Fecha Env."),
          QStringLiteral("Control"), QStringLiteral("Correl")});
    for (QTableView* view : {storedView_, sentView_}) {
        if (view->model()->rowCount() > 0)
            view->selectRow(0);
    }
}

bool VentanaIntegrador::event(QEvent* e)
{
    // Kv834 runs on its own; coming back to the host shows what it stored.
    if (e->type() == QEvent::WindowActivate)
        recarga();
    return QMainWindow::event(e);
}

QString VentanaIntegrador::valorElegido(QTableView* view, int column) const
{
    const QModelIndexList rows = view->selectionModel()->selectedRows(column);
    return rows.isEmpty() ? QString() : rows.first().data().toString();
}

bool VentanaIntegrador::iniciaPrograma(const QString& name, const QStringList& arguments)
{
    QProcess process;
    process.setProgram(QDir(QCoreApplication::applicationDirPath()).filePath(name));
    process.setArguments(arguments);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QVR_WINDIR"), settings_.carpetaWindows());
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(settings_.suite.sysPath);
    if (process.startDetached())
        return true;
    QMessageBox::critical(this, kTitle, QStringLiteral("No se pudo iniciar %1.").arg(process.program()));
    return false;
}

void VentanaIntegrador::iniciaProgramaDeclaracion()
{
    iniciaPrograma(QStringLiteral("Kv834"), {});
}

void VentanaIntegrador::enviaElegida()
{
    const QString ruc = valorElegido(storedView_, 0).trimmed();
    const QString periodo = valorElegido(storedView_, 2).trimmed();
    if (ruc.isEmpty()) {
        QMessageBox::information(this, kTitle, QStringLiteral("Seleccione la declaración que desea enviar."));
        return;
    }
    EnvioDeclaracion s;
    const QString error = enviaDeclaracionGuardada(db_, ruc, periodo, &s);
    if (!error.isEmpty()) {
        QMessageBox::critical(this, kTitle, error);
        return;
    }
    recarga();
    QMessageBox::information(this, kTitle,
                             QStringLiteral("Declaración enviada.\nCORREL CONTROL ORDEN\n%1").arg(s.linea()));
}

void VentanaIntegrador::iniciaResumen()
{
    const QString ruc = valorElegido(sentView_, 0).trimmed();
    if (ruc.isEmpty()) {
        QMessageBox::information(this, kTitle, QStringLiteral("Seleccione una declaración enviada."));
        return;
    }
    const QString periodo = valorElegido(sentView_, 2);
    const QString norden = valorElegido(sentView_, 4).trimmed();
    const QString control = valorElegido(sentView_, 6).trimmed();
    const QString correl = valorElegido(sentView_, 7).trimmed();
    // The submission code is the order number once registered, else the
    // last eight digits of the control value.
    const QString code = norden.isEmpty() ? control.right(8) : norden.rightJustified(8, u'0');
    const QChar field = correl.isEmpty() ? QChar(u'0') : correl.back();
    ejecutaResumen(argumentoDeResumen(ruc, periodo, field, code));
}

// 0834IMP runs to its end; then the text copy it leaves in the suite's TMP
// folder is shown, as the suite's users read it.
void VentanaIntegrador::ejecutaResumen(const QString& argument)
{
    auto* process = new QProcess(this);
    process->setProgram(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("0834IMP")));
    process->setArguments({argument});
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QVR_WINDIR"), settings_.carpetaWindows());
    process->setProcessEnvironment(env);
    process->setWorkingDirectory(settings_.suite.sysPath);
    connect(process, &QProcess::finished, this, [this, process, argument](int exitCode, QProcess::ExitStatus status) {
        process->deleteLater();
        const QString messages = QString::fromUtf8(process->readAllStandardError()).trimmed();
        if (status != QProcess::NormalExit || exitCode != 0) {
            QMessageBox::critical(this, kTitle,
                                  QStringLiteral("0834IMP terminó con el código %1.\n%2").arg(exitCode).arg(messages));
            return;
        }
        muestraTextoResumen(settings_.suite.sysPath + QStringLiteral("TMP/")
                        + ArgumentoResumen::cortar(argument).nombreBase() + QStringLiteral(".TXT"));
    });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        process->deleteLater();
        QMessageBox::critical(this, kTitle, QStringLiteral("No se pudo iniciar %1.").arg(process->program()));
    });
    process->start();
}

void VentanaIntegrador::muestraTextoResumen(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        QMessageBox::critical(this, kTitle, QStringLiteral("No se encuentra el resumen %1.").arg(path));
        return;
    }
    QStringDecoder decode("windows-1252");
    const QString text = decode(file.readAll());
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("dlgResumen"));
    dialog.setWindowTitle(QStringLiteral("Resumen 0834IMP - %1").arg(QFileInfo(path).fileName()));
    auto* view = new QPlainTextEdit(text, &dialog);
    view->setObjectName(QStringLiteral("txtResumen"));
    view->setReadOnly(true);
    view->setFont(QFont(QStringLiteral("Courier New"), 10));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(view);
    auto* close = new QPushButton(QStringLiteral("&Cerrar"), &dialog);
    connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignRight);
    dialog.resize(640, 360);
    dialog.exec();
}
