#include "frmImpxPag.h"

#include "frmPreview.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

const QString kIngreseInicio = QStringLiteral("Ingrese página de inicio.");
const QString kInicioDesdeUno = QStringLiteral("Página inicial debe ser a partir de 1.");
const QString kInicioMayorTotal = QStringLiteral("Página inicial no debe ser mayor a total de páginas del reporte.");
const QString kIngreseFin = QStringLiteral("Ingrese página de Fin.");
const QString kFinMenorInicio = QStringLiteral("Página de Inicio debe ser mayor a página de Fin.");

// The number a page box holds: blanks ignored, digits with an optional
// decimal part; whatever follows is dropped.
double valor(const QString& texto)
{
    QString s = texto;
    s.remove(u' ');
    qsizetype n = 0;
    bool punto = false;
    while (n < s.size() && (s[n].isDigit() || (s[n] == u'.' && !punto))) {
        punto = punto || s[n] == u'.';
        ++n;
    }
    return s.left(n).toDouble();
}

// A page as the range keeps it, a 16-bit number; larger values stop at the
// largest, which every report ends before.
int pagina16(double v)
{
    return int(std::min(32767.0, std::max(-32768.0, std::nearbyint(v))));
}

}  // namespace

frmImpxPag::frmImpxPag(const QString& carpetaReportes, const QString& archivo, int totalPaginas,
                       ImprimeHojas imprime, QWidget* parent)
    : QDialog(parent), carpeta_(carpetaReportes), archivo_(archivo), total_(totalPaginas),
      imprime_(std::move(imprime))
{
    setObjectName(QStringLiteral("frmImpxPag"));
    setWindowTitle(QStringLiteral("Impresión de ") + QString::number(totalPaginas) + QStringLiteral(" páginas"));

    txtTotPaginas_ = new QLineEdit(QString::number(totalPaginas));
    txtTotPaginas_->setObjectName(QStringLiteral("txtTotPaginas"));
    txtTotPaginas_->setReadOnly(true);
    txtTotPaginas_->setFocusPolicy(Qt::NoFocus);
    txtTotPaginas_->setMaximumWidth(50);
    txtTotPaginas_->setAlignment(Qt::AlignCenter);
    txtPagDesde_ = new QLineEdit(QStringLiteral("1"));
    txtPagDesde_->setObjectName(QStringLiteral("txtPagDesde"));
    txtPagHasta_ = new QLineEdit;
    txtPagHasta_->setObjectName(QStringLiteral("txtPagHasta"));
    for (QLineEdit* e : {txtPagDesde_, txtPagHasta_}) {
        e->installEventFilter(this);
        e->setMaxLength(5);
        e->setContextMenuPolicy(Qt::NoContextMenu);
        // Pasted text obeys the same rule as the keys typed.
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9. ]*")), e));
    }

    auto* primera = new QHBoxLayout;
    primera->addWidget(new QLabel(QStringLiteral("El reporte generado contiene ")));
    primera->addWidget(txtTotPaginas_);
    primera->addWidget(new QLabel(QStringLiteral(" páginas.")));
    primera->addStretch();
    auto* aviso = new QLabel(QStringLiteral("Si su consulta contiene más de 10 páginas puede\n"
                                            "ocasionar la caida del programa debido a la saturación de \n"
                                            "la memoria de la computadora.\n"
                                            "Se recomienda imprimir en rangos no mayores a 10 páginas."));
    aviso->setObjectName(QStringLiteral("lblAviso"));

    auto* marco = new QGroupBox(QStringLiteral("Imprimir"));
    marco->setObjectName(QStringLiteral("fraImprimir"));
    auto* rangoLayout = new QHBoxLayout(marco);
    auto* lblDesde = new QLabel(QStringLiteral("&Desde :"));
    lblDesde->setBuddy(txtPagDesde_);
    auto* lblHasta = new QLabel(QStringLiteral("&Hasta :"));
    lblHasta->setBuddy(txtPagHasta_);
    rangoLayout->addWidget(lblDesde);
    rangoLayout->addWidget(txtPagDesde_);
    rangoLayout->addWidget(lblHasta);
    rangoLayout->addWidget(txtPagHasta_);

    cmdPreliminar_ = new QPushButton(QStringLiteral("&Preliminar"));
    cmdPreliminar_->setObjectName(QStringLiteral("cmdAccion_0"));
    cmdCancelar_ = new QPushButton(QStringLiteral("&Cancelar"));
    cmdCancelar_->setObjectName(QStringLiteral("cmdAccion_1"));
    for (QPushButton* b : {cmdPreliminar_, cmdCancelar_})
        b->setAutoDefault(false);
    connect(cmdPreliminar_, &QPushButton::clicked, this, [this] { cmdAccion_Click(0); });
    connect(cmdCancelar_, &QPushButton::clicked, this, [this] { cmdAccion_Click(1); });
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(cmdPreliminar_);
    botones->addWidget(cmdCancelar_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(primera);
    layout->addWidget(aviso);
    layout->addWidget(marco);
    layout->addLayout(botones);
    txtPagDesde_->setFocus();
}

QString frmImpxPag::validaRango(const QString& desde, const QString& hasta, int totalPaginas, RangoPaginasSpool* rango)
{
    if (desde.trimmed().isEmpty())
        return kIngreseInicio;
    const double primera = valor(desde);
    if (primera <= 0)
        return kInicioDesdeUno;
    if (primera > totalPaginas)
        return kInicioMayorTotal;
    if (hasta.trimmed().isEmpty())
        return kIngreseFin;
    const double ultima = valor(hasta);
    if (ultima < primera)
        return kFinMenorInicio;
    if (rango) {
        rango->first = pagina16(primera);
        rango->last = pagina16(ultima);
    }
    return {};
}

void frmImpxPag::cmdAccion_Click(int indice)
{
    if (indice != 0) {
        reject();
        return;
    }
    RangoPaginasSpool rango;
    const QString mensaje = validaRango(txtPagDesde_->text(), txtPagHasta_->text(), total_, &rango);
    if (!mensaje.isEmpty()) {
        QMessageBox::critical(this, windowTitle(), mensaje);
        return;
    }
    rango_ = rango;
    frmPreview preview(carpeta_, imprime_, this);
    preview.setRango(rango_);
    preview.setArchivoPdf(archivoPdf_);
    if (!preview.pDesencripta(archivo_, frmPreview::kPresPrevia))
        return;
    preview.pMostrar(0);
    if (alAbrirPreview)
        alAbrirPreview(preview);
    preview.exec();
}

bool frmImpxPag::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == txtPagDesde_ || watched == txtPagHasta_) && event->type() == QEvent::KeyPress) {
        auto* tecla = static_cast<QKeyEvent*>(event);
        if (tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
        const QString t = tecla->text();
        if (t.size() == 1 && t[0] == u'\b')
            return false;
        // Only digits, the point and the blank are typed into a page box;
        // keys that type nothing (arrows, Delete, Tab) keep their effect.
        if (!t.isEmpty() && t[0].isPrint()) {
            const QChar c = t[0];
            const bool admitida = (c >= u'0' && c <= u'9') || c == u'.' || c == u' ';
            return !admitida;
        }
    }
    return QDialog::eventFilter(watched, event);
}
