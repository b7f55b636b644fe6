#pragma once
// KV000.INI, the suite's shared settings file, read and written with the
// rules of Windows profile files: section and key names match without regard
// to case, values are trimmed, there are no escape sequences, and a write
// touches only its own line. The file belongs to the host: it is never created.

#include <QString>

class IniFile {
public:
    // KV000.INI in the folder named by QVR_WINDIR, else in
    // ${XDG_CONFIG_HOME:-$HOME/.config}. The file need not exist.
    static QString locateIni();

    // The value of key in [section], trimmed and cut to 254 characters (what a
    // 255-character buffer holds); empty when the file, section or key is missing.
    static QString read(const QString& path, const QString& section, const QString& key);

    // Sets key=value in [section]. Only that line changes; every other byte
    // (line ends included) stays as it was. A missing key is added at the end
    // of its section, a missing section at the end of the file. Returns false
    // when the file does not exist or cannot be written.
    static bool write(const QString& path, const QString& section, const QString& key, const QString& value);

    static constexpr int kValueBuffer = 255;
};
