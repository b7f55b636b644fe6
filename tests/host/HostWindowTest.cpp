// The "Qvarion" window driven offscreen.

#include "FirstStart.h"
#include "HostTestSuite.h"
#include "HostWindow.h"
#include "Submission.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

TEST(HostWindow, ListsAndSendsTheSelectedDeclaration)
{
    HostTestSuite suite;
    ASSERT_TRUE(suite.error().isEmpty());
    QSqlQuery q(suite.db());
    ASSERT_TRUE(q.exec("INSERT INTO CAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, estado, cNumero)"
                       " VALUES (6, '20602345671', '2004', '0834', 0, '000111')"));

    HostWindow window(HostSettings::read(suite.iniPath()), suite.db());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Qvarion"));
    auto* stored = window.findChild<QTableView*>("grdGrabadas");
    auto* sent = window.findChild<QTableView*>("grdEnviadas");
    ASSERT_TRUE(stored && sent);
    ASSERT_EQ(stored->model()->rowCount(), 1);
    EXPECT_EQ(stored->model()->index(0, 1).data().toString(), QStringLiteral("CONSTRUCTORA LOS PINOS S.R.L."));
    EXPECT_EQ(sent->model()->rowCount(), 0);

    QString shown;
    QTimer::singleShot(0, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    window.findChild<QPushButton*>("cmdEnviar")->click();
    EXPECT_TRUE(shown.contains(QRegularExpression("\\n1 [1-9][0-9]{9} [0-9]{8}-[0-9]{2}$"))) << qPrintable(shown);
    ASSERT_EQ(sent->model()->rowCount(), 1);
    EXPECT_EQ(sent->model()->index(0, 7).data().toString(), QStringLiteral("1"));
}

TEST(HostWindow, SummaryOfASentDeclarationShowsItsTextFile)
{
    HostTestSuite suite;
    ASSERT_TRUE(suite.error().isEmpty());
    QSqlQuery q(suite.db());
    ASSERT_TRUE(q.exec("INSERT INTO CAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, estado, efectivo, cNumero)"
                       " VALUES (6, '20602345671', '2004', '0834', 0, '7514', '000111')"));
    qvrhost::Submission sent;
    ASSERT_EQ(qvrhost::sendDeclaration(suite.db(), "20602345671", "2004", &sent), QString());

    HostWindow window(HostSettings::read(suite.iniPath()), suite.db());
    auto* list = window.findChild<QTableView*>("grdEnviadas");
    ASSERT_EQ(list->model()->rowCount(), 1);
    list->selectRow(0);

    QString text;
    QString error;
    // The dialog opens once 0834IMP has ended; poll for it.
    std::function<void()> answer = [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            error = box->text();
            box->accept();
        } else if (modal && modal->objectName() == QLatin1String("dlgResumen")) {
            text = modal->findChild<QPlainTextEdit*>("txtResumen")->toPlainText();
            static_cast<QDialog*>(modal)->accept();
        } else {
            QTimer::singleShot(20, answer);
        }
    };
    QTimer::singleShot(20, answer);
    window.findChild<QPushButton*>("cmdResumen")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !text.isEmpty() || !error.isEmpty(); }, 10000));
    EXPECT_EQ(error, QString());
    EXPECT_TRUE(text.contains("RAZON SOCIAL   : CONSTRUCTORA LOS PINOS S.R.L.")) << qPrintable(text);
    EXPECT_TRUE(text.contains("FORMA DE PAGO  : EFECTIVO")) << qPrintable(text);
}

// The first start without a suite: the question, then the folder dialog on
// ~/QVR. Giving up leaves nothing behind; accepting makes the suite the user's.
TEST(FirstStart, OffersASuiteInTheHomeFolderAndLeavesNothingWhenRefused)
{
    QTemporaryDir home;
    const QByteArray realHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    const QString userIni = home.path() + QStringLiteral("/.config/KV000.INI");
    const QString proposed = home.path() + QStringLiteral("/QVR");

    QStringList seen;
    bool acceptFolder = false;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            seen << QStringLiteral("question");
            box->button(QMessageBox::Yes)->click();
        } else if (auto* files = qobject_cast<QFileDialog*>(w)) {
            seen << files->selectedFiles().value(0);
            QMetaObject::invokeMethod(files, acceptFolder ? "accept" : "reject");
        }
    });
    answer.start(20);
    const bool refused = qvrhost::chooseUserSuite(userIni, true);
    const bool leftBehind = QFileInfo::exists(proposed);
    acceptFolder = true;
    const bool made = qvrhost::chooseUserSuite(userIni, true);
    answer.stop();
    qputenv("HOME", realHome);

    EXPECT_FALSE(refused);
    EXPECT_FALSE(leftBehind);
    EXPECT_TRUE(made);
    EXPECT_EQ(seen, (QStringList{"question", proposed, "question", proposed}));
    EXPECT_TRUE(QFileInfo::exists(proposed + QStringLiteral("/qvr.db")));
    EXPECT_EQ(HostSettings::read(userIni).suite.dbFile, proposed + QStringLiteral("/qvr.db"));
}

TEST(HostWindow, EnterPressesTheFocusedButton)
{
    HostTestSuite suite;
    ASSERT_TRUE(suite.error().isEmpty());
    HostWindow window(HostSettings::read(suite.iniPath()), suite.db());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* send = window.findChild<QPushButton*>("cmdEnviar");
    send->setFocus();
    QString shown;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    answer.start(5);
    QTest::keyClick(send, Qt::Key_Return);
    // Nothing is stored, so "Enviar" asks for a declaration.
    EXPECT_EQ(shown, QString::fromUtf8("Seleccione la declaración que desea enviar."));
}
