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
