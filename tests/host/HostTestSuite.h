#pragma once
// A suite made by createSuite in a temporary folder, with a connection of its own.

#include "Suite.h"

#include <QSqlDatabase>
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
        error_ = qvrhost::createSuite(folder());
        if (error_.isEmpty())
            error_ = qvrhost::openSuiteDatabase(folder() + QStringLiteral("/qvr.db"), connection_);
    }
    ~HostTestSuite()
    {
        QSqlDatabase::database(connection_, false).close();
        QSqlDatabase::removeDatabase(connection_);
    }
    HostTestSuite(const HostTestSuite&) = delete;
    HostTestSuite& operator=(const HostTestSuite&) = delete;

    QString folder() const { return dir_.path() + QStringLiteral("/suite"); }
    QString iniPath() const { return folder() + QStringLiteral("/KV000.INI"); }
    QString error() const { return error_; }
    QSqlDatabase db() const { return QSqlDatabase::database(connection_); }

private:
    QTemporaryDir dir_;
    QString connection_;
    QString error_;
};
