#include "ArchivoEnvio.h"

#include "Eco.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

#include <limits>

namespace {

struct Rango {
    qint64 low;
    qint64 high;
};

// indice, obliga and c_tip_doc_d are bytes; the other six are long integers,
// the widest whole number both database engines store in an INTEGER column.
constexpr Rango kByte{0, 255};
constexpr Rango kLong{std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()};

Rango rangoDeCampo(int field) { return field <= 7 ? kByte : kLong; }

QString decodificaTexto(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    // Shipped from a Windows build: the code page the suite's files use.
    QStringDecoder ansi("windows-1252");
    return ansi.isValid() ? QString(ansi.decode(bytes)) : QString::fromLatin1(bytes);
}

// The entry of dir whose name equals name without regard to case; the exact
// spelling wins when it exists.
QString buscaSinMayusculas(const QString& dir, const QString& name, QDir::Filters filter)
{
    if (QFileInfo::exists(dir + name))
        return name;
    const QStringList entries = QDir(dir).entryList(filter | QDir::Hidden | QDir::System);
    for (const QString& e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return e;
    return QString();
}

QString errorDeLinea(int line, const QString& fileName, const QString& what)
{
    return QStringLiteral("Error en la línea %1 del archivo %2: %3\nNo se ha instalado nada.")
        .arg(line)
        .arg(fileName, what);
}

} // namespace

QString rutaArchivoEnvio(const QString& suiteFolder)
{
    const QString exact = suiteFolder + QStringLiteral("TMP/env834.txt");
    if (QFileInfo::exists(exact))
        return exact;
    const QString tmp = buscaSinMayusculas(suiteFolder, QStringLiteral("TMP"), QDir::Dirs | QDir::NoDotAndDotDot);
    if (tmp.isEmpty())
        return exact;
    const QString folder = suiteFolder + tmp + u'/';
    const QString file = buscaSinMayusculas(folder, QStringLiteral("env834.txt"), QDir::Files);
    return file.isEmpty() ? exact : folder + file;
}

ArchivoEnvio analizaTextoEnvio(const QByteArray& bytes, const QString& fileName)
{
    static const QRegularExpression wholeNumber(QStringLiteral("^[+-]?[0-9]+$"));
    // Files come from Windows, Unix and old Mac editors alike.
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    ArchivoEnvio result;
    const QStringList lines = decodificaTexto(bytes).split(lineEnd);
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        const QString& line = lines.at(i);
        if (line.trimmed().isEmpty())
            break;   // the list ends at the first blank line
        // Every field, the last one included, is followed by '|': 13 bars, and
        // nothing but blanks after the last one.
        const QStringList f = line.split(u'|');
        const qsizetype bars = f.size() - 1;
        if (bars != kEnvioFieldCount || !f.last().trimmed().isEmpty()) {
            const QString count = bars < kEnvioFieldCount ? QStringLiteral("menos") : QStringLiteral("más");
            result.error = ErrorArchivoEnvio{lineNo, errorDeLinea(lineNo, fileName,
                QStringLiteral("tiene %1 de %2 campos.").arg(count).arg(kEnvioFieldCount))};
            return result;
        }
        FilaEnvio row;
        row.tablaO = f.at(1).trimmed();
        row.tablaD = f.at(2).isEmpty() ? QStringLiteral(" ") : f.at(2);
        row.tablaExt = f.at(3).trimmed();
        for (int field = 5; field <= kEnvioFieldCount; ++field) {
            const QString text = f.at(field - 1).trimmed();
            const Rango range = rangoDeCampo(field);
            if (!wholeNumber.match(text).hasMatch()) {
                result.error = ErrorArchivoEnvio{lineNo, errorDeLinea(lineNo, fileName,
                    QStringLiteral("el campo %1 (\"%2\") no es un número entero.").arg(field).arg(eco(text)))};
                return result;
            }
            bool ok = false;
            const qint64 value = text.toLongLong(&ok);
            if (!ok || value < range.low || value > range.high) {
                result.error = ErrorArchivoEnvio{lineNo, errorDeLinea(lineNo, fileName,
                    QStringLiteral("el campo %1 (%2) está fuera del rango de %3 a %4.")
                        .arg(field).arg(eco(text)).arg(range.low).arg(range.high))};
                return result;
            }
            row.numbers[static_cast<std::size_t>(field - 5)] = value;
        }
        result.rows.append(row);
    }
    return result;
}

ArchivoEnvio leeArchivoEnvio(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        ArchivoEnvio result;
        const QString what = QFileInfo::exists(path) ? QStringLiteral("No se puede leer el archivo %1.")
                                                     : QStringLiteral("No se encuentra el archivo %1.");
        result.error = ErrorArchivoEnvio{0, what.arg(path) + QStringLiteral("\nNo se ha instalado nada.")};
        return result;
    }
    return analizaTextoEnvio(file.readAll(), path);
}
