#pragma once
// A suite made by creaSuite in a temporary folder, with a connection of its
// own; on the throwaway server (QVR_TEST_ENGINE=postgresql) made by
// creaSuiteEnServidor in a new empty database instead, and dropped after.

#include "Configuracion.h"
#include "Suite.h"
#include "TestSuite.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

class HostTestSuite {
public:
    HostTestSuite()
        : connection_(QStringLiteral("hosttest-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
    {
        if (TestSuite::serverEngine()) {
            serverDb_ = TestSuite::createServerDatabase(false);
            error_ = qvrhost::creaSuiteEnServidor(folder(), ownerUrl(), false);
        } else {
            error_ = qvrhost::creaSuite(folder());
        }
        if (error_.isEmpty())
            error_ = qvrhost::abreBaseSuite(leeConfiguracion(iniPath()).dbFile, connection_);
    }
    ~HostTestSuite()
    {
        QSqlDatabase::database(connection_, false).close();
        QSqlDatabase::removeDatabase(connection_);
        if (!serverDb_.isEmpty())
            TestSuite::dropServerDatabase(serverDb_);
    }
    HostTestSuite(const HostTestSuite&) = delete;
    HostTestSuite& operator=(const HostTestSuite&) = delete;

    QString folder() const { return dir_.path() + QStringLiteral("/suite"); }
    QString iniPath() const { return folder() + QStringLiteral("/KV000.INI"); }
    QString error() const { return error_; }
    QSqlDatabase db() const { return QSqlDatabase::database(connection_); }
    bool onServer() const { return !serverDb_.isEmpty(); }
    // The database as the programs name it (DBPath + DBName).
    QString dbFile() const
    {
        return onServer() ? TestSuite::serverUrl(serverDb_) : folder() + QStringLiteral("/qvr.db");
    }
    // A statement as the database's owner (triggers, rights).
    bool ownerExec(const QString& sql) const
    {
        return onServer() ? TestSuite::serverExec(serverDb_, sql) : QSqlQuery(db()).exec(sql);
    }
    // The server database as its owner, who creates the tables, names it.
    QString ownerUrl() const { return TestSuite::serverUrl(serverDb_).replace("postgresql://", "postgresql://postgres@"); }

private:
    QTemporaryDir dir_;
    QString connection_;
    QString serverDb_;
    QString error_;
};
