#pragma once
// The suite's database for a subcommand run with --ini: the settings of
// KV000.INI, the shared database opened read-write (never created), closed
// when the object goes.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class LoteSql;

// The settings file of a subcommand that works on a suite: the one
// "--ini PATH" names, taken out of `argumentos`; without it the KV000.INI the
// window programs read (QVR_WINDIR, else the user's configuration folder).
QString tomarIni(QStringList& argumentos);

class BaseDatos {
public:
    BaseDatos() = default;
    ~BaseDatos();
    BaseDatos(const BaseDatos&) = delete;
    BaseDatos& operator=(const BaseDatos&) = delete;

    // False with *error set when the settings file or the database cannot be opened.
    // `lecturas` run as the open's first reads (OpcionesApertura::lecturas).
    bool abrir(const QString& iniPath, QString* error, LoteSql* lecturas = nullptr);
    QSqlDatabase db() const;

private:
    bool abierta_ = false;
};
