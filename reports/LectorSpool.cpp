#include "LectorSpool.h"

#include "FormatoSpool.h"

#include <QFile>
#include <algorithm>

namespace {

// The numeric prefix of a field as a 16-bit integer: leading blanks, an
// optional sign, digits; anything after them (a fraction, letters) is
// ignored, no digits give 0, and values beyond the range stop at its ends.
int aEntero16(QStringView field)
{
    qsizetype i = 0;
    while (i < field.size() && (field[i] == u' ' || field[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == u'-' || field[i] == u'+'))
        negative = field[i++] == u'-';
    qint64 n = 0;
    for (; i < field.size() && field[i] >= u'0' && field[i] <= u'9'; ++i) {
        n = n * 10 + (field[i].unicode() - u'0');
        if (n > 32768)
            break;
    }
    if (negative)
        n = -n;
    return int(std::clamp<qint64>(n, -32768, 32767));
}

bool esVerdadero(QStringView field)
{
    return field.trimmed().compare(QLatin1StringView("True"), Qt::CaseInsensitive) == 0;
}

// Fields of a command line, each ended by '|'. A field without its '|'
// means the line was cut short.
class Campos {
public:
    Campos(QStringView line, qsizetype pos) : line_(line), pos_(pos) {}
    std::optional<QStringView> siguiente()
    {
        if (pos_ > line_.size())
            return std::nullopt;
        const qsizetype bar = line_.indexOf(u'|', pos_);
        if (bar < 0)
            return std::nullopt;
        const QStringView field = line_.sliced(pos_, bar - pos_);
        pos_ = bar + 1;
        return field;
    }

private:
    QStringView line_;
    qsizetype pos_;
};

// The command word: the characters from the start of the line up to the
// first "|" (dropped), "!>" (kept) or "aHoja" (kept), trimmed. A line with
// none of them is its own command word, which matches nothing.
QStringView palabraOrden(QStringView line, qsizetype* fieldsStart)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'|') {
            *fieldsStart = i + 1;
            return line.first(i).trimmed();
        }
        const bool tagEnd = i >= 1 && line[i - 1] == u'!' && line[i] == u'>';
        const bool breakEnd = i >= 4 && line.sliced(i - 4, 5) == QLatin1StringView("aHoja");
        if (tagEnd || breakEnd) {
            *fieldsStart = i + 1;
            return line.first(i + 1).trimmed();
        }
    }
    *fieldsStart = line.size();
    return line.trimmed();
}

// The value of a tag line: from the end of the opening tag to the start
// of its closing tag ("<!nHojas!>" closes with "<!/nHojas!>"), or to the
// end of the line when the closing tag is missing.
QString valorDeEtiqueta(QStringView line, qsizetype start, QStringView openTag)
{
    const QString closing = QStringLiteral("<!/") + openTag.sliced(2).toString();
    const qsizetype end = line.indexOf(closing, start);
    return (end < 0 ? line.sliced(start) : line.sliced(start, end - start)).toString();
}

bool leeTexto(Campos& f, ElementoSpool::Tipo kind, ElementoSpool* item)
{
    const auto x = f.siguiente(), y = f.siguiente(), text = f.siguiente(), bold = f.siguiente(), size = f.siguiente(),
               page = f.siguiente();
    if (!page)
        return false;
    item->kind = kind;
    item->x = aEntero16(*x);
    item->y = aEntero16(*y);
    item->text = text->toString();
    item->bold = esVerdadero(*bold);
    item->size = aEntero16(*size);
    if (item->size <= 0)
        item->size = 8;
    item->page = aEntero16(*page);
    return true;
}

bool leeCuadro(Campos& f, ElementoSpool* item)
{
    const auto x1 = f.siguiente(), y1 = f.siguiente(), x2 = f.siguiente(), y2 = f.siguiente(), page = f.siguiente();
    if (!page)
        return false;
    item->kind = ElementoSpool::Tipo::Cuadro;
    item->x = aEntero16(*x1);
    item->y = aEntero16(*y1);
    item->x2 = aEntero16(*x2);
    item->y2 = aEntero16(*y2);
    item->page = aEntero16(*page);
    return true;
}

// Reads one line into the document; false when the line was skipped.
bool leeLinea(QStringView line, DocumentoSpool& doc, int* lastDrawnPage)
{
    qsizetype start = 0;
    const QStringView word = palabraOrden(line, &start);

    if (word == FormatoSpool::kFontOpen) {
        doc.fontName = valorDeEtiqueta(line, start, word);
        return true;
    }
    if (word == FormatoSpool::kNHojasOpen) {
        doc.nHojas = aEntero16(valorDeEtiqueta(line, start, word));
        return true;
    }
    if (word == FormatoSpool::kColorOpen) {
        doc.color = valorDeEtiqueta(line, start, word).trimmed();
        return true;
    }
    if (word == FormatoSpool::kOrientacionOpen) {
        doc.orientacion = valorDeEtiqueta(line, start, word).trimmed();
        return true;
    }
    if (word == FormatoSpool::kNuevaHoja) {
        ElementoSpool item;
        item.kind = ElementoSpool::Tipo::SaltoPagina;
        item.page = *lastDrawnPage;
        doc.items.append(item);
        return true;
    }

    ElementoSpool item;
    Campos fields(line, start);
    bool parsed = false;
    if (word == FormatoSpool::kPos)
        parsed = leeTexto(fields, ElementoSpool::Tipo::Texto, &item);
    else if (word == FormatoSpool::kPosVerti)
        parsed = leeTexto(fields, ElementoSpool::Tipo::TextoVertical, &item);
    else if (word == FormatoSpool::kCuadro)
        parsed = leeCuadro(fields, &item);
    if (!parsed)
        return false;
    *lastDrawnPage = item.page;
    doc.items.append(std::move(item));
    return true;
}

}  // namespace

std::optional<quint32> DocumentoSpool::valorColor() const
{
    QStringView digits(color);
    if (!digits.startsWith(QLatin1StringView("&H"), Qt::CaseInsensitive))
        return std::nullopt;
    digits = digits.sliced(2);
    if (digits.endsWith(u'&'))
        digits.chop(1);
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok, 16);
    if (!ok || digits.isEmpty() || digits.size() > 8)
        return std::nullopt;
    return quint32(value);
}

int DocumentoSpool::ultimaPagina() const
{
    int last = -1;
    for (const ElementoSpool& item : items) {
        if (item.kind != ElementoSpool::Tipo::SaltoPagina)
            last = std::max(last, item.page);
    }
    return last;
}

DocumentoSpool leeSpool(const QByteArray& bytes)
{
    DocumentoSpool doc;
    const QString text = FormatoSpool::decodifica(bytes);
    int lastDrawnPage = -1;
    QStringView rest(text);
    while (!rest.isEmpty()) {
        const qsizetype lf = rest.indexOf(u'\n');
        QStringView line = lf < 0 ? rest : rest.first(lf);
        rest = lf < 0 ? QStringView() : rest.sliced(lf + 1);
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (!leeLinea(line, doc, &lastDrawnPage))
            ++doc.skippedLines;
    }
    return doc;
}

std::optional<DocumentoSpool> leeArchivoSpool(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    return leeSpool(file.readAll());
}

QList<QList<ElementoSpool>> superficiesPrevia(const DocumentoSpool& doc, const std::optional<RangoPaginasSpool>& range)
{
    QList<QList<ElementoSpool>> surfaces(1);
    int lastLoaded = 0;
    bool firstOfRange = true;
    for (const ElementoSpool& item : doc.items) {
        if (item.kind == ElementoSpool::Tipo::SaltoPagina)
            continue;
        const int p = item.page;
        if (!range) {
            if (p < 0)
                continue;  // a page before the first has no surface
            if (p > lastLoaded) {
                surfaces.resize(p + 1);
                lastLoaded = p;
            }
            surfaces[p].append(item);
            continue;
        }
        if (!range->contains(p))
            continue;
        if (p > lastLoaded) {
            // A range from page 2 on fills surface 0 with its first page.
            if (!(range->first >= 2 && firstOfRange))
                surfaces.append(QList<ElementoSpool>());
            firstOfRange = false;
            lastLoaded = p;
        }
        surfaces.last().append(item);
    }
    return surfaces;
}

QList<QList<ElementoSpool>> hojasImpresion(const DocumentoSpool& doc, const std::optional<RangoPaginasSpool>& range)
{
    QList<QList<ElementoSpool>> sheets(1);
    for (const ElementoSpool& item : doc.items) {
        if (item.kind == ElementoSpool::Tipo::SaltoPagina) {
            if (!range || range->contains(item.page))
                sheets.append(QList<ElementoSpool>());
            continue;
        }
        if (!range || range->contains(item.page))
            sheets.last().append(item);
    }
    if (sheets.size() > 1 && sheets.last().isEmpty())
        sheets.removeLast();
    return sheets;
}
