#pragma once
// KV000.INI, the suite's shared settings file, read and written with the
// rules of Windows profile files: section and key names match without regard
// to case, values are trimmed, there are no escape sequences, and a write
// touches only its own line. The file belongs to the host: it is never created.

#include <QByteArray>
#include <QString>

class ArchivoIni {
public:
    // KV000.INI in the folder named by QVR_WINDIR, else in
    // ${XDG_CONFIG_HOME:-$HOME/.config}, as an absolute path (a relative folder
    // is taken from the current one). The file need not exist.
    static QString ubicaIni();

    // The value of key in [section], trimmed and cut to 254 characters (what a
    // 255-character buffer holds); empty when the file, section or key is
    // missing, or the file is not one a settings file can be (kMaxBytes).
    static QString lee(const QString& path, const QString& section, const QString& key);
    // The file's bytes, for reading several keys from one read (valorEn);
    // empty when lee() would find no file.
    static QByteArray contenido(const QString& path);

    // Sets key=value in [section]. Only that line changes; every other byte
    // (line ends included) stays as it was. A missing key is added at the end
    // of its section, a missing section at the end of the file. A key that
    // already holds the value leaves the file untouched. Returns false when the
    // file does not exist, cannot be read as above or cannot be written.
    static bool escribe(const QString& path, const QString& section, const QString& key, const QString& value);

    // The same two on the file's bytes: the value read, and the bytes written.
    static QString valorEn(const QByteArray& bytes, const QString& section, const QString& key);
    static QByteArray conValorPuesto(const QByteArray& bytes, const QString& section, const QString& key,
                                const QString& value);

    static constexpr int kValueBuffer = 255;
    // A settings file holds a few dozen lines: anything larger, or anything
    // that is not a plain file (a FIFO, a device), is taken as no file at all,
    // so reading it can neither block nor grow without bound.
    static constexpr qint64 kMaxBytes = 1 << 20;
};
