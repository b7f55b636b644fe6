#include "ArchivoIni.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QtGlobal>

#include <optional>
#include <vector>

namespace {

// One physical line of the file: [begin, end) excludes the line end.
struct Linea {
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype next = 0;   // start of the following line
};

std::vector<Linea> parteLineas(const QByteArray& bytes)
{
    std::vector<Linea> lines;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const qsizetype nl = bytes.indexOf('\n', pos);
        Linea line;
        line.begin = pos;
        if (nl < 0) {
            line.end = bytes.size();
            line.next = bytes.size();
        } else {
            line.end = (nl > pos && bytes.at(nl - 1) == '\r') ? nl - 1 : nl;
            line.next = nl + 1;
        }
        lines.push_back(line);
        pos = line.next;
    }
    return lines;
}

// The settings file is normally UTF-8; an older file written in the Windows
// code page still reads with its accents.
bool esUtf8(const QByteArray& bytes)
{
    QStringDecoder dec(QStringDecoder::Utf8);
    (void)dec.decode(bytes);
    return !dec.hasError();
}

class CodificacionIni {
public:
    explicit CodificacionIni(const QByteArray& bytes) : utf8_(esUtf8(bytes)) {}
    QString decode(const QByteArray& b) const
    {
        if (utf8_)
            return QString::fromUtf8(b);
        QStringDecoder dec("windows-1252");
        return dec.isValid() ? QString(dec.decode(b)) : QString::fromLatin1(b);
    }
    QByteArray encode(const QString& s) const
    {
        if (utf8_)
            return s.toUtf8();
        QStringEncoder enc("windows-1252");
        return enc.isValid() ? QByteArray(enc.encode(s)) : s.toLatin1();
    }

private:
    bool utf8_;
};

std::optional<QString> nombreSeccion(const QString& text)
{
    const QString t = text.trimmed();
    if (!t.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = t.indexOf(u']');
    if (close < 0)
        return std::nullopt;
    return t.mid(1, close - 1).trimmed();
}

bool esComentario(const QString& text)
{
    const QString t = text.trimmed();
    return t.startsWith(u';');
}

// Splits "key = value" into its trimmed parts; no '=' means no key.
std::optional<std::pair<QString, QString>> claveValor(const QString& text)
{
    if (esComentario(text))
        return std::nullopt;
    const qsizetype eq = text.indexOf(u'=');
    if (eq < 0)
        return std::nullopt;
    return std::make_pair(text.left(eq).trimmed(), text.mid(eq + 1).trimmed());
}

bool mismoNombre(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

struct Ubicacion {
    std::optional<size_t> sectionHeader;   // index of the [section] line
    std::optional<size_t> keyLine;         // index of the key's line
    size_t lastContentLine = 0;            // last non-blank line of the section
};

Ubicacion ubica(const QByteArray& bytes, const std::vector<Linea>& lines, const CodificacionIni& text,
               const QString& section, const QString& key)
{
    Ubicacion found;
    bool inSection = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const QString lineText = text.decode(bytes.mid(lines[i].begin, lines[i].end - lines[i].begin));
        if (const auto name = nombreSeccion(lineText)) {
            if (inSection)
                break;   // the first section of that name is the one that counts
            if (mismoNombre(*name, section)) {
                inSection = true;
                found.sectionHeader = i;
                found.lastContentLine = i;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (!lineText.trimmed().isEmpty())
            found.lastContentLine = i;
        if (const auto kv = claveValor(lineText); kv && mismoNombre(kv->first, key)) {
            found.keyLine = i;
            break;
        }
    }
    return found;
}

// The whole file, or nothing when it is missing, is no plain file or is too
// large. The size is checked again on what was read: the file may grow meanwhile.
std::optional<QByteArray> leeCompleto(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > ArchivoIni::kMaxBytes)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.read(ArchivoIni::kMaxBytes + 1);
    if (bytes.size() > ArchivoIni::kMaxBytes)
        return std::nullopt;
    return bytes;
}

} // namespace

QString ArchivoIni::ubicaIni()
{
    QString folder = qEnvironmentVariable("QVR_WINDIR");
    if (folder.isEmpty())
        folder = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/.config");
    // Absolute now: the programs change folder to the suite afterwards, and the
    // SystemDB write must reach the file that was read.
    return QDir(folder).absoluteFilePath(QStringLiteral("KV000.INI"));
}

QString ArchivoIni::lee(const QString& path, const QString& section, const QString& key)
{
    const std::optional<QByteArray> whole = leeCompleto(path);
    return whole ? valorEn(*whole, section, key) : QString();
}

QByteArray ArchivoIni::contenido(const QString& path)
{
    return leeCompleto(path).value_or(QByteArray());
}

QString ArchivoIni::valorEn(const QByteArray& bytes, const QString& section, const QString& key)
{
    const CodificacionIni text(bytes);
    const auto lines = parteLineas(bytes);
    const Ubicacion found = ubica(bytes, lines, text, section, key);
    if (!found.keyLine)
        return {};
    const Linea& line = lines[*found.keyLine];
    const auto kv = claveValor(text.decode(bytes.mid(line.begin, line.end - line.begin)));
    // The buffer keeps 254 characters and the terminator; what is kept is trimmed again.
    return kv->second.left(kValueBuffer - 1).trimmed();
}

bool ArchivoIni::escribe(const QString& path, const QString& section, const QString& key, const QString& value)
{
    const std::optional<QByteArray> whole = leeCompleto(path);
    if (!whole)
        return false;
    const QByteArray bytes = conValorPuesto(*whole, section, key, value);
    // Every start records the same SystemDB: rewriting it would only cost a
    // flush to disk.
    if (bytes == *whole)
        return true;
    QSaveFile save(path);
    save.setDirectWriteFallback(true);   // a folder we may not create files in
    if (!save.open(QIODevice::WriteOnly))
        return false;
    save.write(bytes);
    return save.commit();
}

QByteArray ArchivoIni::conValorPuesto(const QByteArray& bytes, const QString& section, const QString& key,
                              const QString& value)
{
    const CodificacionIni text(bytes);
    const QByteArray eol = bytes.contains("\r\n") ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
    const auto lines = parteLineas(bytes);
    const Ubicacion found = ubica(bytes, lines, text, section, key);

    QByteArray out;
    if (found.keyLine) {
        const Linea& line = lines[*found.keyLine];
        const QString old = text.decode(bytes.mid(line.begin, line.end - line.begin));
        const QString keyAsWritten = old.left(old.indexOf(u'=')).trimmed();
        out = bytes.left(line.begin) + text.encode(keyAsWritten + u'=' + value) + bytes.mid(line.end);
    } else if (found.sectionHeader) {
        const Linea& after = lines[found.lastContentLine];
        QByteArray insert = text.encode(key + u'=' + value) + eol;
        if (after.next == after.end)   // the section's last line has no line end
            insert.prepend(eol);
        out = bytes.left(after.next) + insert + bytes.mid(after.next);
    } else {
        out = bytes;
        if (!out.isEmpty() && !out.endsWith('\n'))
            out += eol;
        out += text.encode(u'[' + section + u']') + eol + text.encode(key + u'=' + value) + eol;
    }
    return out;
}
