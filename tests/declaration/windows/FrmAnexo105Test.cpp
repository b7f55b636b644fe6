// The box-105 assistant on its own: loading, editing formats, accepting.

#include "FormTestSupport.h"
#include "FrmAnexo105.h"

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

class AnexoFixture : public ::testing::Test {
protected:
    SuiteDeMuestra suite;

    std::unique_ptr<FrmAnexo105> abre(qint16 existente = 0)
    {
        auto a = std::make_unique<FrmAnexo105>(suite.db());
        a->sRuc = QString::fromLatin1(kRucA);
        a->sPeriodo = QStringLiteral("2004");
        a->iExistente = existente;
        a->show();
        a->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(a.get()));
        return a;
    }
};

TEST_F(AnexoFixture, EmptyDetailShowsEmptyFieldsAndAcceptingStoresNoRow)
{
    auto a = abre();
    for (int i = 0; i < FrmAnexo105::kMontos; ++i)
        EXPECT_EQ(a->txtMonto(i)->text(), "") << i;
    EXPECT_EQ(a->txtTotal()->text(), "");
    EXPECT_TRUE(a->txtMonto(0)->hasFocus());
    EXPECT_TRUE(a->findChild<QLabel*>("lblDeduccion_2")->text().contains("Numeral iii)  inciso c)"));
    EXPECT_FALSE(a->findChild<QLabel*>("lblDeduccion_9")->text().contains("Base Legal"));
    a->cmdGrabar()->click();
    EXPECT_EQ(a->result(), QDialog::Accepted);
    EXPECT_EQ(a->total().enteroRedondeado(), 0);
    EXPECT_EQ(suite.valor("SELECT COUNT(*) FROM DET").toInt(), 0);
    // The header of a declaration never saved is a placeholder.
    EXPECT_EQ(suite.valor("SELECT cNumero FROM CAB").toString(), "0");
}

TEST_F(AnexoFixture, AmountsAreBareWhileFocusedGroupedAfterAndStoredBare)
{
    auto a = abre();
    QLineEdit* f0 = a->txtMonto(0);
    EXPECT_EQ(f0->maxLength(), 11);
    QTest::keyClicks(f0, "12a3-4567.");     // only digits get in
    EXPECT_EQ(f0->text(), "1234567");
    EXPECT_EQ(a->txtTotal()->text(), "1,234,567");
    QTest::keyClick(f0, Qt::Key_Return);    // moves on
    EXPECT_TRUE(a->txtMonto(1)->hasFocus());
    EXPECT_EQ(f0->text(), "1,234,567");
    EXPECT_EQ(a->txtMonto(1)->maxLength(), 10);
    QTest::keyClicks(a->txtMonto(1), "10");
    f0->setFocus();
    EXPECT_EQ(f0->text(), "1234567");
    EXPECT_EQ(a->txtTotal()->text(), "1,234,577");

    QApplication::clipboard()->setText("999");
    QTest::keyClick(f0, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(f0->text(), "1234567");

    a->cmdGrabar()->click();
    EXPECT_EQ(a->total().enteroRedondeado(), 1234577);
    EXPECT_EQ(suite.valor("SELECT i_valor FROM DET WHERE Casilla = '546'").toString(), "1234567");
    EXPECT_EQ(suite.valor("SELECT i_valor FROM DET WHERE Casilla = '547'").toString(), "10");
}

TEST_F(AnexoFixture, StoredDetailComesBackAndBlankingRemovesItsRow)
{
    suite.detalle("DET", kRucA, "2004", "546", "1500");
    suite.detalle("DET", kRucA, "2004", "550", "20");
    suite.ejecuta("INSERT INTO CAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, estado, cNumero)"
                  " VALUES (6, ?, '2004', '0834', 0, '222222')", {kRucA});
    auto a = abre(1);
    EXPECT_EQ(a->txtMonto(0)->text(), "1500");   // it has the focus: bare digits
    EXPECT_EQ(a->txtMonto(4)->text(), "20");
    EXPECT_EQ(a->txtTotal()->text(), "1,520");
    a->txtMonto(4)->setFocus();
    a->txtMonto(4)->selectAll();
    QTest::keyClick(a->txtMonto(4), Qt::Key_Backspace);
    EXPECT_EQ(a->txtTotal()->text(), "1,500");
    a->cmdGrabar()->click();
    EXPECT_EQ(suite.valor("SELECT COUNT(*) FROM DET WHERE Casilla = '550'").toInt(), 0);
    EXPECT_EQ(suite.valor("SELECT i_valor FROM DET WHERE Casilla = '546'").toString(), "1500");
    EXPECT_EQ(suite.valor("SELECT cNumero FROM CAB").toString(), "222222");   // a stored declaration's header stays
}

TEST_F(AnexoFixture, CancelStoresNothingAndHandsBackZero)
{
    auto a = abre();
    QTest::keyClicks(a->txtMonto(3), "500");
    a->cmdCancelar()->click();
    EXPECT_EQ(a->result(), QDialog::Rejected);
    EXPECT_EQ(a->total().enteroRedondeado(), 0);
    EXPECT_EQ(suite.valor("SELECT COUNT(*) FROM DET").toInt(), 0);
    EXPECT_EQ(suite.valor("SELECT COUNT(*) FROM CAB").toInt(), 0);
}

} // namespace
