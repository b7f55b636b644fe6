#include "Parametros834.h"
#include "SuiteDePrueba.h"

#include <QRandomGenerator>
#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace parametros834;

namespace {

Dinero m(const char* t) { return *Dinero::analiza(QString::fromLatin1(t)); }

void insertaParam(const SuiteDePrueba& suite, const QString& numero, const QString& argumento, const QString& funcion)
{
    QSqlQuery q(suite.db());
    q.prepare("INSERT INTO PARAM (Numero, Argumento, Funcion) VALUES (?, ?, ?)");
    q.addBindValue(numero);
    q.addBindValue(argumento);
    q.addBindValue(funcion);
    ASSERT_TRUE(q.exec());
}

} // namespace

TEST(Uit, ChoosesTheRowInForceInJanuary)
{
    const QList<FilaUit> filas{{"19980101", "00002600.00"}, {"20000101", "00002900.00"},
                               {"20040701", "00003200.00"}, {"20050101", "00003300.00"}};
    EXPECT_EQ(elegirUit(filas, "1997"), Dinero());
    EXPECT_EQ(elegirUit(filas, "1998"), Dinero::deEntero(2600));
    EXPECT_EQ(elegirUit(filas, "1999"), Dinero::deEntero(2600));
    EXPECT_EQ(elegirUit(filas, "2004"), Dinero::deEntero(2900));  // July's value is not in force in January
    EXPECT_EQ(elegirUit(filas, "2030"), Dinero::deEntero(3300));  // the last row is open-ended
    EXPECT_EQ(elegirUit({}, "2004"), Dinero());
    EXPECT_EQ(elegirUit({{"20000101", "n/a"}}, "2004"), Dinero());
}

TEST(Uit, ConsidersEveryParamRowWhateverTheirNumberOrOrder)
{
    SuiteDePrueba suite;
    QList<int> anios;
    for (int a = 1980; a < 2010; ++a)  // 30 rows, more than the old list of 19 held
        anios << a;
    std::shuffle(anios.begin(), anios.end(), *QRandomGenerator::global());
    for (int a : anios)
        insertaParam(suite, "404", QString::number(a) + "0101", QString("%1.50").arg(1000 + a, 8, 10, QChar('0')));
    insertaParam(suite, "960", "2004", " 1.011 ");
    insertaParam(suite, "403", "20200101", "99999999.00");

    bool ok = false;
    EXPECT_EQ(GET_UIT(suite.db(), "2004", &ok), m("3004.50"));
    EXPECT_TRUE(ok);
    EXPECT_EQ(GET_UIT(suite.db(), "1985", &ok), m("2985.50"));
    EXPECT_EQ(GET_UIT(suite.db(), "2025", &ok), m("3009.50"));
    EXPECT_EQ(GET_UIT(suite.db(), "1979", &ok), Dinero());
    EXPECT_EQ(GET_IPM(suite.db(), "2004", &ok), m("1.011"));
    EXPECT_EQ(GET_IPM(suite.db(), "2005", &ok), Dinero());
    EXPECT_TRUE(ok);
    EXPECT_EQ(GET_IPM(suite.db(), "2004' OR '1'='1", &ok), Dinero());
}

TEST(Uit, DatabaseErrorIsReported)
{
    QSqlDatabase cerrada;
    bool ok = true;
    EXPECT_EQ(GET_UIT(cerrada, "2004", &ok), Dinero());
    EXPECT_FALSE(ok);
    ok = true;
    GET_IPM(cerrada, "2004", &ok);
    EXPECT_FALSE(ok);
}

TEST(Detalle105, ReadsOnlyTheDeductionRowsOfTheDeclaration)
{
    SuiteDePrueba suite;
    const auto det = [&](const char* ruc, const char* periodo, const char* casilla, const char* valor) {
        QSqlQuery q(suite.db());
        q.prepare("INSERT INTO DET (Tip_doc_d, Doc_id_d, Periodo, Formulario, Casilla, i_valor) "
                  "VALUES (6, ?, ?, '0834', ?, ?)");
        for (const char* v : {ruc, periodo, casilla, valor})
            q.addBindValue(QString::fromLatin1(v));
        ASSERT_TRUE(q.exec());
    };
    det("20100000001", "2004", "546", "1500");
    det("20100000001", "2004", "555", "20");
    det("20100000001", "2004", "545", "7");
    det("20100000001", "2004", "300", "9");
    det("20100000001", "2003", "547", "8");
    det("20100000002", "2004", "547", "8");
    suite.exec("INSERT INTO HDET (Tip_doc_d, Doc_id_d, Periodo, Formulario, Correl, Casilla, i_valor) "
               "VALUES (6, '20100000001', '2004', '0834', '0000000001', '550', '77')");

    bool ok = false;
    const Detalle105 d = leerDetalle105(suite.db(), " 20100000001 ", "2004", false, {}, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(d[0], "1500");
    EXPECT_EQ(d[9], "20");
    EXPECT_EQ(d[1], "");
    const Detalle105 h = leerDetalle105(suite.db(), "20100000001", "2004", true, "0000000001", &ok);
    EXPECT_EQ(h[4], "77");
    EXPECT_EQ(h[0], "");
}
