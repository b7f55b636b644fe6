#include "ConsultasListas.h"
#include "DialogTestData.h"
#include "OtroPuesto.h"
#include "MotorSql.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

using Lista = std::optional<LoteSql::Resultado>;

QStringList column(const Lista& list, int c)
{
    QStringList values;
    for (const QVariantList& row : list ? list->filas : QList<QVariantList>())
        values << row[c].toString();
    return values;
}

QStringList aniosRuc(const Lista& list)
{
    QStringList values;
    for (const QVariantList& row : list ? list->filas : QList<QVariantList>())
        values << row[0].toString() + u'/' + row[2].toString();
    return values;
}

class DeclarationListQueriesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        agregaDosUsuarios(suite);
        agregaGuardada(suite, QStringLiteral("20100000003"), QStringLiteral("2004"), 0);
        agregaGuardada(suite, QStringLiteral("20100000001"), QStringLiteral("2004"), 9);
        agregaGuardada(suite, QStringLiteral("20100000001"), QStringLiteral("2003"), 0);
        agregaGuardada(suite, QStringLiteral("20100000002"), QStringLiteral("2004"), 0);
        // Same taxpayer and year, another form: never listed nor touched.
        agregaGuardada(suite, QStringLiteral("20100000001"), QStringLiteral("2004"), 0, QStringLiteral("0698"));
    }
    SuiteDePrueba suite;
};

TEST_F(DeclarationListQueriesTest, RestrictedUserSeesOwnTaxpayersUnrestrictedSeesAll)
{
    EXPECT_EQ(aniosRuc(consultaDeclaracionesGuardadas(suite.db(), kForm, QStringLiteral("ANA"))),
              (QStringList{"20100000001/2003", "20100000001/2004", "20100000003/2004"}));
    // User names without regard to case.
    EXPECT_EQ(aniosRuc(consultaDeclaracionesGuardadas(suite.db(), kForm, QStringLiteral("ana"))),
              (QStringList{"20100000001/2003", "20100000001/2004", "20100000003/2004"}));
    EXPECT_EQ(aniosRuc(consultaDeclaracionesGuardadas(suite.db(), kForm, QStringLiteral("ROOT"))),
              (QStringList{"20100000001/2003", "20100000001/2004", "20100000002/2004", "20100000003/2004"}));
    // Without a CLAVES row the user counts as restricted.
    EXPECT_EQ(aniosRuc(consultaDeclaracionesGuardadas(suite.db(), kForm, QStringLiteral("LUIS"))),
              (QStringList{"20100000002/2004"}));
}

TEST_F(DeclarationListQueriesTest, UserNameIsAValueNotSql)
{
    const Lista list = consultaDeclaracionesGuardadas(suite.db(), kForm, QStringLiteral("ANA' OR '1'='1"));
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->filas.isEmpty());
}

// Another workstation holds the declarations longer than a reader waits: the
// list is a failure that says why, never an empty list.
TEST_F(DeclarationListQueriesTest, ListHeldByAnotherWorkstationIsAFailureNotEmpty)
{
    ASSERT_TRUE(suite.exec(suite.onServer() ? "SET lock_timeout = 50" : "PRAGMA busy_timeout = 50"));
    {
        const OtroPuesto otro(suite, QStringLiteral("CAB"));
        ASSERT_TRUE(otro.retiene()) << otro.error().toStdString();
        QSqlError error;
        EXPECT_FALSE(consultaDeclaracionesGuardadas(suite.db(), kForm, QStringLiteral("ROOT"), &error));
        EXPECT_TRUE(textoFalloLista(error).startsWith(
            "No se pudo leer la lista de declaraciones: la base de datos está ocupada por otro usuario."))
            << textoFalloLista(error).toStdString();
    }
    EXPECT_EQ(aniosRuc(consultaDeclaracionesGuardadas(suite.db(), kForm, QStringLiteral("ROOT"))).size(), 4);
}

TEST_F(DeclarationListQueriesTest, DeletingOneDeclarationLeavesOtherYearsAndForms)
{
    ASSERT_FALSE(eliminaDeclaracionGuardada(suite.db(), QStringLiteral("20100000001"), QStringLiteral("2004"), kForm));
    const QString alfa = QStringLiteral("WHERE Doc_id_d='20100000001'");
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("CAB"), alfa + " AND Periodo='2004' AND Formulario='0834'"), 0);
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("DET"), alfa + " AND Periodo='2004' AND Formulario='0834'"), 0);
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("CAB"), alfa + " AND Periodo='2003'"), 1);
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("DET"), alfa + " AND Periodo='2003'"), 2);
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("CAB"), alfa + " AND Formulario='0698'"), 1);
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("DET"), alfa + " AND Formulario='0698'"), 2);
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("CAB")), 4);
}

TEST_F(DeclarationListQueriesTest, FailedHeaderDeletionKeepsTheDetailToo)
{
    ASSERT_TRUE(suite.fallaCuando("CAB", "BEFORE DELETE", {}, "no permission"));
    const auto failure =
        eliminaDeclaracionGuardada(suite.db(), QStringLiteral("20100000001"), QStringLiteral("2004"), kForm);
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->description.contains(QStringLiteral("no permission")));
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("DET"),
                        "WHERE Doc_id_d='20100000001' AND Periodo='2004' AND Formulario='0834'"),
              2);
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("CAB")), 5);
}

TEST_F(DeclarationListQueriesTest, SentVersionsAreListedAndDeletedOneByOne)
{
    agregaEnviada(suite, QStringLiteral("20100000001"), QStringLiteral("2004"), QStringLiteral("2"), 12345678);
    agregaEnviada(suite, QStringLiteral("20100000001"), QStringLiteral("2004"), QStringLiteral("1"));
    agregaEnviada(suite, QStringLiteral("20100000002"), QStringLiteral("2004"), QStringLiteral("1"));
    EXPECT_EQ(column(consultaDeclaracionesEnviadas(suite.db(), kForm, QStringLiteral("ANA")), ColumnaEnviada::Correl),
              (QStringList{"1", "2"}));
    EXPECT_EQ(column(consultaDeclaracionesEnviadas(suite.db(), kForm, QStringLiteral("ROOT")), ColumnaEnviada::Ruc).size(), 3);

    ASSERT_FALSE(eliminaDeclaracionEnviada(suite.db(), QStringLiteral("20100000001"), QStringLiteral("2004"), kForm,
                                       QStringLiteral("1")));
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("HCAB"), "WHERE Doc_id_d='20100000001'"), 1);
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("HDET"), "WHERE Doc_id_d='20100000001' AND Correl='2'"), 2);
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("HDET"), "WHERE Doc_id_d='20100000001' AND Correl='1'"), 0);
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("HDET"), "WHERE Doc_id_d='20100000002'"), 2);
}

TEST(ReferenceListsTest, BanksWithoutTheNoBankRowAndUitNewestFirst)
{
    SuiteDePrueba suite;
    agregaParam(suite, QStringLiteral("004"), QStringLiteral("00"), QStringLiteral("NINGUNO"));
    agregaParam(suite, QStringLiteral("004"), QStringLiteral(" 00 "), QStringLiteral("NINGUNO TAMBIEN"));
    agregaParam(suite, QStringLiteral("004"), QStringLiteral("02"),
             QStringLiteral("BANCO DE CREDITO DEL PAIS Y DEL EXTERIOR BCP"));
    agregaParam(suite, QStringLiteral("004"), QStringLiteral("11"), QStringLiteral("BANCO CONTINENTAL"));
    agregaParam(suite, QStringLiteral("404"), QStringLiteral("20030101"), QStringLiteral("00003100.00"));
    agregaParam(suite, QStringLiteral("404"), QStringLiteral("20040101"), QStringLiteral("00003200.00"));
    agregaParam(suite, QStringLiteral("404"), QStringLiteral("20020101"), QStringLiteral("00003100.00"));

    EXPECT_EQ(column(consultaListaBancos(suite.db()), ColumnaReferencia::Codigo), (QStringList{"02", "11"}));
    const QStringList names = column(consultaListaBancos(suite.db()), ColumnaReferencia::Descrip);
    ASSERT_EQ(names.size(), 2);
    EXPECT_EQ(names[0], QStringLiteral("BANCO DE CREDITO DEL PAIS Y DEL EXTE"));  // 36 characters
    EXPECT_EQ(column(consultaListaUit(suite.db()), ColumnaReferencia::Codigo),
              (QStringList{"20040101", "20030101", "20020101"}));
}

TEST(ReferenceListsTest, EmptyUitTableGivesAnEmptyList)
{
    SuiteDePrueba suite;
    const Lista list = consultaListaUit(suite.db());
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->filas.isEmpty());
}

TEST(ListFormatsTest, UitAmountReadsTheLeadingNumber)
{
    EXPECT_EQ(textoImporteUit(QStringLiteral("00003200.00")), QStringLiteral("3200"));
    EXPECT_EQ(textoImporteUit(QStringLiteral("00003250.50")), QStringLiteral("3250.5"));
    EXPECT_EQ(textoImporteUit(QStringLiteral(" 2900.00ABC")), QStringLiteral("2900"));
    EXPECT_EQ(textoImporteUit(QStringLiteral("ABC")), QStringLiteral("0"));
    EXPECT_EQ(textoImporteUit(QString()), QStringLiteral("0"));
}

TEST(ListFormatsTest, SubmissionDateShownAsDayMonthYear)
{
    EXPECT_EQ(textoFechaEnvio(QDate(2004, 3, 5)), QStringLiteral("05/03/2004"));
    EXPECT_EQ(textoFechaEnvio(QDateTime(QDate(2004, 3, 5), QTime(10, 0))), QStringLiteral("05/03/2004"));
    EXPECT_EQ(textoFechaEnvio(QStringLiteral("2004-03-05 10:11:12")), QStringLiteral("05/03/2004"));
    EXPECT_EQ(textoFechaEnvio(QStringLiteral("05/03/2004")), QStringLiteral("05/03/2004"));
    EXPECT_EQ(textoFechaEnvio(QVariant()), QString());
}

TEST(DbFailureTest, LockedOrReadOnlyDatabaseIsReportedAs3051)
{
    EXPECT_EQ(falloBaseDe(QSqlError(QString(), QStringLiteral("database is locked"), QSqlError::StatementError,
                                    QStringLiteral("5")))
                  .number,
              3051);
    EXPECT_EQ(falloBaseDe(QSqlError(QString(), QStringLiteral("readonly"), QSqlError::StatementError,
                                    QStringLiteral("1032")))
                  .number,
              3051);
    const FalloBase other = falloBaseDe(
        QSqlError(QStringLiteral("driver"), QStringLiteral("constraint failed"), QSqlError::StatementError,
                  QStringLiteral("19")));
    EXPECT_EQ(other.number, 19);
    EXPECT_TRUE(other.description.contains(QStringLiteral("constraint failed")));
}

} // namespace
