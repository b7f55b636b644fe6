#include "MotorSql.h"
#include "SuiteDePrueba.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

namespace {
QStringList columns(const QSqlDatabase& db, const QString& table)
{
    QStringList names;
    const QSqlRecord r = columnasDeTabla(db, table);
    for (int i = 0; i < r.count(); ++i)
        names << r.fieldName(i).toLower();
    return names;
}
} // namespace

// The control code counts columns by position, so the leading columns and the
// last one are part of the contract with the host.
TEST(Schema, DeclarationTablesKeepTheControlCodeOrder)
{
    SuiteDePrueba suite;
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
    SuiteDePrueba suite;
    EXPECT_TRUE(suite.exec("INSERT INTO SPOOL (CodRep, Secuencia, Archivo) VALUES ('AAR001','000001','00000001.PRN')"));
    QSqlQuery q(suite.db());
    EXPECT_FALSE(q.exec("INSERT INTO SPOOL (CodRep, Secuencia, Archivo) VALUES ('AAR003','000001','00000001.PRN')"));
}

namespace {
// Each table's columns in order, with the words after the type that make
// keys (NOT NULL, PRIMARY KEY, UNIQUE), and its table-level key lines. The
// column types are left out: those are the engine's.
QStringList formaDeclarada(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(path);
    QStringList shape;
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    for (QString line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        line = line.trimmed().toLower();
        if (line.isEmpty() || line.startsWith(QLatin1String("--")) || line.startsWith(u')'))
            continue;
        if (line.endsWith(u','))
            line.chop(1);
        if (line.startsWith(QLatin1String("create table")) || line.startsWith(QLatin1String("primary key"))
            || line.startsWith(QLatin1String("unique"))) {
            shape << line.simplified();
            continue;
        }
        QStringList words = line.split(blanks);
        words.removeAt(1);   // the type
        shape << words.join(u' ');
    }
    return shape;
}
} // namespace

TEST(Schema, ServerSchemaDeclaresTheSameTablesColumnsAndKeys)
{
    const QStringList sqlite = formaDeclarada(QStringLiteral(QVR_SCHEMA_SQLITE));
    ASSERT_GT(sqlite.size(), 100);
    EXPECT_EQ(formaDeclarada(QStringLiteral(QVR_SCHEMA_POSTGRESQL)), sqlite);
}
