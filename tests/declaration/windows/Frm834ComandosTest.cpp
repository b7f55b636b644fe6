// "&Validar", "&Grabar" and "&Salir" of the declaration form, driven through
// the window on a real suite database.

#include "DeclaracionGuardada.h"
#include "EnlaceCortable.h"
#include "FormFixture.h"
#include "FormaDePagoQVR.h"
#include "FrmAnexo105.h"
#include "FrmContAbrir.h"
#include "Grabacion834.h"
#include "Guion.h"
#include "Validacion834.h"

#include <QScrollBar>
#include <QSqlRecord>
#include <QTabWidget>

namespace {

const QString kRuc = QString::fromLatin1(kRucA);
const QString kNombre = QStringLiteral("DISTRIBUIDORA ANDINA S.A.C.");
const QString kMenor =
    QStringLiteral("El importe a pagar es menor que el saldo definitivo a pagar.La KALDEN emitirá una Orden de Pago.");
const QString kConInconsistencias = QStringLiteral(
    "La información de la declaración fue grabada con inconsistencias. En estas condiciones no podra ser enviada a "
    "KALDEN.");
const QString kGrabada = QStringLiteral("La declaración ha sido grabada satisfactoriamente.");
const QString kImportesExcesivos = QStringLiteral(
    "Un importe calculado excede el máximo que admite el formulario. Revise los importes y los parámetros del "
    "ejercicio; no se grabó ningún dato.");

class ComandosFixture : public FormFixture {
protected:
    // Picks the item that starts with `inicio` with the arrow keys.
    static void eligeEnLista(QComboBox* lista, const QString& inicio)
    {
        lista->setFocus();
        int destino = -1;
        for (int i = 0; i < lista->count(); ++i)
            if (lista->itemText(i).startsWith(inicio))
                destino = i;
        ASSERT_GE(destino, 0) << inicio.toStdString();
        while (lista->currentIndex() != destino)
            QTest::keyClick(lista, lista->currentIndex() < destino ? Qt::Key_Down : Qt::Key_Up);
    }

    static void escribe(QLineEdit* campo, const QString& texto)
    {
        campo->setFocus();
        campo->selectAll();
        QTest::keyClick(campo, Qt::Key_Backspace);
        QTest::keyClicks(campo, texto);
    }

    // Cash, and the whole final balance as the amount to pay.
    void pagaEnEfectivo()
    {
        reactiva();
        frm->sstab1()->setCurrentIndex(3);
        QTest::mouseClick(frm->formaDePago()->optEfectivo(), Qt::LeftButton);
        tecleaCasilla(180, texto(146).remove(u','));
    }

    // Every tab of a new declaration, typed as a user types it; without the
    // payment the declaration keeps two inconsistencies.
    void llenaNueva(bool conPago, const QString& ruc = kRuc)
    {
        identificacion(QStringLiteral("2004"), ruc);
        QTest::mouseClick(frm->opcion(Pregunta::Liquidacion, 0), Qt::LeftButton);
        QTest::mouseClick(frm->opcion(Pregunta::Reorganizacion, 0), Qt::LeftButton);
        frm->sstab1()->setCurrentIndex(1);
        ASSERT_EQ(frm->sstab1()->currentIndex(), 1) << "tab 0 was refused";
        tecleaCasilla(300, "3000000");
        tecleaCasilla(301, "200000");
        tecleaCasilla(303, "500");
        frm->vScroll1()->setValue(15);
        tecleaCasilla(318, "800000");
        tecleaCasilla(328, "100000");
        frm->sstab1()->setCurrentIndex(2);
        tecleaCasilla(104, "25000");
        if (conPago)
            pagaEnEfectivo();
        frm->sstab1()->setCurrentIndex(4);
        eligeEnLista(frm->cboTipDocRepLegal(), QStringLiteral("01"));
        escribe(caja(226), QStringLiteral("12345678"));
        escribe(frm->txtApellidoRL(), QStringLiteral("PEREZ"));
        escribe(frm->txtNombreRL(), QStringLiteral("JUAN"));
    }

    // The box-105 assistant stores one deduction of the declaration.
    void deduccionEnAsistente(const QString& importe)
    {
        frm->sstab1()->setCurrentIndex(2);
        caja(105)->setFocus();
        auto visto = alAbrirse<FrmAnexo105>([importe](FrmAnexo105* a) {
            QTest::keyClicks(a->txtMonto(0), importe);
            a->cmdGrabar()->click();
        });
        QTest::keyClick(caja(105), Qt::Key_Return);
        ASSERT_TRUE(*visto);
        reactiva();
    }

    // Everything the form shows of the declaration.
    QStringList vista() const
    {
        QStringList v;
        for (int n : casillas834::vCasillas())
            v << QStringLiteral("%1=%2").arg(n).arg(texto(n));
        v << frm->txtTelefono()->text() << frm->mkePeriodo()->displayText() << frm->txtRazon()->text().trimmed()
          << frm->cboTipDocRepLegal()->currentText() << frm->txtApellidoRL()->text() << frm->txtNombreRL()->text()
          << frm->formaDePago()->formapago();
        for (Pregunta p : {Pregunta::Rectifica, Pregunta::Ajuste, Pregunta::Liquidacion, Pregunta::Reorganizacion})
            v << QStringLiteral("%1%2").arg(frm->opcion(p, 0)->isChecked()).arg(frm->opcion(p, 1)->isChecked());
        return v;
    }

    // The detail rows of the declaration, whole.
    QStringList filasDet(const QString& tabla = QStringLiteral("DET")) const
    {
        QSqlQuery q(suite.db());
        q.prepare(QStringLiteral("SELECT Casilla, i_valor, idcasilla, cNumero FROM ") + tabla
                  + QStringLiteral(" WHERE Doc_id_d = ? AND Periodo = '2004' ORDER BY Casilla"));
        q.addBindValue(kRuc);
        EXPECT_TRUE(q.exec());
        QStringList filas;
        while (q.next())
            filas << QStringLiteral("%1|%2|%3|%4").arg(q.value(0).toString(), q.value(1).toString(),
                                                       q.value(2).toString(), q.value(3).toString());
        return filas;
    }

    QVariant det(const QString& casilla, const QString& columna = QStringLiteral("i_valor")) const
    {
        return suite.valor(QStringLiteral("SELECT ") + columna
                               + QStringLiteral(" FROM DET WHERE Doc_id_d = ? AND Periodo = '2004' AND Casilla = ?"),
                           {kRuc, casilla});
    }
    int cuenta(const QString& tabla) const
    {
        return suite.valor(QStringLiteral("SELECT COUNT(*) FROM ") + tabla + QStringLiteral(" WHERE Doc_id_d = ?"),
                           {kRuc})
            .toInt();
    }
    // Every row of a table, every column as stored (Null marked), sorted.
    QStringList tabla(const QString& nombre) const
    {
        QSqlQuery q(suite.db());
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT * FROM ") + nombre));
        QStringList filas;
        while (q.next()) {
            QStringList valores;
            for (int i = 0; i < q.record().count(); ++i)
                valores << (q.isNull(i) ? QStringLiteral("<null>") : q.value(i).toString());
            filas << valores.join(u'|');
        }
        filas.sort();
        return filas;
    }
    QStringList guardado() const { return tabla(QStringLiteral("CAB")) + tabla(QStringLiteral("DET")); }
    // A table out of the way makes every read of it fail.
    void renombra(const QString& de, const QString& a) const
    {
        suite.ejecuta(QStringLiteral("ALTER TABLE ") + de + QStringLiteral(" RENAME TO ") + a);
    }
    static bool errorDe(const Guion& g, const QString& tabla)
    {
        return !g.mensajes.isEmpty() && g.mensajes[0].icono == QMessageBox::Critical
               && g.mensajes[0].texto.contains(tabla);
    }

    int estadoCab() const
    {
        return suite.valor(QStringLiteral("SELECT estado FROM CAB WHERE Doc_id_d = ? AND Periodo = '2004'"), {kRuc})
            .toInt();
    }
};

TEST_F(ComandosFixture, ValidarListsTheInconsistenciesAndEachSaveMarksTheHeader)
{
    abre();
    llenaNueva(false);
    {
        Guion g;
        frm->cmdValidar()->click();
        EXPECT_EQ(g.textos(), QStringList{kMenor});
        EXPECT_EQ(g.mensajes.value(0).icono, QMessageBox::Information);
        EXPECT_EQ(g.mensajes.value(0).titulo, Frm834::kCaption);
        ASSERT_EQ(g.listas.size(), 1);
        const QStringList esperadas{QStringLiteral("Determinación de la Deuda : Indique la forma de pago."),
                                    QStringLiteral("Determinación de la Deuda : Ingrese el importe a pagar (casilla 180)")};
        EXPECT_EQ(g.listas[0].split(u'\n', Qt::SkipEmptyParts), esperadas);
        EXPECT_EQ(validacion834::leerMensajes(suite.path() + QStringLiteral("Mens.txt")), esperadas);
    }
    EXPECT_EQ(frm->estadoComandos().marcaLista, "A");
    EXPECT_EQ(frm->estadoComandos().iGrabado, 2);
    // The list came up over the last tab; the form is back on it.
    EXPECT_EQ(frm->sstab1()->currentIndex(), 4);
    EXPECT_EQ(cuenta(QStringLiteral("CAB")), 0);    // validating writes nothing

    {
        Guion g;
        frm->cmdGrabar()->click();
        EXPECT_EQ(g.textos(), (QStringList{kMenor, kConInconsistencias}));
        EXPECT_EQ(g.mensajes.value(1).icono, QMessageBox::Warning);
    }
    EXPECT_TRUE(frm->isVisible());
    EXPECT_FALSE(frm->declaracion().bModificado());
    EXPECT_EQ(cuenta(QStringLiteral("CAB")), 1);
    EXPECT_EQ(estadoCab(), 9);

    pagaEnEfectivo();
    {
        Guion g;
        frm->cmdGrabar()->click();
        EXPECT_EQ(g.textos(), QStringList{kGrabada});
        EXPECT_EQ(g.mensajes.value(0).icono, QMessageBox::Information);
    }
    EXPECT_EQ(cuenta(QStringLiteral("CAB")), 1);
    EXPECT_EQ(estadoCab(), 0);
    EXPECT_EQ(det("300").toString(), "3000000");
    EXPECT_EQ(det("303").toString(), "500");
    EXPECT_EQ(det("180").toString(), texto(146).remove(u','));
    EXPECT_EQ(det("180", QStringLiteral("idcasilla")).toString(), "05");
    EXPECT_EQ(det("599").toString(), "E");
    EXPECT_EQ(det("007").toString(), "2004");
    EXPECT_EQ(det("226").toString(), "12345678");
    EXPECT_EQ(det("817").toString(), "PEREZ");
    EXPECT_FALSE(det("302").isValid());              // a blank box stores no row

    Guion g;
    frm->cmdValidar()->click();
    EXPECT_EQ(g.textos(), QStringList{QStringLiteral("La información de la declaración no presenta inconsistencias.")});
    EXPECT_EQ(g.mensajes.value(0).icono, QMessageBox::Warning);
    EXPECT_TRUE(g.listas.isEmpty());
    EXPECT_TRUE(frm->isVisible());
}

// One "&Nueva" form: a taxpayer saved, then another taxpayer, then another
// year, each saved in turn. Each is a new declaration, stored without a
// question. Only a real change by another user asks, under the normal
// pointer, and "No" says that nothing was stored.
TEST_F(ComandosFixture, EachNewKeyOfOneFormIsSavedWithoutAskingAboutAnotherUser)
{
    const QString kOtro = QStringLiteral("20134567890");
    const auto graba = [this] {
        reactiva();
        Guion g;
        frm->cmdGrabar()->click();
        EXPECT_EQ(g.textos(), QStringList{kGrabada});
    };
    abre();
    llenaNueva(true);
    graba();

    frm->sstab1()->setCurrentIndex(0);
    eligeContribuyente(kOtro);
    frm->sstab1()->setCurrentIndex(1);
    tecleaCasilla(300, "4000000");
    pagaEnEfectivo();
    graba();

    reactiva();
    frm->sstab1()->setCurrentIndex(0);
    escribeEjercicio(QStringLiteral("2005"));
    pagaEnEfectivo();
    graba();

    QStringList cabeceras;
    QSqlQuery q(suite.db());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT Doc_id_d, Periodo, estado, cNumero FROM CAB ORDER BY Doc_id_d, Periodo")));
    while (q.next())
        cabeceras << QStringLiteral("%1|%2|%3|%4").arg(q.value(0).toString(), q.value(1).toString(),
                                                       q.value(2).toString(),
                                                       q.value(3).toString() == u"0" ? "placeholder" : "saved");
    EXPECT_EQ(cabeceras, (QStringList{kRuc + "|2004|0|saved", kOtro + "|2004|0|saved", kOtro + "|2005|0|saved"}));

    // Another user changes the declaration shown.
    suite.ejecuta(QStringLiteral("UPDATE CAB SET fec_pro = '01/01/2005' WHERE Doc_id_d = ? AND Periodo = '2005'"),
                  {kOtro});
    const QStringList cambiada = guardado();
    reactiva();
    Guion g;
    frm->cmdGrabar()->click();
    ASSERT_EQ(g.mensajes.size(), 2);
    EXPECT_EQ(g.mensajes[0].texto, grabacion834::texto::kPreguntaSobrescribir);
    EXPECT_FALSE(g.mensajes[0].ocupado);
    EXPECT_EQ(g.mensajes[1].texto, grabacion834::texto::kModificada);
    EXPECT_FALSE(g.mensajes[1].ocupado);
    EXPECT_EQ(guardado(), cambiada);
}

TEST_F(ComandosFixture, BlockingFaultStopsTheSaveOnItsTab)
{
    abre();
    llenaNueva(true);
    escribe(frm->txtApellidoRL(), QString());
    frm->sstab1()->setCurrentIndex(0);
    {
        Guion g;
        frm->cmdGrabar()->click();
        EXPECT_EQ(g.textos(), QStringList{QStringLiteral("Ingrese los apellidos del representante legal.")});
        EXPECT_EQ(g.mensajes.value(0).icono, QMessageBox::Critical);
        EXPECT_EQ(g.mensajes.value(0).pestana, 0);   // the message first, over the tab the user is on
    }
    EXPECT_EQ(frm->sstab1()->currentIndex(), 4);
    reactiva();
    EXPECT_TRUE(frm->txtApellidoRL()->hasFocus());
    EXPECT_EQ(cuenta(QStringLiteral("CAB")), 0);

    // "&Validar" stops on the same fault the same way.
    frm->sstab1()->setCurrentIndex(0);
    Guion g;
    frm->cmdValidar()->click();
    EXPECT_EQ(g.textos(), QStringList{QStringLiteral("Ingrese los apellidos del representante legal.")});
    EXPECT_EQ(g.mensajes.value(0).pestana, 0);
    EXPECT_EQ(frm->sstab1()->currentIndex(), 4);
    reactiva();
    EXPECT_TRUE(frm->txtApellidoRL()->hasFocus());
}

TEST_F(ComandosFixture, LeavingTabZeroRunsTheIdentificationCheck)
{
    abre();
    eligeContribuyente(kRucA);
    QTest::keyClicks(frm->txtTelefono(), "4567890");
    escribeEjercicio(QStringLiteral("2004"));
    Guion g;
    frm->sstab1()->setCurrentIndex(2);
    EXPECT_EQ(g.textos(), QStringList{QStringLiteral("Indique si la presente declaración rectifica o sustituye a otra.")});
    EXPECT_EQ(frm->sstab1()->currentIndex(), 0);
    QTest::mouseClick(frm->opcion(Pregunta::Rectifica, 0), Qt::LeftButton);
    frm->sstab1()->setCurrentIndex(2);
    EXPECT_EQ(frm->sstab1()->currentIndex(), 2);
    EXPECT_EQ(g.mensajes.size(), 1);
}

TEST_F(ComandosFixture, ReopenedDeclarationShowsTheSameTextsAndSavingTwiceKeepsItsRows)
{
    abre();
    llenaNueva(true);
    deduccionEnAsistente(QStringLiteral("40000"));
    pagaEnEfectivo();
    {
        Guion g;
        frm->cmdGrabar()->click();
        ASSERT_EQ(g.textos(), QStringList{kGrabada});
    }
    const QStringList escrita = vista();
    {
        Guion g;   // nothing changed since the save: no question
        frm->cmdCancelar()->click();
        EXPECT_TRUE(g.mensajes.isEmpty());
    }
    EXPECT_FALSE(frm->isVisible());
    ASSERT_FALSE(barra.isEmpty());
    EXPECT_EQ(barra.last().ruc, "");
    EXPECT_EQ(barra.last().nombre, "");
    EXPECT_EQ(barra.last().periodo, "2004");
    EXPECT_EQ(cuenta(QStringLiteral("CAB")), 1);    // a saved declaration is no placeholder

    frm.reset();
    abre(1, {kRuc, kNombre, false}, QStringLiteral("2004"));
    EXPECT_EQ(vista(), escrita);
    EXPECT_EQ(texto(105), "(40,000)");

    const auto graba = [this] {
        Guion g;
        frm->cmdGrabar()->click();
        EXPECT_EQ(g.textos(), QStringList{kGrabada});
    };
    graba();
    const QStringList primera = filasDet();
    graba();
    EXPECT_EQ(filasDet(), primera);
    EXPECT_EQ(cuenta(QStringLiteral("CAB")), 1);
    EXPECT_EQ(det("546").toString(), "40000");
    EXPECT_EQ(estadoCab(), 0);
    EXPECT_TRUE(frm->isVisible());
}

TEST_F(ComandosFixture, SalirAfterTheAssistantRemovesTheUnsavedPlaceholder)
{
    abre();
    identificacion();
    frm->sstab1()->setCurrentIndex(1);
    tecleaCasilla(300, "3000000");
    deduccionEnAsistente(QStringLiteral("1234"));
    ASSERT_EQ(suite.valor("SELECT cNumero FROM CAB WHERE Doc_id_d = ?", {kRuc}).toString(), "0");
    ASSERT_EQ(cuenta(QStringLiteral("DET")), 1);

    // Yes to saving, but the save is refused (no representative): the form
    // and the placeholder stay.
    {
        Guion g;
        g.respuesta = QMessageBox::Yes;
        frm->cmdCancelar()->click();
        ASSERT_EQ(g.mensajes.size(), 2);
        EXPECT_EQ(g.mensajes[0].texto, QStringLiteral("¿La declaración ha sido modificada, desea guardar los cambios?"));
        EXPECT_EQ(g.mensajes[0].icono, QMessageBox::Question);
        EXPECT_EQ(g.mensajes[0].titulo, Frm834::kCaption);
        EXPECT_EQ(g.mensajes[1].icono, QMessageBox::Critical);
    }
    EXPECT_TRUE(frm->isVisible());
    EXPECT_EQ(cuenta(QStringLiteral("CAB")), 1);

    Guion g;
    frm->cmdCancelar()->click();
    EXPECT_EQ(g.mensajes.size(), 1);   // the question, answered No
    EXPECT_FALSE(frm->isVisible());
    EXPECT_EQ(cuenta(QStringLiteral("CAB")), 0);
    EXPECT_EQ(cuenta(QStringLiteral("DET")), 0);
    EXPECT_EQ(barra.last().ruc, "");
    EXPECT_EQ(barra.last().periodo, "2004");
}

TEST_F(ComandosFixture, Box105FollowsTheTaxpayerAndSalirRemovesEveryPlaceholder)
{
    const QStringList antes = guardado();
    abre();
    identificacion();
    deduccionEnAsistente(QStringLiteral("7777"));
    ASSERT_EQ(texto(105), "(7,777)");
    frm->sstab1()->setCurrentIndex(0);
    eligeContribuyente(kRucB);
    frm->sstab1()->setCurrentIndex(2);
    tecleaCasilla(104, "1");
    EXPECT_EQ(texto(105), "(0)");
    EXPECT_EQ(texto(108), "1");

    Guion g;
    frm->cmdCancelar()->click();
    EXPECT_FALSE(frm->isVisible());
    EXPECT_EQ(guardado(), antes);   // A's placeholder header and deduction are gone
}

TEST_F(ComandosFixture, Box105FollowsTheYearAfterTheAssistant)
{
    abre();
    llenaNueva(true);
    deduccionEnAsistente(QStringLiteral("7777"));
    ASSERT_EQ(texto(105), "(7,777)");
    ASSERT_EQ(texto(108), "3,916,723");
    frm->sstab1()->setCurrentIndex(0);
    escribeEjercicio(QStringLiteral("2005"));
    EXPECT_EQ(texto(105), "(0)");
    EXPECT_EQ(texto(108), "3,924,500");
    pagaEnEfectivo();
    Guion g;
    frm->cmdGrabar()->click();
    EXPECT_EQ(g.textos(), QStringList{kGrabada});
    const auto en2005 = [this](const char* casilla) {
        return suite.valor(QStringLiteral("SELECT i_valor FROM DET WHERE Doc_id_d = ? AND Periodo = '2005' AND Casilla = ?"),
                           {kRuc, QString::fromLatin1(casilla)}).toString();
    };
    EXPECT_EQ(en2005("105"), "0");
    EXPECT_EQ(en2005("108"), "3924500");
}

// "&Salir" and "Sí": the declaration is saved and the placeholders the
// assistant left under other keys of this form go, as after "No". In mode 1
// the assistant leaves one when the declaration was deleted meanwhile.
TEST_F(ComandosFixture, SalirRemovesThePlaceholdersAfterSavingToo)
{
    abre();
    identificacion();
    deduccionEnAsistente(QStringLiteral("7777"));
    ASSERT_EQ(suite.valor("SELECT cNumero FROM CAB WHERE Doc_id_d = ?", {kRuc}).toString(), "0");
    frm->sstab1()->setCurrentIndex(0);
    llenaNueva(true, QString::fromLatin1(kRucB));
    {
        Guion g;
        g.respuesta = QMessageBox::Yes;
        frm->cmdCancelar()->click();
        EXPECT_TRUE(g.textos().contains(kGrabada));
    }
    EXPECT_FALSE(frm->isVisible());
    EXPECT_EQ(suite.valor("SELECT COUNT(*) FROM CAB WHERE Doc_id_d = ?", {QString::fromLatin1(kRucB)}).toInt(), 1);
    EXPECT_EQ(cuenta(QStringLiteral("CAB")), 0);
    EXPECT_EQ(cuenta(QStringLiteral("DET")), 0);

    frm.reset();
    guardaDeclaracion(suite);
    abre(1, {kRuc, kNombre, false}, QStringLiteral("2004"));
    suite.ejecuta(QStringLiteral("DELETE FROM DET WHERE Doc_id_d = ?"), {kRuc});
    suite.ejecuta(QStringLiteral("DELETE FROM CAB WHERE Doc_id_d = ?"), {kRuc});
    deduccionEnAsistente(QStringLiteral("500"));
    ASSERT_EQ(suite.valor("SELECT cNumero FROM CAB WHERE Doc_id_d = ?", {kRuc}).toString(), "0");
    Guion g;
    g.respuesta = QMessageBox::No;
    frm->cmdCancelar()->click();
    EXPECT_FALSE(frm->isVisible());
    EXPECT_EQ(cuenta(QStringLiteral("CAB")), 0);
    EXPECT_EQ(cuenta(QStringLiteral("DET")), 0);
}

TEST_F(ComandosFixture, SalirAfterTheAssistantKeepsASavedDeclaration)
{
    abre();
    llenaNueva(true);
    {
        Guion g;
        frm->cmdGrabar()->click();
        ASSERT_EQ(g.textos(), QStringList{kGrabada});
    }
    reactiva();
    deduccionEnAsistente(QStringLiteral("500"));
    const QStringList guardada = guardado();
    ASSERT_EQ(det(QStringLiteral("546")).toString(), "500");
    Guion g;
    frm->cmdCancelar()->click();
    EXPECT_FALSE(frm->isVisible());
    EXPECT_EQ(guardado(), guardada);
}

TEST_F(ComandosFixture, FailedReadsAreReportedAndWriteNothing)
{
    guardaDeclaracion(suite);
    suite.detalle(QStringLiteral("DET"), kRuc, QStringLiteral("2004"), QStringLiteral("546"), QStringLiteral("40000"));
    const QStringList guardada = guardado();

    // The reload of a stored declaration.
    renombra(QStringLiteral("DET"), QStringLiteral("DET_fuera"));
    {
        Guion g;
        abre(1, {kRuc, kNombre, false}, QStringLiteral("2004"));
        renombra(QStringLiteral("DET_fuera"), QStringLiteral("DET"));
        EXPECT_TRUE(errorDe(g, QStringLiteral("DET")));
        EXPECT_FALSE(frm->cmdGrabar()->isEnabled());
        frm->cmdCancelar()->click();
        EXPECT_FALSE(frm->isVisible());
    }
    EXPECT_EQ(guardado(), guardada);

    // The assistant's read: "&Aceptar" must not replace the stored detail by empty fields.
    frm.reset();
    abre(1, {kRuc, kNombre, false}, QStringLiteral("2004"));
    ASSERT_EQ(texto(105), "(40,000)");
    frm->sstab1()->setCurrentIndex(2);
    {
        Guion g;
        g.paso([this](QWidget* w) {
            auto* asistente = qobject_cast<FrmAnexo105*>(w);
            if (!asistente)
                return false;
            renombra(QStringLiteral("DET_fuera"), QStringLiteral("DET"));
            asistente->cmdGrabar()->click();
            if (asistente->isVisible())
                asistente->cmdCancelar()->click();
            return true;
        });
        renombra(QStringLiteral("DET"), QStringLiteral("DET_fuera"));
        caja(105)->setFocus();
        QTest::keyClick(caja(105), Qt::Key_Return);
        EXPECT_TRUE(g.terminado());
        EXPECT_TRUE(errorDe(g, QStringLiteral("DET")));
    }
    EXPECT_EQ(guardado(), guardada);
    EXPECT_EQ(texto(105), "(40,000)");

    // The existence check of a new declaration locks the form as a failed
    // reload does (the taxpayer has nothing stored, so no reload reads CAB).
    frm.reset();
    suite.ejecuta(QStringLiteral("DELETE FROM DET"));
    suite.ejecuta(QStringLiteral("DELETE FROM CAB"));
    const QStringList vacia = guardado();
    abre();
    renombra(QStringLiteral("CAB"), QStringLiteral("CAB_fuera"));
    {
        Guion g;
        eligeContribuyente(kRuc);
        renombra(QStringLiteral("CAB_fuera"), QStringLiteral("CAB"));
        EXPECT_TRUE(errorDe(g, QStringLiteral("CAB")));
    }
    EXPECT_FALSE(frm->cmdGrabar()->isEnabled());
    EXPECT_FALSE(frm->sstab1()->isEnabled());
    Guion g;
    g.respuesta = QMessageBox::Yes;
    frm->cmdCancelar()->click();
    EXPECT_TRUE(g.mensajes.isEmpty());
    EXPECT_FALSE(frm->isVisible());
    EXPECT_EQ(guardado(), vacia);
}

// The lists and the year's parameters read when a declaration is reopened:
// a failed read is told, never shown as an empty list or taken as a UIT of 0,
// and the locked form stores nothing.
TEST_F(ComandosFixture, FailedListAndParameterReadsOnOpeningLockTheForm)
{
    guardaDeclaracion(suite);
    const QStringList guardada = guardado();
    renombra(QStringLiteral("PARAM"), QStringLiteral("PARAM_fuera"));
    {
        Guion g;
        abre(1, {kRuc, kNombre, false}, QStringLiteral("2004"));
        renombra(QStringLiteral("PARAM_fuera"), QStringLiteral("PARAM"));
        EXPECT_TRUE(errorDe(g, QStringLiteral("PARAM"))) << g.textos().join(u'|').toStdString();
        EXPECT_EQ(g.mensajes.size(), 1);   // one message, however many reads failed
        EXPECT_FALSE(frm->cmdGrabar()->isEnabled());
        frm->cmdGrabar()->click();
        g.respuesta = QMessageBox::Yes;
        frm->cmdCancelar()->click();
        EXPECT_EQ(g.mensajes.size(), 1);
    }
    EXPECT_FALSE(frm->isVisible());
    EXPECT_EQ(guardado(), guardada);

    // The taxpayer list of a new declaration.
    frm.reset();
    renombra(QStringLiteral("CONT"), QStringLiteral("CONT_fuera"));
    {
        Guion g;
        abre();
        renombra(QStringLiteral("CONT_fuera"), QStringLiteral("CONT"));
        EXPECT_TRUE(errorDe(g, QStringLiteral("CONT"))) << g.textos().join(u'|').toStdString();
        EXPECT_FALSE(frm->cmdGrabar()->isEnabled());
    }
}

// The year's parameters read when the year is typed, and the price index
// "&Salir" reads: a failed read is never a parameter of 0.
TEST_F(ComandosFixture, FailedParameterReadsAfterEditingNeitherStoreNorDropTheDeclaration)
{
    guardaDeclaracion(suite);
    const QStringList guardada = guardado();
    abre();
    llenaNueva(true, QString::fromLatin1(kRucB));
    frm->sstab1()->setCurrentIndex(0);
    renombra(QStringLiteral("PARAM"), QStringLiteral("PARAM_fuera"));
    {
        Guion g;
        escribeEjercicio(QStringLiteral("2005"));
        renombra(QStringLiteral("PARAM_fuera"), QStringLiteral("PARAM"));
        EXPECT_TRUE(errorDe(g, QStringLiteral("PARAM"))) << g.textos().join(u'|').toStdString();
        EXPECT_EQ(g.mensajes.size(), 1);
    }
    EXPECT_EQ(guardado(), guardada);
    EXPECT_FALSE(frm->cmdGrabar()->isEnabled());
    {
        // Locked: "&Salir" offers no save that would store it.
        Guion g;
        g.respuesta = QMessageBox::Yes;
        frm->cmdCancelar()->click();
        EXPECT_TRUE(g.mensajes.isEmpty());
    }
    EXPECT_FALSE(frm->isVisible());
    EXPECT_EQ(guardado(), guardada);

    // Not locked, edited, and the index unreadable as "&Salir" runs: told,
    // and the question still comes.
    frm.reset();
    abre();
    identificacion(QStringLiteral("2004"), QString::fromLatin1(kRucB));
    renombra(QStringLiteral("PARAM"), QStringLiteral("PARAM_fuera"));
    {
        Guion g;
        g.respuesta = QMessageBox::No;
        frm->cmdCancelar()->click();
        renombra(QStringLiteral("PARAM_fuera"), QStringLiteral("PARAM"));
        EXPECT_TRUE(errorDe(g, QStringLiteral("PARAM"))) << g.textos().join(u'|').toStdString();
        ASSERT_EQ(g.mensajes.size(), 2);
        EXPECT_EQ(g.mensajes[1].texto, comandos834::kPreguntaGuardar);
    }
    EXPECT_FALSE(frm->isVisible());
    EXPECT_EQ(guardado(), guardada);
}

TEST_F(ComandosFixture, Box226IsCheckedAsTypedAndNeverCut)
{
    abre();
    llenaNueva(true);
    eligeEnLista(frm->cboTipDocRepLegal(), QStringLiteral("06"));
    {
        Guion g;
        escribe(caja(226), QStringLiteral("20501234560"));   // wrong check digit
        ASSERT_EQ(g.textos(), QStringList{QStringLiteral("El RUC no es válido.")});
        EXPECT_EQ(g.mensajes[0].icono, QMessageBox::Critical);
        EXPECT_EQ(g.mensajes[0].titulo, Frm834::kCaption);
    }
    EXPECT_EQ(frm->sstab1()->currentIndex(), 4);
    EXPECT_EQ(frm->focusWidget(), caja(226));

    reactiva();
    escribe(caja(226), QString::fromLatin1(kRucB));
    eligeEnLista(frm->cboTipDocRepLegal(), QStringLiteral("01"));
    caja(226)->setFocus();
    frm->txtApellidoRL()->setFocus();
    EXPECT_EQ(texto(226), QString::fromLatin1(kRucB));
    Guion g;
    frm->cmdGrabar()->click();
    EXPECT_EQ(g.textos(), QStringList{QStringLiteral("El DNI o LE debe ser de 8 digitos.")});
    EXPECT_EQ(cuenta(QStringLiteral("CAB")), 0);
}

TEST_F(ComandosFixture, EscapeClosesThroughSalir)
{
    abre();
    identificacion();
    deduccionEnAsistente(QStringLiteral("99"));
    Guion g;
    QTest::keyClick(frm.get(), Qt::Key_Escape);
    EXPECT_EQ(g.mensajes.size(), 1);
    EXPECT_FALSE(frm->isVisible());
    EXPECT_EQ(cuenta(QStringLiteral("CAB")), 0);
}

TEST_F(ComandosFixture, SentDeclarationRegistersOnlyTheRightOrderNumber)
{
    guardaDeclaracion(suite);
    const qvrhost::EnvioDeclaracion envio = enviaDeclaracion(suite);
    abre(1, {kRuc, kNombre, true, envio.correl, envio.control}, QStringLiteral("2004"));
    EXPECT_EQ(texto(300), "15,000,000");       // reloaded from HDET

    escribe(frm->txtNumOrdenE(0), envio.orden8);
    escribe(frm->txtNumOrdenE(1), otroSufijo(envio.orden2));
    {
        Guion g;
        frm->cmdGrabar()->click();
        EXPECT_EQ(g.textos(),
                  QStringList{QStringLiteral("Número de Orden Ingresado No corresponde a la declaración enviada.")});
        EXPECT_EQ(g.mensajes.value(0).icono, QMessageBox::Information);
    }
    EXPECT_TRUE(frm->isVisible());
    const QVariantList clave{kRuc, envio.correl};
    EXPECT_TRUE(suite.valor("SELECT NORDEN FROM HCAB WHERE Doc_id_d = ? AND CORREL = ?", clave).isNull());
    EXPECT_FALSE(suite.valor("SELECT i_valor FROM HDET WHERE Doc_id_d = ? AND Correl = ? AND Casilla = '806'", clave)
                     .isValid());

    escribe(frm->txtNumOrdenE(1), envio.orden2);
    Guion g;
    frm->cmdGrabar()->click();
    EXPECT_EQ(g.textos(), QStringList{QStringLiteral("El número de orden fue registrado satisfactoriamente.")});
    EXPECT_EQ(g.mensajes.value(0).titulo, "Mensaje");
    EXPECT_EQ(g.mensajes.value(0).icono, QMessageBox::Warning);
    EXPECT_FALSE(frm->isVisible());
    EXPECT_EQ(suite.valor("SELECT NORDEN FROM HCAB WHERE Doc_id_d = ? AND CORREL = ?", clave).toLongLong(),
              envio.orden8.toLongLong());
    EXPECT_EQ(suite.valor("SELECT i_valor FROM HDET WHERE Doc_id_d = ? AND Correl = ? AND Casilla = '806'", clave)
                  .toString(),
              envio.orden2);
    // The stored declaration is not touched by a registration.
    EXPECT_EQ(cuenta(QStringLiteral("CAB")), 1);
}

// The same factor reached through the adjustment answer, clicked or
// reloaded: told, never the end of the program; "&Validar" and "&Grabar"
// refuse while a result does not fit, and accept once it is corrected.
TEST_F(ComandosFixture, AnAdjustmentThatDoesNotFitIsToldAndClearsOnceCorrected)
{
    ASSERT_TRUE(suite.exec(QStringLiteral("UPDATE PARAM SET Funcion = '99999999999999' WHERE Numero = '960'"
                                          " AND Argumento = '2004'")));
    abre();
    identificacion();
    QTest::mouseClick(frm->opcion(Pregunta::Ajuste, 0), Qt::LeftButton);
    llenaNueva(true);
    frm->sstab1()->setCurrentIndex(0);
    {
        Guion g;
        QTest::mouseClick(frm->opcion(Pregunta::Ajuste, 1), Qt::LeftButton);
        QCoreApplication::processEvents();
        EXPECT_EQ(g.textos(), QStringList{kImportesExcesivos});
    }
    reactiva();
    {
        Guion g;
        frm->cmdValidar()->click();
        EXPECT_EQ(g.textos(), QStringList{kImportesExcesivos});
        frm->cmdGrabar()->click();
        EXPECT_EQ(g.textos(), (QStringList{kImportesExcesivos, kImportesExcesivos}));
    }
    EXPECT_EQ(cuenta(QStringLiteral("CAB")), 0);

    QTest::mouseClick(frm->opcion(Pregunta::Ajuste, 0), Qt::LeftButton);
    pagaEnEfectivo();
    {
        Guion g;
        frm->cmdGrabar()->click();
        EXPECT_EQ(g.textos(), QStringList{kGrabada});
    }
    EXPECT_EQ(estadoCab(), 0);

    // Stored with "Si" (as another program may store it) and reopened.
    suite.ejecuta(QStringLiteral("UPDATE DET SET i_valor = '1' WHERE Doc_id_d = ? AND Casilla = '825'"), {kRuc});
    frm.reset();
    {
        Guion g;
        abre(1, {kRuc, kNombre, false}, QStringLiteral("2004"));
        QCoreApplication::processEvents();
        EXPECT_EQ(g.textos(), QStringList{kImportesExcesivos});
    }
    EXPECT_TRUE(frm->isVisible());
    EXPECT_TRUE(frm->opcion(Pregunta::Ajuste, 1)->isChecked());
}

// A factor of the exercise too large for any amount (a damaged parameter
// table): the form says so and stays open, and nothing is stored.
TEST_F(ComandosFixture, AmountsTooLargeToComputeAreRefusedWithoutEndingTheProgram)
{
    ASSERT_TRUE(suite.exec(QStringLiteral("UPDATE PARAM SET Funcion = '99999999999999' WHERE Numero = '960'"
                                          " AND Argumento = '2004'")));
    abre();
    {
        Guion g;
        g.respuesta = QMessageBox::No;
        llenaNueva(true);
        QCoreApplication::processEvents();
        ASSERT_FALSE(g.mensajes.isEmpty());
        EXPECT_EQ(g.mensajes[0].texto, kImportesExcesivos);
        EXPECT_EQ(g.mensajes[0].icono, QMessageBox::Critical);
    }
    reactiva();
    Guion g;
    frm->cmdGrabar()->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(g.textos(), QStringList{kImportesExcesivos});
    EXPECT_TRUE(frm->isVisible());
    EXPECT_EQ(cuenta(QStringLiteral("CAB")), 0);
    EXPECT_EQ(cuenta(QStringLiteral("DET")), 0);
}

} // namespace

// The server restarts under an open form: the next "&Grabar" opens the
// connection again and stores the boxes as they stand, and so does the list
// of stored declarations. With the server still down the save says so, the
// boxes stay, and the same click stores them once the server is back.
TEST_F(ComandosFixture, ServerRestartUnderAnOpenFormIsSurvived)
{
    if (!SuiteDePrueba::motorServidor())
        GTEST_SKIP() << "on the server only";
    EnlaceCortable enlace(qEnvironmentVariable("QVR_TEST_PG"));
    conexionDelFormulario = enlace.conectar(suite.dbFile(), QStringLiteral("formulario"));
    ASSERT_TRUE(conexionDelFormulario.isOpen());
    abre();
    llenaNueva(true);
    const auto graba = [this] {
        Guion g;
        frm->cmdGrabar()->click();
        return g.textos();
    };
    ASSERT_EQ(graba(), QStringList{kGrabada});

    // What a restart does to its clients: every session of the suite's database ends.
    suite.ejecuta(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity"
                                 " WHERE datname = current_database() AND pid <> pg_backend_pid()"));
    reactiva();
    tecleaCasilla(301, "250000");
    const QStringList tecleada = vista();
    EXPECT_EQ(graba().last(), kGrabada);   // after the notice of the amount to pay
    EXPECT_EQ(det("301").toString(), "250000");
    EXPECT_EQ(vista(), tecleada);

    // The server down: the save says so in Spanish and nothing changes.
    enlace.rechazarConexiones(true);
    enlace.cortarTodas();
    reactiva();
    tecleaCasilla(301, "260000");
    const QStringList perdida = graba();
    ASSERT_EQ(perdida.size(), 1);
    EXPECT_TRUE(perdida[0].startsWith(grabacion834::texto::kConexionPerdida)) << perdida[0].toStdString();
    EXPECT_EQ(det("301").toString(), "250000");
    EXPECT_EQ(texto(301), "260,000");

    // Back again: the same click stores the boxes kept.
    enlace.rechazarConexiones(false);
    reactiva();
    EXPECT_EQ(graba().last(), kGrabada);
    EXPECT_EQ(det("301").toString(), "260000");

    suite.ejecuta(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity"
                                 " WHERE datname = current_database() AND pid <> pg_backend_pid()"));
    ContextoListaDeclaraciones contexto;
    contexto.db = conexionDelFormulario;
    contexto.formCode = QStringLiteral("0834");
    contexto.sysUser = QStringLiteral("ADMIN");
    FrmContAbrir lista(contexto, FrmContAbrir::kModify);
    lista.pCargadatos();
    EXPECT_EQ(lista.rowCount(), 1);
}
