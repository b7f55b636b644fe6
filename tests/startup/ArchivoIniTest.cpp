#include "ArchivoIni.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QString write(const QByteArray& bytes)
    {
        QFile f(path());
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path();
    }
    QByteArray bytes() const
    {
        QFile f(path());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    QString path() const { return dir.filePath(QStringLiteral("KV000.INI")); }
    QTemporaryDir dir;
};

TEST_F(IniFileTest, NamesMatchWithoutRegardToCaseAndValuesAreTrimmed)
{
    const QString ini = write("[other]\r\nSysPath=wrong\r\n[ OPTIONS ]\r\n  sYsPaTh =  /suite/dir/  \r\nDBName=\tx.db\t\r\n");
    EXPECT_EQ(ArchivoIni::lee(ini, QStringLiteral("Options"), QStringLiteral("SysPath")), QStringLiteral("/suite/dir/"));
    EXPECT_EQ(ArchivoIni::lee(ini, QStringLiteral("options"), QStringLiteral("DBNAME")), QStringLiteral("x.db"));
    // No escapes: a backslash is just a character.
    write("[Options]\nSysPath=C:\\QVR\\n\\\n");
    EXPECT_EQ(ArchivoIni::lee(ini, QStringLiteral("Options"), QStringLiteral("SysPath")), QStringLiteral("C:\\QVR\\n\\"));
}

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesEmptyAndReadingCreatesNothing)
{
    EXPECT_EQ(ArchivoIni::lee(path(), QStringLiteral("Options"), QStringLiteral("SysPath")), QString());
    EXPECT_FALSE(QFile::exists(path()));
    const QString ini = write("[Options]\nSysUser=ANA\n[Other]\nSysPath=/x/\n");
    EXPECT_EQ(ArchivoIni::lee(ini, QStringLiteral("Options"), QStringLiteral("SysPath")), QString());
    EXPECT_EQ(ArchivoIni::lee(ini, QStringLiteral("Nope"), QStringLiteral("SysUser")), QString());
    EXPECT_EQ(ArchivoIni::lee(ini, QStringLiteral("Options"), QStringLiteral("SysUser")), QStringLiteral("ANA"));
}

TEST_F(IniFileTest, ValueKeepsAtMost254Characters)
{
    const QByteArray longValue(300, 'a');
    write("[Options]\nSysPath=" + longValue + "\n");
    EXPECT_EQ(ArchivoIni::lee(path(), QStringLiteral("Options"), QStringLiteral("SysPath")), QString(254, u'a'));
    // A blank that the cut leaves at the end is trimmed too.
    write("[Options]\nSysPath=" + QByteArray(253, 'b') + "  cd\n");
    EXPECT_EQ(ArchivoIni::lee(path(), QStringLiteral("Options"), QStringLiteral("SysPath")), QString(253, u'b'));
}

TEST_F(IniFileTest, WriteChangesOnlyItsOwnLine)
{
    const QByteArray before = "; suite settings\r\n[Options]\r\nSysPath=/s/\r\n  systemdb = old value \r\n"
                              "SysUser=ANA\r\n\r\n[Other]\r\nSystemDB=keep\r\n";
    write(before);
    ASSERT_TRUE(ArchivoIni::escribe(path(), QStringLiteral("OPTIONS"), QStringLiteral("SystemDB"), QStringLiteral("/s/KV000.MDW")));
    EXPECT_EQ(bytes(), QByteArray("; suite settings\r\n[Options]\r\nSysPath=/s/\r\nsystemdb=/s/KV000.MDW\r\n"
                                  "SysUser=ANA\r\n\r\n[Other]\r\nSystemDB=keep\r\n"));
}

TEST_F(IniFileTest, WriteAddsMissingKeyAtEndOfSectionAndMissingSectionAtEnd)
{
    write("[Options]\nSysPath=/s/\n\n[Other]\nA=1");
    ASSERT_TRUE(ArchivoIni::escribe(path(), QStringLiteral("Options"), QStringLiteral("SystemDB"), QStringLiteral("/s/KV000.MDW")));
    EXPECT_EQ(bytes(), QByteArray("[Options]\nSysPath=/s/\nSystemDB=/s/KV000.MDW\n\n[Other]\nA=1"));
    ASSERT_TRUE(ArchivoIni::escribe(path(), QStringLiteral("New"), QStringLiteral("K"), QStringLiteral("v")));
    EXPECT_EQ(bytes(), QByteArray("[Options]\nSysPath=/s/\nSystemDB=/s/KV000.MDW\n\n[Other]\nA=1\n[New]\nK=v\n"));
    ASSERT_TRUE(ArchivoIni::escribe(path(), QStringLiteral("Other"), QStringLiteral("B"), QStringLiteral("2")));
    EXPECT_EQ(ArchivoIni::lee(path(), QStringLiteral("Other"), QStringLiteral("B")), QStringLiteral("2"));
    EXPECT_EQ(ArchivoIni::lee(path(), QStringLiteral("Other"), QStringLiteral("A")), QStringLiteral("1"));
}

TEST_F(IniFileTest, WriteNeverCreatesTheFile)
{
    EXPECT_FALSE(ArchivoIni::escribe(path(), QStringLiteral("Options"), QStringLiteral("SystemDB"), QStringLiteral("x")));
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(IniFileTest, LocatesTheFileInTheWindowsFolder)
{
    qputenv("QVR_WINDIR", dir.path().toUtf8());
    EXPECT_EQ(ArchivoIni::ubicaIni(), path());
    qunsetenv("QVR_WINDIR");
    const QByteArray oldXdg = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/xdg-test");
    EXPECT_EQ(ArchivoIni::ubicaIni(), QStringLiteral("/tmp/xdg-test/KV000.INI"));
    // Relative folders are taken from the current folder at once: the program
    // changes folder later and must still write the file it read.
    qputenv("XDG_CONFIG_HOME", "rel/xdg");
    EXPECT_EQ(ArchivoIni::ubicaIni(), QDir::current().absoluteFilePath(QStringLiteral("rel/xdg/KV000.INI")));
    qputenv("QVR_WINDIR", "win");
    EXPECT_EQ(ArchivoIni::ubicaIni(), QDir::current().absoluteFilePath(QStringLiteral("win/KV000.INI")));
    qunsetenv("QVR_WINDIR");
    qputenv("XDG_CONFIG_HOME", oldXdg);
}

// A FIFO would block the reader for ever, /dev/zero would fill memory: neither
// (nor a file past the size limit) is read or written, and all read as no file.
TEST_F(IniFileTest, OnlyPlainFilesOfBoundedSizeAreSettingsFiles)
{
    const QString fifo = dir.filePath(QStringLiteral("fifo.ini"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QByteArray big = "[Options]\nSysPath=/big/\n" + QByteArray(ArchivoIni::kMaxBytes, ';');
    const QString large = write(big);
    for (const QString& ini : {fifo, QStringLiteral("/dev/zero"), QStringLiteral("/dev/null"), large}) {
        EXPECT_EQ(ArchivoIni::lee(ini, QStringLiteral("Options"), QStringLiteral("SysPath")), QString()) << qPrintable(ini);
        EXPECT_FALSE(ArchivoIni::escribe(ini, QStringLiteral("Options"), QStringLiteral("SystemDB"), QStringLiteral("x")));
    }
    EXPECT_EQ(bytes(), big);
}

} // namespace
