#pragma once
// The report markup: one drawing command or tag per line, fields each
// followed by '|', coordinates in twips, sizes in points, pages from 0.
// Files are Windows-1252 bytes with CR LF line ends.

#include <QByteArray>
#include <QString>
#include <QStringView>

class QStringEncoder;

namespace FormatoSpool {

inline constexpr auto kPos = QLatin1StringView("pPos");
inline constexpr auto kPosVerti = QLatin1StringView("pPosVerti");
inline constexpr auto kCuadro = QLatin1StringView("pCuadro");
inline constexpr auto kNuevaHoja = QLatin1StringView("pNuevaHoja");

inline constexpr auto kFontOpen = QLatin1StringView("<!font!>");
inline constexpr auto kNHojasOpen = QLatin1StringView("<!nHojas!>");
inline constexpr auto kColorOpen = QLatin1StringView("<!Color!>");
inline constexpr auto kOrientacionOpen = QLatin1StringView("<!Orientacion!>");

// "<!font!>Courier New<!/font!>", "<!nHojas!>2<!/nHojas!>", ...
QString etiquetaFuente(const QString& fontName);
QString etiquetaNHojas(int pages);  // a count of 1 or less is written as 1
QString etiquetaOrientacion(const QString& value);
QString etiquetaColor(const QString& value);  // value as "&H00FFFFC0&"

// The page colour of the declaration preview, pale cyan.
inline constexpr auto kColorDeclaracion = QLatin1StringView("&H00FFFFC0&");

// "pPos|x|y|text|True|size|page|". A '|' in the text would shift every
// later field, so it is written as a broken bar; line breaks as blanks.
QString lineaPos(int x, int y, QStringView text, bool bold, int size, int page);
// "pCuadro|x1|y1|x2|y2|page|"
QString lineaCuadro(int x1, int y1, int x2, int y2, int page);

// One line as the file holds it: Windows-1252 bytes and CR LF. A character
// the code page lacks becomes '?'.
QByteArray codificaLinea(QStringView line);
// The same with a Windows-1252 encoder the caller keeps for many lines.
QByteArray codificaLinea(QStringEncoder& encoder, QStringView line);

// Lines are read back from Windows-1252.
QString decodifica(const QByteArray& bytes);

}  // namespace FormatoSpool
