#include "BarradeEstadoQVR.h"
#include "ArchivoIni.h"
#include "MDIFrm.h"
#include "ModObjetos.h"
#include "Sesion.h"
#include "SuiteDePrueba.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QTextBrowser>
#include <QToolBar>

#include <gtest/gtest.h>

#include <vector>

namespace {

const QString kConnection = QStringLiteral("mdifrm-test");

class MDIFrmTest : public ::testing::Test {
protected:
    MDIFrmTest()
    {
        state.iniPath = suite.iniPath();
        state.connectionName = kConnection;
    }
    ~MDIFrmTest() override { cierraBaseDatos(kConnection); }

    // Records which window each command asked for.
    void enlacesQueAnotan()
    {
        EnlacesMDIFrm hooks;
        hooks.abreDeclaracionNueva = [this](MDIFrm& f) { calls.push_back(QStringLiteral("Frm834 op=%1").arg(f.estado().currentOperation)); };
        hooks.abreContAbrir = [this](MDIFrm& f, int modo) {
            calls.push_back(QStringLiteral("FrmContAbrir modo=%1 op=%2").arg(modo).arg(f.estado().currentOperation));
        };
        hooks.abreContAbrirEnv = [this](MDIFrm& f) { calls.push_back(QStringLiteral("FrmContAbrirEnv op=%1").arg(f.estado().currentOperation)); };
        hooks.abreImpresion = [this](MDIFrm& f, bool enviadas) {
            calls.push_back(QStringLiteral("Imprimir enviadas=%1 flag=%2").arg(enviadas).arg(f.estado().printSent));
        };
        hooks.abreConsultas = [this](MDIFrm& f) { calls.push_back(QStringLiteral("FrmConsultas op=%1").arg(f.estado().currentOperation)); };
        hooks.abreAcercade = [this](MDIFrm&) { calls.push_back(QStringLiteral("frmAcercade")); };
        hooks.errorConexion = [this](const FalloApertura& failure) { calls.push_back(mensajeFalloApertura(failure)); };
        frm.fijaEnlaces(hooks);
    }
    QString last() const { return calls.empty() ? QString() : calls.back(); }

    SuiteDePrueba suite;
    EstadoAplicacion state;
    MDIFrm frm{state};
    std::vector<QString> calls;
};

TEST_F(MDIFrmTest, CaptionFrameAndMenus)
{
    EXPECT_EQ(frm.windowTitle(), QStringLiteral("834 Anticipo Adicional de Renta 3ra. Categoría - v 1.1"));
    EXPECT_FALSE(frm.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(frm.windowFlags() & Qt::WindowMaximizeButtonHint);

    QStringList menus;
    for (QAction* top : frm.menuBar()->actions()) {
        menus << top->objectName() + u' ' + top->text();
        for (QAction* item : top->menu()->actions())
            menus << (item->isSeparator() ? QStringLiteral("  -") : QStringLiteral("  ") + item->objectName() + u' ' + item->text());
    }
    const QStringList expected = {
        QStringLiteral("mnuDeclara &Declaraciones"),
        QStringLiteral("  mnuNueva &Nueva"),
        QStringLiteral("  mnuModificar &Modificar"),
        QStringLiteral("  mnuEliminar &Eliminar"),
        QStringLiteral("  -"),
        QStringLiteral("  mnuImprimir &Imprimir"),
        QStringLiteral("  -"),
        QStringLiteral("  mnuSalir &Salir"),
        QStringLiteral("mnuDeclarEnv Declaraciones &Enviadas"),
        QStringLiteral("  mnuRegistrar &Registrar número de orden"),
        QStringLiteral("  mnuEliminar1 &Eliminar"),
        QStringLiteral("  -"),
        QStringLiteral("  mnuImprimir1 &Imprimir"),
        QStringLiteral("mnuConsultas &Consultas"),
        QStringLiteral("  mnuDocIdent &Bancos"),
        QStringLiteral("  mnuUIT &UIT"),
        QStringLiteral("mnuayuda &Ayuda"),
        QStringLiteral("  mnuContenido &Contenido"),
        QStringLiteral("  -"),
        QStringLiteral("  mnuAcercade Acerca &de QVR"),
    };
    EXPECT_EQ(menus, expected);
}

TEST_F(MDIFrmTest, ToolbarHasTenPositions)
{
    EXPECT_EQ(frm.toolbar()->objectName(), QStringLiteral("tlbMenu"));
    const QStringList texts = {QStringLiteral("Nueva"), QStringLiteral("Modificar"), QStringLiteral("Eliminar"),
                               QStringLiteral("Imprimir"), QStringLiteral("Salir"), QString(),
                               QStringLiteral("Num. Orden"), QString(), QString(), QStringLiteral("Ayuda")};
    for (int i = 1; i <= MDIFrm::kBotones; ++i) {
        ASSERT_NE(frm.botonToolbar(i), nullptr);
        EXPECT_EQ(frm.botonToolbar(i)->text(), texts.at(i - 1)) << "position " << i;
        EXPECT_EQ(frm.botonToolbar(i)->isSeparator(), texts.at(i - 1).isEmpty()) << "position " << i;
    }
    EXPECT_EQ(frm.botonToolbar(11), nullptr);
}

TEST_F(MDIFrmTest, LoadOpensTheDatabaseAndShowsTheFormCode)
{
    ASSERT_TRUE(frm.cargar());
    EXPECT_TRUE(frm.isVisible());
    EXPECT_EQ(state.formCode, QStringLiteral("0834"));
    EXPECT_EQ(frm.barraEstado()->formulario(), QStringLiteral("0834"));
    EXPECT_EQ(frm.barraEstado()->modo(), 1);
    EXPECT_TRUE(frm.barraEstado()->mensaje1().isEmpty());
    EXPECT_TRUE(frm.barraEstado()->extra().isEmpty());
    EXPECT_EQ(state.helpFile, suite.path() + QStringLiteral("0834/Kv834.hlp"));
    EXPECT_TRUE(state.db().isOpen());
    EXPECT_EQ(state.settings.sysUser, QStringLiteral("ADMIN"));
    EXPECT_EQ(frm.frameGeometry().width(), ModObjetos::twipsAPixelesX(9720, &frm));
    EXPECT_EQ(frm.frameGeometry().height(), ModObjetos::twipsAPixelesY(7320, &frm));
    // The frame starts inside the screen, not a few pixels off its left and top edges.
    EXPECT_TRUE(frm.screen()->availableGeometry().contains(frm.frameGeometry().topLeft()))
        << frm.frameGeometry().x() << "," << frm.frameGeometry().y();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MDIFrmTest, LoadFailureShowsTheConnectionMessage)
{
    enlacesQueAnotan();
    ArchivoIni::escribe(suite.iniPath(), QStringLiteral("Options"), QStringLiteral("DBName"), QStringLiteral("gone.db"));
    EXPECT_FALSE(frm.cargar());
    EXPECT_EQ(last(), QStringLiteral("Could not find file '%1gone.db'.\n 3024").arg(suite.path()));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MDIFrmTest, CommandsSetTheCurrentOperationAndOpenTheirWindow)
{
    enlacesQueAnotan();
    ASSERT_TRUE(frm.cargar());
    struct Caso {
        const char* action;
        QString expected;
    };
    const Caso cases[] = {
        {"mnuNueva", QStringLiteral("Frm834 op=0")},
        {"mnuModificar", QStringLiteral("FrmContAbrir modo=1 op=1")},
        {"mnuUIT", QStringLiteral("FrmConsultas op=3")},
        {"mnuEliminar", QStringLiteral("FrmContAbrir modo=3 op=3")},   // leaves the operation alone
        {"mnuImprimir", QStringLiteral("Imprimir enviadas=0 flag=0")},
        {"mnuRegistrar", QStringLiteral("FrmContAbrirEnv op=1")},
        {"mnuEliminar1", QStringLiteral("FrmContAbrirEnv op=3")},
        {"mnuImprimir1", QStringLiteral("Imprimir enviadas=1 flag=1")},
        {"mnuDocIdent", QStringLiteral("FrmConsultas op=1")},
        {"mnuAcercade", QStringLiteral("frmAcercade")},
    };
    for (const Caso& c : cases) {
        frm.barraEstado()->setMensaje(QStringLiteral("hint"));
        auto* action = frm.findChild<QAction*>(QLatin1String(c.action));
        ASSERT_NE(action, nullptr) << c.action;
        action->trigger();
        EXPECT_EQ(last(), c.expected) << c.action;
        EXPECT_TRUE(frm.barraEstado()->mensaje().isEmpty()) << c.action;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << c.action;
    }
}

TEST_F(MDIFrmTest, ToolbarPositionsDispatchLikeTheirMenus)
{
    enlacesQueAnotan();
    ASSERT_TRUE(frm.cargar());
    state.currentOperation = 3;
    frm.botonToolbar(7)->trigger();
    EXPECT_EQ(last(), QStringLiteral("FrmContAbrirEnv op=1"));
    frm.botonToolbar(2)->trigger();
    EXPECT_EQ(last(), QStringLiteral("FrmContAbrir modo=1 op=1"));
    frm.botonToolbar(4)->trigger();
    EXPECT_EQ(last(), QStringLiteral("Imprimir enviadas=0 flag=0"));
    const size_t before = calls.size();
    state.currentOperation = 9;
    for (int spacer : {6, 8, 9})
        frm.tlbMenu_ButtonClick(spacer);
    EXPECT_EQ(calls.size(), before);
    EXPECT_EQ(state.currentOperation, 9);
}

TEST_F(MDIFrmTest, SalirClosesTheDatabase)
{
    ASSERT_TRUE(frm.cargar());
    frm.botonToolbar(5)->trigger();
    EXPECT_FALSE(QSqlDatabase::contains(kConnection));
    EXPECT_FALSE(frm.isVisible());
}

TEST_F(MDIFrmTest, HelpShowsTheHelpFile)
{
    QFile help(suite.path() + QStringLiteral("0834/Kv834.hlp"));
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.write("<html><body><h1>Ayuda del formulario 0834</h1><p>Declaraci\xc3\xb3n</p></body></html>");
    help.close();
    ASSERT_TRUE(frm.cargar());
    frm.barraEstado()->setMensaje(QStringLiteral("hint"));
    frm.botonToolbar(10)->trigger();
    ASSERT_NE(frm.ventanaAyuda(), nullptr);
    EXPECT_TRUE(frm.ventanaAyuda()->isVisible());
    EXPECT_TRUE(frm.ventanaAyuda()->toPlainText().contains(QStringLiteral("Declaración")));
    EXPECT_TRUE(frm.barraEstado()->mensaje().isEmpty());
}

TEST_F(MDIFrmTest, MouseMoveClearsTheMessageExceptOverSomeToolbarButtons)
{
    ASSERT_TRUE(frm.cargar());
    auto moveOver = [](QWidget* w, QPoint at) {
        QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
    };
    auto* fondo = frm.findChild<QWidget*>(QStringLiteral("imgFondo"));
    ASSERT_NE(fondo, nullptr);
    frm.barraEstado()->setMensaje(QStringLiteral("hint"));
    moveOver(fondo, QPoint(5, 5));
    EXPECT_TRUE(frm.barraEstado()->mensaje().isEmpty());

    QToolBar* bar = frm.toolbar();
    const QRect nueva = bar->actionGeometry(frm.botonToolbar(1));
    const QRect salir = bar->actionGeometry(frm.botonToolbar(5));
    frm.barraEstado()->setMensaje(QStringLiteral("hint"));
    moveOver(bar, nueva.center());
    EXPECT_EQ(frm.barraEstado()->mensaje(), QStringLiteral("hint"));
    moveOver(bar->widgetForAction(frm.botonToolbar(1)), QPoint(2, 2));
    EXPECT_EQ(frm.barraEstado()->mensaje(), QStringLiteral("hint"));
    moveOver(bar, salir.center());
    EXPECT_TRUE(frm.barraEstado()->mensaje().isEmpty());
}

} // namespace
