// Kv834 as a process: the start-up checks in their order and their exit
// status. Runs offscreen, so the start-up messages go to the standard error.

#include "IniFile.h"
#include "TestSuite.h"
#include "XTestWindows.h"

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
    struct Result {
        int exitCode = -1;
        QString err;
    };
    Result run(bool withDisplay) const
    {
        QProcess p;
        start(p, withDisplay);
        if (!p.waitForFinished(20000)) {
            p.kill();
            p.waitForFinished();
            return {};
        }
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardError())};
    }
    void setIni(const char* key, const QString& value) const
    {
        IniFile::write(suite.iniPath(), QStringLiteral("Options"), QLatin1String(key), value);
    }

    TestSuite suite;
    QTemporaryDir runtime;
};

TEST_F(Kv834ProcessTest, WithoutTheHostWindowItEndsWithTheHostMessage)
{
    const Result r = run(false);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Error al ejecutar el módulo: ") + kSinIntegrador)) << qPrintable(r.err);
    // Nothing was read or opened: the workgroup entry was not written.
    EXPECT_TRUE(IniFile::read(suite.iniPath(), QStringLiteral("Options"), QStringLiteral("SystemDB")).isEmpty());
}

class Kv834WithHostTest : public Kv834ProcessTest {
protected:
    void SetUp() override
    {
        if (!x.ok())
            GTEST_SKIP() << "no X display";
        x.create(QStringLiteral("Qvarion"), true);
    }
    XTestWindows x;
};

TEST_F(Kv834WithHostTest, MissingDatabaseEndsWithTheConnectionMessage)
{
    setIni("DBName", QStringLiteral("missing.db"));
    const Result r = run(true);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Error de Conección: Could not find file '%1missing.db'.\n 3024")
                                   .arg(suite.path())))
        << qPrintable(r.err);
    EXPECT_FALSE(QFile::exists(suite.path() + QStringLiteral("missing.db")));
    EXPECT_EQ(IniFile::read(suite.iniPath(), QStringLiteral("Options"), QStringLiteral("SystemDB")),
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
    while (IniFile::read(suite.iniPath(), QStringLiteral("Options"), QStringLiteral("SystemDB")).isEmpty() &&
           timer.elapsed() < 15000)
        QThread::msleep(50);
    ASSERT_EQ(first.state(), QProcess::Running) << qPrintable(QString::fromUtf8(first.readAllStandardError()));

    const Result second = run(true);
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_TRUE(second.err.contains(
        QStringLiteral("Declaración Anticipo Adicional Renta: La Aplicación ya se encuentra en ejecución")))
        << qPrintable(second.err);

    // With no host as well, only the host message is shown.
    const Result third = run(false);
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

} // namespace
