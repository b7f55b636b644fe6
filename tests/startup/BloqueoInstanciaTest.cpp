#include "BloqueoInstancia.h"

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(InstanceLockTest, SecondHolderIsRefusedUntilTheFirstGoes)
{
    QTemporaryDir dir;
    auto first = std::make_unique<BloqueoInstancia>(QStringLiteral("Kv834"), dir.path());
    ASSERT_TRUE(first->tryLock());
    BloqueoInstancia second(QStringLiteral("Kv834"), dir.path());
    EXPECT_FALSE(second.tryLock());
    BloqueoInstancia otherProgram(QStringLiteral("0834IMP"), dir.path());
    EXPECT_TRUE(otherProgram.tryLock());
    first.reset();
    EXPECT_TRUE(second.tryLock());
}

TEST(InstanceLockTest, LockOfACrashedCopyIsTakenOver)
{
    QTemporaryDir dir;
    BloqueoInstancia lock(QStringLiteral("Kv834"), dir.path());
    // A process that has ended left its lock behind.
    QProcess gone;
    gone.start(QStringLiteral("true"), {});
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 pid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    QFile stale(lock.fileName());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write(QByteArray::number(pid) + "\nKv834\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    EXPECT_TRUE(lock.tryLock());
}

// The lock file names its holder as QLockFile does: a copy built on that lock
// refuses to start while this process lives, and takes the file over once it
// has gone, instead of refusing for ever.
TEST(InstanceLockTest, LockFileNamesItsHolderForQLockFile)
{
    QTemporaryDir dir;
    BloqueoInstancia lock(QStringLiteral("Kv834"), dir.path());
    // A longer holder left by an earlier run is written over and cut.
    QFile anterior(lock.fileName());
    ASSERT_TRUE(anterior.open(QIODevice::WriteOnly));
    anterior.write("4194304000\nUnProgramaAnterior\notra-maquina.example\n");
    anterior.close();
    ASSERT_TRUE(lock.tryLock());
    ASSERT_TRUE(anterior.open(QIODevice::ReadOnly));
    EXPECT_EQ(anterior.readAll().count('\n'), 3);
    QLockFile other(lock.fileName());
    qint64 pid = 0;
    QString host;
    QString program;
    ASSERT_TRUE(other.getLockInfo(&pid, &host, &program));
    EXPECT_EQ(pid, QCoreApplication::applicationPid());
    EXPECT_EQ(host, QSysInfo::machineHostName());
    other.setStaleLockTime(0);
    EXPECT_FALSE(other.tryLock(0));
}

} // namespace
