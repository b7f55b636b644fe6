#pragma once
// Reads a spool file back into data the preview and the printer draw.
// Nothing here draws: every coordinate is in twips from the page's top-left
// corner (x right, y down), sizes in points, pages from 0.

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

struct ElementoSpool {
    enum class Tipo {
        Texto,          // "pPos": text with its top-left corner at (x, y)
        TextoVertical,  // "pPosVerti": character i (from 1) at (x, y + (i - 1) * 190)
        Cuadro,          // "pCuadro": outline between (x, y) and (x2, y2), one-pixel pen
        SaltoPagina,     // "pNuevaHoja": the printer moves to the next sheet
    };
    Tipo kind = Tipo::Texto;
    int page = 0;  // page field of a drawing line; for a page break, the
                   // page of the drawing line before it (-1 when none)
    int x = 0;
    int y = 0;
    int x2 = 0;  // Rect only
    int y2 = 0;  // Rect only
    QString text;
    bool bold = false;
    int size = 8;  // points; a size field of 0 (empty, not a number) reads as 8
};

// Vertical text steps this far down per character.
inline constexpr int kVerticalStep = 190;

struct DocumentoSpool {
    QString fontName;             // "<!font!>": stored; drawing always uses Courier New
    std::optional<int> nHojas;    // "<!nHojas!>"
    QString orientacion;          // "<!Orientacion!>", trimmed ("V")
    QString color;                // "<!Color!>", trimmed ("&H00FFFFC0&")
    QList<ElementoSpool> items;       // drawing lines and page breaks, in file order
    int skippedLines = 0;         // unknown keywords, blank or truncated lines

    // The colour as its 32-bit value 00BBGGRR (top bit set: a system colour).
    std::optional<quint32> valorColor() const;
    // Highest page index of a drawing line, -1 when there is none.
    int ultimaPagina() const;
};

// Parses markup text (Windows-1252 bytes, CR LF or LF line ends).
DocumentoSpool leeSpool(const QByteArray& bytes);
// Reads a spool file; nothing and *error set when it cannot be read.
std::optional<DocumentoSpool> leeArchivoSpool(const QString& path, QString* error = nullptr);

// A page range from the range dialog, pages counted from 1, both included.
struct RangoPaginasSpool {
    int first = 1;
    int last = 1;
    bool contains(int page) const { return page + 1 >= first && page + 1 <= last; }
};

// The preview's page surfaces: surface i holds what is drawn on it, in file
// order. Without a range, surface p holds page p (every page from 0 to the
// last one exists, possibly empty); with one, only the pages of the range,
// in order, from surface 0. There is always at least one surface.
QList<QList<ElementoSpool>> superficiesPrevia(const DocumentoSpool& doc,
                                        const std::optional<RangoPaginasSpool>& range = std::nullopt);

// The sheets of a print job: a page break whose previous page + 1 is in the
// range (any, without a range) starts a new sheet; drawing lines outside the
// range are left out. A last sheet that nothing is drawn on is dropped, so
// the break after the final page adds no blank sheet.
QList<QList<ElementoSpool>> hojasImpresion(const DocumentoSpool& doc,
                                    const std::optional<RangoPaginasSpool>& range = std::nullopt);
