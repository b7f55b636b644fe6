#include "Calculos834.h"
#include "Declaracion834.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace calculos834;
using Pregunta = Declaracion834::Pregunta;

namespace {

Dinero m(const char* t) { return *Dinero::analiza(QString::fromLatin1(t)); }

// A declaration whose exercise has been validated.
struct Formulario {
    Declaracion834 d;
    explicit Formulario(const char* periodo = "2004", const char* uit = "3100", const char* factor = "1",
                        const char* ajuste = "0")
    {
        d.aplicarEjercicio(QString::fromLatin1(periodo), m(uit), QString::fromLatin1(factor));
        d.setRespuesta(Pregunta::Ajuste, QString::fromLatin1(ajuste));
    }
    QString operator[](int n) const { return d.casilla(n); }
};

QList<int> cambiadas(const QSignalSpy& spy)
{
    QList<int> lista;
    for (const QList<QVariant>& args : spy)
        lista << args.at(0).toInt();
    return lista;
}

} // namespace

TEST(Escala, WorkedExampleAndTrancheLimits)
{
    const Dinero u = Dinero::deEntero(3100);
    EXPECT_EQ(anticipoSegunEscala(Dinero::deEntero(3000000), u), m("7513.5"));
    EXPECT_EQ(anticipoSegunEscala(u * 160, u), Dinero());
    EXPECT_EQ(anticipoSegunEscala(u * 160 + Dinero::deEntero(1), u), m("0.0025"));
    EXPECT_EQ(anticipoSegunEscala(u * 806, u), u * 646 * m("0.0025"));
    const Dinero full = u * 646 * m("0.0025") + u * 806 * m("0.005") + u * 1613 * m("0.0075") + u * 1613 * m("0.01");
    EXPECT_EQ(anticipoSegunEscala(u * 4838, u), full);
    EXPECT_EQ(anticipoSegunEscala(u * 4838 + Dinero::deEntero(100), u), full + m("1.5"));
    // No UIT: every limit is 0 and the whole amount pays 1.5 %.
    EXPECT_EQ(anticipoSegunEscala(Dinero::deEntero(1000), Dinero()), Dinero::deEntero(15));
    EXPECT_EQ(anticipoSegunEscala(Dinero::deEntero(-5), u), Dinero());
}

TEST(Cascada, WorkedExampleThroughTheForm)
{
    Formulario f;
    f.d.setCasilla(300, "3000000");
    EXPECT_EQ(f[330], "3,000,000");
    EXPECT_EQ(f[101], "3,000,000");
    EXPECT_EQ(f[105], "(0)");
    EXPECT_EQ(f[108], "3,000,000");
    EXPECT_EQ(f[109], "3,000,000");
    EXPECT_EQ(f[113], "7514");
    EXPECT_EQ(f[114], "0");
    EXPECT_EQ(f[139], "7,514");
    EXPECT_EQ(f[161], "");  // no modality yet
    EXPECT_FALSE(f.d.bloqueada(160));
}

TEST(Cascada, ChangingAnAssetRunsTheWholeChainAndTheSameTextNothing)
{
    Formulario f;
    f.d.setCasilla(160, "1");
    f.d.setCasilla(300, "3000000");
    f.d.setModificado(false);
    QSignalSpy spy(&f.d, &Declaracion834::casillaCambiada);

    f.d.setCasilla(300, "3100000");
    EXPECT_EQ(cambiadas(spy), (QList<int>{300, 330, 101, 108, 109, 113, 139, 161, 146}));
    EXPECT_EQ(f[113], "8014");
    EXPECT_EQ(f[161], "8,014");
    EXPECT_EQ(f[146], "8,014");
    EXPECT_TRUE(f.d.bModificado());

    spy.clear();
    EXPECT_FALSE(f.d.setCasilla(300, "3100000"));
    EXPECT_TRUE(spy.isEmpty());
    EXPECT_FALSE(f.d.setCasilla(999, "1"));
}

TEST(Cascada, LoadingDoesNotMarkTheDeclarationModified)
{
    Formulario f;
    f.d.setModificado(false);
    f.d.setCargando(true);
    f.d.setCasilla(300, "10");
    EXPECT_FALSE(f.d.bModificado());
    f.d.setCargando(false);
    f.d.setCasilla(301, "10");
    EXPECT_TRUE(f.d.bModificado());
}

TEST(Activos, BlankAssetsEmptyTheTotalButDeductionsStillGiveZero)
{
    Formulario f;
    f.d.setCasilla(300, "100");
    f.d.setCasilla(300, "");
    EXPECT_EQ(f[330], "");
    EXPECT_EQ(f[101], "");
    EXPECT_EQ(f[105], "(0)");
    EXPECT_EQ(f[108], "0");
}

TEST(Activos, ContraAccountsSubtractWhateverTheSign)
{
    for (const char* provision : {"500", "-500", "(500)"}) {
        Formulario f;
        f.d.setCasilla(300, "2000");
        f.d.setCasilla(303, QString::fromLatin1(provision));
        f.d.setCasilla(328, "-100");
        f.d.setCasilla(326, "100");
        EXPECT_EQ(f[330], "1,300") << provision;
    }
}

TEST(Activos, NegativeTotalShowsInParenthesesAndTaxableBaseIsZero)
{
    Formulario f;
    f.d.setCasilla(300, "1000");
    f.d.setCasilla(328, "2234");
    EXPECT_EQ(f[330], "(1,234)");
    EXPECT_EQ(f[101], "(1,234)");
    EXPECT_EQ(f[108], "0");
}

TEST(Deducciones, BoxRebuildsFromTheStoredDetail)
{
    Formulario f;
    f.d.setCasilla(300, "10000");
    Detalle105 detalle;
    detalle[0] = "1500";
    detalle[9] = "250.5";
    detalle[3] = "abc";
    f.d.setDetalle105(detalle);
    EXPECT_EQ(totalDeducciones(detalle), Dinero::deEntero(1751));
    f.d.setCasilla(105, "1751");  // what the assistant hands back
    EXPECT_EQ(f[105], "(1,751)");
    EXPECT_EQ(f[108], "8,249");
    f.d.setCasilla(104, "1");
    EXPECT_EQ(f[108], "8,250");
}

TEST(Ajuste, OptionChoosesBetweenCopyAndFactor)
{
    Formulario no;
    no.d.setCasilla(300, "1000");
    EXPECT_EQ(no[109], no[108]);

    Formulario si("2004", "3100", "1.05", "1");
    si.d.setCasilla(300, "1000");
    EXPECT_EQ(si[109], "1,050");
    // Switching the answer reruns 109 and what follows it.
    si.d.setRespuesta(Pregunta::Ajuste, "0");
    EXPECT_EQ(si[109], "1,000");

    for (const char* factor : {"", "0"}) {
        Formulario sin("2004", "3100", factor, "0");
        sin.d.setCasilla(300, "1000");
        sin.d.setRespuesta(Pregunta::Ajuste, "1");
        EXPECT_EQ(sin[109], "1,000") << "unchanged with factor '" << factor << "'";
        sin.d.setCasilla(300, "2000");
        EXPECT_EQ(sin[109], "1,000");
    }
}

TEST(Reduccion2003, ThirtyPercentUpToTheLimit)
{
    Formulario f("2003", "3100");
    f.d.setCasilla(300, "3000000");
    EXPECT_EQ(f[113], "7514");
    EXPECT_EQ(f[114], "2,254");  // 0.3 x 7514 = 2254.2
    EXPECT_EQ(f[139], "5,260");
    f.d.setCasilla(300, QString::number(4838 * 3100 + 1));
    EXPECT_EQ(f[114], "0");
    // Back under the limit by one sol: 113 keeps its text, 114 must follow 109 all the same.
    f.d.setCasilla(300, QString::number(4838 * 3100));
    EXPECT_NE(f[114], "0");
}

TEST(Reduccion2003, ChangingTheExerciseRecomputesWhatDependsOnIt)
{
    Formulario f("2004", "3100");
    f.d.setCasilla(300, "3000000");
    EXPECT_EQ(f[114], "0");
    f.d.aplicarEjercicio("2003", Dinero::deEntero(3100), "1");
    EXPECT_EQ(f[114], "2,254");
    f.d.aplicarEjercicio("2003", Dinero::deEntero(3000), "1");
    EXPECT_EQ(f[113], "7755");  // 646 x 3000 x 0.0025 + 582,000 x 0.005
}

TEST(Deuda, TotalAdvanceIsEmptyWhenTheReductionExceedsIt)
{
    Formulario f;
    f.d.setCasilla(113, "100");
    f.d.setCasilla(114, "30");
    EXPECT_EQ(f[139], "70");
    f.d.setCasilla(114, "130");
    EXPECT_EQ(f[139], "");
}

TEST(Deuda, ModalityRuleLocksBelowNineAndDisablesInterestAtZero)
{
    Formulario f;
    f.d.setCasilla(160, "2");
    f.d.setCasilla(114, "0");
    f.d.setCasilla(113, "8");
    f.d.setCasilla(145, "5");
    EXPECT_EQ(f[160], "1");
    EXPECT_TRUE(f.d.bloqueada(160));
    EXPECT_EQ(f[161], "8");
    EXPECT_TRUE(f.d.habilitada(145));
    EXPECT_EQ(f[146], "13");

    f.d.setCasilla(113, "0");
    EXPECT_FALSE(f.d.habilitada(145));
    EXPECT_EQ(f[145], "");
    EXPECT_EQ(f[146], "0");

    f.d.setCasilla(113, "9");
    EXPECT_FALSE(f.d.bloqueada(160));
    EXPECT_TRUE(f.d.habilitada(145));
    f.d.setCasilla(160, "2");
    EXPECT_EQ(f[161], "1");
    f.d.setCasilla(113, "100");
    EXPECT_EQ(f[161], "11");
}

TEST(Deuda, LoadingKeepsTheInterestAtZero)
{
    Formulario f;
    f.d.setCargando(true);
    f.d.setCasilla(145, "5");
    f.d.setCasilla(113, "0");
    EXPECT_FALSE(f.d.habilitada(145));
    EXPECT_EQ(f[145], "5");
}

TEST(Deuda, PreviousPaymentsNeverMakeTheBalanceNegative)
{
    Formulario f;
    f.d.setCasilla(160, "1");
    f.d.setCasilla(113, "100");
    f.d.setCasilla(145, "10");
    f.d.setCasilla(144, "500");
    EXPECT_EQ(f[146], "0");
    f.d.setCasilla(144, "(50)");
    EXPECT_EQ(f[146], "60");
}

TEST(Modelo, AmountToPayDrivesThePaymentControl)
{
    Declaracion834 d;
    EXPECT_EQ(d.pago().formapago, "X");
    d.setCasilla(180, "1500");
    EXPECT_EQ(d.pago().importe, "1500");
    EXPECT_EQ(d.pago().formapago, "X");
    d.setCasilla(180, "0");
    EXPECT_EQ(d.pago().formapago, "E");
    EXPECT_EQ(d.pago().importe, "0");
}

TEST(Modelo, FocusReformatsOnlyUnlockedBoxes)
{
    Declaracion834 d;
    d.setCasilla(303, "(1,500)");
    d.entrarCasilla(303);
    EXPECT_EQ(d.casilla(303), "1500");
    d.salirCasilla(303);
    EXPECT_EQ(d.casilla(303), "(1,500)");
    d.setCasilla(330, "1234");
    d.salirCasilla(330);
    EXPECT_EQ(d.casilla(330), "1234");
    d.bloquearEnviada();
    EXPECT_TRUE(d.bloqueada(300));
    EXPECT_FALSE(d.bloqueada(105));
    EXPECT_FALSE(d.pago().habilitado);
}

TEST(Modelo, ReloadPutsRowsBackByTheirCodes)
{
    Declaracion834 d;
    d.setCargando(true);
    d.AsignaCasilla("303", "500");
    d.AsignaCasilla("300", "2000");
    d.AsignaCasilla("7", "2004");
    d.AsignaCasilla("805", "1");
    d.AsignaCasilla("825", "0");
    d.AsignaCasilla("826", "x");
    d.AsignaCasilla("160", "2");
    d.AsignaCasilla("226", "00012345");
    d.AsignaCasilla("599", "C");
    d.AsignaCasilla("801", "IGNORED NAME");
    d.AsignaCasilla("550", "99");
    d.AsignaCasilla("999", "99");
    d.AsignaCasilla("", "99");
    EXPECT_EQ(d.casilla(303), "(500)");
    EXPECT_EQ(d.casilla(330), "1,500");
    EXPECT_EQ(d.periodo(), "2004");
    EXPECT_EQ(d.respuesta(Pregunta::Rectifica), "1");
    EXPECT_EQ(d.respuesta(Pregunta::Ajuste), "0");
    EXPECT_EQ(d.respuesta(Pregunta::Liquidacion), "");
    EXPECT_EQ(d.modalidad(), "2");
    EXPECT_EQ(d.casilla(160), "2");
    EXPECT_EQ(d.casilla(226), "00012345");
    EXPECT_EQ(d.pago().formapago, "C");
    EXPECT_EQ(d.dato(Declaracion834::Dato::RazonSocial), "");
    EXPECT_EQ(d.detalle105()[4], "");
    EXPECT_FALSE(d.bModificado());

    d.AsignaCasilla("330", "-1234");
    EXPECT_EQ(d.casilla(330), "(1,234)");
}

TEST(Modelo, ValuesWrittenUnderNonBoxCodes)
{
    Declaracion834 d;
    d.setDato(Declaracion834::Dato::Ruc, "20100000001");
    d.setDato(Declaracion834::Dato::RazonSocial, "EMPRESA DE PRUEBAS S.A.C.");
    d.setDato(Declaracion834::Dato::Telefono, " 4455667 ");
    d.setRespuesta(Pregunta::Rectifica, "0");
    d.setBanco("11");
    EXPECT_EQ(d.valorCodigo("002"), "20100000001");
    EXPECT_EQ(d.valorCodigo("801"), "EMPRESA DE PRUE");
    EXPECT_EQ(d.valorCodigo("028"), "4455667");
    EXPECT_EQ(d.valorCodigo("005"), "0");
    EXPECT_EQ(d.valorCodigo("871"), "0");
    EXPECT_EQ(d.valorCodigo("825"), "1");  // "Si" is the default answer
    EXPECT_EQ(d.valorCodigo("826"), "");
    EXPECT_EQ(d.valorCodigo("015"), "");   // the bank only goes with a cheque
    d.setFormaPago("C");
    EXPECT_EQ(d.valorCodigo("015"), "11");
    EXPECT_EQ(d.valorCodigo("721"), "1.1");
    EXPECT_EQ(Declaracion834::codigosNoCasilla().size(), 16);
}
