#include "CodigoControl.h"

#include "Dinero.h"

#include <QDate>
#include <QDateTime>
#include <QStringEncoder>
#include <QVariant>

namespace {

using i128 = __int128;

// Windows-1252 code of one character, as the suite's own programs count it;
// a character the code page lacks counts as '?'.
int codigoWindows1252(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;  // the code page agrees with Latin-1 here
    QStringEncoder encoder("windows-1252", QStringConverter::Flag::Default);
    const QByteArray bytes = encoder.encode(QStringView(&c, 1));
    if (encoder.hasError() || bytes.size() != 1)
        return '?';
    return static_cast<unsigned char>(bytes.at(0));
}

QString textoDeReal(double d)
{
    return QString::number(d, 'g', 15).toUpper();
}

// Value of a column for sum A in ten-thousandths, when it reads as a number.
std::optional<i128> unidadesNumericas(const QVariant& value, const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        if (const auto m = Dinero::analiza(QString::number(value.toDouble(), 'f', 4)))
            return m->unidades();
        return std::nullopt;
    default:
        break;
    }
    if (const auto m = Dinero::analiza(text))
        return m->unidades();
    return std::nullopt;
}

// Last three digits of the sum written with leading zeros (the sign is not
// part of the digits).
void ultimosTres(i128 value, QString& salida)
{
    if (value < 0)
        value = -value;
    const int digitos = static_cast<int>(value % 1000);
    salida += QChar(u'0' + digitos / 100);
    salida += QChar(u'0' + digitos / 10 % 10);
    salida += QChar(u'0' + digitos % 10);
}

// The code of a row whose column i is valor(i), of `count` columns.
template <typename Valor>
QString codigoDe(int count, int n, Valor valor)
{
    i128 sumA = 0;  // ten-thousandths
    for (int i = 0; i < n && i < count - 1; ++i) {
        decltype(auto) v = valor(i);
        if (const auto unidades = unidadesNumericas(v, textoCodigoControl(v)))
            sumA += *unidades;
    }
    // Only the last three digits are kept, so sum B is carried modulo 1000
    // and can never overflow, however long a text is.
    std::int64_t sumB = 0;
    for (int i = qMax(n, 0); i <= count - 2; ++i) {
        const QString t = textoCodigoControl(valor(i));
        for (qsizetype j = 0; j < t.size(); ++j)
            sumB = (sumB + static_cast<std::int64_t>(codigoWindows1252(t[j])) * ((j + 1) % 1000)) % 1000;
    }
    // Sum A rounded half away from zero to a whole number.
    const bool negative = sumA < 0;
    i128 magnitude = negative ? -sumA : sumA;
    magnitude = (magnitude + Dinero::kUnidadesPorSol / 2) / Dinero::kUnidadesPorSol;
    QString codigo;
    codigo.reserve(6);
    ultimosTres(magnitude, codigo);
    ultimosTres(sumB, codigo);
    return codigo;
}

} // namespace

QString textoCodigoControl(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::SChar:
    case QMetaType::Char:
        return QString::number(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UChar:
        return QString::number(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return textoDeReal(value.toDouble());
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyyMMdd"));
    case QMetaType::QDateTime:
        return value.toDateTime().date().toString(QStringLiteral("yyyyMMdd"));
    case QMetaType::QString:
        return value.toString().trimmed();
    default:
        return {};  // booleans, byte arrays and the like
    }
}

QString codigoControl(const QSqlRecord& row, int n)
{
    return codigoDe(row.count(), n, [&row](int i) { return row.value(i); });
}

QString codigoControl(const QVariantList& valores, int n)
{
    return codigoDe(int(valores.size()), n, [&valores](int i) -> const QVariant& { return valores[i]; });
}
