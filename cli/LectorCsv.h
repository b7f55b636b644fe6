#pragma once
// A small CSV reader and writer for the batch commands (Qt has none). The
// reader takes the bytes of a whole file: UTF-8 (with or without its byte-order
// mark) when they are valid UTF-8, else Windows-1252; fields separated by the
// comma or the semicolon, whichever the header row uses more; fields may be
// quoted, with "" standing for one quote. Unquoted fields are trimmed.
// A field written with an apostrophe before a formula character (see linea)
// is read without it.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace csv {

// One row of the file after the header. A row the reader could not take
// keeps its line numbers and says why in `error`; the others are not
// affected: a quote never closed ends its row at the end of its line.
struct Fila {
    int linea = 0;          // line of the file where the row starts (the header is line 1)
    int ultimaLinea = 0;    // line where it ends (a field quoted across line breaks)
    QStringList campos;
    QString error;
};

struct Archivo {
    QString codificacion;   // "UTF-8" or "Windows-1252"
    QChar separador;
    QStringList cabecera;
    QList<Fila> filas;      // blank rows left out
};

// The file as rows; nothing with *error set when it cannot be read as CSV at
// all (empty, binary, no header).
std::optional<Archivo> leer(const QByteArray& bytes, QString* error);

// One line of a file the reader takes back unchanged, ending in CR LF: a field
// is quoted when it holds the separator, a quote, a line break or surrounding
// blanks. A field that begins with "=", "+", "-", "@", a tab or a carriage
// return gets a leading apostrophe, so that a spreadsheet shows it as text
// and never runs it; the reader takes the apostrophe away again.
QString linea(const QStringList& campos, QChar separador = u',');

} // namespace csv
