#include "ObjFunciones.h"

#include <QFileInfo>
#include <array>

namespace {

bool esDigitoAscii(QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; }
bool esLetraAscii(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}
constexpr char16_t kEnieUpper = 0x00D1;  // Ñ
constexpr char16_t kEnieLower = 0x00F1;  // ñ

bool sonTodosDigitos(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (!esDigitoAscii(c))
            return false;
    return true;
}

// Remainder of the decimal number written by `digits` divided by 97, taken
// digit by digit so that any length is exact.
int mod97(const QString& digits)
{
    int r = 0;
    for (QChar c : digits)
        r = (r * 10 + (c.unicode() - u'0')) % 97;
    return r;
}

} // namespace

bool ObjFunciones::ExisteArchivo(const QString& path) const
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

bool ObjFunciones::RucValido(const QString& ruc) const
{
    const QString r = ruc.trimmed();
    if (r.size() != 11 || !sonTodosDigitos(r))
        return false;
    static const QStringList prefixes{"10", "15", "16", "17", "20"};
    if (!prefixes.contains(r.left(2)))
        return false;
    static constexpr std::array<int, 10> weights{5, 4, 3, 2, 7, 6, 5, 4, 3, 2};
    int sum = 0;
    for (int i = 0; i < 10; ++i)
        sum += (r[i].unicode() - u'0') * weights[i];
    int check = 11 - sum % 11;  // 1..11
    if (check == 10)
        check = 0;
    else if (check == 11)
        check = 1;
    return r[10].unicode() - u'0' == check;
}

QString ObjFunciones::AjustaTexto(const QString& text, int width) const
{
    if (width <= 0)
        return {};
    return text.leftJustified(width, u' ', true);
}

QString ObjFunciones::AlineaDerecha(const QString& text, int width) const
{
    return text.rightJustified(qMax(width, 0), u' ', false);
}

bool ObjFunciones::DocumentoPrimerTipo(const QString& number) const
{
    return sonTodosDigitos(number);
}

int ObjFunciones::FiltroNumerico(int keyAscii) const
{
    if ((keyAscii >= '0' && keyAscii <= '9') || keyAscii == kBackspace || keyAscii == kEnter)
        return keyAscii;
    return 0;
}

bool ObjFunciones::DocumentoSegundoTipo(const QString& number) const
{
    if (number.isEmpty())
        return false;
    for (QChar c : number) {
        const char16_t u = c.unicode();
        if (!esDigitoAscii(c) && !esLetraAscii(c) && u != kEnieUpper && u != kEnieLower)
            return false;
    }
    return true;
}

// Order numbers of a submission.
// The host gives every submission a CONTROL value made of digits. An order
// number has an eight-digit part and a two-digit part; the two-digit part is
// the remainder, on division by 97, of the number written by CONTROL's digits
// followed by the eight digits (CONTROL 123 with 00004567 gives
// 12300004567 mod 97). CONTROL is taken without surrounding blanks and must
// hold digits only; the parts must be exactly eight and two digits.
QString ObjFunciones::ordenDigitoControl(const QString& control, const QString& orden8)
{
    const QString c = control.trimmed();
    if (!sonTodosDigitos(c) || orden8.size() != 8 || !sonTodosDigitos(orden8))
        return {};
    return QStringLiteral("%1").arg(mod97(c + orden8), 2, 10, QLatin1Char('0'));
}

bool ObjFunciones::OrdenCorresponde(const QString& control, const QString& orden8, const QString& orden2) const
{
    if (orden2.size() != 2 || !sonTodosDigitos(orden2))
        return false;
    const QString expected = ordenDigitoControl(control, orden8);
    return !expected.isEmpty() && expected == orden2;
}

int ObjFunciones::FiltroNombre(int keyAscii) const
{
    if (keyAscii < 0 || keyAscii > 0xFFFF)
        return 0;
    return caracterNombreConservado(QChar(static_cast<char16_t>(keyAscii))) ? keyAscii : 0;
}

// A Spanish name is kept as written: its accents, Ñ and an apostrophe
// (O'Higgins, D'Onofrio) stay; changing any of them would name someone else.
bool ObjFunciones::caracterNombreConservado(QChar c)
{
    static const QString kSpanishLetters = QStringLiteral("ÁÉÍÓÚÜÑáéíóúüñ");
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\'' || u == kBackspace || esLetraAscii(c) || esDigitoAscii(c)
        || kSpanishLetters.contains(c);
}
