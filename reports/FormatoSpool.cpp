#include "FormatoSpool.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace FormatoSpool {

namespace {

QString etiquetaConValor(QLatin1StringView name, const QString& value)
{
    return QStringLiteral("<!%1!>%2<!/%1!>").arg(name, value);
}

QString textoCampo(QStringView text)
{
    QString out = text.toString();
    out.replace(u'|', QChar(0x00A6));
    out.replace(u'\r', u' ');
    out.replace(u'\n', u' ');
    return out;
}

}  // namespace

QString etiquetaFuente(const QString& fontName) { return etiquetaConValor(QLatin1StringView("font"), fontName); }

QString etiquetaNHojas(int pages)
{
    return etiquetaConValor(QLatin1StringView("nHojas"), QString::number(pages <= 1 ? 1 : pages));
}

QString etiquetaOrientacion(const QString& value) { return etiquetaConValor(QLatin1StringView("Orientacion"), value); }

QString etiquetaColor(const QString& value) { return etiquetaConValor(QLatin1StringView("Color"), value); }

QString lineaPos(int x, int y, QStringView text, bool bold, int size, int page)
{
    QString line;
    line.reserve(32 + text.size());
    line += kPos;
    line += u'|';
    line += QString::number(x);
    line += u'|';
    line += QString::number(y);
    line += u'|';
    line += textoCampo(text);
    line += u'|';
    line += bold ? QLatin1StringView("True") : QLatin1StringView("False");
    line += u'|';
    line += QString::number(size);
    line += u'|';
    line += QString::number(page);
    line += u'|';
    return line;
}

QString lineaCuadro(int x1, int y1, int x2, int y2, int page)
{
    return QStringLiteral("pCuadro|%1|%2|%3|%4|%5|").arg(x1).arg(y1).arg(x2).arg(y2).arg(page);
}

QByteArray codificaLinea(QStringView line)
{
    QStringEncoder encoder("windows-1252");
    return codificaLinea(encoder, line);
}

QByteArray codificaLinea(QStringEncoder& encoder, QStringView line)
{
    QByteArray bytes = encoder.encode(line);
    // The encoder marks what the code page lacks with SUB; a report shows '?'.
    bytes.replace('\x1a', '?');
    bytes.append("\r\n", 2);
    return bytes;
}

QString decodifica(const QByteArray& bytes)
{
    QStringDecoder decoder("windows-1252");
    return decoder.decode(bytes);
}

}  // namespace FormatoSpool
