// Kv834 as a process: the start-up checks in their order and their exit
// status. Runs offscreen, so the start-up messages go to the standard error.

#include "ArchivoIni.h"
#include "SuiteDePrueba.h"
#include "VentanasXTest.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

const QString kSinIntegrador = QStringLiteral("Debe ejecutar este módulo desde el Integrador del QVR");

class Kv834ProcessTest : public ::testing::Test {
protected:
    QProcessEnvironment environment(bool withDisplay) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QVR_WINDIR"), suite.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        if (!withDisplay)
            env.remove(QStringLiteral("DISPLAY"));
        return env;
    }
    void start(QProcess& p, bool withDisplay) const
    {
        p.setProcessEnvironment(environment(withDisplay));
        p.start(QStringLiteral(KV834_PATH), {});
    }
    struct Resultado {
        int exitCode = -1;
        QString err;
    };
    Resultado run(bool withDisplay) const { return run(environment(withDisplay)); }
    Resultado run(const QProcessEnvironment& env) const
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KV834_PATH), {});
        if (!p.waitForFinished(20000)) {
            p.kill();
            p.waitForFinished();
            return {};
        }
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardError())};
    }
    void fijaIni(const char* key, const QString& value) const
    {
        ArchivoIni::escribe(suite.iniPath(), QStringLiteral("Options"), QLatin1String(key), value);
    }

    SuiteDePrueba suite;
    QTemporaryDir runtime;
};

TEST_F(Kv834ProcessTest, WithoutTheHostWindowItEndsWithTheHostMessage)
{
    const Resultado r = run(false);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Error al ejecutar el módulo: ") + kSinIntegrador)) << qPrintable(r.err);
    // Nothing was read or opened: the workgroup entry was not written.
    EXPECT_TRUE(ArchivoIni::lee(suite.iniPath(), QStringLiteral("Options"), QStringLiteral("SystemDB")).isEmpty());
}

// Qt alone would abort on a display it cannot reach; the program says why it stops.
TEST_F(Kv834ProcessTest, UnreachableDisplayEndsWithTheHostMessage)
{
    QProcessEnvironment env = environment(true);
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":97"));
    const Resultado r = run(env);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Error al ejecutar el módulo: ") + kSinIntegrador)) << qPrintable(r.err);
}

class Kv834WithHostTest : public Kv834ProcessTest {
protected:
    void SetUp() override
    {
        if (!x.ok())
            GTEST_SKIP() << "no X display";
        x.create(QStringLiteral("Qvarion"), true);
    }
    VentanasXTest x;
};

TEST_F(Kv834WithHostTest, MissingDatabaseEndsWithTheConnectionMessage)
{
    fijaIni("DBName", QStringLiteral("missing.db"));
    const Resultado r = run(true);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Error de Conección: Could not find file '%1missing.db'.\n 3024")
                                   .arg(suite.path())))
        << qPrintable(r.err);
    EXPECT_FALSE(QFile::exists(suite.path() + QStringLiteral("missing.db")));
    EXPECT_EQ(ArchivoIni::lee(suite.iniPath(), QStringLiteral("Options"), QStringLiteral("SystemDB")),
              suite.path() + QStringLiteral("KV000.MDW"));
}

TEST_F(Kv834WithHostTest, SecondCopyIsRefusedAndTheFirstKeepsRunning)
{
    QProcess first;
    start(first, true);
    ASSERT_TRUE(first.waitForStarted());
    // The first copy has loaded once it has recorded the workgroup file.
    QElapsedTimer timer;
    timer.start();
    while (ArchivoIni::lee(suite.iniPath(), QStringLiteral("Options"), QStringLiteral("SystemDB")).isEmpty() &&
           timer.elapsed() < 15000)
        QThread::msleep(50);
    ASSERT_EQ(first.state(), QProcess::Running) << qPrintable(QString::fromUtf8(first.readAllStandardError()));

    const Resultado second = run(true);
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_TRUE(second.err.contains(
        QStringLiteral("Declaración Anticipo Adicional Renta: La Aplicación ya se encuentra en ejecución")))
        << qPrintable(second.err);

    // With no host as well, only the host message is shown.
    const Resultado third = run(false);
    EXPECT_EQ(third.exitCode, 1);
    EXPECT_TRUE(third.err.contains(kSinIntegrador));
    EXPECT_FALSE(third.err.contains(QStringLiteral("ya se encuentra")));

    EXPECT_EQ(first.state(), QProcess::Running);
    first.terminate();
    if (!first.waitForFinished(5000)) {
        first.kill();
        first.waitForFinished();
    }
}

// A lock file that cannot be made is no running copy: the message says which.
TEST_F(Kv834WithHostTest, InstanceLockThatCannotBeMadeIsNotCalledARunningCopy)
{
    // A user name longer than any file name makes the lock file impossible.
    QProcessEnvironment env = environment(true);
    env.insert(QStringLiteral("USER"), QString(300, u'u'));
    const Resultado r = run(env);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.contains(QStringLiteral("ya se encuentra en ejecución\n"))) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains(QStringLiteral("no se puede crear el archivo de bloqueo"))) << qPrintable(r.err);
}

TEST_F(Kv834WithHostTest, QuitAfterShowEndsCleanlyOnceTheMainWindowIsUp)
{
    QProcess p;
    QProcessEnvironment env = environment(true);
    env.insert(QStringLiteral("QVR_QUIT_AFTER_SHOW"), QStringLiteral("1"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KV834_PATH), {});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    // It got past the load step: the workgroup file was recorded.
    EXPECT_EQ(ArchivoIni::lee(suite.iniPath(), QStringLiteral("Options"), QStringLiteral("SystemDB")),
              suite.path() + QStringLiteral("KV000.MDW"));
}

// Settings the program cannot work with: the connection message, status 1,
// and nothing created in the suite folder or in the folder it was started in.
class Kv834BadSettingsTest : public Kv834WithHostTest {
protected:
    static QStringList listado(const QString& folder)
    {
        QStringList names;
        QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext())
            names << it.next();
        names.sort();
        return names;
    }
    QByteArray bytesIni() const
    {
        QFile f(suite.iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Runs Kv834 from an empty folder and checks what every bad setting must give.
    Resultado correSinCrearNada()
    {
        const QStringList before = listado(suite.path());
        QProcess p;
        p.setWorkingDirectory(cwd.path());
        start(p, true);
        Resultado r;
        if (p.waitForFinished(20000)) {
            r = {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                 QString::fromUtf8(p.readAllStandardError())};
        } else {
            p.kill();
            p.waitForFinished();
        }
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("Error de Conección: "))) << qPrintable(r.err);
        EXPECT_EQ(listado(suite.path()), before);
        EXPECT_TRUE(listado(cwd.path()).isEmpty());
        return r;
    }
    void escribeIni(const QByteArray& bytes) const
    {
        QFile f(suite.iniPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QTemporaryDir cwd;
};

TEST_F(Kv834BadSettingsTest, MissingOrUnreadableSettingsFile)
{
    ASSERT_TRUE(QFile::remove(suite.iniPath()));
    Resultado r = correSinCrearNada();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Could not find file 'KV000.MDW'.\n 3024"))) << qPrintable(r.err);
    EXPECT_FALSE(QFile::exists(suite.iniPath()));

    // A folder where the file should be cannot be read either.
    ASSERT_TRUE(QDir().mkdir(suite.iniPath()));
    r = correSinCrearNada();
    EXPECT_TRUE(r.err.contains(QStringLiteral("'KV000.MDW'"))) << qPrintable(r.err);
    EXPECT_TRUE(QFileInfo(suite.iniPath()).isDir());
}

TEST_F(Kv834BadSettingsTest, UnreadableByPermissions)
{
    QFile ini(suite.iniPath());
    ASSERT_TRUE(ini.setPermissions(QFileDevice::WriteOwner));
    if (ini.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "permissions do not stop this user (root)";
    const QByteArray before = [&] {
        ini.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        ini.open(QIODevice::ReadOnly);
        const QByteArray b = ini.readAll();
        ini.close();
        ini.setPermissions(QFileDevice::WriteOwner);
        return b;
    }();
    const Resultado r = correSinCrearNada();
    EXPECT_TRUE(r.err.contains(QStringLiteral("'KV000.MDW'"))) << qPrintable(r.err);
    ini.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(bytesIni(), before);
}

TEST_F(Kv834BadSettingsTest, EmptySysPathChangesNothing)
{
    // The database itself would open: the workgroup file is what is missing.
    fijaIni("SysPath", QString());
    const QByteArray before = bytesIni();
    const Resultado r = correSinCrearNada();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Could not find file 'KV000.MDW'.\n 3024"))) << qPrintable(r.err);
    EXPECT_EQ(bytesIni(), before);

    fijaIni("SysPath", suite.path() + QStringLiteral("absent/"));
    const QByteArray before2 = bytesIni();
    const Resultado r2 = correSinCrearNada();
    EXPECT_TRUE(r2.err.contains(suite.path() + QStringLiteral("absent/KV000.MDW"))) << qPrintable(r2.err);
    EXPECT_EQ(bytesIni(), before2);
}

TEST_F(Kv834BadSettingsTest, DatabasePathNamingAFolder)
{
    ASSERT_TRUE(QDir(suite.path()).mkdir(QStringLiteral("adir")));
    fijaIni("DBName", QStringLiteral("adir"));
    const Resultado r = correSinCrearNada();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Could not find file '%1adir'.\n 3024").arg(suite.path())))
        << qPrintable(r.err);
    EXPECT_TRUE(QDir(suite.path() + QStringLiteral("adir")).isEmpty());
}

TEST_F(Kv834BadSettingsTest, OverlongSettingsLineKeepsItsFirst254Characters)
{
    // DBName of 300 characters: the program looks for the first 254 of them.
    const QByteArray name = QByteArray(150, 'n') + QByteArray(150, 'm');
    QByteArray bytes = bytesIni();
    bytes.replace("DBName=suite.db", "DBName=" + name);
    escribeIni(bytes);
    const Resultado r = correSinCrearNada();
    const QString kept = suite.path() + QString::fromLatin1(name.left(254));
    EXPECT_TRUE(r.err.contains(QStringLiteral("Could not find file '%1'.\n 3024").arg(kept))) << qPrintable(r.err);
    EXPECT_FALSE(r.err.contains(QString::fromLatin1(name.left(255))));
}

} // namespace
