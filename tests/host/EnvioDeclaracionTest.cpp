#include "SuiteDePruebaIntegrador.h"
#include "CodigoControl.h"
#include "ObjFunciones.h"
#include "EnvioDeclaracion.h"

#include <QDate>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

namespace {

const QString kRuc = QStringLiteral("20100123453");

void guardaDeclaracionEnviable(QSqlDatabase db, const QString& form, int estado, const QString& cabCode = "123456")
{
    QSqlQuery q(db);
    q.prepare("INSERT INTO CAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, estado, fec_pro, bcolibrad, nrocheque,"
              " cheque, efectivo, rectifica, cNumero) VALUES (6, ?, '2004', ?, ?, '15/03/2005', '02', '778899',"
              " '1500', ' ', '0', ?)");
    q.addBindValue(kRuc);
    q.addBindValue(form);
    q.addBindValue(estado);
    q.addBindValue(cabCode);
    ASSERT_TRUE(q.exec());
    q.prepare("INSERT INTO DET (Tip_doc_d, Doc_id_d, Periodo, Formulario, Casilla, i_valor, idcasilla, cNumero)"
              " VALUES (6, ?, '2004', ?, ?, ?, ?, '000000')");
    for (const auto& [box, value, kind] : {std::tuple{"300", "2500000", "01"}, std::tuple{"146", "1500", "01"},
                                           std::tuple{"180", "1500", "05"}, std::tuple{"801", "DISTRIBUIDORA A", "01"}}) {
        q.addBindValue(kRuc);
        q.addBindValue(form);
        q.addBindValue(QString::fromLatin1(box));
        q.addBindValue(QString::fromLatin1(value));
        q.addBindValue(QString::fromLatin1(kind));
        ASSERT_TRUE(q.exec());
    }
}

int count(QSqlDatabase db, const QString& sql)
{
    QSqlQuery q(db);
    EXPECT_TRUE(q.exec(sql)) << qPrintable(sql);
    return q.next() ? q.value(0).toInt() : -1;
}

} // namespace

TEST(SendDeclaration, CopiesHeaderAndBoxesUnderANewCorrelative)
{
    SuiteDePruebaIntegrador suite;
    QSqlDatabase db = suite.db();
    guardaDeclaracionEnviable(db, "0834", 0);
    guardaDeclaracionEnviable(db, "0835", 0);  // another form of the same taxpayer and year

    qvrhost::EnvioDeclaracion s;
    ASSERT_EQ(qvrhost::enviaDeclaracionGuardada(db, kRuc, "2004", &s), QString());
    EXPECT_EQ(s.correl, QStringLiteral("1"));
    EXPECT_TRUE(QRegularExpression("^[1-9][0-9]{9}$").match(s.control).hasMatch()) << qPrintable(s.control);
    EXPECT_TRUE(QRegularExpression("^[0-9]{8}$").match(s.orden8).hasMatch());
    EXPECT_TRUE(ObjFunciones().OrdenCorresponde(s.control, s.orden8, s.orden2));
    EXPECT_EQ(s.linea(), s.correl + ' ' + s.control + ' ' + s.orden8 + '-' + s.orden2);

    QSqlQuery h(db);
    ASSERT_TRUE(h.exec("SELECT Formulario, CORREL, NORDEN, FEC_ENV, CONTROL, estado, bcolibrad, nrocheque, cheque, cNumero"
                       " FROM HCAB"));
    ASSERT_TRUE(h.next());
    EXPECT_EQ(h.value(0).toString(), QStringLiteral("0834"));
    EXPECT_EQ(h.value(1).toString(), QStringLiteral("1"));
    EXPECT_TRUE(h.value(2).isNull());
    EXPECT_EQ(h.value(3).toString(), QDate::currentDate().toString("dd/MM/yyyy"));
    EXPECT_EQ(h.value(4).toString(), s.control);
    EXPECT_EQ(h.value(5).toInt(), 0);
    EXPECT_EQ(h.value(6).toString(), QStringLiteral("02"));
    EXPECT_EQ(h.value(7).toString(), QStringLiteral("778899"));
    EXPECT_EQ(h.value(8).toString(), QStringLiteral("1500"));
    EXPECT_EQ(h.value(9).toString(), QStringLiteral("123456"));
    EXPECT_FALSE(h.next()) << "only form 0834 is sent";

    // Every sent box keeps its value and carries its own code over count 7.
    QSqlQuery d(db);
    ASSERT_TRUE(d.exec("SELECT * FROM HDET ORDER BY Casilla"));
    QStringList boxes;
    while (d.next()) {
        const QSqlRecord r = d.record();
        boxes << r.value("Casilla").toString() + '=' + r.value("i_valor").toString() + '/' + r.value("idcasilla").toString();
        EXPECT_EQ(r.value("Correl").toString(), QStringLiteral("1"));
        EXPECT_EQ(r.value("estado").toInt(), 0);
        EXPECT_EQ(r.value("cNumero").toString(), codigoControl(r, kControlCountHdet));
        EXPECT_NE(r.value("cNumero").toString(), QStringLiteral("000000"));
    }
    EXPECT_EQ(boxes, (QStringList{"146=1500/01", "180=1500/05", "300=2500000/01", "801=DISTRIBUIDORA A/01"}));
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM CAB"), 2) << "the stored declaration stays";
}

TEST(SendDeclaration, SecondSendTakesTheNextCorrelative)
{
    SuiteDePruebaIntegrador suite;
    QSqlDatabase db = suite.db();
    guardaDeclaracionEnviable(db, "0834", 0);
    qvrhost::EnvioDeclaracion first, second;
    ASSERT_EQ(qvrhost::enviaDeclaracionGuardada(db, kRuc, "2004", &first), QString());
    ASSERT_EQ(qvrhost::enviaDeclaracionGuardada(db, kRuc, "2004", &second), QString());
    EXPECT_EQ(second.correl, QStringLiteral("2"));
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM HCAB"), 2);
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM HDET WHERE Correl='2'"), 4);

    // A correlative past 9 still counts as a number, not as text.
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec("UPDATE HCAB SET CORREL='10' WHERE CORREL='2'"));
    ASSERT_TRUE(q.exec("UPDATE HDET SET Correl='10' WHERE Correl='2'"));
    qvrhost::EnvioDeclaracion third;
    ASSERT_EQ(qvrhost::enviaDeclaracionGuardada(db, kRuc, "2004", &third), QString());
    EXPECT_EQ(third.correl, QStringLiteral("11"));
}

TEST(SendDeclaration, RefusesWhatCannotBeSentAndWritesNothing)
{
    SuiteDePruebaIntegrador suite;
    QSqlDatabase db = suite.db();
    qvrhost::EnvioDeclaracion s;
    EXPECT_FALSE(qvrhost::enviaDeclaracionGuardada(db, kRuc, "2004", &s).isEmpty()) << "no declaration stored";

    guardaDeclaracionEnviable(db, "0834", 9);
    EXPECT_EQ(qvrhost::enviaDeclaracionGuardada(db, kRuc, "2004", &s),
              QStringLiteral("La declaración tiene inconsistencias y no puede enviarse."));

    ASSERT_TRUE(QSqlQuery(db).exec("UPDATE CAB SET estado=0, cNumero='0'"));
    EXPECT_FALSE(qvrhost::enviaDeclaracionGuardada(db, kRuc, "2004", &s).isEmpty()) << "placeholder of the box-105 assistant";
    EXPECT_FALSE(qvrhost::enviaDeclaracionGuardada(db, kRuc, "2005", &s).isEmpty()) << "another year";

    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM HCAB"), 0);
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM HDET"), 0);
}

TEST(SendDeclaration, FailedDetailCopyLeavesNoHeader)
{
    SuiteDePruebaIntegrador suite;
    QSqlDatabase db = suite.db();
    guardaDeclaracionEnviable(db, "0834", 0);
    // A box that cannot be copied must take the header and the boxes
    // already copied back with it.
    for (const QString& sql : SuiteDePrueba::disparadorQueFalla("stop", "HDET", "AFTER INSERT", "NEW.Casilla='300'", "stop"))
        ASSERT_TRUE(suite.ejecutaComoDueno(sql));
    qvrhost::EnvioDeclaracion s;
    EXPECT_FALSE(qvrhost::enviaDeclaracionGuardada(db, kRuc, "2004", &s).isEmpty());
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM HCAB"), 0);
    EXPECT_EQ(count(db, "SELECT COUNT(*) FROM HDET"), 0);
}

TEST(SummaryArgument, FillsTheThirtySixColumns)
{
    const QString arg = qvrhost::argumentoDeResumen(kRuc, "2004", u'1', "12345678");
    ASSERT_EQ(arg.size(), 36);
    EXPECT_EQ(arg.mid(0, 2), QStringLiteral(" 6"));
    EXPECT_EQ(arg.mid(2, 15), kRuc + QStringLiteral("    "));
    EXPECT_EQ(arg.mid(17, 4), QStringLiteral("0834"));
    EXPECT_EQ(arg.mid(21, 6), QStringLiteral("200400"));
    EXPECT_EQ(arg.mid(27, 1), QStringLiteral("1"));
    EXPECT_EQ(arg.mid(28, 8), QStringLiteral("12345678"));
}
