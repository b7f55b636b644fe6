#include "frmAcercade.h"

#include "ApoyoDialogos.h"
#include "LineaDeOrdenes.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kCaption = QStringLiteral("Acerca de Qvarion ");
const QString kProduct = QStringLiteral("Qvarion");
const QString kFormTitle = QStringLiteral("Anticipo Adicional de Renta 3ra. Categoría");
// The module's version as the package carries it, major and minor only.
const QString kVersion = QStringLiteral("Versión ") + QString::fromLatin1(LineaDeOrdenes::versionCorta());

constexpr int kWidthTwips = 5700;
constexpr int kHeightTwips = 3000;

// The decoration: a form sheet with a few ruled lines.
QPixmap imagenProducto(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(QPen(QColor(30, 60, 120), s / 24.0));
    p.setBrush(QColor(235, 242, 255));
    p.drawRoundedRect(QRectF(s * 0.18, s * 0.08, s * 0.64, s * 0.84), s * 0.05, s * 0.05);
    for (int i = 0; i < 5; ++i) {
        const qreal y = s * (0.28 + i * 0.12);
        p.drawLine(QPointF(s * 0.28, y), QPointF(s * (i == 4 ? 0.5 : 0.72), y));
    }
    return pixmap;
}

} // namespace

frmAcercade::frmAcercade(QWidget* parent)
    : QDialog(parent),
      txtVersion_(new QLineEdit(this)),
      cmdAceptar_(new QPushButton(QStringLiteral("&Aceptar"), this))
{
    setObjectName(QStringLiteral("frmAcercade"));
    setWindowTitle(kCaption);
    txtVersion_->setObjectName(QStringLiteral("txtVersion"));
    cmdAceptar_->setObjectName(QStringLiteral("cmdAceptar"));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picIcon"));
    picture->setPixmap(imagenProducto(48));
    auto* product = new QLabel(kProduct, this);
    product->setObjectName(QStringLiteral("lblProducto"));
    QFont big = product->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    product->setFont(big);
    auto* title = new QLabel(kFormTitle, this);
    title->setObjectName(QStringLiteral("lblTitulo"));
    txtVersion_->setReadOnly(true);
    txtVersion_->setFrame(false);
    txtVersion_->setText(kVersion);
    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* texts = new QVBoxLayout;
    texts->addWidget(product);
    texts->addWidget(title);
    texts->addWidget(txtVersion_);
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdAceptar_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addStretch();
    layout->addWidget(line);
    layout->addLayout(buttons);

    cmdAceptar_->setDefault(true);
    connect(cmdAceptar_, &QPushButton::clicked, this, &QDialog::accept);

    redimensionaEnTwips(this, kWidthTwips, kHeightTwips);
    centraEnVentanaPrincipal(this);
    // Loaded: the box waits for the user with the normal pointer.
    ModObjetos::PunteroEspera(false);
}
