// The main window's commands, with Kv834's own hooks, through the selection
// dialogs into the declaration form and back.

#include "ApoyoDialogos.h"
#include "DeclaracionGuardada.h"
#include "FormaDePagoQVR.h"
#include "Frm834.h"
#include "FrmContAbrir.h"
#include "FrmContAbrirEnv.h"
#include "Guion.h"
#include "MDIFrm.h"
#include "Sesion.h"
#include "Ventanas.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QSqlRecord>
#include <QTabWidget>
#include <QTableView>

namespace {

const QString kConexion = QStringLiteral("flujo-ventanas");

class FlujoFixture : public ::testing::Test {
protected:
    FlujoFixture()
    {
        state.iniPath = suite.iniPath();
        state.connectionName = kConexion;
        frm.fijaEnlaces(ventanasKv834());
    }
    ~FlujoFixture() override { cierraBaseDatos(kConexion); }

    // A column of the dialog's first row, as the list read it.
    static QVariant columna(DialogoSeleccionDeclaracion* dlg, int col)
    {
        auto* modelo = qobject_cast<ModeloConsultaGrilla*>(dlg->grid()->model());
        return modelo ? modelo->valor(0, col) : QVariant();
    }

    // A step on the selection list T: notes a column of its first row, then
    // presses `boton` (CmdOpciones_0 opens the selected declaration,
    // CmdOpciones_1 leaves the list).
    template <typename T>
    static std::function<bool(QWidget*)> enLista(int col, QVariant& leido, const char* boton)
    {
        return [col, &leido, boton](QWidget* w) {
            DialogoSeleccionDeclaracion* dlg = qobject_cast<T*>(w);
            if (!dlg)
                return false;
            leido = columna(dlg, col);
            pulsa(dlg->findChild<QPushButton*>(QLatin1String(boton)));
            return true;
        };
    }

    // A step on the declaration form; `accion` returns false while it is not its turn.
    static std::function<bool(QWidget*)> enForma(std::function<bool(Frm834*)> accion)
    {
        return [accion = std::move(accion)](QWidget* w) {
            auto* f = qobject_cast<Frm834*>(w);
            return f && accion(f);
        };
    }

    static void escribe(QLineEdit* campo, const QString& texto)
    {
        campo->setFocus();
        campo->selectAll();
        QTest::keyClick(campo, Qt::Key_Backspace);
        QTest::keyClicks(campo, texto);
    }

    SuiteDeMuestra suite;
    EstadoAplicacion state;
    MDIFrm frm{state};
};

TEST_F(FlujoFixture, ModifiedDeclarationShowsItsNewStateInTheList)
{
    guardaDeclaracion(suite, false);
    ASSERT_TRUE(frm.cargar());
    QVariant antes, despues;
    bool formaVista = false;
    Guion g;
    g.paso(enLista<FrmContAbrir>(ColumnaGuardada::Estado, antes, "CmdOpciones_0"));
    g.paso(enForma([&](Frm834* f) {
        formaVista = f->iAccion() == 1 && f->txtNumRuc()->text() == kRucA && f->sPeriodo == "2004"
                     && f->txtValor(300)->text() == "15,000,000";
        // Cash this time, and one more asset.
        f->sstab1()->setCurrentIndex(1);
        escribe(f->txtValor(301), QStringLiteral("5000"));
        QTest::keyClick(f->txtValor(301), Qt::Key_Return);
        f->sstab1()->setCurrentIndex(3);
        QTest::mouseClick(f->formaDePago()->optEfectivo(), Qt::LeftButton);
        pulsa(f->cmdGrabar());
        return true;
    }));
    g.paso(enForma([&](Frm834* f) {
        if (f->declaracion().bModificado())
            return false;
        pulsa(f->cmdCancelar());
        return true;
    }));
    g.paso(enLista<FrmContAbrir>(ColumnaGuardada::Estado, despues, "CmdOpciones_1"));
    frm.mnuModificar_Click();
    EXPECT_TRUE(g.terminado());
    EXPECT_TRUE(formaVista);
    EXPECT_EQ(antes.toInt(), 9);
    EXPECT_EQ(despues.toInt(), 0);
    // 146 grew by the new asset, so the old amount to pay is short of it.
    EXPECT_EQ(g.textos(), (QStringList{QStringLiteral("El importe a pagar es menor que el saldo definitivo a pagar."
                                                      "La KALDEN emitirá una Orden de Pago."),
                                       QStringLiteral("La declaración ha sido grabada satisfactoriamente.")}));
    EXPECT_EQ(suite.valor("SELECT i_valor FROM DET WHERE Doc_id_d = ? AND Casilla = '301'", {kRucA}).toString(),
              "5000");
    EXPECT_EQ(suite.valor("SELECT COUNT(*) FROM CAB").toInt(), 1);
}

TEST_F(FlujoFixture, OrderNumberOfASentDeclarationIsRegisteredFromTheSentList)
{
    guardaDeclaracion(suite);
    const qvrhost::EnvioDeclaracion envio = enviaDeclaracion(suite);
    ASSERT_TRUE(frm.cargar());
    QVariant antes, despues;
    bool rechazadaAbierta = false;
    Guion g;
    g.paso(enLista<FrmContAbrirEnv>(ColumnaEnviada::Norden, antes, "CmdOpciones_0"));
    g.paso(enForma([&](Frm834* f) {
        EXPECT_TRUE(f->bEnviada());
        escribe(f->txtNumOrdenE(0), envio.orden8);
        escribe(f->txtNumOrdenE(1), otroSufijo(envio.orden2));
        pulsa(f->cmdGrabar());
        return true;
    }));
    g.paso(enForma([&](Frm834* f) {
        if (g.mensajes.isEmpty())
            return false;
        rechazadaAbierta = f->isVisible();
        escribe(f->txtNumOrdenE(1), envio.orden2);
        pulsa(f->cmdGrabar());
        return true;
    }));
    g.paso(enLista<FrmContAbrirEnv>(ColumnaEnviada::Norden, despues, "CmdOpciones_1"));
    frm.mnuRegistrar_Click();
    EXPECT_TRUE(g.terminado());
    EXPECT_TRUE(rechazadaAbierta);
    EXPECT_EQ(g.textos(), (QStringList{QStringLiteral("Número de Orden Ingresado No corresponde a la declaración enviada."),
                                       QStringLiteral("El número de orden fue registrado satisfactoriamente.")}));
    EXPECT_TRUE(antes.isNull() || antes.toLongLong() == 0);
    EXPECT_EQ(despues.toLongLong(), envio.orden8.toLongLong());
    EXPECT_EQ(suite.valor("SELECT i_valor FROM HDET WHERE Doc_id_d = ? AND Correl = ? AND Casilla = '806'",
                          {kRucA, envio.correl})
                  .toString(),
              envio.orden2);
}

} // namespace
