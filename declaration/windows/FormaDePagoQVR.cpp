#include "FormaDePagoQVR.h"

#include "ControlesQVR.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QValidator>

namespace {

// The cheque number takes what the declaration model accepts, key by key.
class ValidadorCheque : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& texto, int&) const override { return numChequeAceptado(texto) ? Acceptable : Invalid; }
};

} // namespace

FormaDePagoQVR::FormaDePagoQVR(QWidget* parent)
    : QGroupBox(QStringLiteral("Forma de Pago"), parent)
    , txtImporte_(new QLineEdit(this))
    , optCheque_(new QRadioButton(QStringLiteral("Cheque"), this))
    , optEfectivo_(new QRadioButton(QStringLiteral("Efectivo"), this))
    , cboBanco_(new QComboBox(this))
    , txtNumCheque_(new QLineEdit(this))
{
    txtImporte_->setObjectName(QStringLiteral("txtImporte"));
    txtImporte_->setReadOnly(true);
    txtImporte_->setFocusPolicy(Qt::NoFocus);
    txtImporte_->setAlignment(Qt::AlignRight);
    controlesqvr::anchoParaMostrar(txtImporte_, QStringLiteral("999,999,999,999"));
    optCheque_->setObjectName(QStringLiteral("optCheque"));
    optEfectivo_->setObjectName(QStringLiteral("optEfectivo"));
    cboBanco_->setObjectName(QStringLiteral("cboBanco"));
    txtNumCheque_->setObjectName(QStringLiteral("txtNumCheque"));
    txtNumCheque_->setMaxLength(kLargoNumCheque);
    txtNumCheque_->setValidator(new ValidadorCheque(this));
    controlesqvr::rechazaPegado(txtNumCheque_);

    auto* grupo = new QButtonGroup(this);
    grupo->addButton(optCheque_);
    grupo->addButton(optEfectivo_);

    auto* layout = new QGridLayout(this);
    // Each label names its control, also for screen readers.
    struct Fila {
        const char* texto;
        QWidget* control;
        int fila;
    };
    for (const Fila& f : {Fila{"Importe", txtImporte_, 0}, Fila{"Banco", cboBanco_, 2},
                          Fila{"Nro. Cheque", txtNumCheque_, 3}}) {
        auto* etiqueta = new QLabel(QString::fromUtf8(f.texto) + QStringLiteral(" :"), this);
        etiqueta->setBuddy(f.control);
        controlesqvr::nombra(f.control, QString::fromUtf8(f.texto));
        layout->addWidget(etiqueta, f.fila, 0);
        layout->addWidget(f.control, f.fila, 1);
    }
    layout->addWidget(optEfectivo_, 1, 0);
    layout->addWidget(optCheque_, 1, 1);

    connect(optCheque_, &QRadioButton::clicked, this, &FormaDePagoQVR::alElegir);
    connect(optEfectivo_, &QRadioButton::clicked, this, &FormaDePagoQVR::alElegir);
    connect(cboBanco_, &QComboBox::activated, this, &FormaDePagoQVR::alElegir);
    connect(txtNumCheque_, &QLineEdit::textEdited, this, &FormaDePagoQVR::alElegir);
    muestra();
}

void FormaDePagoQVR::setBancos(const QList<std::pair<QString, QString>>& bancos)
{
    mostrando_ = true;
    cboBanco_->clear();
    for (const auto& [codigo, nombre] : bancos)
        cboBanco_->addItem(nombre, codigo);
    mostrando_ = false;
    muestra();
}

void FormaDePagoQVR::setImporte(const QString& v) { FormaDePago p = valor_; p.importe = v; setValor(p); }
void FormaDePagoQVR::setFormapago(const QString& v) { FormaDePago p = valor_; p.formapago = v; setValor(p); }
void FormaDePagoQVR::setBanco(const QString& v) { FormaDePago p = valor_; p.banco = v; setValor(p); }
void FormaDePagoQVR::setNumcheque(const QString& v) { FormaDePago p = valor_; p.numcheque = v; setValor(p); }
void FormaDePagoQVR::setHabilitado(bool v) { FormaDePago p = valor_; p.habilitado = v; setValor(p); }

void FormaDePagoQVR::setValor(const FormaDePago& valor)
{
    valor_ = valor;
    muestra();
}

// Puts the values on the controls without reporting them back.
void FormaDePagoQVR::muestra()
{
    mostrando_ = true;
    txtImporte_->setText(valor_.importe);
    const bool cheque = valor_.formapago == u"C";
    const bool efectivo = valor_.formapago == u"E";
    // "X" (or anything else) leaves both options unselected.
    optCheque_->group()->setExclusive(false);
    optCheque_->setChecked(cheque);
    optEfectivo_->setChecked(efectivo);
    optCheque_->group()->setExclusive(true);
    cboBanco_->setCurrentIndex(cboBanco_->findData(valor_.banco.trimmed()));
    if (txtNumCheque_->text() != valor_.numcheque)
        txtNumCheque_->setText(valor_.numcheque);
    optCheque_->setEnabled(valor_.habilitado);
    optEfectivo_->setEnabled(valor_.habilitado);
    cboBanco_->setEnabled(valor_.habilitado && cheque);
    txtNumCheque_->setEnabled(valor_.habilitado && cheque);
    mostrando_ = false;
}

void FormaDePagoQVR::alElegir()
{
    if (mostrando_)
        return;
    if (optCheque_->isChecked())
        valor_.formapago = QStringLiteral("C");
    else if (optEfectivo_->isChecked())
        valor_.formapago = QStringLiteral("E");
    valor_.banco = cboBanco_->currentIndex() >= 0 ? cboBanco_->currentData().toString() : QString();
    valor_.numcheque = txtNumCheque_->text();
    muestra();
    emit cambiado();
}
