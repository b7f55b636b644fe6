#include "ArchivoEnvio.h"
#include "Module1.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SuiteFolder, TrimsAndCutsADoubledTrailingSeparator)
{
    EXPECT_EQ(Module1::carpetaSuite(QStringLiteral("  /opt/qvr/  ")), QStringLiteral("/opt/qvr/"));
    EXPECT_EQ(Module1::carpetaSuite(QStringLiteral("/opt/qvr//")), QStringLiteral("/opt/qvr/"));
    EXPECT_EQ(Module1::carpetaSuite(QStringLiteral("/opt/qvr")), QStringLiteral("/opt/qvr"));
    EXPECT_EQ(Module1::carpetaSuite(QStringLiteral("   ")), QString());
}

TEST(EnvioText, ConvertsEachFieldAsItsColumnNeeds)
{
    const ArchivoEnvio f = analizaTextoEnvio(
        QByteArray("x| CAB |  |ext |1|0|255|-5|+7|0|0|0|2147483647|\r\nx|DET|HDET|d|2|1|3|4|5|6|7|8|9|\r\n"),
        QStringLiteral("env834.txt"));
    ASSERT_FALSE(f.error);
    ASSERT_EQ(f.rows.size(), 2);
    EXPECT_EQ(f.rows[0].tablaO, QStringLiteral("CAB"));
    EXPECT_EQ(f.rows[0].tablaD, QStringLiteral("  "));   // as it stands: only an empty field becomes " "
    EXPECT_EQ(f.rows[0].tablaExt, QStringLiteral("ext"));
    EXPECT_EQ(f.rows[0].numbers, (std::array<qint64, 9>{1, 0, 255, -5, 7, 0, 0, 0, 2147483647}));
    EXPECT_EQ(f.rows[1].tablaD, QStringLiteral("HDET"));
    EXPECT_EQ(f.rows[1].numbers[8], 9);
}

TEST(EnvioText, WindowsCodePageTextIsRead)
{
    const ArchivoEnvio f = analizaTextoEnvio(QByteArray("x|A\xd1O|\xe9|e|1|1|1|1|1|1|1|1|1|"), QStringLiteral("f"));
    ASSERT_FALSE(f.error);
    EXPECT_EQ(f.rows[0].tablaO, QStringLiteral("AÑO"));
    EXPECT_EQ(f.rows[0].tablaD, QStringLiteral("é"));
}

TEST(EnvioText, BadLinesAreNamedWithTheReason)
{
    struct Caso {
        const char* line;
        const char* reason;
    };
    const Caso cases[] = {
        {"x|CAB|D|e|1|1|1|1|1|1|1|1|1", "menos de 13 campos"},   // last field not closed
        {"x|CAB|D|e|1|1|1|1|1|1|1|1|", "menos de 13 campos"},
        {"x|CAB|D|e|1|1|1|1|1|1|1|1||", "el campo 13 (\"\") no es un número"},
        {"x|CAB|D|e|1|1|1|1.5|1|1|1|1|1|", "el campo 8 (\"1.5\") no es un número"},
        {"x|CAB|D|e|1|uno|1|1|1|1|1|1|1|", "el campo 6 (\"uno\") no es un número"},
        {"x|CAB|D|e|256|1|1|1|1|1|1|1|1|", "el campo 5 (256) está fuera del rango de 0 a 255"},
        {"x|CAB|D|e|1|1|-1|1|1|1|1|1|1|", "el campo 7 (-1) está fuera del rango de 0 a 255"},
        {"x|CAB|D|e|1|1|1|1|1|1|1|2147483648|1|", "el campo 12 (2147483648) está fuera del rango"},
        {"x|CAB|D|e|1|1|1|1|1|1|1|1|99999999999999999999|", "el campo 13 (99999999999999999999) está fuera"},
        {"x|CAB|D|e|1|1|1|1|1|1|1|1|1|1|", "más de 13 campos"},
        {"x|CAB|D|e|1|1|1|1|1|1|1|1|1|x", "más de 13 campos"},
    };
    for (const Caso& c : cases) {
        const QByteArray text = QByteArray("x|OK|D|e|1|1|1|1|1|1|1|1|1|\n") + c.line + "\n";
        const ArchivoEnvio f = analizaTextoEnvio(text, QStringLiteral("env834.txt"));
        ASSERT_TRUE(f.error) << c.line;
        EXPECT_EQ(f.error->line, 2) << c.line;
        EXPECT_TRUE(f.error->text.startsWith(QStringLiteral("Error en la línea 2 del archivo env834.txt: ")))
            << qPrintable(f.error->text);
        EXPECT_TRUE(f.error->text.contains(QString::fromUtf8(c.reason))) << qPrintable(f.error->text);
    }
}

TEST(EnvioText, CrLfAndCrCrLfAllEndALine)
{
    const QByteArray row = "x|A|D|e|1|1|1|1|1|1|1|1|1|";
    for (const QByteArray& fin : {QByteArray("\r"), QByteArray("\n"), QByteArray("\r\n")}) {
        const ArchivoEnvio f = analizaTextoEnvio(row + fin + row + fin + row, QStringLiteral("f"));
        ASSERT_FALSE(f.error) << qPrintable(f.error->text);
        EXPECT_EQ(f.rows.size(), 3) << fin.toHex().constData();
    }
    // A pasted value is echoed cut short, not whole.
    const ArchivoEnvio largo = analizaTextoEnvio(row + "\rx|A|D|e|" + QByteArray(500, 'z') + "|1|1|1|1|1|1|1|1|",
                                           QStringLiteral("f"));
    ASSERT_TRUE(largo.error);
    EXPECT_EQ(largo.error->line, 2);
    EXPECT_TRUE(largo.error->text.contains(QString(79, u'z') + QStringLiteral("…\""))) << qPrintable(largo.error->text);
}

TEST(EnvioText, ReadingStopsAtTheFirstBlankLine)
{
    const ArchivoEnvio f = analizaTextoEnvio(QByteArray("x|A|D|e|1|1|1|1|1|1|1|1|1|\n  \t\nbad line\n"), QStringLiteral("f"));
    ASSERT_FALSE(f.error);
    EXPECT_EQ(f.rows.size(), 1);
    EXPECT_TRUE(analizaTextoEnvio(QByteArray(""), QStringLiteral("f")).rows.isEmpty());
}

TEST(EnvioPath, TheTmpFolderAndTheFileAreFoundWhateverTheirCase)
{
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    EXPECT_EQ(rutaArchivoEnvio(root), root + QStringLiteral("TMP/env834.txt"));   // nothing there yet
    QDir(root).mkpath(QStringLiteral("tmp"));
    QFile(root + QStringLiteral("tmp/ENV834.TXT")).open(QIODevice::WriteOnly);
    EXPECT_EQ(rutaArchivoEnvio(root), root + QStringLiteral("tmp/ENV834.TXT"));
    QDir(root).mkpath(QStringLiteral("TMP"));
    QFile(root + QStringLiteral("TMP/env834.txt")).open(QIODevice::WriteOnly);
    EXPECT_EQ(rutaArchivoEnvio(root), root + QStringLiteral("TMP/env834.txt"));
}
