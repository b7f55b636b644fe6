#include "CodigoControl.h"
#include "MotorSql.h"
#include "SuiteDePrueba.h"

#include <QDate>
#include <QSqlField>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

// A DET row about to be written: the table's own record with some values.
QSqlRecord detRow(const QSqlDatabase& db, const QVariantList& values)
{
    QSqlRecord r = columnasDeTabla(db, "DET");
    for (int i = 0; i < values.size() && i < r.count(); ++i)
        r.setValue(i, values[i]);
    return r;
}

QSqlRecord registroPlano(const QVariantList& values)
{
    QSqlRecord r;
    for (int i = 0; i < values.size(); ++i) {
        QSqlField f(QStringLiteral("f%1").arg(i), values[i].metaType());
        f.setValue(values[i]);
        r.append(f);
    }
    r.append(QSqlField("cNumero", QMetaType(QMetaType::QString)));
    return r;
}

} // namespace

TEST(ControlCode, NumericSumAndCharacterSum)
{
    SuiteDePrueba suite;
    const QSqlDatabase db = suite.db();
    // sum A 20123456795, sum B 0
    EXPECT_EQ(codigoControl(detRow(db, {6, "20123456789"}), kControlCountDet), "795000");
    EXPECT_EQ(codigoControl(detRow(db, {"6", " 20123456789 "}), kControlCountDet), "795000");
    // idcasilla "AB" is the first character column of DET: 65x1 + 66x2
    EXPECT_EQ(codigoControl(detRow(db, {6, "20123456789", {}, {}, {}, {}, "AB"}), kControlCountDet), "795197");
    // a whole declaration row: 6 + 20100070970 + 2003 + 834 + 105 + 1500, then "01"
    EXPECT_EQ(codigoControl(detRow(db, {6, "20100070970", "2003", "0834", "105", "1500", "01"}), kControlCountDet),
              "418146");
}

TEST(ControlCode, LastColumnAndNonNumericTextsDoNotCount)
{
    SuiteDePrueba suite;
    const QSqlDatabase db = suite.db();
    const QVariantList base{6, "20100070970", "2003", "0834", "105", "1500", "01"};
    QVariantList withCode = base;
    withCode << "999999";
    EXPECT_EQ(codigoControl(detRow(db, withCode), kControlCountDet), codigoControl(detRow(db, base), kControlCountDet));
    // a text that is no number adds nothing to sum A
    EXPECT_EQ(codigoControl(registroPlano({"X1", "12"}), 2), "012000");
    EXPECT_EQ(codigoControl(registroPlano({true, "12"}), 2), "012000");
}

TEST(ControlCode, ValuesTurnedIntoText)
{
    EXPECT_EQ(textoCodigoControl(QDate(2004, 3, 15)), "20040315");
    EXPECT_EQ(textoCodigoControl(QDateTime(QDate(2004, 3, 15), QTime(23, 59))), "20040315");
    EXPECT_EQ(textoCodigoControl(6), "6");
    EXPECT_EQ(textoCodigoControl(6.0), "6");
    EXPECT_EQ(textoCodigoControl(-2.5), "-2.5");
    EXPECT_EQ(textoCodigoControl("  AB "), "AB");
    EXPECT_EQ(textoCodigoControl(QVariant()), "");
    EXPECT_EQ(textoCodigoControl(QVariant(QMetaType(QMetaType::QString))), "");
    EXPECT_EQ(textoCodigoControl(true), "");
    EXPECT_EQ(textoCodigoControl(QByteArray("12")), "");
    // a date counts as its digits: "20040315" by character is 1811
    EXPECT_EQ(codigoControl(registroPlano({1, QDate(2004, 3, 15)}), 1), "001811");
    EXPECT_EQ(codigoControl(registroPlano({QDate(2004, 3, 15)}), 1), "315000");
}

TEST(ControlCode, CharacterCodesAreWindows1252)
{
    EXPECT_EQ(codigoControl(registroPlano({0, QString::fromUtf8("Ñ")}), 1), "000209");
    EXPECT_EQ(codigoControl(registroPlano({0, QString::fromUtf8("a€")}), 1), "000353");  // 97 + 128x2
    // a character outside the code page counts as '?'
    EXPECT_EQ(codigoControl(registroPlano({0, QString::fromUtf8("\u4e2d")}), 1), "000063");
}

TEST(ControlCode, FractionalSumIsRounded)
{
    EXPECT_EQ(codigoControl(registroPlano({"2.5"}), 1), "003000");
    EXPECT_EQ(codigoControl(registroPlano({"2.4", 0.1}), 2), "003000");  // 2.5 exactly, not 2.4999...
    EXPECT_EQ(codigoControl(registroPlano({"2.49"}), 1), "002000");
    EXPECT_EQ(codigoControl(registroPlano({"-7.5"}), 1), "008000");
    EXPECT_EQ(codigoControl(registroPlano({"999", "1"}), 2), "000000");
}

TEST(ControlCode, SameCodeBeforeInsertAndAfterReadingBack)
{
    SuiteDePrueba suite;
    const QSqlDatabase db = suite.db();
    QSqlRecord row = columnasDeTabla(db, "HDET");
    const QVariantList values{6, "20100070970", "2003", "0834", "0000000012", "806", "45", "01", 0};
    for (int i = 0; i < values.size(); ++i)
        row.setValue(i, values[i]);
    const QString code = codigoControl(row, kControlCountHdet);
    row.setValue("cNumero", code);

    QSqlQuery insert(db);
    insert.prepare("INSERT INTO HDET VALUES (?,?,?,?,?,?,?,?,?,?)");
    for (int i = 0; i < row.count(); ++i)
        insert.addBindValue(row.value(i));
    ASSERT_TRUE(insert.exec());

    QSqlQuery read(db);
    ASSERT_TRUE(read.exec("SELECT * FROM HDET"));
    ASSERT_TRUE(read.next());
    EXPECT_EQ(codigoControl(read.record(), kControlCountHdet), code);
    EXPECT_EQ(read.value("cNumero").toString(), code);
}
