#pragma once
// The suite's shared settings, read from section [Options] of KV000.INI, and
// the folders derived from them. Paths keep the suite's own concatenations
// (nothing adds a separator) with '/' in place of '\'.

#include <QString>

struct Configuracion {
    QString sysPath;        // suite folder, normally with its trailing '/'
    QString sysVersion;
    QString dbPath;         // trimmed DBPath
    QString dbName;         // trimmed DBName
    QString dbFile;         // dbPath immediately followed by dbName
    QString sysMenu;        // key SysMenu
    QString menuFile;       // sysPath + sysMenu
    QString rptPath;        // sysPath + "RPT"
    QString tmpPath;        // sysPath + "TMP/"
    QString tmpPathNoSep;   // sysPath + "TMP"
    QString bmpPath;        // sysPath + "BMP/"
    QString sysUser = QStringLiteral(" ");   // one blank until the settings are read
    QString dbLogin;        // key DBLogin: "SysUser" when each user logs into the server as themselves

    // The suite's server expects every user to log in with their own role, named as SysUser.
    bool loginPorUsuario() const { return dbLogin.compare(u"SysUser", Qt::CaseInsensitive) == 0; }

    // The workgroup file recorded as SystemDB: sysPath + "KV000.MDW".
    QString baseSistema() const { return sysPath + QStringLiteral("KV000.MDW"); }
};

inline constexpr char16_t kIniSection[] = u"Options";

// Reads SysPath, SysVersion, DBPath, DBName, SysMenu and SysUser, in that
// order, then the host's DBLogin. Never fails: a missing file or key gives empty texts.
Configuracion leeConfiguracion(const QString& iniPath);

// Makes the suite folder the current directory; false when it cannot.
bool entraCarpetaSuite(const Configuracion& settings);
