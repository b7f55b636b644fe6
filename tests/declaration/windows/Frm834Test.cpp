// The declaration form driven as a user drives it: keyboard, focus, tabs.

#include "AbreDeclaracion.h"
#include "FormFixture.h"
#include "FormaDePagoQVR.h"
#include "Frm834.h"
#include "FrmAnexo105.h"

#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

#include <memory>

namespace {

TEST_F(FormFixture, BuildsEveryBoxOnItsTabWithLabelColourAndLock)
{
    abre();
    EXPECT_EQ(frm->windowTitle(), QStringLiteral("834 Anticipo Adicional de Renta 3ra. Categoría"));
    QTabWidget* tabs = frm->sstab1();
    ASSERT_EQ(tabs->count(), 5);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("&Identificación"));
    EXPECT_EQ(tabs->tabText(3), QStringLiteral("Determinación de la De&uda"));
    EXPECT_EQ(tabs->tabText(4), QStringLiteral("Información C&omplementaria"));
    for (const casillas834::Casilla& c : casillas834::tabla()) {
        QLineEdit* campo = frm->findChild<QLineEdit*>(QStringLiteral("TxtValor_%1").arg(c.numero));
        ASSERT_NE(campo, nullptr) << c.numero;
        EXPECT_TRUE(tabs->widget(static_cast<int>(c.pestana))->isAncestorOf(campo)) << c.numero;
        EXPECT_EQ(campo->isReadOnly(), c.tipo == casillas834::Tipo::Calculada) << c.numero;
        EXPECT_EQ(gris(campo), c.tipo == casillas834::Tipo::Calculada) << c.numero;
    }
    EXPECT_EQ(caja(105)->palette().color(QPalette::Base), QColor(0xC0, 0xFF, 0xFF));
    EXPECT_EQ(frm->etiquetaCasilla(303)->text(), QStringLiteral("Provisión por Ctas de Cobr. Dudosa"));
    EXPECT_TRUE(frm->frame34()->isAncestorOf(caja(330)));
    for (const char* nombre : {"OptRectifica_0", "OptRectifica_1", "OptAjuste_1", "OptLiquid_0", "OptReorg_1",
                               "TxtNumOrdenE_0", "TxtNumOrdenE_1", "FormaDePagoQVR1", "cboTipDocRepLegal",
                               "txtApellidoRL", "txtNombreRL", "CmdValidar", "CmdGrabar", "CmdCancelar",
                               "TxtAyuda", "TxtAyuda1", "VScroll1", "MkePeriodo", "CmbRuc", "TxtNumRuc"})
        EXPECT_NE(frm->findChild<QWidget*>(QString::fromLatin1(nombre)), nullptr) << nombre;
    // New declaration: the list replaces the RUC field, no order number,
    // the adjustment question starts on "Si", the payment form is not chosen.
    EXPECT_TRUE(frm->cmbRuc()->isVisible());
    EXPECT_FALSE(frm->txtNumRuc()->isVisible());
    EXPECT_FALSE(frm->fraNOrden()->isVisible());
    EXPECT_TRUE(frm->opcion(Pregunta::Ajuste, 1)->isChecked());
    EXPECT_EQ(frm->formaDePago()->formapago(), "X");
    EXPECT_EQ(frm->mkePeriodo()->displayText(), "____");
    EXPECT_EQ(frm->txtAyuda()->text(), QStringLiteral("Anotar los importes en nuevos soles sin considerar céntimos."));
    EXPECT_FALSE(frm->declaracion().bModificado());
}

TEST_F(FormFixture, TaxpayerAndYearThenAssetsTypedWithTheKeyboardFlowThroughTheCascade)
{
    abre();
    eligeContribuyente(kRucA);
    EXPECT_EQ(frm->txtRazon()->text().trimmed(), "DISTRIBUIDORA ANDINA S.A.C.");
    EXPECT_EQ(frm->sRuc(), kRucA);
    EXPECT_EQ(frm->nuevaDeclaracion(), "S");
    EXPECT_TRUE(frm->txtTelefono()->hasFocus());
    ASSERT_FALSE(barra.isEmpty());
    EXPECT_EQ(barra.last().ruc, kRucA);
    EXPECT_EQ(barra.last().usuario, "ADMIN");

    QTest::keyClicks(frm->txtTelefono(), "45a6-7890");   // only digits get in
    EXPECT_EQ(frm->txtTelefono()->text(), "4567890");
    QTest::mouseClick(frm->opcion(Pregunta::Rectifica, 0), Qt::LeftButton);
    escribeEjercicio("2004");
    EXPECT_EQ(frm->sPeriodo, "2004");
    EXPECT_EQ(barra.last().periodo, "2004");
    EXPECT_TRUE(frm->lblEncabezadoActivos(0)->text().endsWith("al 31-12-2003"));
    EXPECT_TRUE(frm->lblEncabezadoActivos(0)->text().contains("Valor ajustado"));
    EXPECT_EQ(frm->etiquetaCasilla(109)->text(), "Activo Neto imponible actualizado al 31-03-2004");

    frm->sstab1()->setCurrentIndex(1);
    ASSERT_TRUE(caja(300)->hasFocus());
    QTest::keyClicks(caja(300), "3000000");
    EXPECT_EQ(texto(330), "3,000,000");
    QTest::keyClick(caja(300), Qt::Key_Return);
    EXPECT_EQ(texto(300), "3,000,000");           // formatted on leaving
    EXPECT_TRUE(caja(301)->hasFocus());
    tecleaCasilla(303, "500");
    EXPECT_EQ(texto(303), "(500)");
    EXPECT_EQ(texto(330), "2,999,500");
    EXPECT_EQ(texto(101), "2,999,500");
    EXPECT_EQ(texto(105), "(0)");
    EXPECT_EQ(texto(108), "2,999,500");
    // UIT 3200 and factor 1.028 of 2004: 109 = 3,083,486; scale on 109.
    EXPECT_EQ(texto(109), "3,083,486");
    EXPECT_EQ(texto(113), "7689");   // 646 x 3200 x 0.0025 + (3,083,486 - 2,579,200) x 0.005
    EXPECT_EQ(texto(114), "0");
    EXPECT_EQ(texto(139), "7,689");
    // While 139 was below 9 the term was forced to cash; it stays so.
    EXPECT_EQ(texto(160), "1");
    EXPECT_EQ(texto(161), "7,689");
    EXPECT_EQ(texto(146), "7,689");
    EXPECT_TRUE(frm->declaracion().bModificado());

    frm->sstab1()->setCurrentIndex(3);
    ASSERT_TRUE(caja(160)->hasFocus());
    QTest::keyClick(caja(160), Qt::Key_Backspace);
    EXPECT_EQ(texto(161), "");
    QTest::keyClicks(caja(160), "3");            // only 1 or 2
    EXPECT_EQ(texto(160), "");
    QTest::keyClicks(caja(160), "2");
    EXPECT_EQ(texto(161), "854");
    EXPECT_EQ(texto(146), "854");
    tecleaCasilla(180, "0");
    EXPECT_EQ(frm->formaDePago()->formapago(), "E");
    EXPECT_EQ(frm->formaDePago()->importe(), "0");
}

TEST_F(FormFixture, EnterWalksThroughTheAssetPages)
{
    abre();
    identificacion();
    frm->sstab1()->setCurrentIndex(1);
    EXPECT_TRUE(frm->frame26()->isVisible());
    EXPECT_FALSE(frm->frame34()->isVisible());
    for (int n : casillas834::enPantalla(casillas834::Pestana::Activos, casillas834::Pagina::ActivoCorriente)) {
        ASSERT_TRUE(caja(n)->hasFocus()) << n;
        QTest::keyClicks(caja(n), "1");
        QTest::keyClick(caja(n), Qt::Key_Return);
    }
    // Enter on 316 turned the page.
    EXPECT_EQ(frm->vScroll1()->value(), 15);
    EXPECT_FALSE(frm->frame26()->isVisible());
    EXPECT_TRUE(frm->frame34()->isVisible());
    EXPECT_TRUE(caja(318)->hasFocus());
    tecleaCasilla(329, "7");
    EXPECT_EQ(frm->vScroll1()->value(), 1);
    EXPECT_TRUE(frm->frame26()->isVisible());
    EXPECT_TRUE(caja(300)->hasFocus());
    EXPECT_EQ(texto(330), "20");   // fourteen 1s, minus the provision, plus 7
}

TEST_F(FormFixture, SubtractedBoxShowsBareDigitsWhileFocused)
{
    abre();
    identificacion();
    frm->sstab1()->setCurrentIndex(1);
    tecleaCasilla(303, "1500");
    EXPECT_EQ(texto(303), "(1,500)");
    caja(303)->setFocus();
    EXPECT_EQ(texto(303), "1500");
    EXPECT_EQ(caja(303)->maxLength(), 12);
    QTest::keyClicks(caja(303), "-.");     // no sign, no decimals
    EXPECT_EQ(texto(303), "1500");
    caja(300)->setFocus();
    EXPECT_EQ(texto(303), "(1,500)");
    EXPECT_EQ(caja(303)->maxLength(), 17);
}

TEST_F(FormFixture, PaymentTermFollowsBox139)
{
    abre();
    identificacion();
    // Without adjustment 109 = 108, so 113 is the scale on the typed assets:
    // 160 UIT = 512,000 at 3200; each 400 soles above give 1 sol.
    QTest::mouseClick(frm->opcion(Pregunta::Ajuste, 0), Qt::LeftButton);
    EXPECT_TRUE(frm->lblEncabezadoActivos(1)->text().contains("Valor historico"));
    frm->sstab1()->setCurrentIndex(1);

    tecleaCasilla(300, "515200");
    EXPECT_EQ(texto(139), "8");
    EXPECT_EQ(texto(160), "1");
    EXPECT_TRUE(caja(160)->isReadOnly());
    EXPECT_TRUE(gris(caja(160)));
    EXPECT_EQ(texto(161), "8");
    EXPECT_TRUE(caja(145)->isEnabled());
    frm->sstab1()->setCurrentIndex(3);
    EXPECT_TRUE(caja(144)->hasFocus());          // 160 is locked
    tecleaCasilla(145, "40");
    EXPECT_EQ(texto(146), "48");

    frm->sstab1()->setCurrentIndex(1);
    tecleaCasilla(300, "515600");
    EXPECT_EQ(texto(139), "9");
    EXPECT_FALSE(caja(160)->isReadOnly());
    EXPECT_FALSE(gris(caja(160)));

    tecleaCasilla(300, "512000");
    EXPECT_EQ(texto(139), "0");
    EXPECT_FALSE(caja(145)->isEnabled());
    EXPECT_EQ(texto(145), "");
}

TEST_F(FormFixture, PastingIsRefusedAndTheClipboardIsLeftAlone)
{
    abre();
    identificacion();
    frm->sstab1()->setCurrentIndex(1);
    QApplication::clipboard()->setText(QStringLiteral("12345"));
    caja(300)->setFocus();
    QTest::keyClick(caja(300), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(caja(300), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(texto(300), "");
    QTest::keyClick(frm->txtTelefono(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(frm->txtTelefono()->text(), "4567890");
    EXPECT_EQ(QApplication::clipboard()->text(), "12345");

    // The context menu offers no paste.
    QContextMenuEvent menuEvento(QContextMenuEvent::Mouse, QPoint(5, 5), caja(300)->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(caja(300), &menuEvento);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    for (QAction* a : menu->actions())
        EXPECT_NE(a->objectName(), "edit-paste");
    menu->close();
    EXPECT_EQ(texto(300), "");
}

TEST_F(FormFixture, NamesKeepAccentsEnieAndApostrophe)
{
    abre();
    identificacion();
    frm->sstab1()->setCurrentIndex(4);
    EXPECT_EQ(frm->txtAyuda()->text(), "El registro de esta información es de caracter obligatorio");
    EXPECT_EQ(frm->txtAyuda1()->text(), "en los conceptos que le correspondan.");
    frm->txtApellidoRL()->setFocus();
    for (const QString& ch : {QStringLiteral("P"), QStringLiteral("e"), QStringLiteral("ñ"), QStringLiteral("a"),
                              QStringLiteral(" "), QStringLiteral("O"), QStringLiteral("'"), QStringLiteral("N"),
                              QStringLiteral("ú"), QStringLiteral("-"), QStringLiteral("@")})
        QTest::sendKeyEvent(QTest::Click, frm->txtApellidoRL(), Qt::Key_unknown, ch, Qt::NoModifier);
    EXPECT_EQ(frm->txtApellidoRL()->text(), QStringLiteral("Peña O'Nú"));
    EXPECT_EQ(frm->declaracion().dato(Declaracion834::Dato::ApellidoRL), QStringLiteral("Peña O'Nú"));

    // Choosing the document type fills box 225 and sets 226's length.
    QComboBox* tipos = frm->cboTipDocRepLegal();
    int dni = -1;
    for (int i = 0; i < tipos->count(); ++i)
        if (tipos->itemText(i).startsWith("01"))
            dni = i;
    ASSERT_GE(dni, 0);
    tipos->setFocus();
    while (tipos->currentIndex() < dni)
        QTest::keyClick(tipos, Qt::Key_Down);
    EXPECT_EQ(texto(225), "01");
    EXPECT_EQ(caja(226)->maxLength(), 8);
    caja(226)->setFocus();
    QTest::keyClicks(caja(226), "12ab345678");   // DNI: digits only, eight of them
    EXPECT_EQ(texto(226), "12345678");
}

TEST_F(FormFixture, FormulaHelpOverComputedBoxes)
{
    abre();
    identificacion();
    QMouseEvent mover(QEvent::MouseMove, QPointF(3, 3), caja(330)->mapToGlobal(QPointF(3, 3)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(caja(330), &mover);
    EXPECT_TRUE(frm->txtAyuda()->text().startsWith("c330=c300+c301"));
    EXPECT_EQ(frm->txtAyuda()->palette().color(QPalette::Text), QColor(0, 0, 192));
    QApplication::sendEvent(caja(109), &mover);
    EXPECT_EQ(frm->txtAyuda()->text(), "c109 = c108 * 1.028");
    EXPECT_EQ(frm->txtAyuda1()->text(), "");
}

TEST_F(FormFixture, ExistingDeclarationAndInvalidYearAreRefused)
{
    suite.ejecuta("INSERT INTO CAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, estado, cNumero)"
                  " VALUES (6, ?, '2004', '0834', 0, '111111')", {kRucA});
    abre();
    eligeContribuyente(kRucA);
    EXPECT_EQ(frm->nuevaDeclaracion(), "S");      // no year yet

    auto invalido = respondeMensaje();
    escribeEjercicio("1999");
    EXPECT_TRUE(invalido->visto);
    EXPECT_EQ(invalido->texto, QStringLiteral("El Ejercicio no es Válido."));
    EXPECT_EQ(invalido->titulo, Frm834::kCaption);
    EXPECT_EQ(invalido->icono, QMessageBox::Critical);
    reactiva();
    EXPECT_TRUE(frm->mkePeriodo()->hasFocus());
    EXPECT_EQ(frm->sPeriodo, "");

    auto existe = respondeMensaje();
    frm->mkePeriodo()->selectAll();
    QTest::keyClick(frm->mkePeriodo(), Qt::Key_Backspace);
    escribeEjercicio("2004");
    EXPECT_TRUE(existe->visto);
    EXPECT_EQ(existe->texto, QStringLiteral("La declaración que desea registrar ya existe, elija la opción modificar "
                                            "declaración o elija otro contribuyente."));
    EXPECT_EQ(frm->nuevaDeclaracion(), "N");
    EXPECT_EQ(frm->sRuc(), "");
}

TEST_F(FormFixture, MissingIpmOrInitialIndexLeavesOnlyClosing)
{
    suite.ejecuta("DELETE FROM PARAM WHERE Numero = '960' AND Argumento = '2004'");
    abre();
    eligeContribuyente(kRucA);
    auto sinIpm = respondeMensaje();
    escribeEjercicio("2004");
    EXPECT_TRUE(sinIpm->visto);
    EXPECT_EQ(sinIpm->texto, QStringLiteral("Ud. no ha actualizado el parámetro IPM correspondiente al año 2004"));
    EXPECT_EQ(sinIpm->icono, QMessageBox::Warning);
    EXPECT_FALSE(frm->sstab1()->isEnabled());
    EXPECT_FALSE(frm->cmdGrabar()->isEnabled());
    EXPECT_TRUE(frm->cmdCancelar()->isDefault());

    FormFixture::frm.reset();
    suite.ejecuta("DELETE FROM PARAM WHERE Numero = '975' AND Argumento = '200212'");
    abre();
    EXPECT_FALSE(frm->sstab1()->isEnabled());
    EXPECT_FALSE(frm->cmdValidar()->isEnabled());
    EXPECT_TRUE(frm->cmdCancelar()->isEnabled());
}

TEST_F(FormFixture, ChoosingAnotherTaxpayerClearsTheBoxes)
{
    abre();
    identificacion();
    frm->sstab1()->setCurrentIndex(1);
    tecleaCasilla(300, "1000");
    EXPECT_EQ(texto(330), "1,000");
    frm->sstab1()->setCurrentIndex(0);
    eligeContribuyente(kRucA);          // the same one: nothing changes
    EXPECT_EQ(texto(300), "1,000");
    eligeContribuyente(kRucB);
    EXPECT_EQ(texto(300), "");
    EXPECT_EQ(texto(330), "");
    EXPECT_EQ(frm->sRuc(), kRucB);
}

// ---- Reopening stored and sent declarations

class StoredFixture : public FormFixture {
protected:
    void guardaDeclaracion(const QString& tabla, const QString& correl = {})
    {
        const QList<std::pair<const char*, const char*>> filas = {
            {"300", "1500000"}, {"303", "500"}, {"330", "1499500"}, {"101", "1499500"}, {"105", "1000"},
            {"108", "1498500"}, {"109", "1540458"}, {"113", "2571"}, {"139", "2571"}, {"160", "2"},
            {"161", "286"}, {"146", "286"}, {"180", "286"}, {"225", "01"}, {"226", "12345678"},
            {"005", "0"}, {"825", "1"}, {"826", "0"}, {"028", "4567890"}, {"007", "2004"},
            {"599", "C"}, {"012", "55"}, {"817", "PEREZ"}, {"818", "JUAN"}, {"546", "1000"}, {"806", "07"}};
        for (const auto& [casilla, valor] : filas)
            suite.detalle(tabla, kRucA, "2004", casilla, valor, correl);
        if (tabla == u"HDET")
            suite.ejecuta("INSERT INTO HCAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, CORREL, NORDEN, CONTROL, estado,"
                          " bcolibrad, nrocheque, cNumero) VALUES (6, ?, '2004', '0834', ?, 12345678, 'ABC', 0, '02',"
                          " '55', '1')", {kRucA, correl});
        else
            suite.ejecuta("INSERT INTO CAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, estado, bcolibrad, nrocheque,"
                          " cNumero) VALUES (6, ?, '2004', '0834', 0, '02', '55', '123456')", {kRucA});
    }
};

TEST_F(StoredFixture, ModeOneReloadsBoxesInTheirReloadFormats)
{
    guardaDeclaracion("DET");
    abre(1, {QString::fromLatin1(kRucA), QStringLiteral("DISTRIBUIDORA ANDINA S.A.C."), false}, "2004");
    EXPECT_FALSE(frm->cmbRuc()->isVisible());
    EXPECT_EQ(frm->txtNumRuc()->text(), kRucA);
    EXPECT_FALSE(frm->mkePeriodo()->isEnabled());
    EXPECT_EQ(frm->mkePeriodo()->text(), "2004");
    EXPECT_EQ(texto(300), "1,500,000");
    EXPECT_EQ(texto(303), "(500)");
    EXPECT_EQ(texto(330), "1,499,500");
    EXPECT_EQ(texto(105), "(1,000)");
    EXPECT_EQ(texto(108), "1,498,500");
    // Recomputed with the year's UIT and factor, the totals agree with what was stored.
    EXPECT_EQ(texto(109), "1,540,458");
    EXPECT_EQ(texto(113), "2571");
    EXPECT_EQ(texto(160), "2");
    EXPECT_EQ(texto(161), "286");
    EXPECT_EQ(frm->txtTelefono()->text(), "4567890");
    EXPECT_TRUE(frm->opcion(Pregunta::Rectifica, 0)->isChecked());
    EXPECT_TRUE(frm->opcion(Pregunta::Liquidacion, 0)->isChecked());
    EXPECT_FALSE(frm->opcion(Pregunta::Reorganizacion, 0)->isChecked());   // no row: unanswered
    EXPECT_FALSE(frm->opcion(Pregunta::Reorganizacion, 1)->isChecked());
    EXPECT_TRUE(frm->cboTipDocRepLegal()->currentText().startsWith("01"));
    EXPECT_EQ(texto(226), "12345678");
    EXPECT_EQ(frm->txtApellidoRL()->text(), "PEREZ");
    EXPECT_EQ(frm->formaDePago()->formapago(), "C");
    EXPECT_EQ(frm->formaDePago()->banco(), "02");
    EXPECT_EQ(frm->formaDePago()->numcheque(), "55");
    EXPECT_FALSE(frm->declaracion().bModificado());
    EXPECT_TRUE(frm->txtTelefono()->hasFocus());
    ASSERT_FALSE(barra.isEmpty());
    EXPECT_EQ(barra.last().periodo, "2004");
}

TEST_F(StoredFixture, SentDeclarationIsReadOnlyButForTheOrderNumber)
{
    guardaDeclaracion("HDET", "0000000001");
    const QString nombreLargo = QStringLiteral("DISTRIBUIDORA ANDINA DE PRODUCTOS DEL SUR Y DEL NORTE S.A.C.");
    abre(1, {QString::fromLatin1(kRucA), nombreLargo, true, QStringLiteral("0000000001"), QStringLiteral("ABC")},
         "2004", "12345678");
    EXPECT_EQ(frm->txtRazon()->text(), nombreLargo.left(40));   // the name field holds 40 characters
    for (const casillas834::Casilla& c : casillas834::tabla()) {
        EXPECT_EQ(caja(c.numero)->isReadOnly(), c.numero != 105) << c.numero;
        EXPECT_EQ(gris(caja(c.numero)), c.numero != 105) << c.numero;
    }
    EXPECT_EQ(texto(300), "1,500,000");
    EXPECT_TRUE(frm->fraNOrden()->isVisible());
    EXPECT_EQ(frm->txtNumOrdenE(0)->text(), "12345678");
    EXPECT_EQ(frm->txtNumOrdenE(1)->text(), "07");
    EXPECT_TRUE(frm->txtNumOrdenE(0)->isEnabled());
    EXPECT_FALSE(frm->txtTelefono()->isEnabled());
    EXPECT_FALSE(frm->opcion(Pregunta::Rectifica, 1)->isEnabled());
    EXPECT_FALSE(frm->cboTipDocRepLegal()->isEnabled());
    EXPECT_FALSE(frm->cmdValidar()->isEnabled());
    EXPECT_TRUE(frm->cmdGrabar()->isEnabled());
    EXPECT_FALSE(frm->formaDePago()->habilitado());
    EXPECT_FALSE(frm->formaDePago()->optCheque()->isEnabled());

    // The assistant only shows the sent detail.
    frm->sstab1()->setCurrentIndex(2);
    caja(105)->setFocus();
    auto visto = alAbrirse<FrmAnexo105>(
        [](FrmAnexo105* a) {
            EXPECT_EQ(a->txtMonto(0)->text(), "1,000");
            EXPECT_TRUE(a->txtMonto(0)->isReadOnly());
            EXPECT_FALSE(a->cmdGrabar()->isVisible());
            a->cmdCancelar()->click();
        });
    QTest::keyClick(caja(105), Qt::Key_Return);
    EXPECT_TRUE(*visto);
    EXPECT_EQ(texto(105), "(1,000)");
}

TEST_F(FormFixture, AssistantRoundTripStoresTheDetailAndRebuildsBox105)
{
    abre();
    identificacion();
    frm->sstab1()->setCurrentIndex(1);
    tecleaCasilla(300, "3000000");
    frm->sstab1()->setCurrentIndex(2);
    ASSERT_TRUE(caja(104)->hasFocus());
    QTest::keyClick(caja(104), Qt::Key_Return);
    ASSERT_TRUE(caja(105)->hasFocus());

    auto visto = alAbrirse<FrmAnexo105>(
        [](FrmAnexo105* a) {
            EXPECT_EQ(a->windowTitle(), QStringLiteral("Asistente de Cálculo de Casilla 105"));
            QTest::keyClicks(a->txtMonto(0), "1234567");
            QTest::keyClicks(a->txtMonto(9), "33");
            EXPECT_EQ(a->txtTotal()->text(), "1,234,600");
            a->cmdGrabar()->click();
        });
    QTest::keyClick(caja(105), Qt::Key_Return);
    ASSERT_TRUE(*visto);
    EXPECT_EQ(texto(105), "(1,234,600)");
    EXPECT_EQ(texto(108), "1,765,400");
    EXPECT_FALSE(caja(105)->hasFocus());     // moved on

    const QVariantList clave{QString::fromLatin1(kRucA)};
    EXPECT_EQ(suite.valor("SELECT cNumero FROM CAB WHERE Doc_id_d = ? AND Periodo = '2004'", clave).toString(), "0");
    EXPECT_EQ(suite.valor("SELECT i_valor FROM DET WHERE Doc_id_d = ? AND Casilla = '546'", clave).toString(),
              "1234567");
    EXPECT_EQ(suite.valor("SELECT i_valor FROM DET WHERE Doc_id_d = ? AND Casilla = '555'", clave).toString(), "33");

    // Cancelling keeps what is stored: box 105 still shows the stored sum.
    caja(105)->setFocus();
    auto otra = alAbrirse<FrmAnexo105>([](FrmAnexo105* a) {
        EXPECT_EQ(a->txtMonto(0)->text(), "1234567");   // focused: bare digits
        EXPECT_EQ(a->txtMonto(9)->text(), "33");
        QTest::keyClicks(a->txtMonto(1), "99");
        a->cmdCancelar()->click();
    });
    QTest::keyClick(caja(105), Qt::Key_Return);
    EXPECT_TRUE(*otra);
    EXPECT_EQ(texto(105), "(1,234,600)");
    EXPECT_EQ(suite.valor("SELECT COUNT(*) FROM DET WHERE Casilla = '547'").toInt(), 0);
}

TEST(AbreDeclaracion, OpensTheFormModallyAndReleasesThePreviewAfterwards)
{
    SuiteDeMuestra suite;
    ContextoDeclaracion c;
    c.db = suite.db();
    c.sysUser = QStringLiteral("ADMIN");
    bool liberado = false;
    c.liberaPreview = [&liberado] { liberado = true; };
    auto visto = alAbrirse<Frm834>(
        [](Frm834* f) {
            EXPECT_EQ(f->iAccion(), 0);
            EXPECT_TRUE(f->cmbRuc()->isVisible());
            EXPECT_GT(f->cmbRuc()->count(), 0);
            f->cmdCancelar()->click();
        });
    AbreDeclaracion(0, {}, c, nullptr);
    EXPECT_TRUE(*visto);
    EXPECT_TRUE(liberado);
}

} // namespace
