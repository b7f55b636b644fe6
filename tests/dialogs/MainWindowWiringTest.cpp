// The main window's commands open the dialogs with the session's values.

#include "BarradeEstadoQVR.h"
#include "DialogTestData.h"
#include "FrmConsultas.h"
#include "FrmContAbrir.h"
#include "FrmContAbrirEnv.h"
#include "MDIFrm.h"
#include "Sesion.h"
#include "Ventanas.h"

#include <QApplication>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

const QString kConnection = QStringLiteral("dialogs-wiring-test");

// Runs `inspect` on the modal window once it shows, then closes it.
void alMostrarseModal(std::function<void(QWidget*)> inspect)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, inspect] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w)
            return;
        timer->stop();
        timer->deleteLater();
        inspect(w);
        if (w->isVisible())
            w->close();
    });
    timer->start();
}

class MainWindowWiringTest : public ::testing::Test {
protected:
    MainWindowWiringTest() : suite(QStringLiteral("ANA"))
    {
        agregaDosUsuarios(suite);
        agregaGuardada(suite, QStringLiteral("20100000001"), QStringLiteral("2004"), 0);
        agregaGuardada(suite, QStringLiteral("20100000003"), QStringLiteral("2004"), 9);
        agregaParam(suite, QStringLiteral("404"), QStringLiteral("20040101"), QStringLiteral("00003200.00"));
        state.iniPath = suite.iniPath();
        state.connectionName = kConnection;
        frm.fijaEnlaces(ventanasKv834());
    }
    ~MainWindowWiringTest() override { cierraBaseDatos(kConnection); }

    SuiteDePrueba suite;
    EstadoAplicacion state;
    MDIFrm frm{state};
};

TEST_F(MainWindowWiringTest, QueryWindowFollowsTheCommand)
{
    ASSERT_TRUE(frm.cargar());
    QString caption;
    int rows = -1;
    alMostrarseModal([&](QWidget* w) {
        caption = w->windowTitle();
        rows = w->findChild<QTableView*>(QStringLiteral("grdBancos"))->model()->rowCount();
    });
    frm.mnuUIT_Click();
    EXPECT_EQ(caption, QStringLiteral("UIT"));
    EXPECT_EQ(rows, 1);
    alMostrarseModal([&](QWidget* w) { caption = w->windowTitle(); });
    frm.mnuDocIdent_Click();
    EXPECT_EQ(caption, QStringLiteral("Bancos"));
}

TEST_F(MainWindowWiringTest, SelectionDialogUsesTheSuiteUserAndTheStatusBar)
{
    ASSERT_TRUE(frm.cargar());
    QString caption, statusWhileOpen;
    int rows = -1;
    alMostrarseModal([&](QWidget* w) {
        auto* dlg = qobject_cast<FrmContAbrir*>(w);
        ASSERT_TRUE(dlg);
        caption = dlg->windowTitle();
        rows = dlg->rowCount();
        dlg->grid()->setCurrentIndex(dlg->grid()->model()->index(1, 0));
        statusWhileOpen = frm.barraEstado()->mensaje1() + u'|' + frm.barraEstado()->mensaje2() + u'|' +
                          frm.barraEstado()->extra();
        dlg->findChild<QPushButton*>(QStringLiteral("CmdOpciones_1"))->click();
    });
    frm.mnuEliminar_Click();
    EXPECT_EQ(caption, QStringLiteral("Eliminar Declaraciones"));
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(statusWhileOpen, QStringLiteral("20100000003|GAMA E.I.R.L.|2004"));
    EXPECT_TRUE(frm.barraEstado()->mensaje1().isEmpty());
    EXPECT_EQ(frm.barraEstado()->formulario(), QStringLiteral("0834"));
}

TEST_F(MainWindowWiringTest, SentDialogReadsTheCurrentOperation)
{
    ASSERT_TRUE(frm.cargar());
    QString caption;
    alMostrarseModal([&](QWidget* w) { caption = w->windowTitle(); });
    frm.mnuEliminar1_Click();
    EXPECT_EQ(caption, QStringLiteral("Eliminar Declaraciones Enviadas"));
    alMostrarseModal([&](QWidget* w) { caption = w->windowTitle(); });
    frm.mnuRegistrar_Click();
    EXPECT_EQ(caption, QStringLiteral("Registrar número de orden"));
}

TEST_F(MainWindowWiringTest, PrintCommandsOpenThePrintSelectionWithTheirFlag)
{
    ASSERT_TRUE(frm.cargar());
    QString caption;
    alMostrarseModal([&](QWidget* w) { caption = w->windowTitle(); });
    frm.mnuImprimir_Click();
    EXPECT_EQ(caption, QStringLiteral("Imprimir Declaraciones"));
    EXPECT_FALSE(frm.estado().printSent);
    alMostrarseModal([&](QWidget* w) { caption = w->windowTitle(); });
    frm.mnuImprimir1_Click();
    EXPECT_EQ(caption, QStringLiteral("Imprimir Declaraciones Enviadas"));
    EXPECT_TRUE(frm.estado().printSent);
}

} // namespace
