// Opening a suite whose database lives on the throwaway PostgreSQL server:
// what each kind of bad address or refusal shows, and that a password comes
// from the client's password file, never from KV000.INI.
#include "EnlaceCortable.h"
#include "LoteSql.h"
#include "MotorSql.h"
#include "Sesion.h"
#include "SuiteDePrueba.h"

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kConnection = QStringLiteral("session-server-test");

class SessionServerTest : public ::testing::Test {
protected:
    void TearDown() override { cierraBaseDatos(kConnection); }

    std::optional<FalloApertura> open(const QString& dbFile, LoteSql* lecturas = nullptr)
    {
        Configuracion settings;
        settings.sysPath = suite.path();
        settings.dbFile = dbFile;
        OpcionesApertura options;
        options.connectionName = kConnection;
        options.busyTimeoutMs = 300;
        options.lecturas = lecturas;
        return abreBaseDatos(settings, suite.iniPath(), options);
    }
    // The suite's address with another database name or login.
    QString address(const QString& database, const QString& login = {}) const
    {
        QString url = SuiteDePrueba::urlServidor(database);
        if (!login.isEmpty())
            url.replace(QStringLiteral("postgresql://"), QStringLiteral("postgresql://") + login + u'@');
        return url;
    }

    SuiteDePrueba suite;
};

} // namespace

TEST_F(SessionServerTest, OpensWithTheBuiltInAccountAndNoPassword)
{
    ASSERT_TRUE(suite.onServer());
    ASSERT_FALSE(open(suite.dbFile()).has_value());
    QSqlQuery q(QSqlDatabase::database(kConnection));
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT current_user")) && q.next());
    EXPECT_EQ(q.value(0).toString(), usuarioIncorporado());
}

// Each refusal shows the connection-error box with the server's own words,
// or the locked text; nothing opens and nothing is created.
TEST_F(SessionServerTest, BadAddressesAndRefusalsGiveTheConnectionMessage)
{
    const QString noServer = QStringLiteral("postgresql:///qvr?host=") + suite.path() + QStringLiteral("nada");
    struct Caso {
        QString dbFile;
        int number;
        const char* text;
    };
    const Caso cases[] = {
        {noServer, kErrConnectionFailed, "nada"},
        {address(QStringLiteral("no_such_db")), kErrFileNotFound, "no_such_db"},
        {address(suite.dbFile().section(u'/', 3).section(u'?', 0, 0), QStringLiteral("qvrclave")), kErrBadAccount,
         "password"},
        {QStringLiteral("postgresql://servidor/"), kErrConnectionFailed, "no indica la base de datos"},
        {QStringLiteral("postgresql://servidor:puerto/qvr"), kErrConnectionFailed, "puerto"},
    };
    for (const Caso& c : cases) {
        const auto failure = open(c.dbFile);
        ASSERT_TRUE(failure.has_value()) << qPrintable(c.dbFile);
        EXPECT_EQ(failure->number, c.number) << qPrintable(c.dbFile) << qPrintable(failure->description);
        EXPECT_TRUE(mensajeFalloApertura(*failure).contains(QLatin1String(c.text)))
            << qPrintable(mensajeFalloApertura(*failure));
        EXPECT_FALSE(QSqlDatabase::contains(kConnection));
    }
    EXPECT_FALSE(SuiteDePrueba::ejecutaEnServidor(QStringLiteral("no_such_db"), QStringLiteral("SELECT 1")));
}

TEST_F(SessionServerTest, PasswordComesFromThePasswordFile)
{
    const QString database = suite.dbFile().section(u'/', 3).section(u'?', 0, 0);
    QTemporaryDir home;
    const QString passFile = home.path() + QStringLiteral("/pgpass");
    QFile f(passFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("*:*:*:qvrclave:clave-de-prueba\n");
    f.close();
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    qputenv("PGPASSFILE", passFile.toLocal8Bit());
    const auto failure = open(address(database, QStringLiteral("qvrclave")));
    qunsetenv("PGPASSFILE");
    EXPECT_FALSE(failure.has_value()) << qPrintable(failure ? failure->description : QString());
}

// The caller's first reads travel with the suite check: they have run once
// the suite is open, and a database that fails the check is told as such,
// not as a failure of the reads that rode with it.
TEST_F(SessionServerTest, FirstReadsRideWithTheSuiteCheck)
{
    LoteSql lecturas;
    const int cab = lecturas.agregar(QStringLiteral("SELECT count(*) FROM CAB WHERE FORMULARIO = ?"),
                                     {QStringLiteral("0834")});
    ASSERT_FALSE(open(suite.dbFile(), &lecturas).has_value());
    EXPECT_FALSE(lecturas.error().isValid()) << qPrintable(lecturas.error().text());
    EXPECT_EQ(lecturas.resultado(cab).filas.size(), 1);
    cierraBaseDatos(kConnection);

    const QString vacia = SuiteDePrueba::creaBaseServidor(false);
    lecturas.agregar(QStringLiteral("SELECT count(*) FROM CAB"));
    const auto failure = open(address(vacia), &lecturas);
    SuiteDePrueba::borraBaseServidor(vacia);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->number, kErrNoSuchTable) << qPrintable(failure->description);
    EXPECT_FALSE(QSqlDatabase::contains(kConnection));
}

// A role without rights on a table meets the locked number at the statement.
TEST_F(SessionServerTest, NoRightsOnATableIsTheLockedError)
{
    ASSERT_TRUE(suite.exec(QStringLiteral("REVOKE ALL ON DET FROM ") + usuarioIncorporado()));
    ASSERT_FALSE(open(suite.dbFile()).has_value());
    QSqlQuery q(QSqlDatabase::database(kConnection));
    EXPECT_TRUE(q.exec(QStringLiteral("SELECT count(*) FROM CAB")));
    ASSERT_FALSE(q.exec(QStringLiteral("DELETE FROM DET")));
    EXPECT_EQ(clasificarError(q.lastError()), FalloSql::Bloqueo);
}

// The connection dropped while the suite's tables are checked is told as a
// lost connection, not as a database without the suite's tables; a server
// that cannot be reached says so in Spanish before the client's own words.
TEST_F(SessionServerTest, ALostConnectionIsToldAsLostInSpanish)
{
    EnlaceCortable enlace(qEnvironmentVariable("QVR_TEST_PG"));
    enlace.cortarEnSentencia("pg_class");
    const QString database = suite.dbFile().section(u'/', 3).section(u'?', 0, 0);
    auto failure = open(enlace.url(database));
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->number, kErrConnectionFailed) << qPrintable(failure->description);
    EXPECT_TRUE(failure->description.startsWith(QStringLiteral("Se perdió la conexión con el servidor")))
        << qPrintable(failure->description);

    enlace.rechazarConexiones(true);
    failure = open(enlace.url(database));
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->number, kErrConnectionFailed);
    EXPECT_TRUE(failure->description.startsWith(QStringLiteral("No se pudo conectar con el servidor")))
        << qPrintable(failure->description);
}
