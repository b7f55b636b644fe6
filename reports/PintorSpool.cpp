#include "PintorSpool.h"

#include "ArchivoSeguro.h"

#include <QBuffer>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPalette>
#include <QPdfWriter>

namespace {

// Font sizes are points; in twips a point is 20 units.
constexpr int kTwipsPorPunto = 20;
constexpr int kPasoVertical = kVerticalStep;

QFont fuente(bool negrita, int puntos)
{
    QFont f{QString(kFuenteReporte)};
    f.setStyleHint(QFont::TypeWriter);
    f.setPixelSize(std::max(1, puntos) * kTwipsPorPunto);
    f.setBold(negrita);
    return f;
}

void texto(QPainter& p, int x, int y, const QString& s)
{
    // Anchored at the top-left like the original's current position; the
    // rectangle is only an anchor, nothing is clipped.
    p.drawText(QRectF(x, y, 1, 1), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine, s);
}

}  // namespace

void transformacionTwips(QPainter& painter, double dpiX, double dpiY)
{
    painter.scale(dpiX / kTwipsPorPulgada, dpiY / kTwipsPorPulgada);
}

void dibujaPaginaSpool(QPainter& painter, const QList<ElementoSpool>& items)
{
    painter.save();
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setPen(QPen(Qt::black, 0));  // cosmetic: one device pixel
    painter.setBrush(Qt::NoBrush);
    QFont actual;
    bool hayFuente = false;
    for (const ElementoSpool& it : items) {
        switch (it.kind) {
        case ElementoSpool::Tipo::Texto:
        case ElementoSpool::Tipo::TextoVertical: {
            const QFont f = fuente(it.bold, it.size);
            if (!hayFuente || f != actual) {
                painter.setFont(f);
                actual = f;
                hayFuente = true;
            }
            if (it.kind == ElementoSpool::Tipo::Texto) {
                texto(painter, it.x, it.y, it.text);
            } else {
                for (qsizetype i = 0; i < it.text.size(); ++i)
                    texto(painter, it.x, it.y + int(i) * kPasoVertical, it.text.mid(i, 1));
            }
            break;
        }
        case ElementoSpool::Tipo::Cuadro:
            painter.drawLine(it.x, it.y, it.x, it.y2);
            painter.drawLine(it.x2, it.y, it.x2, it.y2);
            painter.drawLine(it.x, it.y, it.x2, it.y);
            painter.drawLine(it.x, it.y2, it.x2, it.y2);
            break;
        case ElementoSpool::Tipo::SaltoPagina:
            break;
        }
    }
    painter.restore();
}

std::optional<QColor> colorSpool(const DocumentoSpool& doc)
{
    const std::optional<quint32> v = doc.valorColor();
    if (!v)
        return std::nullopt;
    if (*v & 0x80000000u) {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            return QGuiApplication::palette().color(QPalette::Base);
        return QColor(Qt::white);
    }
    return QColor(int(*v & 0xFF), int((*v >> 8) & 0xFF), int((*v >> 16) & 0xFF));
}

QImage dibujaSuperficie(const QList<ElementoSpool>& items, const QColor& fondo, double dpi, int anchoTwips,
                     int altoTwips)
{
    const int ancho = std::max(1, int(anchoTwips * dpi / kTwipsPorPulgada + 0.5));
    const int alto = std::max(1, int(altoTwips * dpi / kTwipsPorPulgada + 0.5));
    QImage img(ancho, alto, QImage::Format_RGB32);
    const int puntosPorMetro = int(dpi / 0.0254 + 0.5);
    img.setDotsPerMeterX(puntosPorMetro);
    img.setDotsPerMeterY(puntosPorMetro);
    img.fill(fondo);
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing);
    transformacionTwips(p, dpi, dpi);
    dibujaPaginaSpool(p, items);
    return img;
}

bool dibujaHojas(QPagedPaintDevice& device, const QList<QList<ElementoSpool>>& sheets, QString* error)
{
    if (sheets.isEmpty())
        return true;
    QPainter p;
    if (!p.begin(&device)) {
        if (error)
            *error = QStringLiteral("the printer could not be started");
        return false;
    }
    for (qsizetype i = 0; i < sheets.size(); ++i) {
        if (i > 0 && !device.newPage()) {
            if (error)
                *error = QStringLiteral("the printer could not start a new page");
            p.end();
            return false;
        }
        p.resetTransform();
        transformacionTwips(p, device.logicalDpiX(), device.logicalDpiY());
        dibujaPaginaSpool(p, sheets[i]);
    }
    return p.end();
}

bool escribePdfSpool(const QString& path, const QList<QList<ElementoSpool>>& sheets, QString* error)
{
    // Drawn in memory, then written beside the name and renamed into place:
    // a full disk leaves the previous file whole and is told, never a short file.
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&bytes);
        pdf.setCreator(QStringLiteral("Kv834"));
        pdf.setResolution(1200);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        // An empty report still gives a valid one-page file.
        const QList<QList<ElementoSpool>> hojas = sheets.isEmpty() ? QList<QList<ElementoSpool>>{{}} : sheets;
        if (!dibujaHojas(pdf, hojas, error)) {
            if (error && error->isEmpty())
                *error = QStringLiteral("cannot write %1").arg(path);
            return false;
        }
    }
    return ArchivoSeguro::escribeTodo(path, bytes.data(), error);
}
