#include "SuiteDePruebaIntegrador.h"
#include "ObjFunciones.h"
#include "ConsultasParam.h"
#include "Configuracion.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

QStringList column(QSqlDatabase db, const QString& sql)
{
    QStringList values;
    QSqlQuery q(db);
    EXPECT_TRUE(q.exec(sql)) << qPrintable(sql);
    while (q.next())
        values << q.value(0).toString();
    return values;
}

QString leeParam(QSqlDatabase db, const QString& numero, const QString& argumento)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT Funcion FROM PARAM WHERE Numero=? AND Argumento=?"));
    q.addBindValue(numero);
    q.addBindValue(argumento);
    q.exec();
    return q.next() ? q.value(0).toString() : QStringLiteral("<missing>");
}

} // namespace

TEST(CreateSuite, WritesTheSettingsTheProgramsRead)
{
    SuiteDePruebaIntegrador suite;
    ASSERT_TRUE(suite.error().isEmpty()) << qPrintable(suite.error());
    const Configuracion s = leeConfiguracion(suite.iniPath());
    const QString folder = QDir(suite.folder()).absolutePath() + u'/';
    EXPECT_EQ(s.sysPath, folder);
    EXPECT_EQ(QDir::cleanPath(s.dbFile), QDir::cleanPath(suite.dbFile()));
    EXPECT_EQ(s.sysUser, QStringLiteral("ADMIN"));
    EXPECT_FALSE(s.sysVersion.isEmpty());
    EXPECT_FALSE(s.sysMenu.isEmpty());

    QFile ini(suite.iniPath());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray bytes = ini.readAll();
    EXPECT_TRUE(bytes.startsWith("[Options]\r\n"));
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));

    for (const char* path : {"RPT", "TMP", "BMP", "0834/Kv834.hlp", "TMP/env834.txt"})
        EXPECT_TRUE(QFile::exists(folder + QLatin1String(path))) << path;
}

TEST(CreateSuite, InstallerDataFileHoldsThirteenFieldsPerLine)
{
    SuiteDePruebaIntegrador suite;
    QFile f(suite.folder() + QStringLiteral("/TMP/env834.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text));
    int lines = 0;
    while (!f.atEnd()) {
        const QString line = QString::fromLatin1(f.readLine()).trimmed();
        ASSERT_FALSE(line.isEmpty());
        EXPECT_EQ(line.count(u'|'), 13) << qPrintable(line);
        EXPECT_TRUE(line.endsWith(u'|'));
        EXPECT_EQ(line.section(u'|', 0, 0), QStringLiteral("0834"));
        ++lines;
    }
    EXPECT_GE(lines, 2);
}

TEST(CreateSuite, TaxpayersHaveValidRucsForBothUsers)
{
    SuiteDePruebaIntegrador suite;
    const ObjFunciones f;
    QSqlQuery q(suite.db());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT Tip_doc_d, Doc_id_d, Nombre, Usuario FROM CONT")));
    int rows = 0;
    QSet<QString> users;
    while (q.next()) {
        ++rows;
        EXPECT_EQ(q.value(0).toInt(), 6);
        EXPECT_TRUE(f.RucValido(q.value(1).toString())) << qPrintable(q.value(1).toString());
        EXPECT_FALSE(q.value(2).toString().trimmed().isEmpty());
        users << q.value(3).toString();
    }
    EXPECT_GE(rows, 10);
    EXPECT_EQ(users, (QSet<QString>{"ADMIN", "CONTADOR"}));
    EXPECT_EQ(column(suite.db(), "SELECT Tipo FROM CLAVES WHERE Usuario='ADMIN'"), QStringList{"0"});
    EXPECT_EQ(column(suite.db(), "SELECT Tipo FROM CLAVES WHERE Usuario='CONTADOR'"), QStringList{"1"});
}

TEST(CreateSuite, ReferenceRowsFollowTheirLayouts)
{
    SuiteDePruebaIntegrador suite;
    QSqlDatabase db = suite.db();
    // The RUC row is the record every program falls back on when it is missing.
    EXPECT_EQ(leeParam(db, "044", "6"), kRegistroRucPredeterminado);
    for (const char* type : {"1", "4", "6", "7"}) {
        const QString r = leeParam(db, "044", QLatin1String(type));
        ASSERT_EQ(r.size(), 130) << type;
        EXPECT_EQ(r.at(81), u'1') << "representative list flag of type " << type;
    }
    EXPECT_EQ(leeParam(db, "044", "1").mid(45, 2), QStringLiteral("08"));

    EXPECT_EQ(leeParam(db, "004", "02").mid(37, 12).trimmed(), QStringLiteral("B. CREDITO"));
    EXPECT_EQ(column(db, "SELECT Argumento FROM PARAM WHERE Numero='004'").size(), 9);

    EXPECT_EQ(leeParam(db, "404", "20040101"), QStringLiteral("00003200.00"));
    EXPECT_EQ(leeParam(db, "404", "20030101"), QStringLiteral("00003100.00"));
    const QStringList uitDates = column(db, "SELECT Argumento FROM PARAM WHERE Numero='404'");
    EXPECT_TRUE(std::is_sorted(uitDates.begin(), uitDates.end()));
    EXPECT_EQ(leeParam(db, "960", "2003"), QStringLiteral("1.011"));
    EXPECT_NE(leeParam(db, "975", "200212"), QStringLiteral("<missing>"));
    EXPECT_EQ(leeParam(db, "992", "0834"), QStringLiteral("1"));
    EXPECT_TRUE(leeParam(db, "981", "0834").startsWith(QStringLiteral("404 960")));

    EXPECT_FALSE(column(db, "SELECT DescError FROM ERROR WHERE CodError='0151'").value(0).isEmpty());
    for (const char* table : {"CAB", "DET", "HCAB", "HDET", "SPOOL", "Reportes", "envio_t"})
        EXPECT_TRUE(column(db, QStringLiteral("SELECT COUNT(*) FROM ") + QLatin1String(table)) == QStringList{"0"}) << table;
}

TEST(CreateSuite, RefusesAnExistingSuiteAndLeavesItAlone)
{
    SuiteDePruebaIntegrador suite;
    ASSERT_TRUE(suite.error().isEmpty());
    QFile ini(suite.iniPath());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray before = ini.readAll();
    ini.close();

    EXPECT_FALSE(qvrhost::creaSuite(suite.folder()).isEmpty());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_EQ(ini.readAll(), before);
    EXPECT_EQ(column(suite.db(), "SELECT COUNT(*) FROM CLAVES"), QStringList{"2"});
}

namespace {

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

TEST(UserSuite, TakesAnExistingSuiteOrCreatesOneAndPointsTheUsersSettingsAtIt)
{
    SuiteDePruebaIntegrador existing;
    ASSERT_TRUE(existing.error().isEmpty());
    QTemporaryDir home;
    const QString userIni = home.path() + QStringLiteral("/config/not/yet/KV000.INI");

    // An existing suite is taken as it is: its rows stay, its settings are copied.
    EXPECT_EQ(qvrhost::haceSuiteUsuario(existing.folder(), userIni), QString());
    EXPECT_EQ(contents(userIni), contents(existing.iniPath()));
    EXPECT_EQ(column(existing.db(), "SELECT COUNT(*) FROM CLAVES"), QStringList{"2"});
    // The settings folder is the suite's own folder: nothing to copy.
    EXPECT_EQ(qvrhost::haceSuiteUsuario(existing.folder(), existing.iniPath()), QString());

    const QString fresh = home.path() + QStringLiteral("/QVR");
    EXPECT_EQ(qvrhost::haceSuiteUsuario(fresh, userIni), QString());
    EXPECT_TRUE(QFile::exists(fresh + QStringLiteral("/qvr.db")));
    EXPECT_EQ(contents(userIni), contents(fresh + QStringLiteral("/KV000.INI")));
}

// On a server the database exists already; a second init on it is refused,
// with --force the old suite is replaced whole, never mixed with the new one.
TEST(CreateSuiteOnServer, RefusesADatabaseHoldingASuiteUnlessForced)
{
    if (!SuiteDePrueba::motorServidor())
        GTEST_SKIP() << "a server's database";
    SuiteDePruebaIntegrador suite;
    ASSERT_TRUE(suite.error().isEmpty()) << qPrintable(suite.error());
    ASSERT_TRUE(QSqlQuery(suite.db()).exec("INSERT INTO CLAVES (Usuario, Tipo) VALUES ('OTRO', '1')"));
    QTemporaryDir other;
    const QString refused = qvrhost::creaSuiteEnServidor(other.path() + "/a", suite.urlDueno(), false);
    EXPECT_TRUE(refused.contains("--force")) << qPrintable(refused);
    EXPECT_FALSE(QFile::exists(other.path() + "/a/KV000.INI"));
    EXPECT_EQ(column(suite.db(), "SELECT COUNT(*) FROM CLAVES"), QStringList{"3"});

    EXPECT_EQ(qvrhost::creaSuiteEnServidor(other.path() + "/b", suite.urlDueno(), true), "");
    EXPECT_EQ(column(suite.db(), "SELECT COUNT(*) FROM CLAVES"), QStringList{"2"});
    EXPECT_EQ(leeConfiguracion(other.path() + "/b/KV000.INI").dbFile, suite.dbFile());
}

// KV000.INI names the server without login or password: a password in the
// address is refused before anything is made.
TEST(CreateSuiteOnServer, KeepsLoginAndPasswordOutOfTheSettings)
{
    if (!SuiteDePrueba::motorServidor())
        GTEST_SKIP() << "a server's database";
    SuiteDePruebaIntegrador suite;
    ASSERT_TRUE(suite.error().isEmpty()) << qPrintable(suite.error());
    const Configuracion s = leeConfiguracion(suite.iniPath());
    EXPECT_FALSE(s.dbPath.contains('@')) << qPrintable(s.dbPath);
    EXPECT_TRUE(s.dbPath.endsWith('/'));

    QTemporaryDir other;
    QString withPassword = suite.urlDueno();
    withPassword.replace("postgres@", "postgres:secreto@");
    EXPECT_TRUE(qvrhost::creaSuiteEnServidor(other.path() + "/c", withPassword, false).contains("pgpass"));
    EXPECT_FALSE(QFile::exists(other.path() + "/c"));
}
