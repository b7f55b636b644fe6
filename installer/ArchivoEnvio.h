#pragma once
// The module's transmission description, TMP/env834.txt in the suite folder:
// one envio_t row per line, 13 fields each followed by '|'. The whole file is
// checked before anything is written, so a bad line installs nothing.

#include <QByteArray>
#include <QString>
#include <QVector>

#include <array>
#include <optional>

struct FilaEnvio {
    QString tablaO;     // field 2, trimmed; the row's key with the form code
    QString tablaD;     // field 3 as it stands, " " when empty
    QString tablaExt;   // field 4, trimmed
    // Fields 5 to 13 in column order: indice, obliga, c_tip_doc_d (bytes),
    // c_doc_id_d, c_Formulario, c_periodo, c_estado, c_envio, c_semana.
    std::array<qint64, 9> numbers{};
};

struct ErrorArchivoEnvio {
    int line = 0;        // 1-based; 0 when the file itself could not be read
    QString text;        // the message shown to the user
};

struct ArchivoEnvio {
    QVector<FilaEnvio> rows;
    std::optional<ErrorArchivoEnvio> error;
};

inline constexpr int kEnvioFieldCount = 13;

// Where the data file is: folder + "TMP/env834.txt" when that exists, else the
// same names matched without regard to case (the suite was made on a system
// where "tmp" and "TMP" are one folder). When nothing matches, the first form.
QString rutaArchivoEnvio(const QString& suiteFolder);

// Splits and converts the file's text (UTF-8, or Windows-1252 when it is not
// valid UTF-8). Reading stops at the end or at the first blank line. `fileName`
// only serves the messages.
ArchivoEnvio analizaTextoEnvio(const QByteArray& bytes, const QString& fileName);

// Reads and parses the file at path; a missing or unreadable file is an error.
ArchivoEnvio leeArchivoEnvio(const QString& path);
