#include "BarradeEstadoQVR.h"

#include <QHBoxLayout>
#include <QLabel>

namespace {

QLabel* panel(QWidget* parent, const char* name, int minimumWidth)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMinimumWidth(minimumWidth);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    return label;
}

} // namespace

BarradeEstadoQVR::BarradeEstadoQVR(QWidget* parent)
    : QWidget(parent)
    , pnlModo_(panel(this, "pnlModo", 24))
    , pnlMensaje1_(panel(this, "pnlMensaje1", 90))
    , pnlMensaje2_(panel(this, "pnlMensaje2", 160))
    , pnlExtra_(panel(this, "pnlExtra", 50))
    , pnlFormulario_(panel(this, "pnlFormulario", 50))
    , pnlMensaje_(panel(this, "pnlMensaje", 80))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(pnlModo_);
    layout->addWidget(pnlMensaje1_);
    layout->addWidget(pnlMensaje2_, 2);
    layout->addWidget(pnlExtra_);
    layout->addWidget(pnlFormulario_);
    layout->addWidget(pnlMensaje_, 1);
    pnlModo_->setAlignment(Qt::AlignCenter);
    pnlFormulario_->setAlignment(Qt::AlignCenter);
}

void BarradeEstadoQVR::reinicia(const QString& mensaje1, const QString& mensaje2, const QString& extra,
                             const QString& formulario)
{
    setModo(1);
    pnlMensaje1_->setText(mensaje1);
    pnlMensaje2_->setText(mensaje2);
    pnlExtra_->setText(extra);
    pnlFormulario_->setText(formulario);
}

void BarradeEstadoQVR::setModo(int modo)
{
    modo_ = modo;
    pnlModo_->setText(QString::number(modo));
}

QString BarradeEstadoQVR::mensaje1() const { return pnlMensaje1_->text(); }
QString BarradeEstadoQVR::mensaje2() const { return pnlMensaje2_->text(); }
QString BarradeEstadoQVR::extra() const { return pnlExtra_->text(); }
QString BarradeEstadoQVR::formulario() const { return pnlFormulario_->text(); }
QString BarradeEstadoQVR::mensaje() const { return pnlMensaje_->text(); }

void BarradeEstadoQVR::setMensaje(const QString& texto)
{
    pnlMensaje_->setText(texto);
}

void BarradeEstadoQVR::limpiaMensaje()
{
    pnlMensaje_->clear();
}
