#include "TestSuite.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

namespace {
QStringList columns(const QSqlDatabase& db, const QString& table)
{
    QStringList names;
    const QSqlRecord r = db.record(table);
    for (int i = 0; i < r.count(); ++i)
        names << r.fieldName(i).toLower();
    return names;
}
} // namespace

// The control code counts columns by position, so the leading columns and the
// last one are part of the contract with the host.
TEST(Schema, DeclarationTablesKeepTheControlCodeOrder)
{
    TestSuite suite;
    const QSqlDatabase db = suite.db();
    const QStringList key{"tip_doc_d", "doc_id_d", "periodo", "formulario"};
    EXPECT_EQ(columns(db, "CAB").mid(0, 4), key);
    EXPECT_EQ(columns(db, "CAB").last(), "cnumero");
    EXPECT_EQ(columns(db, "DET").mid(0, 6), (key + QStringList{"casilla", "i_valor"}));
    EXPECT_EQ(columns(db, "DET").last(), "cnumero");
    EXPECT_EQ(columns(db, "HDET").mid(0, 7), (key + QStringList{"correl", "casilla", "i_valor"}));
    EXPECT_EQ(columns(db, "HDET").last(), "cnumero");
    EXPECT_EQ(columns(db, "CONT").at(1), "doc_id_d");
    EXPECT_EQ(columns(db, "CONT").at(3), "nombre");
}

TEST(Schema, SpoolFileNamesAreUnique)
{
    TestSuite suite;
    EXPECT_TRUE(suite.exec("INSERT INTO SPOOL (CodRep, Secuencia, Archivo) VALUES ('AAR001','000001','00000001.PRN')"));
    QSqlQuery q(suite.db());
    EXPECT_FALSE(q.exec("INSERT INTO SPOOL (CodRep, Secuencia, Archivo) VALUES ('AAR003','000001','00000001.PRN')"));
}
