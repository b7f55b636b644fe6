#pragma once
// A suite made by creaSuite in a temporary folder, with a connection of its
// own; on the throwaway server (QVR_TEST_ENGINE=postgresql) made by
// creaSuiteEnServidor in a new empty database instead, and dropped after.

#include "Configuracion.h"
#include "Suite.h"
#include "SuiteDePrueba.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

class SuiteDePruebaIntegrador {
public:
    SuiteDePruebaIntegrador()
        : connection_(QStringLiteral("hosttest-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
    {
        if (SuiteDePrueba::motorServidor()) {
            serverDb_ = SuiteDePrueba::creaBaseServidor(false);
            error_ = qvrhost::creaSuiteEnServidor(folder(), urlDueno(), false);
        } else {
            error_ = qvrhost::creaSuite(folder());
        }
        if (error_.isEmpty())
            error_ = qvrhost::abreBaseSuite(leeConfiguracion(iniPath()).dbFile, connection_);
    }
    ~SuiteDePruebaIntegrador()
    {
        QSqlDatabase::database(connection_, false).close();
        QSqlDatabase::removeDatabase(connection_);
        if (!serverDb_.isEmpty())
            SuiteDePrueba::borraBaseServidor(serverDb_);
    }
    SuiteDePruebaIntegrador(const SuiteDePruebaIntegrador&) = delete;
    SuiteDePruebaIntegrador& operator=(const SuiteDePruebaIntegrador&) = delete;

    QString folder() const { return dir_.path() + QStringLiteral("/suite"); }
    QString iniPath() const { return folder() + QStringLiteral("/KV000.INI"); }
    QString error() const { return error_; }
    QSqlDatabase db() const { return QSqlDatabase::database(connection_); }
    bool onServer() const { return !serverDb_.isEmpty(); }
    // The database as the programs name it (DBPath + DBName).
    QString dbFile() const
    {
        return onServer() ? SuiteDePrueba::urlServidor(serverDb_) : folder() + QStringLiteral("/qvr.db");
    }
    // A statement as the database's owner (triggers, rights).
    bool ejecutaComoDueno(const QString& sql) const
    {
        return onServer() ? SuiteDePrueba::ejecutaEnServidor(serverDb_, sql) : QSqlQuery(db()).exec(sql);
    }
    // The server database as its owner, who creates the tables, names it.
    QString urlDueno() const { return SuiteDePrueba::urlServidor(serverDb_).replace("postgresql://", "postgresql://postgres@"); }

private:
    QTemporaryDir dir_;
    QString connection_;
    QString serverDb_;
    QString error_;
};
