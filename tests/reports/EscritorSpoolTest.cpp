#include "ImpRep.h"
#include "FormatoSpool.h"
#include "EscritorSpool.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray bytesArchivo(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SpoolWriterTest : public ::testing::Test {
protected:
    QString path() const { return dir.path() + QStringLiteral("/00000001.PRN"); }
    QTemporaryDir dir;
};

}  // namespace

TEST_F(SpoolWriterTest, WritesTheLineFormsByteForByte)
{
    EscritorSpool w;
    ASSERT_TRUE(w.open(path()));
    w.ImprimePos(300, 350, u"KALDEN", true, 16, 0);
    w.ImprimePos(9000, 1450, u"Año Depreciación", false, 8, 1);
    w.ImprimePos(1, 2, u"pNuevaHoja", true, 99, 7);
    w.ImprimeCuadro(150, 300, 1700, 1640, 0);
    w.ImprimePos(-5, 0, u"", false, 8, 2);
    ASSERT_TRUE(w.close());

    const QByteArray expected = "pPos|300|350|KALDEN|True|16|0|\r\n"
                                "pPos|9000|1450|A\xF1o Depreciaci\xF3n|False|8|1|\r\n"
                                "pNuevaHoja\r\n"
                                "pCuadro|150|300|1700|1640|0|\r\n"
                                "pPos|-5|0||False|8|2|\r\n";
    EXPECT_EQ(bytesArchivo(path()), expected);
}

TEST_F(SpoolWriterTest, TextThatWouldBreakTheFieldsIsNeutralised)
{
    // A '|' in a name would shift bold, size and page; a line break would
    // cut the command in two; a character outside the code page becomes '?'.
    EXPECT_EQ(FormatoSpool::codificaLinea(FormatoSpool::lineaPos(1, 2, u"A|B\r\nC €Ω", false, 8, 0)),
              QByteArray("pPos|1|2|A\xA6" "B  C \x80?|False|8|0|\r\n"));
}

TEST_F(SpoolWriterTest, TagLinesPassOnlyWhileThePageCounterIsOneOrLess)
{
    EscritorSpool w;
    ASSERT_TRUE(w.open(path()));
    w.fijaContadorPaginas(0);
    w.ImprimeLinea(u"<!font!>Courier New<!/font!>");
    w.fijaContadorPaginas(1);
    w.ImprimePos(0, 0, u"<!np!>", false, 8, 0);
    w.fijaContadorPaginas(2);
    w.ImprimeLinea(u"<!nHojas!>2<!/nHojas!>");
    w.ImprimePos(0, 0, u"<!Color!>&H00FFFFC0&<!/Color!>", false, 8, 0);
    w.ImprimeLinea(u"pPos|300|600|10:00:00|false|10|0|");  // not a tag: always written
    w.ImprimePos(5, 6, u"x", false, 8, 1);
    ASSERT_TRUE(w.close());
    EXPECT_EQ(bytesArchivo(path()), QByteArray("<!font!>Courier New<!/font!>\r\n"
                                            "<!np!>\r\n"
                                            "pPos|300|600|10:00:00|false|10|0|\r\n"
                                            "pPos|5|6|x|False|8|1|\r\n"));
}

TEST_F(SpoolWriterTest, ReportRunFramesTheBodyWithItsTags)
{
    for (const bool anexo : {false, true}) {
        ContextoReporte ctx;
        ctx.archivo = QStringLiteral("00000001.PRN");
        ctx.imprimeAnexo = anexo;
        const QString error = IniciaReporte(ctx, dir.path(), [](EscritorSpool& w) {
            EXPECT_EQ(w.contadorPaginas(), 1);  // so the closing tags pass the gate
            w.ImprimePos(300, 350, u"KALDEN", true, 16, 0);
            w.ImprimePos(0, 0, u"pNuevaHoja", false, 8, 1);
        });
        ASSERT_TRUE(error.isEmpty()) << qPrintable(error);
        EXPECT_EQ(ctx.pageTotal, anexo ? 3 : 2);
        EXPECT_EQ(bytesArchivo(path()), QByteArray("<!font!>Courier New<!/font!>\r\n"
                                                "pPos|300|350|KALDEN|True|16|0|\r\n"
                                                "pNuevaHoja\r\n<!nHojas!>")
                                         + (anexo ? "3" : "2")
                                         + "<!/nHojas!>\r\n<!Orientacion!>V<!/Orientacion!>\r\n"
                                           "<!Color!>&H00FFFFC0&<!/Color!>\r\n");
    }
}

TEST_F(SpoolWriterTest, ReportRunReplacesAnOldFileAndReportsAFolderItCannotWrite)
{
    {
        QFile old(path());
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'x'));
    }
    ContextoReporte ctx;
    ctx.archivo = QStringLiteral("00000001.PRN");
    ASSERT_TRUE(IniciaReporte(ctx, dir.path(), {}).isEmpty());
    EXPECT_TRUE(bytesArchivo(path()).startsWith("<!font!>"));
    EXPECT_LT(bytesArchivo(path()).size(), 200);

    ContextoReporte missing;
    missing.archivo = QStringLiteral("00000002.PRN");
    EXPECT_FALSE(IniciaReporte(missing, dir.path() + QStringLiteral("/nofolder"), {}).isEmpty());
    EXPECT_EQ(missing.pageTotal, 0);
    ContextoReporte unregistered;
    EXPECT_FALSE(IniciaReporte(unregistered, dir.path(), {}).isEmpty());
}

TEST(SpoolPaths, ReportFolderIsConcatenatedAsTheSuiteDoes)
{
    EXPECT_EQ(carpetaDeReportes(QStringLiteral("/suite/")), QStringLiteral("/suite/RPT"));
    EXPECT_EQ(rutaArchivoSpool(carpetaDeReportes(QStringLiteral("/suite/")), QStringLiteral("00000042.PRN")),
              QStringLiteral("/suite/RPT/00000042.PRN"));
    EXPECT_EQ(FormatoSpool::etiquetaNHojas(0), QStringLiteral("<!nHojas!>1<!/nHojas!>"));
}
