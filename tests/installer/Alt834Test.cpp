// Runs the real Alt834 against a throw-away suite folder.

#include "ArchivoIni.h"
#include "SuiteDePrueba.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <unistd.h>

// Readable failure output.
void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

const QString kDash = QStringLiteral("\u2013");

struct CorridaProceso {
    int exitCode = -1;
    QString err;
};

CorridaProceso correAlt834(const QString& windir)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QVR_WINDIR"), windir);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ALT834_PATH), {});
    if (!p.waitForFinished(30000))
        p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError())};
}

CorridaProceso correAlt834(const SuiteDePrueba& suite) { return correAlt834(suite.path()); }

void escribeArchivo(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

void escribeEnvio(const SuiteDePrueba& suite, const QByteArray& bytes)
{
    escribeArchivo(suite.path() + QStringLiteral("TMP/env834.txt"), bytes);
}

void setOption(const SuiteDePrueba& suite, const char* key, const QString& value)
{
    ASSERT_TRUE(ArchivoIni::escribe(suite.iniPath(), QStringLiteral("Options"), QString::fromLatin1(key), value));
}

// Every row of a table, columns joined by '|', NULL shown as <null>, sorted.
QStringList rows(const SuiteDePrueba& suite, const QString& table)
{
    QStringList out;
    QSqlQuery q(suite.db());
    EXPECT_TRUE(q.exec(QStringLiteral("SELECT * FROM ") + table));
    while (q.next()) {
        QStringList cols;
        for (int i = 0; i < q.record().count(); ++i)
            cols << (q.value(i).isNull() ? QStringLiteral("<null>") : q.value(i).toString());
        out << cols.join(u'|');
    }
    out.sort();
    return out;
}

QStringList todasLasFilas(const SuiteDePrueba& suite)
{
    return rows(suite, QStringLiteral("PARAM")) + rows(suite, QStringLiteral("Reportes")) +
           rows(suite, QStringLiteral("envio_t"));
}

const QByteArray kTwoTables = "1|CAB|HCAB|C|1|1|1|1|1|1|0|0|0|\r\n2|DET|HDET|D|2|1|1|1|1|1|0|0|0|\r\n";

const QStringList kParamRows{
    QStringLiteral("404|20040101|00003200.00|011"), QStringLiteral("960|2003|1.011|001"),
    QStringLiteral("960|2004|1.028|000"), QStringLiteral("981|0834|960|001"), QStringLiteral("992|0834|1|")};

} // namespace

TEST(Alt834, FirstRunRegistersParametersReportsAndTables)
{
    SuiteDePrueba suite;
    escribeEnvio(suite, kTwoTables);
    const CorridaProceso r = correAlt834(suite);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, QString());

    EXPECT_EQ(rows(suite, QStringLiteral("PARAM")), kParamRows);
    EXPECT_EQ(rows(suite, QStringLiteral("Reportes")),
              (QStringList{QStringLiteral("AAR001|Anticipo Adicional Renta 3ra. Categoría ") + kDash +
                               QStringLiteral(" Declaración|1"),
                           QStringLiteral("AAR002|Reporte de Envío  -  0834|1"),
                           QStringLiteral("AAR003|Anticipo Adicional Renta 3ra. Categoría ") + kDash +
                               QStringLiteral(" Declaración y anexos|1")}));
    EXPECT_EQ(rows(suite, QStringLiteral("envio_t")),
              (QStringList{QStringLiteral("0834|CAB|HCAB|C|1|1|1|1|1|1|0|0|0"),
                           QStringLiteral("0834|DET|HDET|D|2|1|1|1|1|1|0|0|0")}));
}

TEST(Alt834, SecondRunUpdatesEveryRowInPlace)
{
    SuiteDePrueba suite;
    // Rows an earlier version left, and another form's rows that must stay.
    suite.exec("INSERT INTO PARAM VALUES ('960','2003','1.000','009')");
    suite.exec("INSERT INTO PARAM VALUES ('960','2002','1.000','009')");
    suite.exec("INSERT INTO Reportes VALUES ('AAR002','viejo',0)");
    suite.exec("INSERT INTO envio_t VALUES ('0621','CAB','X','X',9,9,9,9,9,9,9,9,9)");
    escribeEnvio(suite, kTwoTables);
    ASSERT_EQ(correAlt834(suite).exitCode, 0);

    escribeEnvio(suite, "1|CAB|HCAB2|C2|3|0|6|11|4|4|1|1|1|\r\n2|DET|HDET|D|2|1|1|1|1|1|0|0|0|\r\n");
    ASSERT_EQ(correAlt834(suite).exitCode, 0);

    QStringList params = kParamRows + QStringList{QStringLiteral("960|2002|1.000|009")};
    params.sort();
    EXPECT_EQ(rows(suite, QStringLiteral("PARAM")), params);
    const QStringList reports = rows(suite, QStringLiteral("Reportes"));
    ASSERT_EQ(reports.size(), 3);
    EXPECT_EQ(reports[1], QStringLiteral("AAR002|Reporte de Envío  -  0834|0"));   // only the title changes
    EXPECT_EQ(rows(suite, QStringLiteral("envio_t")),
              (QStringList{QStringLiteral("0621|CAB|X|X|9|9|9|9|9|9|9|9|9"),
                           QStringLiteral("0834|CAB|HCAB2|C2|3|0|6|11|4|4|1|1|1"),
                           QStringLiteral("0834|DET|HDET|D|2|1|1|1|1|1|0|0|0")}));
}

TEST(Alt834, TextFieldsAreStoredAsTheyStand)
{
    SuiteDePrueba suite;
    // Blank second line: the third is never read. Empty field 3 becomes one blank;
    // apostrophes are data, not SQL.
    escribeEnvio(suite, "1|  O'NEIL  ||ext'1  |0|0|0|0|0|0|0|0|0|\n   \n3|LOST|L|L|1|1|1|1|1|1|1|1|1|\n");
    ASSERT_EQ(correAlt834(suite).exitCode, 0);
    EXPECT_EQ(rows(suite, QStringLiteral("envio_t")),
              QStringList{QStringLiteral("0834|O'NEIL| |ext'1|0|0|0|0|0|0|0|0|0")});

    // CorridaProceso again with the same key: updated, not duplicated, apostrophe and all.
    escribeEnvio(suite, "1|O'NEIL|D'X|e|1|0|0|0|0|0|0|0|0|\n");
    ASSERT_EQ(correAlt834(suite).exitCode, 0);
    EXPECT_EQ(rows(suite, QStringLiteral("envio_t")),
              QStringList{QStringLiteral("0834|O'NEIL|D'X|e|1|0|0|0|0|0|0|0|0")});
}

TEST(Alt834, LowerCaseTmpFolderAndDoubledSeparatorInSysPath)
{
    SuiteDePrueba suite;
    ASSERT_TRUE(QDir(suite.path()).rename(QStringLiteral("TMP"), QStringLiteral("tmp")));
    escribeArchivo(suite.path() + QStringLiteral("tmp/env834.txt"), kTwoTables);
    setOption(suite, "SysPath", suite.path() + u'/');
    const CorridaProceso r = correAlt834(suite);
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(rows(suite, QStringLiteral("envio_t")).size(), 2);
}

TEST(Alt834, WithoutASuiteFolderNothingIsWritten)
{
    SuiteDePrueba suite;
    escribeEnvio(suite, kTwoTables);
    setOption(suite, "SysPath", QStringLiteral("   "));
    CorridaProceso r = correAlt834(suite);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(r.err, QStringLiteral("Mensaje: Debe instalar primero el QVR \n"));
    EXPECT_TRUE(todasLasFilas(suite).isEmpty());

    // No settings file at all reads the same as an empty SysPath.
    QTemporaryDir emptyWindir;
    r = correAlt834(emptyWindir.path());
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(r.err, QStringLiteral("Mensaje: Debe instalar primero el QVR \n"));
}

TEST(Alt834, MissingDatabaseIsReportedAndNeverCreated)
{
    SuiteDePrueba suite;
    escribeEnvio(suite, kTwoTables);
    setOption(suite, "DBName", QStringLiteral("otra.db"));
    const CorridaProceso r = correAlt834(suite);
    EXPECT_NE(r.exitCode, 0);
    const QString file = suite.path() + QStringLiteral("otra.db");
    if (suite.onServer()) {   // DBName now names no database on any server: the client's own words
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("Error de Conección: "))) << qPrintable(r.err);
        return;
    }
    EXPECT_EQ(r.err, QStringLiteral("Error de Conección: Could not find file '%1'.\n 3024\n").arg(file));
    EXPECT_FALSE(QFileInfo::exists(file));
}

TEST(Alt834, LockedDatabaseShowsTheInstallersOwnText)
{
    SuiteDePrueba suite;
    escribeEnvio(suite, kTwoTables);
    QSqlQuery lock(suite.db());
    if (suite.onServer()) {
        // A server opens anyway; the lock stops the first write, with the same number.
        ASSERT_TRUE(suite.db().transaction());
        ASSERT_TRUE(lock.exec(QStringLiteral("LOCK TABLE PARAM IN ACCESS EXCLUSIVE MODE")));
    } else {
        ASSERT_TRUE(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));
    }
    const CorridaProceso r = correAlt834(suite);
    suite.db().rollback();
    EXPECT_NE(r.exitCode, 0);
    if (suite.onServer())
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("Error al Ejecutar Sentencia SQL: Error Número : 3051\n")))
            << qPrintable(r.err);
    else
        EXPECT_EQ(r.err, QStringLiteral("Error de Conección:  3051- Base de datos esta bloqueda\n"));
    EXPECT_TRUE(todasLasFilas(suite).isEmpty());
}

// A second user of a suite made by another user on the same machine: the
// message names what this user may not write instead of calling it locked.
// Run as the unprivileged "nobody" (root may write anything), else with the
// suite's folder closed to writing.
TEST(Alt834, ASecondUserIsToldWhichPathItMayNotWrite)
{
    SuiteDePrueba suite;
    if (suite.onServer())
        GTEST_SKIP() << "a server keeps its own files";
    escribeEnvio(suite, kTwoTables);
    const QString folder = QDir(suite.path()).absolutePath();
    const bool root = ::getuid() == 0;
    if (root && QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
        GTEST_SKIP() << "setpriv is needed to run as another user";
    // The other user reads the suite as anybody may; the temporary folder is the owner's own.
    const QFileDevice::Permissions open = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                          QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                          QFileDevice::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(folder, open));
    // The parent only gains the right to pass through: it may be /tmp itself,
    // whose sticky bit a full chmod would take away.
    const QString parent = QFileInfo(folder).path();
    if (!(QFile::permissions(parent) & QFileDevice::ExeOther)) {
        ASSERT_TRUE(QFile::setPermissions(parent, QFile::permissions(parent) | QFileDevice::ExeOther));
    }
    if (!root) {
        ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QVR_WINDIR"), folder);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    if (root)
        p.start(QStringLiteral("setpriv"), {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                            QStringLiteral("--clear-groups"), QStringLiteral(ALT834_PATH)});
    else
        p.start(QStringLiteral(ALT834_PATH), {});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(err.startsWith(QStringLiteral("Error de Conección: Este usuario no tiene permiso para escribir en ")))
        << qPrintable(err);
    EXPECT_TRUE(err.contains(root ? suite.dbFile() : folder + u'/')) << qPrintable(err);
    EXPECT_TRUE(err.endsWith(QStringLiteral("\n 3027\n"))) << qPrintable(err);
    EXPECT_TRUE(todasLasFilas(suite).isEmpty());
}

TEST(Alt834, MissingDataFileWritesNothing)
{
    SuiteDePrueba suite;
    const CorridaProceso r = correAlt834(suite);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("Mensaje: No se encuentra el archivo ") + suite.path() +
                                 QStringLiteral("TMP/env834.txt.")))
        << qPrintable(r.err);
    EXPECT_TRUE(todasLasFilas(suite).isEmpty());
}

TEST(Alt834, AMalformedLineLeavesEveryTableAsItWas)
{
    const QByteArray badLines[] = {
        "2|DET|HDET|D|2|1|1|1|1|1|0|0|\r\n",       // twelve fields
        "2|DET|HDET|D|2|uno|1|1|1|1|0|0|0|\r\n",   // not a number
        "2|DET|HDET|D|300|1|1|1|1|1|0|0|0|\r\n",   // beyond a byte
    };
    for (const QByteArray& bad : badLines) {
        SuiteDePrueba suite;
        escribeEnvio(suite, kTwoTables);
        ASSERT_EQ(correAlt834(suite).exitCode, 0);
        suite.exec("UPDATE PARAM SET Funcion='changed' WHERE Numero='404'");
        const QStringList before = todasLasFilas(suite);

        escribeEnvio(suite, "1|NEW|N|N|1|1|1|1|1|1|0|0|0|\r\n" + bad + "3|LAST|L|L|1|1|1|1|1|1|0|0|0|\r\n");
        const CorridaProceso r = correAlt834(suite);
        EXPECT_NE(r.exitCode, 0) << bad.constData();
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("Mensaje: Error en la línea 2 del archivo ")))
            << qPrintable(r.err);
        EXPECT_EQ(todasLasFilas(suite), before) << bad.constData();
    }
}

TEST(Alt834, AFailedStatementUndoesTheWholeRun)
{
    SuiteDePrueba suite;
    escribeEnvio(suite, kTwoTables);
    // A host whose envio_t lacks its columns: the PARAM and Reportes rows
    // written before the failure must not stay behind.
    ASSERT_TRUE(suite.exec("DROP TABLE envio_t"));
    ASSERT_TRUE(suite.exec("CREATE TABLE envio_t (otra INTEGER)"));
    // On a server the suite's account must still be let in, so the failure is the missing columns.
    if (suite.onServer()) {
        ASSERT_TRUE(suite.exec("GRANT SELECT, INSERT, UPDATE, DELETE ON envio_t TO qvrsuite"));
    }
    const CorridaProceso r = correAlt834(suite);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("Error al Ejecutar Sentencia SQL: Error Número : 3000\n")))
        << qPrintable(r.err);
    EXPECT_TRUE(rows(suite, QStringLiteral("PARAM")).isEmpty());
    EXPECT_TRUE(rows(suite, QStringLiteral("Reportes")).isEmpty());
}
