#include "FrmConsist.h"

#include "ModObjetos.h"
#include "Validacion834.h"

#include <QApplication>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

const QString FrmConsist::kCaption = QStringLiteral("Inconsistencias detectadas");
const QString FrmConsist::kTituloImpresion = QStringLiteral("Impresión");
const QString FrmConsist::kSinImpresora = QStringLiteral("No existe una impresora seleccionada.Verifique.");
const QString FrmConsist::kCancelada = QStringLiteral("La Impresión ha sido Cancelada.");

namespace {

constexpr int kTwipsPorPulgada = 1440;
constexpr int kAlturaLinea = 270;
constexpr int kPrimeraLinea = 1000;
constexpr int kLineasPorPagina = 40;
constexpr int kTamanoLetraTwips = 160;   // 8 points
const QString kTitulo = QStringLiteral("INCONSISTENCIAS DETECTADAS ");
const QString kSubtitulo = QStringLiteral("DECLARACION ANTICIPO ADICIONAL RENTA 3RA. CAT.");
const QString kTotal = QStringLiteral(" Inconsistencias Detectadas : ");
const QString kEtiqueta = QStringLiteral("En su declaración se han detectado las siguientes inconsistencias :");

QFont fuenteCourier()
{
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::Monospace);
    return f;
}

} // namespace

QList<ElementoImpreso> disenoInconsistencias(const QStringList& lineas, const QDateTime& ahora)
{
    QList<ElementoImpreso> e;
    const auto texto = [&e](int pagina, int x, int y, const QString& t, bool negrita) {
        ElementoImpreso el;
        el.pagina = pagina;
        el.x = x;
        el.y = y;
        el.texto = t;
        el.negrita = negrita;
        e.append(el);
    };
    const auto marco = [&e](int pagina, int abajo) {
        ElementoImpreso el;
        el.pagina = pagina;
        el.esMarco = true;
        el.marco = QRect(QPoint(300, 720), QPoint(10000, abajo));
        e.append(el);
    };

    texto(0, 400, 300, ahora.date().toString(QStringLiteral("dd/MM/yyyy")), true);
    texto(0, 4500, 300, kTitulo, true);
    texto(0, 400, 570, ahora.time().toString(QStringLiteral("hh:mm:ss")), true);
    texto(0, 3500, 570, kSubtitulo, true);

    const int total = static_cast<int>(lineas.size());
    int pagina = 0;
    int enPagina = 0;
    for (int k = 1; k <= total; ++k) {
        if (enPagina == kLineasPorPagina) {
            marco(pagina, kPrimeraLinea + kAlturaLinea * enPagina);
            ++pagina;
            enPagina = 0;
        }
        texto(pagina, 400, kPrimeraLinea + kAlturaLinea * enPagina, u' ' + QString::number(k) + QStringLiteral(". ")
                                                                       + lineas[k - 1], true);
        ++enPagina;
    }
    const int yTotal = kPrimeraLinea + kAlturaLinea * enPagina;
    texto(pagina, 500, yTotal, kTotal + u' ' + QString::number(total), false);
    marco(pagina, yTotal + kAlturaLinea);
    return e;
}

void pintarInconsistencias(QPainter& p, QPagedPaintDevice& dispositivo, const QList<ElementoImpreso>& elementos)
{
    p.save();
    p.scale(double(dispositivo.logicalDpiX()) / kTwipsPorPulgada, double(dispositivo.logicalDpiY()) / kTwipsPorPulgada);
    QFont letra = fuenteCourier();
    letra.setPixelSize(kTamanoLetraTwips);
    p.setBrush(Qt::NoBrush);
    int pagina = 0;
    for (const ElementoImpreso& el : elementos) {
        while (el.pagina > pagina) {
            dispositivo.newPage();
            ++pagina;
        }
        if (el.esMarco) {
            p.drawRect(el.marco);
            continue;
        }
        letra.setBold(el.negrita);
        p.setFont(letra);
        p.drawText(QRectF(el.x, el.y, 20000, kAlturaLinea), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, el.texto);
    }
    p.restore();
}

FrmConsist::FrmConsist(const QString& rutaArchivo, QWidget* parent)
    : QDialog(parent)
    , ruta_(rutaArchivo)
{
    setObjectName(QStringLiteral("FrmConsist"));
    setWindowTitle(kCaption);
    setModal(true);

    auto* etiqueta = new QLabel(kEtiqueta, this);
    TxtPreliminar_ = new QPlainTextEdit(this);
    TxtPreliminar_->setObjectName(QStringLiteral("TxtPreliminar"));
    TxtPreliminar_->setReadOnly(true);
    TxtPreliminar_->setLineWrapMode(QPlainTextEdit::NoWrap);
    TxtPreliminar_->setFont(fuenteCourier());
    TxtPreliminar_->setPlainText(validacion834::leerMensajes(ruta_).join(u'\n'));

    CmdImprimir_ = new QPushButton(QStringLiteral("&Imprimir"), this);
    CmdImprimir_->setObjectName(QStringLiteral("CmdImprimir"));
    CmdAceptar_ = new QPushButton(QStringLiteral("&Aceptar"), this);
    CmdAceptar_->setObjectName(QStringLiteral("CmdAceptar"));
    CmdAceptar_->setDefault(true);

    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(CmdImprimir_);
    botones->addWidget(CmdAceptar_);
    auto* raiz = new QVBoxLayout(this);
    raiz->addWidget(etiqueta);
    raiz->addWidget(TxtPreliminar_, 1);
    raiz->addLayout(botones);
    resize(640, 360);

    connect(CmdImprimir_, &QPushButton::clicked, this, &FrmConsist::CmdImprimir_Click);
    connect(CmdAceptar_, &QPushButton::clicked, this, &FrmConsist::CmdAceptar_Click);
}

void FrmConsist::CmdAceptar_Click()
{
    aceptada_ = true;
    accept();
}

QString FrmConsist::mensajeImpresion(const ResultadoImpresion& r)
{
    switch (r.fallo) {
    case FalloImpresion::Ninguno: return {};
    case FalloImpresion::SinImpresora:
    case FalloImpresion::NoExiste: return kSinImpresora;
    case FalloImpresion::Cancelado: return kCancelada;
    default: return QStringLiteral("Error Técnico : (%1) %2").arg(r.codigo).arg(r.descripcion());
    }
}

void FrmConsist::CmdImprimir_Click()
{
    const QList<ElementoImpreso> elementos =
        disenoInconsistencias(validacion834::leerMensajes(ruta_), QDateTime::currentDateTime());
    PedidoImpresion pedido;
    pedido.titulo = QStringLiteral("Kv834 ") + kCaption;
    {
        ModObjetos::CursorEspera ocupado;
        ultimaImpresion_ = imprimeEnCola(pedido, [&](QPagedPaintDevice& dispositivo, QString* error) {
            QPainter p;
            if (!p.begin(&dispositivo)) {
                *error = QStringLiteral("no se pudo empezar el documento");
                return false;
            }
            pintarInconsistencias(p, dispositivo, elementos);
            return p.end();
        });
    }
    if (!ultimaImpresion_.ok()) {
        QMessageBox caja(QMessageBox::Critical, kTituloImpresion, mensajeImpresion(ultimaImpresion_), QMessageBox::Ok,
                         this);
        caja.exec();
    }
}
