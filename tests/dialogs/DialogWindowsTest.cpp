// The dialogs driven offscreen over a real suite database.

#include "DialogTestData.h"
#include "MotorSql.h"
#include "FrmConsultas.h"
#include "FrmContAbrir.h"
#include "FrmContAbrirEnv.h"
#include "ModObjetos.h"
#include "OtroPuesto.h"
#include "frmAcercade.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <optional>

namespace {

// Answers the message boxes that show up, in turn, remembering what each said.
struct CajaVista {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    bool hourglass = false;   // the pointer while the box waits
};

class RespondeCajas {
public:
    RespondeCajas(std::initializer_list<QMessageBox::StandardButton> answers) : answers_(answers)
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { sondea(); });
        timer_.start();
    }
    std::vector<CajaVista> seen;
    const CajaVista& first() const { return seen.front(); }

private:
    void sondea()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || box == last_)
            return;
        last_ = box;
        CajaVista s{box->windowTitle(), box->text(), box->icon(), box->standardButtons(), QMessageBox::NoButton,
                  QApplication::overrideCursor() != nullptr};
        if (box->defaultButton())
            s.defaultButton = box->standardButton(box->defaultButton());
        seen.push_back(s);
        const QMessageBox::StandardButton answer =
            seen.size() <= answers_.size() ? answers_[seen.size() - 1] : QMessageBox::NoButton;
        if (QAbstractButton* b = box->button(answer))
            b->click();
        else
            box->reject();
    }
    std::vector<QMessageBox::StandardButton> answers_;
    QPointer<QMessageBox> last_;
    QTimer timer_;
};

QPushButton* button(QWidget* w, const char* name) { return w->findChild<QPushButton*>(QLatin1String(name)); }

// A double click as the window system delivers it: press, release, then the
// double click on the same spot.
void dobleClic(QWidget* w, QPoint pos)
{
    QTest::mousePress(w, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(w, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(w, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(w, Qt::LeftButton, {}, pos);
}

QStringList headers(QTableView* grid)
{
    QStringList h;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        h << grid->model()->headerData(c, Qt::Horizontal).toString();
    return h;
}

QString cell(QTableView* grid, int row, int column)
{
    return grid->model()->index(row, column).data().toString();
}

class SelectionDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        agregaDosUsuarios(suite);
        agregaGuardada(suite, QStringLiteral("20100000001"), QStringLiteral("2003"), 0);
        agregaGuardada(suite, QStringLiteral("20100000001"), QStringLiteral("2004"), 9);
        agregaGuardada(suite, QStringLiteral("20100000002"), QStringLiteral("2004"), 0);
        agregaGuardada(suite, QStringLiteral("20100000003"), QStringLiteral("2004"), 0);
        agregaGuardada(suite, QStringLiteral("20100000003"), QStringLiteral("2004"), 0, QStringLiteral("0698"));
    }

    ContextoListaDeclaraciones context(const QString& user)
    {
        ContextoListaDeclaraciones c;
        c.db = suite.db();
        c.formCode = kForm;
        c.sysUser = user;
        c.showInStatusBar = [this](QString ruc, QString nombre, QString periodo) {
            status << ruc + u'|' + nombre + u'|' + periodo;
        };
        c.openDeclaration = [this](int mode, QVariantList values) {
            opened.push_back({mode, values});
            if (onOpen)
                onOpen();
        };
        return c;
    }

    SuiteDePrueba suite;
    QStringList status;
    std::vector<std::pair<int, QVariantList>> opened;
    std::function<void()> onOpen;
};

TEST_F(SelectionDialogTest, StoredDialogTextsAndColumns)
{
    FrmContAbrir modify(context(QStringLiteral("ROOT")), FrmContAbrir::kModify);
    EXPECT_EQ(modify.windowTitle(), QStringLiteral("Modificar Declaraciones"));
    EXPECT_EQ(modify.findChild<QGroupBox*>()->title(), QStringLiteral("Declaraciones Registradas"));
    EXPECT_EQ(modify.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
              QStringLiteral("Seleccione la Declaración que desea modificar :"));
    EXPECT_EQ(button(&modify, "CmdOpciones_0")->text(), QStringLiteral("&Modificar"));
    EXPECT_EQ(button(&modify, "CmdOpciones_1")->text(), QStringLiteral("&Salir"));
    QTableView* grid = modify.findChild<QTableView*>(QStringLiteral("grdContrib"));
    ASSERT_TRUE(grid);
    EXPECT_EQ(headers(grid), (QStringList{"RUC", "Razón Social", "Periodo", "Formulario", "Estado"}));

    FrmContAbrir remove(context(QStringLiteral("ROOT")), FrmContAbrir::kDelete);
    EXPECT_EQ(remove.windowTitle(), QStringLiteral("Eliminar Declaraciones"));
    EXPECT_EQ(remove.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
              QStringLiteral("Seleccione la Declaración que desea eliminar :"));
    EXPECT_EQ(button(&remove, "CmdOpciones_0")->text(), QStringLiteral("&Eliminar"));
}

TEST_F(SelectionDialogTest, SentDialogTextsAndColumns)
{
    agregaEnviada(suite, QStringLiteral("20100000001"), QStringLiteral("2004"), QStringLiteral("1"), 12345678);
    FrmContAbrirEnv reg(context(QStringLiteral("ANA")), FrmContAbrirEnv::kRegister);
    EXPECT_EQ(reg.windowTitle(), QStringLiteral("Registrar número de orden"));
    EXPECT_EQ(reg.findChild<QGroupBox*>()->title(), QStringLiteral("Declaraciones Enviadas"));
    EXPECT_EQ(reg.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
              QStringLiteral("Seleccione la Declaración en la que desea registrar el número de orden asignado por "
                             "KALDEN :"));
    EXPECT_EQ(button(&reg, "CmdOpciones_0")->text(), QStringLiteral("&Registrar"));
    EXPECT_EQ(headers(reg.grid()), (QStringList{"RUC", "Razón Social", "Periodo", "Formulario", "N. Orden",
                                                "Fecha Env.", "Control", "Correl"}));
    EXPECT_EQ(cell(reg.grid(), 0, ColumnaEnviada::FecEnv), QStringLiteral("05/03/2004"));
    EXPECT_EQ(reg.nordenElegido(), QStringLiteral("12345678"));

    FrmContAbrirEnv remove(context(QStringLiteral("ANA")), FrmContAbrirEnv::kDelete);
    EXPECT_EQ(remove.windowTitle(), QStringLiteral("Eliminar Declaraciones Enviadas"));
    EXPECT_EQ(remove.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
              QStringLiteral("Seleccione la Declaración que desea eliminar :"));
    EXPECT_EQ(button(&remove, "CmdOpciones_0")->text(), QStringLiteral("&Eliminar"));
}

TEST_F(SelectionDialogTest, UserTypeDecidesWhoseDeclarationsAreListed)
{
    FrmContAbrir own(context(QStringLiteral("ANA")), FrmContAbrir::kModify);
    ASSERT_EQ(own.rowCount(), 3);
    for (int r = 0; r < 3; ++r)
        EXPECT_NE(cell(own.grid(), r, ColumnaGuardada::Ruc), QStringLiteral("20100000002"));
    FrmContAbrir all(context(QStringLiteral("ROOT")), FrmContAbrir::kModify);
    EXPECT_EQ(all.rowCount(), 4);
}

TEST_F(SelectionDialogTest, StatePictureOnlyForConsistentAndInconsistent)
{
    suite.exec(QStringLiteral("UPDATE CAB SET estado=5 WHERE Doc_id_d='20100000003'"));
    FrmContAbrir dlg(context(QStringLiteral("ANA")), FrmContAbrir::kModify);
    ASSERT_EQ(dlg.rowCount(), 3);
    auto picture = [&](int row) {
        return dlg.grid()->model()->index(row, ColumnaGuardada::Estado).data(Qt::DecorationRole).value<QPixmap>();
    };
    const QPixmap consistent = picture(0), inconsistent = picture(1);
    EXPECT_FALSE(consistent.isNull());
    EXPECT_FALSE(inconsistent.isNull());
    EXPECT_NE(consistent.toImage(), inconsistent.toImage());
    EXPECT_TRUE(picture(2).isNull());
    EXPECT_TRUE(cell(dlg.grid(), 0, ColumnaGuardada::Estado).isEmpty());
}

TEST_F(SelectionDialogTest, EmptyListIgnoresActionAndDoubleClick)
{
    for (qint16 mode : {FrmContAbrir::kModify, FrmContAbrir::kDelete}) {
        FrmContAbrir dlg(context(QStringLiteral("NOBODY")), mode);
        dlg.show();
        ASSERT_EQ(dlg.rowCount(), 0);
        RespondeCajas answerer{QMessageBox::Yes};
        button(&dlg, "CmdOpciones_0")->click();
        dobleClic(dlg.grid()->viewport(), QPoint(10, 10));
        QApplication::processEvents();
        EXPECT_TRUE(answerer.seen.empty());
        EXPECT_TRUE(dlg.isVisible());
    }
    FrmContAbrirEnv env(context(QStringLiteral("ANA")), FrmContAbrirEnv::kDelete);
    RespondeCajas answerer{QMessageBox::Yes};
    button(&env, "CmdOpciones_0")->click();
    EXPECT_TRUE(answerer.seen.empty());
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("CAB")), 5);
}

TEST_F(SelectionDialogTest, DeleteAnsweredNoKeepsEverything)
{
    FrmContAbrir dlg(context(QStringLiteral("ANA")), FrmContAbrir::kDelete);
    dlg.show();
    RespondeCajas answerer{QMessageBox::No};
    button(&dlg, "CmdOpciones_0")->click();
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_EQ(answerer.first().title, QStringLiteral("Eliminar Declaraciones"));
    EXPECT_EQ(answerer.first().text, QStringLiteral("¿Confirma que va a eliminar la declaración de\r\n\r\nALFA S.A.?"));
    EXPECT_EQ(answerer.first().icon, QMessageBox::Question);
    EXPECT_EQ(answerer.first().buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(answerer.first().defaultButton, QMessageBox::No);
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("CAB")), 5);
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("DET")), 10);
}

TEST_F(SelectionDialogTest, DeleteAnsweredYesRemovesOnlyThatDeclaration)
{
    FrmContAbrir dlg(context(QStringLiteral("ANA")), FrmContAbrir::kDelete);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    dlg.grid()->setCurrentIndex(dlg.grid()->model()->index(1, 0));  // ALFA 2004
    ASSERT_EQ(dlg.periodoElegido(), QStringLiteral("2004"));
    RespondeCajas answerer{QMessageBox::Yes};
    dobleClic(dlg.grid()->viewport(), dlg.grid()->visualRect(dlg.grid()->model()->index(1, 1)).center());
    ASSERT_EQ(answerer.seen.size(), 1u);
    const QString alfa = QStringLiteral("WHERE Doc_id_d='20100000001' AND Periodo=");
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("CAB"), alfa + "'2004'"), 0);
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("DET"), alfa + "'2004'"), 0);
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("DET"), alfa + "'2003'"), 2);
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("CAB"), "WHERE Formulario='0698'"), 1);
    EXPECT_EQ(dlg.rowCount(), 2);
    EXPECT_EQ(dlg.filaActual(), 0);
}

TEST_F(SelectionDialogTest, FailedDeletionShowsErrorAndRemovesNothing)
{
    suite.exec(QStringLiteral(
        "CREATE TRIGGER keep_cab BEFORE DELETE ON CAB BEGIN SELECT RAISE(ABORT, 'no permission'); END"));
    FrmContAbrir dlg(context(QStringLiteral("ANA")), FrmContAbrir::kDelete);
    dlg.show();
    RespondeCajas answerer{QMessageBox::Yes, QMessageBox::Ok};
    button(&dlg, "CmdOpciones_0")->click();
    ASSERT_EQ(answerer.seen.size(), 2u);
    const CajaVista& error = answerer.seen[1];
    EXPECT_EQ(error.title, QStringLiteral("Error"));
    EXPECT_TRUE(error.text.contains(QStringLiteral("\n")));
    EXPECT_TRUE(error.text.contains(QStringLiteral("no permission")));
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("DET")), 10);
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("CAB")), 5);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.rowCount(), 3);
}

TEST_F(SelectionDialogTest, ModifyOpensTheFormAndShowsItsNewState)
{
    FrmContAbrir dlg(context(QStringLiteral("ANA")), FrmContAbrir::kModify);
    dlg.show();
    dlg.grid()->setCurrentIndex(dlg.grid()->model()->index(2, 0));  // GAMA 2004, consistent
    QString periodoSeen;
    onOpen = [&] {
        periodoSeen = dlg.periodoElegido();
        // The form saves it with inconsistencies.
        suite.exec(QStringLiteral("UPDATE CAB SET estado=9 WHERE Doc_id_d='20100000003' AND Formulario='0834'"));
    };
    const QPixmap before =
        dlg.grid()->model()->index(2, ColumnaGuardada::Estado).data(Qt::DecorationRole).value<QPixmap>();
    button(&dlg, "CmdOpciones_0")->click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].first, 1);
    EXPECT_EQ(opened[0].second, (QVariantList{QStringLiteral("20100000003"), QStringLiteral("GAMA E.I.R.L."), false}));
    EXPECT_EQ(periodoSeen, QStringLiteral("2004"));
    EXPECT_EQ(dlg.filaActual(), 2);
    const QPixmap after =
        dlg.grid()->model()->index(2, ColumnaGuardada::Estado).data(Qt::DecorationRole).value<QPixmap>();
    const QPixmap inconsistent =
        dlg.grid()->model()->index(1, ColumnaGuardada::Estado).data(Qt::DecorationRole).value<QPixmap>();
    EXPECT_NE(after.toImage(), before.toImage());
    EXPECT_EQ(after.toImage(), inconsistent.toImage());
    // The name travels trimmed.
    dlg.grid()->setCurrentIndex(dlg.grid()->model()->index(0, 0));
    button(&dlg, "CmdOpciones_0")->click();
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1].second[1].toString(), QStringLiteral("ALFA S.A."));
}

TEST_F(SelectionDialogTest, ModifiedDeclarationGoneLeavesFirstRowCurrent)
{
    FrmContAbrir dlg(context(QStringLiteral("ANA")), FrmContAbrir::kModify);
    dlg.show();
    dlg.grid()->setCurrentIndex(dlg.grid()->model()->index(2, 0));
    onOpen = [&] { suite.exec(QStringLiteral("DELETE FROM CAB WHERE Doc_id_d='20100000003'")); };
    button(&dlg, "CmdOpciones_0")->click();
    EXPECT_EQ(dlg.rowCount(), 2);
    EXPECT_EQ(dlg.filaActual(), 0);
}

TEST_F(SelectionDialogTest, ReactivationReloadsKeepingTheRow)
{
    FrmContAbrir dlg(context(QStringLiteral("ANA")), FrmContAbrir::kModify);
    dlg.show();
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&dlg, &activate);
    dlg.grid()->setCurrentIndex(dlg.grid()->model()->index(1, 0));
    agregaGuardada(suite, QStringLiteral("20100000003"), QStringLiteral("2005"), 0);
    QApplication::sendEvent(&dlg, &activate);
    EXPECT_EQ(dlg.rowCount(), 4);
    EXPECT_EQ(dlg.filaActual(), 1);
}

TEST_F(SelectionDialogTest, CurrentRowGoesToTheStatusBarAndSalirClearsIt)
{
    FrmContAbrir dlg(context(QStringLiteral("ANA")), FrmContAbrir::kModify);
    EXPECT_TRUE(status.isEmpty());  // nothing while hidden
    dlg.show();
    dlg.grid()->setCurrentIndex(dlg.grid()->model()->index(2, 0));
    ASSERT_FALSE(status.isEmpty());
    EXPECT_EQ(status.last(), QStringLiteral("20100000003|GAMA E.I.R.L.|2004"));
    button(&dlg, "CmdOpciones_1")->click();
    EXPECT_EQ(status.last(), QStringLiteral("||"));
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST_F(SelectionDialogTest, RegisterOrderNumberPassesTheSubmission)
{
    agregaEnviada(suite, QStringLiteral("20100000001"), QStringLiteral("2004"), QStringLiteral(" 7"), QVariant(),
            QStringLiteral(" 9876543210 "));
    FrmContAbrirEnv dlg(context(QStringLiteral("ANA")), FrmContAbrirEnv::kRegister);
    dlg.show();
    ASSERT_EQ(dlg.rowCount(), 1);
    EXPECT_EQ(dlg.nordenElegido(), QString());
    button(&dlg, "CmdOpciones_0")->click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].first, 1);
    EXPECT_EQ(opened[0].second, (QVariantList{QStringLiteral("20100000001"), QStringLiteral("ALFA S.A."), true,
                                              QStringLiteral(" 7"), QStringLiteral("9876543210")}));
}

TEST_F(SelectionDialogTest, DeletingOneSentVersionKeepsTheOther)
{
    agregaEnviada(suite, QStringLiteral("20100000001"), QStringLiteral("2004"), QStringLiteral("1"));
    agregaEnviada(suite, QStringLiteral("20100000001"), QStringLiteral("2004"), QStringLiteral("2"));
    ModObjetos::PunteroEspera(true);   // as the command opens the dialog
    FrmContAbrirEnv dlg(context(QStringLiteral("ANA")), FrmContAbrirEnv::kDelete);
    dlg.show();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ASSERT_EQ(dlg.rowCount(), 2);
    dlg.grid()->setCurrentIndex(dlg.grid()->model()->index(1, 0));
    ASSERT_EQ(dlg.correlElegido(), QStringLiteral("2"));
    RespondeCajas answerer{QMessageBox::Yes};
    button(&dlg, "CmdOpciones_0")->click();
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_EQ(answerer.first().text, QStringLiteral("¿Confirma que va a eliminar la declaración seleccionada?"));
    EXPECT_EQ(answerer.first().title, QStringLiteral("Eliminar Declaraciones Enviadas"));
    EXPECT_EQ(answerer.first().defaultButton, QMessageBox::No);
    EXPECT_FALSE(answerer.first().hourglass);
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("HCAB"), "WHERE CORREL='1'"), 1);
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("HDET"), "WHERE Correl='1'"), 2);
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("HCAB"), "WHERE CORREL='2'"), 0);
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("HDET"), "WHERE Correl='2'"), 0);
    EXPECT_EQ(dlg.rowCount(), 1);
}

TEST_F(SelectionDialogTest, SentDeletionFailureShowsDescriptionThenNumber)
{
    agregaEnviada(suite, QStringLiteral("20100000001"), QStringLiteral("2004"), QStringLiteral("1"));
    suite.exec(QStringLiteral(
        "CREATE TRIGGER keep_hcab BEFORE DELETE ON HCAB BEGIN SELECT RAISE(ABORT, 'no permission'); END"));
    FrmContAbrirEnv dlg(context(QStringLiteral("ANA")), FrmContAbrirEnv::kDelete);
    dlg.show();
    RespondeCajas answerer{QMessageBox::Yes, QMessageBox::Ok};
    button(&dlg, "CmdOpciones_0")->click();
    ASSERT_EQ(answerer.seen.size(), 2u);
    const CajaVista& error = answerer.seen[1];
    EXPECT_EQ(error.title, QStringLiteral("Error"));
    EXPECT_TRUE(error.text.startsWith(QStringLiteral("no permission")));
    EXPECT_TRUE(error.text.contains(QStringLiteral("\n ")));
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("HDET")), 2);
    EXPECT_EQ(dlg.rowCount(), 1);
}

TEST(LazyListTest, RowsArriveInChunksAndTheKeptRowIsFetched)
{
    SuiteDePrueba suite;
    agregaUsuario(suite, QStringLiteral("ROOT"), QStringLiteral("0"));
    comenzarEscritura(suite.db(), nullptr);
    for (int i = 0; i < 600; ++i) {
        const QString ruc = QStringLiteral("20%1").arg(i, 9, 10, QLatin1Char('0'));
        agregaContribuyente(suite, ruc, QStringLiteral("EMPRESA %1").arg(i), QStringLiteral("X"));
        agregaGuardada(suite, ruc, QStringLiteral("2004"), 0);
    }
    suite.db().commit();
    ContextoListaDeclaraciones c{suite.db(), kForm, QStringLiteral("ROOT"), {}, {}};
    FrmContAbrir dlg(c, FrmContAbrir::kDelete);
    dlg.show();
    EXPECT_LT(dlg.rowCount(), 600);
    dlg.grid()->scrollToBottom();
    while (dlg.grid()->model()->canFetchMore(QModelIndex()))
        dlg.grid()->model()->fetchMore(QModelIndex());
    dlg.grid()->setCurrentIndex(dlg.grid()->model()->index(450, 0));
    dlg.pCargadatos();
    EXPECT_EQ(dlg.filaActual(), 450);
    EXPECT_EQ(dlg.rucElegido(), QStringLiteral("20000000450"));

    RespondeCajas answerer{QMessageBox::Yes};
    button(&dlg, "CmdOpciones_0")->click();
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_LT(dlg.rowCount(), 599);
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("CAB")), 599);
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("CAB"), "WHERE Doc_id_d='20000000450'"), 0);
}

TEST(LazyListTest, FormSavesWhileTheListHasRowsToFetch)
{
    SuiteDePrueba suite;
    agregaUsuario(suite, QStringLiteral("ROOT"), QStringLiteral("0"));
    comenzarEscritura(suite.db(), nullptr);
    for (int i = 0; i < 600; ++i) {
        const QString ruc = QStringLiteral("20%1").arg(i, 9, 10, QLatin1Char('0'));
        agregaContribuyente(suite, ruc, QStringLiteral("EMPRESA %1").arg(i), QStringLiteral("X"));
        agregaGuardada(suite, ruc, QStringLiteral("2004"), 0);
    }
    suite.db().commit();
    bool committed = false;
    ContextoListaDeclaraciones c{suite.db(), kForm, QStringLiteral("ROOT"), {}, [&](int, QVariantList) {
                                 QSqlDatabase db = suite.db();
                                 comenzarEscritura(db, nullptr);
                                 suite.exec(QStringLiteral("UPDATE CAB SET estado=9 WHERE Doc_id_d='20000000000'"));
                                 committed = db.commit();
                             }};
    FrmContAbrir dlg(c, FrmContAbrir::kModify);
    dlg.show();
    ASSERT_TRUE(dlg.grid()->model()->canFetchMore(QModelIndex()));
    button(&dlg, "CmdOpciones_0")->click();
    EXPECT_TRUE(committed);
    EXPECT_EQ(cuentaFilas(suite, QStringLiteral("CAB"), "WHERE estado=9"), 1);
}

TEST(ConsultasTest, BanksWithoutNoBankRow)
{
    SuiteDePrueba suite;
    agregaParam(suite, QStringLiteral("004"), QStringLiteral("00"), QStringLiteral("NINGUNO"));
    agregaParam(suite, QStringLiteral("004"), QStringLiteral("02"), QStringLiteral("BANCO DE CREDITO"));
    agregaParam(suite, QStringLiteral("004"), QStringLiteral("11"), QStringLiteral("BANCO CONTINENTAL"));
    FrmConsultas banks(suite.db(), FrmConsultas::kBanks);
    EXPECT_EQ(banks.windowTitle(), QStringLiteral("Bancos"));
    EXPECT_TRUE(banks.findChild<QPushButton*>(QStringLiteral("CmdSalir")));
    QTableView* grid = banks.findChild<QTableView*>(QStringLiteral("grdBancos"));
    ASSERT_TRUE(grid);
    EXPECT_EQ(headers(grid), (QStringList{"Código", "Descripción"}));
    ASSERT_EQ(grid->model()->rowCount(), 2);
    EXPECT_EQ(cell(grid, 0, 0), QStringLiteral("02"));
    EXPECT_EQ(cell(grid, 1, 1), QStringLiteral("BANCO CONTINENTAL"));
}

TEST(ConsultasTest, UitNewestFirstAsNumbers)
{
    SuiteDePrueba suite;
    agregaParam(suite, QStringLiteral("404"), QStringLiteral("20030101"), QStringLiteral("00003100.00"));
    agregaParam(suite, QStringLiteral("404"), QStringLiteral("20040101"), QStringLiteral("00003200.00"));
    FrmConsultas uit(suite.db(), FrmConsultas::kUit);
    EXPECT_EQ(uit.windowTitle(), QStringLiteral("UIT"));
    EXPECT_EQ(headers(uit.grid()), (QStringList{"Periodo", "Valor"}));
    ASSERT_EQ(uit.grid()->model()->rowCount(), 2);
    EXPECT_EQ(cell(uit.grid(), 0, 0), QStringLiteral("20040101"));
    EXPECT_EQ(cell(uit.grid(), 0, 1), QStringLiteral("3200"));
    EXPECT_EQ(cell(uit.grid(), 1, 0), QStringLiteral("20030101"));

    // A fresh window for the banks shows the bank captions again.
    FrmConsultas banks(suite.db(), FrmConsultas::kBanks);
    EXPECT_EQ(headers(banks.grid()), (QStringList{"Código", "Descripción"}));
    EXPECT_EQ(banks.grid()->model()->rowCount(), 0);

    FrmConsultas other(suite.db(), 0);
    EXPECT_EQ(other.grid()->model()->rowCount(), 0);
}

// Another workstation holds the database: the bank list says it could not be
// read instead of opening empty, as a suite without banks would.
TEST(ConsultasTest, AListThatCannotBeReadIsToldNotShownEmpty)
{
    SuiteDePrueba suite;
    agregaParam(suite, QStringLiteral("004"), QStringLiteral("02"), QStringLiteral("BANCO DE CREDITO"));
    ASSERT_TRUE(suite.exec(suite.onServer() ? "SET lock_timeout = 50" : "PRAGMA busy_timeout = 50"));
    {
        const OtroPuesto otro(suite, QStringLiteral("PARAM"));
        ASSERT_TRUE(otro.retiene()) << otro.error().toStdString();
        RespondeCajas answerer({QMessageBox::Ok});
        FrmConsultas banks(suite.db(), FrmConsultas::kBanks);
        ASSERT_EQ(answerer.seen.size(), 1u);
        EXPECT_EQ(answerer.first().icon, QMessageBox::Critical);
        EXPECT_TRUE(answerer.first().text.startsWith(
            "No se pudo leer la lista de bancos: la base de datos está ocupada por otro usuario."))
            << answerer.first().text.toStdString();
    }
}

TEST(AcercadeTest, Texts)
{
    ModObjetos::PunteroEspera(true);   // as the command opens the box
    frmAcercade about;
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Acerca de Qvarion "));
    EXPECT_EQ(about.findChild<QLineEdit*>(QStringLiteral("txtVersion"))->text(), QStringLiteral("Versión 1.1"));
    QStringList labels;
    for (QLabel* l : about.findChildren<QLabel*>())
        labels << l->text();
    EXPECT_TRUE(labels.contains(QStringLiteral("Qvarion")));
    EXPECT_TRUE(labels.contains(QStringLiteral("Anticipo Adicional de Renta 3ra. Categoría")));
    QPushButton* ok = about.findChild<QPushButton*>(QStringLiteral("cmdAceptar"));
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->text(), QStringLiteral("&Aceptar"));
    about.show();
    ok->click();
    EXPECT_FALSE(about.isVisible());
}

} // namespace

// Another workstation holds the database while the list is read: the dialog
// says so instead of showing an empty list, and shows the rows once it lets go.
TEST_F(SelectionDialogTest, AListThatCannotBeReadIsToldNotShownEmpty)
{
    ASSERT_TRUE(suite.exec(suite.onServer() ? "SET lock_timeout = 50" : "PRAGMA busy_timeout = 50"));
    auto otro = std::make_optional<OtroPuesto>(suite, QStringLiteral("CAB"));
    ASSERT_TRUE(otro->retiene()) << otro->error().toStdString();
    {
        RespondeCajas answerer({QMessageBox::Ok});
        FrmContAbrir dialog(context(QStringLiteral("ROOT")), FrmContAbrir::kModify);
        ASSERT_EQ(answerer.seen.size(), 1u);
        EXPECT_EQ(answerer.first().title, "Error");
        EXPECT_TRUE(answerer.first().text.startsWith(
            "No se pudo leer la lista de declaraciones: la base de datos está ocupada por otro usuario."))
            << answerer.first().text.toStdString();
        EXPECT_EQ(answerer.first().icon, QMessageBox::Critical);
        otro.reset();
        dialog.pCargadatos();
        EXPECT_EQ(answerer.seen.size(), 1u);
        EXPECT_EQ(dialog.rowCount(), 4);
    }
}
