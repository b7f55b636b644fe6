#pragma once
// Drawing of spool pages. The screen preview, the printer and the PDF file
// all draw through dibujaPaginaSpool, so what is shown is what is printed.

#include "LectorSpool.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QString>
#include <optional>

class QPainter;
class QPagedPaintDevice;

// Twips per inch.
inline constexpr int kTwipsPorPulgada = 1440;

// The report font. "Courier New" resolves to a metric-compatible face where
// the original is not installed.
inline constexpr auto kFuenteReporte = QLatin1StringView("Courier New");

// Draws the items of one page. The painter's coordinates must be twips:
// call transformacionTwips first (or scale yourself). Texts have their top-left
// corner at (x, y), transparent background; rectangles are four edges with a
// one-pixel (cosmetic) pen.
void dibujaPaginaSpool(QPainter& painter, const QList<ElementoSpool>& items);

// Scales the painter so that one unit is one twip on a device of this
// resolution (dots per inch).
void transformacionTwips(QPainter& painter, double dpiX, double dpiY);

// The page colour of a "<!Color!>" value 00BBGGRR; a system colour (top bit
// set) is the window background. Nothing when the value is absent.
std::optional<QColor> colorSpool(const DocumentoSpool& doc);

// One page surface as an image at `dpi`, the surface size in twips, filled
// with `fondo` and drawn in twips.
QImage dibujaSuperficie(const QList<ElementoSpool>& items, const QColor& fondo, double dpi,
                     int anchoTwips = 18000, int altoTwips = 15000);

// Prints the sheets on a paged device (a printer or a PDF writer): one
// device page per sheet, drawn from the device's painting origin. False and
// *error when the device cannot be painted on. No sheets: nothing is begun.
bool dibujaHojas(QPagedPaintDevice& device, const QList<QList<ElementoSpool>>& sheets, QString* error = nullptr);

// Writes the sheets to a PDF file, A4 portrait without margins, as
// ArchivoSeguro writes: the name gets the whole file or keeps what it had.
bool escribePdfSpool(const QString& path, const QList<QList<ElementoSpool>>& sheets, QString* error = nullptr);
