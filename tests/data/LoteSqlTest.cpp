#include "LoteSql.h"
#include "MotorSql.h"
#include "SuiteDePrueba.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

// A batch carries its values apart from the text: quotes, question marks
// and Nulls arrive as they were, a "?" inside quoted text is no value, and
// each statement's rows or count come back in order.
TEST(LoteSql, ValuesArriveAsBoundAndResultsComeBackInOrder)
{
    SuiteDePrueba s;
    LoteSql lote;
    const QString raro = QStringLiteral("O'Brien ¿? \\ ñ");
    lote.agregar(QStringLiteral("INSERT INTO ERROR (CodError, DescError) VALUES (?, ?), (?, ?)"),
                 {QStringLiteral("9001"), raro, QStringLiteral("9002"), QVariant(QString())});
    const int leida = lote.agregar(QStringLiteral("SELECT CodError, DescError, 'a?b' FROM ERROR WHERE CodError IN (?, ?)"
                                                  " ORDER BY CodError"),
                                   {QStringLiteral("9001"), QStringLiteral("9002")});
    const int borrada = lote.agregar(QStringLiteral("DELETE FROM ERROR WHERE CodError = ?"), {QStringLiteral("9002")});
    ASSERT_TRUE(lote.ejecutar(s.db())) << qPrintable(lote.error().text());
    EXPECT_EQ(lote.resultado(0).afectadas, 2);
    const LoteSql::Resultado& r = lote.resultado(leida);
    ASSERT_EQ(r.filas.size(), 2);
    EXPECT_EQ(r.filas[0][1].toString(), raro);
    EXPECT_EQ(r.filas[0][2].toString(), "a?b");
    EXPECT_TRUE(r.filas[1][1].isNull());
    EXPECT_EQ(r.columnas.first().toLower(), "coderror");
    EXPECT_EQ(lote.resultado(borrada).afectadas, 1);
}

// The first statement that fails stops the batch with the engine's own
// error (a duplicate key stays a duplicate key), inside the caller's
// transaction nothing of the batch is left once it rolls back, and the
// connection serves the driver's own statements again.
TEST(LoteSql, StopsAtTheFirstFailureWithItsError)
{
    SuiteDePrueba s;
    QSqlDatabase db = s.db();
    ASSERT_TRUE(comenzarEscritura(db, nullptr));
    LoteSql lote;
    lote.agregar(QStringLiteral("INSERT INTO ERROR (CodError, DescError) VALUES (?, ?)"), {QStringLiteral("9003"), "x"});
    lote.agregar(QStringLiteral("INSERT INTO ERROR (CodError, DescError) VALUES (?, ?)"), {QStringLiteral("9003"), "y"});
    for (int i = 0; i < 6; ++i)   // statements the failure leaves unrun
        lote.agregar(QStringLiteral("INSERT INTO ERROR (CodError, DescError) VALUES (?, ?)"),
                     {QStringLiteral("900%1").arg(4 + i), "z"});
    EXPECT_FALSE(lote.ejecutar(db));
    EXPECT_EQ(clasificarError(lote.error()), FalloSql::ClaveDuplicada) << qPrintable(lote.error().text());
    deshacerEscritura(db);
    const auto quedan = LoteSql::una(db, QStringLiteral("SELECT count(*) FROM ERROR WHERE CodError IN (?, ?)"),
                                     {QStringLiteral("9003"), QStringLiteral("9004")});
    ASSERT_TRUE(quedan);
    EXPECT_EQ(quedan->filas.first().first().toInt(), 0);
    QSqlQuery q(db);
    EXPECT_TRUE(q.exec(QStringLiteral("SELECT count(*) FROM ERROR"))) << qPrintable(q.lastError().text());
}

// Statements a batch keeps prepared from one run to the next never outlive
// their connection: closing it closes the file (a statement left alive would
// keep it open), the same batch runs again on the connection opened next and
// on a new connection of the same name, and a table changed meanwhile is
// read with its new columns (an empty text still read as a text).
TEST(LoteSql, KeptStatementsFollowTheConnectionAndTheSchema)
{
    SuiteDePrueba s;
    QSqlDatabase db = s.db();
    const auto lee = [](QSqlDatabase base) {
        return LoteSql::una(base, QStringLiteral("SELECT * FROM ERROR WHERE CodError = ?"), {QStringLiteral("9010")});
    };
    ASSERT_TRUE(LoteSql::una(db, QStringLiteral("INSERT INTO ERROR (CodError, DescError) VALUES (?, ?)"),
                             {QStringLiteral("9010"), QStringLiteral("")}));
    ASSERT_TRUE(lee(db));
    db.close();
    EXPECT_FALSE(db.lastError().isValid()) << qPrintable(db.lastError().text());
    ASSERT_TRUE(db.open());
    auto r = lee(db);
    ASSERT_TRUE(r);
    ASSERT_EQ(r->filas.size(), 1);
    const QVariant descripcion = r->filas[0][1];   // DescError
    EXPECT_TRUE(descripcion.toString().isEmpty() && !LoteSql::esNulo(descripcion)) << "an empty text read as Null";
    const qsizetype columnas = r->columnas.size();

    ASSERT_TRUE(s.exec(QStringLiteral("ALTER TABLE ERROR ADD COLUMN Nota VARCHAR(10)")));
    r = lee(db);
    ASSERT_TRUE(r) << "the batch failed on the changed table";
    EXPECT_EQ(r->columnas.size(), columnas + 1);
    EXPECT_EQ(r->columnas.last().toLower(), "nota");

    // Another connection under the same name, after the first is gone.
    const QString nombre = db.connectionName();
    const QString driver = db.driverName();
    const QString base = db.databaseName();
    const QString host = db.hostName();
    const QString usuario = db.userName();
    const int puerto = db.port();
    const QString opciones = db.connectOptions();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(nombre);
    {
        QSqlDatabase otra = QSqlDatabase::addDatabase(driver, nombre);
        otra.setDatabaseName(base);
        otra.setHostName(host);
        otra.setUserName(usuario);
        otra.setPort(puerto);
        otra.setConnectOptions(opciones);
        ASSERT_TRUE(otra.open()) << qPrintable(otra.lastError().text());
        r = lee(otra);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->filas.size(), 1);
    }
}
