#include "ArchivoIni.h"
#include "Sesion.h"
#include "SuiteDePrueba.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>

#include <gtest/gtest.h>

namespace {

const QString kConnection = QStringLiteral("session-test");

class SessionTest : public ::testing::Test {
protected:
    void TearDown() override { cierraBaseDatos(kConnection); }

    std::optional<FalloApertura> open(const QString& dbFile, bool writeSystemDb = true)
    {
        Configuracion settings;
        settings.sysPath = suite.path();
        settings.dbFile = dbFile;
        OpcionesApertura options;
        options.connectionName = kConnection;
        options.writeSystemDb = writeSystemDb;
        options.busyTimeoutMs = 100;
        return abreBaseDatos(settings, suite.iniPath(), options);
    }
    QString ini(const char* key) const
    {
        return ArchivoIni::lee(suite.iniPath(), QStringLiteral("Options"), QLatin1String(key));
    }

    SuiteDePrueba suite;
};

TEST_F(SessionTest, OpensTheSuiteDatabaseAndRecordsTheWorkgroupFile)
{
    ASSERT_FALSE(open(suite.dbFile()).has_value());
    {
        QSqlQuery q(QSqlDatabase::database(kConnection));
        ASSERT_TRUE(q.exec(QStringLiteral("SELECT count(*) FROM CLAVES")));
    }
    EXPECT_EQ(ini("SystemDB"), suite.path() + QStringLiteral("KV000.MDW"));
    // Opened shared: the host's own connection still writes.
    EXPECT_TRUE(suite.exec(QStringLiteral("CREATE TABLE shared_probe (x INTEGER)")));
}

TEST_F(SessionTest, SummaryProgramLeavesTheWorkgroupEntryAlone)
{
    ASSERT_FALSE(open(suite.dbFile(), false).has_value());
    EXPECT_TRUE(ini("SystemDB").isEmpty());
}

TEST_F(SessionTest, MissingDatabaseIsReportedAndNeverCreated)
{
    const QString missing = suite.path() + QStringLiteral("nothere.db");
    const auto failure = open(missing);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->number, 3024);
    EXPECT_EQ(mensajeFalloApertura(*failure), QStringLiteral("Could not find file '%1'.\n 3024").arg(missing));
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_FALSE(QSqlDatabase::contains(kConnection));
}

TEST_F(SessionTest, SuiteFolderWithoutSeparatorIsAMissingWorkgroupFile)
{
    Configuracion settings;
    settings.sysPath = suite.path().chopped(1);
    settings.dbFile = suite.dbFile();
    OpcionesApertura options;
    options.connectionName = kConnection;
    const auto failure = abreBaseDatos(settings, suite.iniPath(), options);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(mensajeFalloApertura(*failure),
              QStringLiteral("Could not find file '%1KV000.MDW'.\n 3024").arg(settings.sysPath));
    EXPECT_TRUE(ini("SystemDB").isEmpty());
}

TEST_F(SessionTest, TextFileIsNotADatabase)
{
    const QString text = suite.path() + QStringLiteral("notes.db");
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("this is not a database, just some text that is long enough to fill a header....\n");
    f.close();
    const auto failure = open(text);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(mensajeFalloApertura(*failure), QStringLiteral("Unrecognized database format '%1'.\n 3343").arg(text));
}

// SQLite takes an empty file or /dev/null for an empty database: without the
// suite's tables the open fails at once, naming what is missing.
TEST_F(SessionTest, DatabaseWithoutTheSuiteTablesIsNamedAndRefused)
{
    const QString empty = suite.path() + QStringLiteral("empty.db");
    QFile(empty).open(QIODevice::WriteOnly);
    for (const QString& file : {empty, QStringLiteral("/dev/null")}) {
        const auto failure = open(file);
        ASSERT_TRUE(failure.has_value()) << qPrintable(file);
        EXPECT_EQ(failure->number, 3078);
        EXPECT_TRUE(failure->description.contains(QStringLiteral("CAB, DET, HCAB"))) << qPrintable(failure->description);
        EXPECT_FALSE(QSqlDatabase::contains(kConnection));
    }
    EXPECT_EQ(QFileInfo(empty).size(), 0);
    ASSERT_TRUE(suite.exec(QStringLiteral("DROP TABLE envio_t")));
    const auto failure = open(suite.dbFile());
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(mensajeFalloApertura(*failure),
              QStringLiteral("The database engine cannot find the suite's table(s) envio_t in '%1'. Make sure it is "
                             "the suite's database.\n 3078").arg(suite.dbFile()));
}

TEST_F(SessionTest, ReadOnlyDatabaseIsReportedAsLocked)
{
    ASSERT_TRUE(QFile::setPermissions(suite.dbFile(), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    const auto failure = open(suite.dbFile());
    QFile::setPermissions(suite.dbFile(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(mensajeFalloApertura(*failure), QStringLiteral(" 3051- Base esta bloqueda"));
}

TEST_F(SessionTest, DatabaseHeldExclusivelyElsewhereIsReportedAsLocked)
{
    QSqlQuery other(suite.db());
    ASSERT_TRUE(other.exec(QStringLiteral("BEGIN EXCLUSIVE")));
    const auto failure = open(suite.dbFile());
    other.exec(QStringLiteral("ROLLBACK"));
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->number, 3051);
    EXPECT_EQ(mensajeFalloApertura(*failure), QStringLiteral(" 3051- Base esta bloqueda"));
    EXPECT_EQ(kTituloErrorConexion, QStringLiteral("Error de Conección"));
}

TEST(OpenFailureMessageTest, OtherErrorsShowDescriptionLineFeedAndNumber)
{
    EXPECT_EQ(mensajeFalloApertura({3049, QStringLiteral("Cannot open.")}), QStringLiteral("Cannot open.\n 3049"));
    EXPECT_EQ(mensajeFalloApertura({3051, QStringLiteral("ignored")}), QStringLiteral(" 3051- Base esta bloqueda"));
}

} // namespace
