// Report files are never written through a link or onto anything but a
// regular file, and a good write replaces the file whole.

#include "ArchivoSeguro.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QByteArray leer(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

}  // namespace

TEST(ArchivoSeguro, RefusesLinksFoldersAndFifosNamingThePath)
{
    QTemporaryDir dir;
    const QString fuera = dir.filePath(QStringLiteral("fuera.txt"));
    ASSERT_TRUE(ArchivoSeguro::escribeTodo(fuera, "intacto", nullptr));
    const QString enlace = dir.filePath(QStringLiteral("00000001.PRN"));
    const QString colgante = dir.filePath(QStringLiteral("00000002.PRN"));
    const QString carpeta = dir.filePath(QStringLiteral("00000003.PRN"));
    const QString fifo = dir.filePath(QStringLiteral("00000004.PRN"));
    ASSERT_TRUE(QFile::link(fuera, enlace));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("nuevo.txt")), colgante));
    ASSERT_TRUE(QDir().mkdir(carpeta));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    for (const QString& ruta : {enlace, colgante, carpeta, fifo}) {
        QString error;
        EXPECT_FALSE(ArchivoSeguro::escribeTodo(ruta, "pPos|0|0|x|False|8|0|\r\n", &error));
        EXPECT_TRUE(error.contains(ruta)) << qPrintable(error);
    }
    EXPECT_EQ(leer(fuera), "intacto");
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("nuevo.txt"))));
    EXPECT_TRUE(QFileInfo(enlace).isSymLink());

    // A regular file is replaced whole, and nothing else is left in the folder.
    ASSERT_TRUE(ArchivoSeguro::escribeTodo(fuera, "nuevo", nullptr));
    EXPECT_EQ(leer(fuera), "nuevo");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), 4);
}
