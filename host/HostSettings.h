#pragma once
// What the host needs from KV000.INI: the suite folder, the database file
// and the user. Located as every program of the suite locates it.

#include <QString>

struct HostSettings {
    QString iniPath;   // the file that was read
    QString sysPath;   // suite folder, as written (normally with its trailing '/')
    QString dbFile;    // DBPath immediately followed by DBName, both trimmed
    QString sysUser;

    // Reads [Options] of the given file; missing keys give empty texts.
    static HostSettings read(const QString& iniPath);
    // KV000.INI in QVR_WINDIR when set, else in ${XDG_CONFIG_HOME:-$HOME/.config}.
    static QString defaultIniPath();
    // The folder of the INI file: what QVR_WINDIR must name for the programs
    // the host starts, so that they read the same file.
    QString windowsFolder() const;
};
