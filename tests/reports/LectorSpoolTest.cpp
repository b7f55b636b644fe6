#include "FormatoSpool.h"
#include "LectorSpool.h"

#include <gtest/gtest.h>

namespace {

using Tipo = ElementoSpool::Tipo;

DocumentoSpool read(const char* text) { return leeSpool(QByteArray(text)); }

QList<int> paginasDeLectura(const QList<ElementoSpool>& items)
{
    QList<int> pages;
    for (const ElementoSpool& i : items)
        pages.append(i.page);
    return pages;
}

}  // namespace

TEST(SpoolReader, ReadsEveryLineKindAndTag)
{
    const DocumentoSpool doc = read("<!font!>Courier New<!/font!>\r\n"
                                   "pPos|300|350|A\xF1o|True|16|0|\r\n"
                                   "pCuadro|150|300|1700|1640|0|\r\n"
                                   "pNuevaHoja\r\n"
                                   "pPosVerti|100|200|ABC|false|9|1|\r\n"
                                   "<!nHojas!>2<!/nHojas!>\r\n"
                                   "<!Orientacion!> V <!/Orientacion!>\r\n"
                                   "<!Color!>&H00FFFFC0&<!/Color!>\r\n");
    EXPECT_EQ(doc.fontName, QStringLiteral("Courier New"));
    EXPECT_EQ(doc.nHojas, 2);
    EXPECT_EQ(doc.orientacion, QStringLiteral("V"));
    EXPECT_EQ(doc.valorColor(), 0x00FFFFC0u);
    EXPECT_EQ(doc.skippedLines, 0);
    ASSERT_EQ(doc.items.size(), 4);

    const ElementoSpool& t = doc.items[0];
    EXPECT_EQ(t.kind, Tipo::Texto);
    EXPECT_EQ(t.x, 300);
    EXPECT_EQ(t.y, 350);
    EXPECT_EQ(t.text, QString::fromUtf8("Año"));
    EXPECT_TRUE(t.bold);
    EXPECT_EQ(t.size, 16);
    EXPECT_EQ(t.page, 0);

    const ElementoSpool& r = doc.items[1];
    EXPECT_EQ(r.kind, Tipo::Cuadro);
    EXPECT_EQ(QList<int>({r.x, r.y, r.x2, r.y2, r.page}), QList<int>({150, 300, 1700, 1640, 0}));

    EXPECT_EQ(doc.items[2].kind, Tipo::SaltoPagina);
    EXPECT_EQ(doc.items[2].page, 0);  // the page the break ends

    EXPECT_EQ(doc.items[3].kind, Tipo::TextoVertical);
    EXPECT_FALSE(doc.items[3].bold);
    EXPECT_EQ(doc.items[3].page, 1);
    EXPECT_EQ(doc.ultimaPagina(), 1);
}

TEST(SpoolReader, FieldsReadLikeTheSuiteReadsThem)
{
    const DocumentoSpool doc = read("pPos|1|2|a|false|0|0|\n"
                                   "pPos|1|2|b|FALSE||0|\n"
                                   "pPos|1|2|c|tRuE|abc|0|\n"
                                   "pPos| 12x|-7.9|d|yes|10.6|+1|\n"
                                   "pPos|99999|-99999|e|True|8|0|\n"
                                   "pPosVerti|0|0|f|False|0|0|\n");
    ASSERT_EQ(doc.items.size(), 6);
    EXPECT_EQ(doc.items[0].size, 8);  // size 0 is 8
    EXPECT_FALSE(doc.items[0].bold);  // lower-case "false"
    EXPECT_EQ(doc.items[1].size, 8);  // empty size
    EXPECT_FALSE(doc.items[1].bold);
    EXPECT_EQ(doc.items[2].size, 8);  // not a number
    EXPECT_TRUE(doc.items[2].bold);
    EXPECT_EQ(doc.items[3].x, 12);    // numeric prefix
    EXPECT_EQ(doc.items[3].y, -7);
    EXPECT_EQ(doc.items[3].size, 10);
    EXPECT_EQ(doc.items[3].page, 1);
    EXPECT_FALSE(doc.items[3].bold);
    EXPECT_EQ(doc.items[4].x, 32767);  // 16-bit ends
    EXPECT_EQ(doc.items[4].y, -32768);
    EXPECT_EQ(doc.items[5].size, 8);
}

TEST(SpoolReader, SkipsWhatItDoesNotKnowAndNeverStalls)
{
    const DocumentoSpool doc = read("pFoo|1|2|3|\r\n"
                                   "\r\n"
                                   " \r\n"
                                   "ppos|1|2|lower case keyword|False|8|0|\r\n"
                                   "<!fontsize!>12<!/fontsize!>\r\n"
                                   "<!np!>\r\n"
                                   "pPos|300|35\r\n"                // cut short
                                   "pCuadro|1|2|3\r\n"               // cut short
                                   "\x01\x02garbage without separators\r\n"
                                   "<!nHojas!>3\r\n"                 // no closing tag
                                   "  pPos |7|8|kept|False|8|0|\r\n" // blanks around the word
                                   "pNuevaHoja|anything\r\n"
                                   "pPos|9|9|last line without end|False|8|1|");
    EXPECT_EQ(doc.skippedLines, 9);
    EXPECT_EQ(doc.nHojas, 3);
    ASSERT_EQ(doc.items.size(), 3);
    EXPECT_EQ(doc.items[0].text, QStringLiteral("kept"));
    EXPECT_EQ(doc.items[1].kind, Tipo::SaltoPagina);
    EXPECT_EQ(doc.items[2].text, QStringLiteral("last line without end"));

    EXPECT_TRUE(leeSpool(QByteArray()).items.isEmpty());
    EXPECT_FALSE(leeArchivoSpool(QStringLiteral("/nonexistent/00000001.PRN")).has_value());
}

TEST(SpoolReader, ColourTagNamesRgbOrASystemColour)
{
    EXPECT_EQ(read("<!Color!>&H80000005&<!/Color!>").valorColor(), 0x80000005u);
    EXPECT_FALSE(read("<!Color!>cyan<!/Color!>").valorColor().has_value());
    EXPECT_FALSE(read("").valorColor().has_value());
}

TEST(SpoolReader, ReadsBackWhatTheWriterWrites)
{
    QByteArray bytes = FormatoSpool::codificaLinea(FormatoSpool::lineaPos(9000, 700, u"Depreciación", false, 9, 1));
    bytes += FormatoSpool::codificaLinea(FormatoSpool::lineaCuadro(8500, 300, 11000, 1100, 1));
    const DocumentoSpool doc = leeSpool(bytes);
    ASSERT_EQ(doc.items.size(), 2);
    EXPECT_EQ(doc.items[0].text, QString::fromUtf8("Depreciación"));
    EXPECT_EQ(doc.items[1].x2, 11000);
}

namespace {

// Three pages, each with two lines, broken by "pNuevaHoja".
const char* const kThreePages = "pPos|1|1|a|False|8|0|\r\npCuadro|1|1|2|2|0|\r\npNuevaHoja\r\n"
                                "pPos|1|1|b|False|8|1|\r\npCuadro|1|1|2|2|1|\r\npNuevaHoja\r\n"
                                "pPos|1|1|c|False|8|2|\r\npCuadro|1|1|2|2|2|\r\n";

}  // namespace

TEST(SpoolPages, PreviewHoldsThePagesOfTheRangeFromSurfaceZero)
{
    const DocumentoSpool doc = read(kThreePages);
    auto all = superficiesPrevia(doc);
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(paginasDeLectura(all[2]), QList<int>({2, 2}));

    auto twoToThree = superficiesPrevia(doc, RangoPaginasSpool{2, 3});
    ASSERT_EQ(twoToThree.size(), 2);
    EXPECT_EQ(paginasDeLectura(twoToThree[0]), QList<int>({1, 1}));
    EXPECT_EQ(paginasDeLectura(twoToThree[1]), QList<int>({2, 2}));

    auto oneToOne = superficiesPrevia(doc, RangoPaginasSpool{1, 1});
    ASSERT_EQ(oneToOne.size(), 1);
    EXPECT_EQ(paginasDeLectura(oneToOne[0]), QList<int>({0, 0}));

    auto beyond = superficiesPrevia(doc, RangoPaginasSpool{2, 9});
    EXPECT_EQ(beyond.size(), 2);

    // An empty file still has its one surface; a page that skips ahead
    // leaves the pages between empty, and a negative page is dropped.
    EXPECT_EQ(superficiesPrevia(read("")).size(), 1);
    auto gap = superficiesPrevia(read("pPos|1|1|x|False|8|2|\npPos|1|1|y|False|8|-1|\n"));
    ASSERT_EQ(gap.size(), 3);
    EXPECT_TRUE(gap[1].isEmpty());
    EXPECT_EQ(gap[2].size(), 1);
}

TEST(SpoolPages, PrintStartsSheetsOnlyForBreaksInsideTheRange)
{
    const DocumentoSpool doc = read(kThreePages);
    auto all = hojasImpresion(doc);
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(paginasDeLectura(all[1]), QList<int>({1, 1}));

    // The break after page 1 is followed only by the end of the job.
    auto first = hojasImpresion(doc, RangoPaginasSpool{1, 1});
    ASSERT_EQ(first.size(), 1);
    EXPECT_EQ(paginasDeLectura(first[0]), QList<int>({0, 0}));

    auto lastTwo = hojasImpresion(doc, RangoPaginasSpool{2, 3});
    ASSERT_EQ(lastTwo.size(), 2);
    EXPECT_EQ(paginasDeLectura(lastTwo[0]), QList<int>({1, 1}));
    EXPECT_EQ(paginasDeLectura(lastTwo[1]), QList<int>({2, 2}));

    // A declaration written with its closing break ends without a blank sheet.
    EXPECT_EQ(hojasImpresion(read("pPos|1|1|a|False|8|0|\npNuevaHoja\n")).size(), 1);
}
