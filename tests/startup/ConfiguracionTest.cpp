#include "Configuracion.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

Configuracion configuracionDe(const QTemporaryDir& dir, const QByteArray& text)
{
    const QString ini = dir.filePath(QStringLiteral("KV000.INI"));
    QFile f(ini);
    f.open(QIODevice::WriteOnly);
    f.write(text);
    f.close();
    return leeConfiguracion(ini);
}

TEST(SettingsTest, SuitePathWithTrailingSeparatorGivesTheSuiteFolders)
{
    QTemporaryDir dir;
    const Configuracion s = configuracionDe(dir, "[Options]\r\nSysPath=C:\\SUITE\\\r\nSysVersion= 3.1 \r\n"
                                         "DBPath= D:\\DATA\\ \r\nDBName= SUITE.MDB \r\nSysMenu=menu.mnu\r\nSysUser= ANA \r\n");
    EXPECT_EQ(s.sysPath, QStringLiteral("C:/SUITE/"));
    EXPECT_EQ(s.sysVersion, QStringLiteral("3.1"));
    EXPECT_EQ(s.dbFile, QStringLiteral("D:/DATA/SUITE.MDB"));
    EXPECT_EQ(s.menuFile, QStringLiteral("C:/SUITE/menu.mnu"));
    EXPECT_EQ(s.rptPath, QStringLiteral("C:/SUITE/RPT"));
    EXPECT_EQ(s.tmpPath, QStringLiteral("C:/SUITE/TMP/"));
    EXPECT_EQ(s.tmpPathNoSep, QStringLiteral("C:/SUITE/TMP"));
    EXPECT_EQ(s.bmpPath, QStringLiteral("C:/SUITE/BMP/"));
    EXPECT_EQ(s.baseSistema(), QStringLiteral("C:/SUITE/KV000.MDW"));
    EXPECT_EQ(s.sysUser, QStringLiteral("ANA"));
}

TEST(SettingsTest, NoSeparatorIsAddedWhereTheSuiteWritesNone)
{
    QTemporaryDir dir;
    const Configuracion s = configuracionDe(dir, "[Options]\nSysPath=/srv/suite\nDBPath=/data\nDBName=qvr.db\n");
    EXPECT_EQ(s.baseSistema(), QStringLiteral("/srv/suiteKV000.MDW"));
    EXPECT_EQ(s.rptPath, QStringLiteral("/srv/suiteRPT"));
    EXPECT_EQ(s.dbFile, QStringLiteral("/dataqvr.db"));
}

TEST(SettingsTest, MissingKeysGiveEmptyTexts)
{
    EXPECT_EQ(Configuracion().sysUser, QStringLiteral(" "));
    QTemporaryDir dir;
    const Configuracion s = configuracionDe(dir, "[Options]\n");
    EXPECT_TRUE(s.sysPath.isEmpty());
    EXPECT_TRUE(s.dbFile.isEmpty());
    EXPECT_EQ(s.rptPath, QStringLiteral("RPT"));
    EXPECT_TRUE(s.sysUser.isEmpty());
}

TEST(SettingsTest, EntersTheSuiteFolder)
{
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    const Configuracion s = configuracionDe(dir, "[Options]\nSysPath=" + dir.path().toUtf8() + "/\n");
    ASSERT_TRUE(entraCarpetaSuite(s));
    EXPECT_EQ(QDir::currentPath(), QDir(dir.path()).canonicalPath());
    QDir::setCurrent(before);
    EXPECT_FALSE(entraCarpetaSuite(Configuracion()));
}

} // namespace
