#include "FrmAnexo105.h"

#include "Anexo105Datos.h"
#include "ControlesQVR.h"
#include "Formato834.h"
#include "ModObjetos.h"
#include "ObjFunciones.h"
#include "MensajesInicio.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

const QString FrmAnexo105::kCaption = QStringLiteral("Asistente de Cálculo de Casilla 105");

namespace {

const QString kBaseLegal = QStringLiteral(
    "Base Legal : Numeral %1 inciso c) del Art. 125º del TUO de la Ley del Impuesto a la Renta, aprobado por D.S. "
    "054-99-EF y modif.");

struct Deduccion {
    const char* texto;
    const char* numeral;   // nullptr: one line only
};

const Deduccion kDeducciones[FrmAnexo105::kMontos] = {
    {"Las acciones, participaciones o derechos de capital de otras empresas sujetas al Impuesto a la Renta", "i)"},
    {"El valor de la maquinaria y equipo que no tenga una antigüedad superior a los tres años", "ii)"},
    {"En el caso de las Empresas de Operaciones Múltiples a que se refiere el literal a) del Artículo 16º de la Ley "
     "Nº 26702, deducirán el encaje exigible y las provisiones específicas por riesgo crediticio que el órgano "
     "competente establezca, según los porcentajes que corresponda a cada categoría de riesgo, hasta el límite del "
     "100%.",
     "iii) "},
    {"Las Empresas de Operaciones Múltiples a que se refiere el inciso anterior, luego de haber efectuado las "
     "deducciones previstas en el presente  párrafo, en lo que resulten pertinentes, calcularán el anticipo sobre el "
     "50% del valor del activo neto",
     "iv)"},
    {"Las cuentas de existencias y las cuentas por cobrar producto de operaciones de exportación, en el caso de las "
     "empresas exportadoras.",
     "v)"},
    {"Las acciones de propiedad del Estado en la Corporación Andina de Fomento, así como los derechos que se deriven "
     "de esa participación y los reajustes de valor de dichas acciones, que reciban en calidad de aporte de capital "
     "las entidades financieras del Estado que se dediquen a actividades de fomento y desarrollo.",
     "vi)"},
    {"Los activos que respaldan reservas matemáticas sobre seguros de vida, en el caso de las empresas de seguros a "
     "que se refiere la Ley Nº 26702",
     "vii)"},
    {"Los inmuebles, museos y colecciones privadas de objetos culturales calificados como patrimonio cultural por el "
     "Instituto Nacional de Cultura y regulados por la Ley General de Amparo al Patrimonio Cultural de la Nación",
     "viii)"},
    {"Los bienes entregados en concesión por el Estado al amparo de la normatividad que regula la promoción de las "
     "inversiones privadas en infraestructura de servicios públicos; siempre que se encuentren afectados a la "
     "prestación de servicios públicos, así como las construcciones efectuadas por los concesionarios sobre tales "
     "bienes",
     "ix)"},
    {"Otras deducciones (Para efectos de revaluación de activos en forma voluntaria No considerar mayor valor "
     "resultante, salvo lo establecido en el numeral 1 del artículo 104° de la Ley de Renta)",
     nullptr},
};

// The first and the last field take eleven digits, the others ten.
int largo(int indice)
{
    return indice == 0 || indice == FrmAnexo105::kMontos - 1 ? 11 : 10;
}

constexpr int kSinLimite = 32767;

} // namespace

FrmAnexo105::FrmAnexo105(QSqlDatabase db, QWidget* parent)
    : QDialog(parent)
    , db_(std::move(db))
    , txtTotal_(new QLineEdit(this))
    , cmdGrabar_(new QPushButton(QStringLiteral("&Aceptar"), this))
    , cmdCancelar_(new QPushButton(QStringLiteral("&Cancelar"), this))
{
    setObjectName(QStringLiteral("FrmAnexo105"));
    setWindowTitle(kCaption);
    setModal(true);

    auto* contenido = new QWidget;
    auto* grid = new QGridLayout(contenido);
    grid->addWidget(new QLabel(QStringLiteral("Tipo de Deducción"), contenido), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Monto"), contenido), 0, 1);
    for (int i = 0; i < kMontos; ++i) {
        const Deduccion& d = kDeducciones[i];
        QString etiqueta = QString::fromUtf8(d.texto);
        if (d.numeral)
            etiqueta += u'\n' + kBaseLegal.arg(QString::fromUtf8(d.numeral));
        auto* label = new QLabel(etiqueta, contenido);
        label->setObjectName(QStringLiteral("lblDeduccion_%1").arg(i));
        label->setWordWrap(true);
        auto* campo = new QLineEdit(contenido);
        campo->setObjectName(QStringLiteral("TxtMonto_%1").arg(i));
        campo->setAlignment(Qt::AlignRight);
        campo->setFixedWidth(130);
        controlesqvr::rechazaPegado(campo);
        campo->installEventFilter(this);
        connect(campo, &QLineEdit::textChanged, this, &FrmAnexo105::recalculaTotal);
        txtMonto_[i] = campo;
        grid->addWidget(label, i + 1, 0);
        grid->addWidget(campo, i + 1, 1, Qt::AlignTop);
    }
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(contenido);
    scroll->setWidgetResizable(true);

    txtTotal_->setObjectName(QStringLiteral("TxtTotal"));
    txtTotal_->setReadOnly(true);
    txtTotal_->setAlignment(Qt::AlignRight);
    txtTotal_->setFixedWidth(130);
    txtTotal_->setFocusPolicy(Qt::NoFocus);
    controlesqvr::rechazaPegado(txtTotal_);
    cmdGrabar_->setObjectName(QStringLiteral("CmdGrabar"));
    cmdCancelar_->setObjectName(QStringLiteral("cmdCancelar"));
    cmdGrabar_->setAutoDefault(false);
    cmdCancelar_->setAutoDefault(false);

    auto* pie = new QHBoxLayout;
    pie->addStretch();
    pie->addWidget(new QLabel(QStringLiteral("Total Deducciones :"), this));
    pie->addWidget(txtTotal_);
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(cmdGrabar_);
    botones->addWidget(cmdCancelar_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll);
    layout->addLayout(pie);
    layout->addLayout(botones);
    resize(820, 600);

    connect(cmdGrabar_, &QPushButton::clicked, this, &FrmAnexo105::CmdGrabar_Click);
    connect(cmdCancelar_, &QPushButton::clicked, this, &FrmAnexo105::cmdCancelar_Click);
}

void FrmAnexo105::cargar()
{
    if (cargado_)
        return;
    cargado_ = true;
    ModObjetos::PunteroEspera(true);
    const lectura834::Clave clave{sRuc, sPeriodo, sFormulario, iEnviada != 0, sCorrel};
    bool ok = true;
    QString error;
    const Detalle105 detalle = anexo105::leer(db_, clave, &ok, &error);
    if (!ok) {
        // Empty fields are not the stored detail: accepting them would delete it.
        cmdGrabar_->setEnabled(false);
        ModObjetos::PunteroEspera(false);
        muestraError(error);
        return;
    }
    for (int i = 0; i < kMontos; ++i)
        if (!detalle[i].trimmed().isEmpty())
            txtMonto_[i]->setText(formato834::miles(formato834::leer(detalle[i])));
    if (iEnviada != 0) {
        for (QLineEdit* campo : txtMonto_) {
            campo->setReadOnly(true);
            QPalette p = campo->palette();
            p.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
            campo->setPalette(p);
        }
        cmdGrabar_->hide();
    }
    ModObjetos::PunteroEspera(false);
}

void FrmAnexo105::showEvent(QShowEvent* event)
{
    cargar();
    QDialog::showEvent(event);
    txtMonto_[0]->setFocus();
}

int FrmAnexo105::indiceDe(QObject* campo) const
{
    for (int i = 0; i < kMontos; ++i)
        if (txtMonto_[i] == campo)
            return i;
    return -1;
}

bool FrmAnexo105::eventFilter(QObject* watched, QEvent* event)
{
    const int i = indiceDe(watched);
    if (i < 0)
        return QDialog::eventFilter(watched, event);
    QLineEdit* campo = txtMonto_[i];
    switch (event->type()) {
    case QEvent::FocusIn: {
        const auto razon = static_cast<QFocusEvent*>(event)->reason();
        if (razon == Qt::ActiveWindowFocusReason || razon == Qt::PopupFocusReason || campo->isReadOnly())
            break;
        // Bare digits while editing; the length applies after the text is short.
        if (!formato834::vacio(campo->text()))
            campo->setText(formato834::plano(formato834::leer(campo->text())));
        campo->setMaxLength(largo(i));
        break;
    }
    case QEvent::FocusOut: {
        const auto razon = static_cast<QFocusEvent*>(event)->reason();
        if (razon == Qt::ActiveWindowFocusReason || razon == Qt::PopupFocusReason || campo->isReadOnly())
            break;
        campo->setMaxLength(kSinLimite);
        if (!formato834::vacio(campo->text()))
            campo->setText(formato834::miles(formato834::leer(campo->text())));
        break;
    }
    case QEvent::KeyPress: {
        auto* tecla = static_cast<QKeyEvent*>(event);
        if (tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter) {
            AvanzaFoco(QStringLiteral("TAB"));
            return true;
        }
        if (tecla->text().isEmpty() || (tecla->modifiers() & Qt::ControlModifier))
            break;
        const int codigo = tecla->text().at(0).unicode();
        if (ObjFunciones().FiltroNumerico(codigo) == 0)
            return true;
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void FrmAnexo105::recalculaTotal()
{
    Dinero suma;
    for (QLineEdit* campo : txtMonto_)
        suma += formato834::leer(campo->text());
    txtTotal_->setText(formato834::miles(suma));
}

void FrmAnexo105::CmdGrabar_Click()
{
    ModObjetos::PunteroEspera(true);
    Detalle105 montos;
    for (int i = 0; i < kMontos; ++i)
        montos[i] = txtMonto_[i]->text();
    const lectura834::Clave clave{sRuc, sPeriodo, sFormulario, false, QString()};
    const QString error = anexo105::guardar(db_, clave, iExistente != 0, montos);
    ModObjetos::PunteroEspera(false);
    if (!error.isEmpty()) {
        // Nothing was stored: the rows are written in one transaction. The
        // driver's words alone would not tell the user so.
        muestraError(QStringLiteral("Las deducciones no pudieron ser grabadas: no se guardó ningún dato y se "
                                    "conservan las anteriores.\n")
                     + error);
        return;
    }
    total_ = formato834::leer(txtTotal_->text());
    accept();
}

void FrmAnexo105::muestraError(const QString& error)
{
    QMessageBox box(QMessageBox::Critical, kCaption, error, QMessageBox::Ok, this);
    box.exec();
}

void FrmAnexo105::cmdCancelar_Click()
{
    ModObjetos::PunteroEspera(false);
    reject();
}
