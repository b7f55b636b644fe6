#include "LectorCsv.h"

#include <QStringDecoder>

namespace csv {

namespace {

// Control bytes other than tab and the line ends do not occur in text.
bool esBinario(const QByteArray& bytes)
{
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r')
            return true;
    }
    return false;
}

QString decodificar(QByteArray bytes, QString* codificacion)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString texto = utf8.decode(bytes);
    if (!utf8.hasError()) {
        *codificacion = QStringLiteral("UTF-8");
        return texto;
    }
    *codificacion = QStringLiteral("Windows-1252");
    QStringDecoder w1252("windows-1252");
    return w1252.decode(bytes);
}

// The separator the first line uses more, outside quotes; the comma on a tie.
QChar separadorDe(const QString& texto)
{
    int comas = 0, puntosYComa = 0;
    bool entreComillas = false;
    for (const QChar c : texto) {
        if (c == u'"')
            entreComillas = !entreComillas;
        else if (!entreComillas && (c == u'\n' || c == u'\r'))
            break;
        else if (!entreComillas && c == u',')
            ++comas;
        else if (!entreComillas && c == u';')
            ++puntosYComa;
    }
    return puntosYComa > comas ? u';' : u',';
}

// Reads the records one after another, counting lines as it goes.
class Analizador {
public:
    Analizador(const QString& texto, QChar separador) : t_(texto), sep_(separador) {}

    bool fin() const { return pos_ >= t_.size(); }

    Fila siguiente()
    {
        Fila f;
        f.linea = linea_;
        for (;;) {
            f.campos << campo(f);
            if (pos_ < t_.size() && t_[pos_] == sep_) {
                ++pos_;
                continue;
            }
            f.ultimaLinea = linea_;
            saltarFinDeLinea();
            return f;
        }
    }

private:
    bool finDeLinea() const { return t_[pos_] == u'\n' || t_[pos_] == u'\r'; }

    // One line end: CR LF, LF or a lone CR.
    void saltarFinDeLinea()
    {
        if (pos_ >= t_.size())
            return;
        if (t_[pos_] == u'\r' && pos_ + 1 < t_.size() && t_[pos_ + 1] == u'\n')
            ++pos_;
        ++pos_;
        ++linea_;
    }

    QString campo(Fila& f)
    {
        const int numero = int(f.campos.size()) + 1;
        if (pos_ < t_.size() && t_[pos_] == u'"')
            return entreComillas(f, numero);
        const qsizetype inicio = pos_;
        while (pos_ < t_.size() && t_[pos_] != sep_ && !finDeLinea())
            ++pos_;
        return t_.mid(inicio, pos_ - inicio).trimmed();
    }

    QString entreComillas(Fila& f, int numero)
    {
        QString valor;
        const qsizetype inicio = ++pos_;
        const int lineaInicio = linea_;
        for (;;) {
            if (pos_ >= t_.size()) {
                // The row ends with its own line: the rows after it are read as rows.
                f.error = QStringLiteral("field %1 opens a quote that is never closed").arg(numero);
                pos_ = inicio;
                linea_ = lineaInicio;
                while (pos_ < t_.size() && !finDeLinea())
                    ++pos_;
                return t_.mid(inicio, pos_ - inicio);
            }
            const QChar c = t_[pos_];
            if (c == u'"') {
                if (pos_ + 1 < t_.size() && t_[pos_ + 1] == u'"') {
                    valor += u'"';
                    pos_ += 2;
                    continue;
                }
                ++pos_;
                break;
            }
            if (c == u'\n' || c == u'\r') {
                // Read on to the closing quote, so that the rows after this one keep their lines.
                anotar(f, QStringLiteral("field %1 holds a line break inside its quotes").arg(numero));
                saltarFinDeLinea();
                valor += u'\n';
                continue;
            }
            valor += c;
            ++pos_;
        }
        while (pos_ < t_.size() && (t_[pos_] == u' ' || t_[pos_] == u'\t'))
            ++pos_;
        if (pos_ < t_.size() && t_[pos_] != sep_ && !finDeLinea()) {
            anotar(f, QStringLiteral("field %1 has text after its closing quote").arg(numero));
            while (pos_ < t_.size() && t_[pos_] != sep_ && !finDeLinea())
                ++pos_;
        }
        return valor;
    }

    static void anotar(Fila& f, const QString& error)
    {
        if (f.error.isEmpty())
            f.error = error;
    }

    const QString& t_;
    const QChar sep_;
    qsizetype pos_ = 0;
    int linea_ = 1;
};

// A spreadsheet runs a cell that begins with one of these as a formula.
bool comoFormula(QStringView campo)
{
    return !campo.isEmpty() && QStringView(u"=+-@\t\r").contains(campo.front());
}

// Written after an apostrophe, so that a spreadsheet shows it as text; so is
// a value that already begins with apostrophes before such a character, so
// that reading takes exactly one away.
bool conApostrofo(QStringView campo)
{
    return comoFormula(campo) || (campo.startsWith(u'\'') && conApostrofo(campo.mid(1)));
}

bool enBlanco(const Fila& f)
{
    if (!f.error.isEmpty())
        return false;
    for (const QString& c : f.campos)
        if (!c.isEmpty())
            return false;
    return true;
}

} // namespace

std::optional<Archivo> leer(const QByteArray& bytes, QString* error)
{
    if (esBinario(bytes)) {
        *error = QStringLiteral("the file is not CSV text (it holds binary data)");
        return std::nullopt;
    }
    Archivo a;
    const QString texto = decodificar(bytes, &a.codificacion);
    a.separador = separadorDe(texto);
    Analizador analizador(texto, a.separador);
    bool conCabecera = false;
    while (!analizador.fin()) {
        Fila f = analizador.siguiente();
        if (enBlanco(f))
            continue;
        if (!conCabecera) {
            if (!f.error.isEmpty()) {
                *error = QStringLiteral("header row (line %1): %2").arg(f.linea).arg(f.error);
                return std::nullopt;
            }
            a.cabecera = f.campos;
            conCabecera = true;
            continue;
        }
        for (QString& campo : f.campos)
            if (campo.startsWith(u'\'') && conApostrofo(QStringView(campo).mid(1)))
                campo.remove(0, 1);
        if (f.error.isEmpty() && f.campos.size() != a.cabecera.size())
            f.error = QStringLiteral("%1 fields where the header row names %2").arg(f.campos.size()).arg(a.cabecera.size());
        a.filas << f;
    }
    if (!conCabecera) {
        *error = QStringLiteral("the file is empty");
        return std::nullopt;
    }
    return a;
}

QString linea(const QStringList& campos, QChar separador)
{
    QStringList partes;
    for (const QString& campo : campos) {
        const QString c = conApostrofo(campo) ? u'\'' + campo : campo;
        const bool comillas = c.contains(separador) || c.contains(u'"') || c.contains(u'\n') || c.contains(u'\r')
                              || (!c.isEmpty() && (c.front().isSpace() || c.back().isSpace()));
        partes << (comillas ? u'"' + QString(c).replace(u'"', QStringLiteral("\"\"")) + u'"' : c);
    }
    return partes.join(separador) + QStringLiteral("\r\n");
}

} // namespace csv
