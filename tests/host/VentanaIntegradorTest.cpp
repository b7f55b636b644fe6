// The "Qvarion" window driven offscreen.

#include "PrimerInicio.h"
#include "SuiteDePruebaIntegrador.h"
#include "VentanaIntegrador.h"
#include "ArchivoIni.h"
#include "MensajesSinVentana.h"
#include "Sesion.h"
#include "EnvioDeclaracion.h"
#include "Suite.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <gtest/gtest.h>

TEST(HostWindow, ListsAndSendsTheSelectedDeclaration)
{
    SuiteDePruebaIntegrador suite;
    ASSERT_TRUE(suite.error().isEmpty());
    QSqlQuery q(suite.db());
    ASSERT_TRUE(q.exec("INSERT INTO CAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, estado, cNumero)"
                       " VALUES (6, '20602345671', '2004', '0834', 0, '000111')"));

    VentanaIntegrador window(ConfiguracionIntegrador::lee(suite.iniPath()), suite.db());
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
    SuiteDePruebaIntegrador suite;
    ASSERT_TRUE(suite.error().isEmpty());
    QSqlQuery q(suite.db());
    ASSERT_TRUE(q.exec("INSERT INTO CAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, estado, efectivo, cNumero)"
                       " VALUES (6, '20602345671', '2004', '0834', 0, '7514', '000111')"));
    qvrhost::EnvioDeclaracion sent;
    ASSERT_EQ(qvrhost::enviaDeclaracionGuardada(suite.db(), "20602345671", "2004", &sent), QString());

    VentanaIntegrador window(ConfiguracionIntegrador::lee(suite.iniPath()), suite.db());
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

namespace {

// What Qt's folder dialog says in English when nobody translated it.
const QStringList kEnglish{"Look in:", "Directory:", "Files of type:", "File name:", "Choose", "&Choose", "Open",
                           "&Open", "Cancel", "Back", "Forward", "Parent Directory", "Create New Folder",
                           "List View", "Detail View", "Name", "Size", "Type", "Kind", "Date Modified",
                           "Directories", "Directory", "Computer", "Recent Places"};

// The texts of a dialog that are in English: labels, buttons, tips, lists, headers.
QStringList inglesEn(const QWidget* dialog)
{
    QStringList texts;
    for (const QLabel* label : dialog->findChildren<QLabel*>())
        texts << label->text();
    for (const QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
        texts << button->text() << button->toolTip();
    for (const QComboBox* combo : dialog->findChildren<QComboBox*>())
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
    for (const QHeaderView* header : dialog->findChildren<QHeaderView*>())
        for (int i = 0; header->model() && i < header->model()->columnCount(); ++i)
            texts << header->model()->headerData(i, Qt::Horizontal).toString();
    QStringList english;
    for (const QString& text : texts)
        if (kEnglish.contains(text))
            english << text;
    return english;
}

// HOME is a temporary folder while the object lives: the first start proposes
// ~/QVR, and Qt's folder dialog keeps its state in ~/.config/QtProject.conf.
class CarpetaPersonalTemporal {
public:
    explicit CarpetaPersonalTemporal(const QString& pattern = QDir::tempPath() + QStringLiteral("/home-XXXXXX"))
        : dir_(pattern), saved_(qgetenv("HOME"))
    {
        qputenv("HOME", dir_.path().toLocal8Bit());
    }
    ~CarpetaPersonalTemporal() { qputenv("HOME", saved_); }
    CarpetaPersonalTemporal(const CarpetaPersonalTemporal&) = delete;
    CarpetaPersonalTemporal& operator=(const CarpetaPersonalTemporal&) = delete;
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QByteArray saved_;
};

// A box's text as shown, tags taken out.
QString textoPlano(const QMessageBox* box)
{
    QTextDocument document;
    document.setHtml(box->text());
    return box->textFormat() == Qt::RichText ? document.toPlainText() : box->text();
}

} // namespace

// The first start without a suite: the question, then the folder dialog on
// ~/QVR. Giving up leaves nothing behind; accepting makes the suite the user's.
// The question keeps each path whole however long it is, and the folder dialog
// is Qt's own, in Spanish.
TEST(FirstStart, OffersASuiteInTheHomeFolderAndLeavesNothingWhenRefused)
{
    ASSERT_TRUE(MensajesSinVentana::cargaBotonesEnEspanol());
    CarpetaPersonalTemporal home(QDir::tempPath() + QStringLiteral("/carpeta-personal-de-maria-jose-fernandez-de-la-fuente-XXXXXX"));
    const QString userIni = home.path() + QStringLiteral("/.config/KV000.INI");
    const QString proposed = home.path() + QStringLiteral("/QVR");

    QStringList seen;
    QStringList english;
    bool nativeDialog = false;
    int labelWidth = 0;
    int pathWidth = 0;
    bool acceptFolder = false;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            seen << QStringLiteral("question");
            const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            labelWidth = label->width();
            pathWidth = label->fontMetrics().horizontalAdvance(userIni);
            box->button(QMessageBox::Yes)->click();
        } else if (auto* files = qobject_cast<QFileDialog*>(w)) {
            seen << files->selectedFiles().value(0);
            english << inglesEn(files);
            nativeDialog = !files->testOption(QFileDialog::DontUseNativeDialog);
            QMetaObject::invokeMethod(files, acceptFolder ? "accept" : "reject");
        }
    });
    answer.start(20);
    const bool refused = qvrhost::eligeSuiteUsuario(userIni, true);
    const bool leftBehind = QFileInfo::exists(proposed);
    acceptFolder = true;
    const bool made = qvrhost::eligeSuiteUsuario(userIni, true);
    answer.stop();

    EXPECT_FALSE(refused);
    EXPECT_FALSE(leftBehind);
    EXPECT_TRUE(made);
    EXPECT_EQ(seen, (QStringList{"question", proposed, "question", proposed}));
    EXPECT_TRUE(QFileInfo::exists(proposed + QStringLiteral("/qvr.db")));
    EXPECT_EQ(ConfiguracionIntegrador::lee(userIni).suite.dbFile, proposed + QStringLiteral("/qvr.db"));
    EXPECT_GE(labelWidth, pathWidth) << "the path of the settings file is broken across lines";
    EXPECT_FALSE(nativeDialog);
    EXPECT_EQ(english, QStringList());
}

// A suite that cannot be opened: the connection box of the module's programs
// (no icon, OK only), then, as the database is missing, the offer to find the
// suite's folder or make a new one. Giving up leaves the program closed.
TEST(HostStart, ShowsTheConnectionBoxWhenTheSuiteCannotBeOpened)
{
    CarpetaPersonalTemporal home;
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/suite");
    ASSERT_EQ(qvrhost::creaSuite(folder), QString());
    ASSERT_TRUE(QFile::remove(folder + QStringLiteral("/qvr.db")));

    QStringList boxes;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        boxes << QStringLiteral("%1|%2|%3|%4")
                     .arg(box->windowTitle(), textoPlano(box))
                     .arg(int(box->icon()))
                     .arg(box->buttons().size());
        if (box->findChild<QPushButton*>(QStringLiteral("cmdBuscarSuite")))
            box->button(QMessageBox::Cancel)->click();
        else
            box->button(QMessageBox::Ok)->click();
    });
    answer.start(20);
    const std::optional<ConfiguracionIntegrador> opened =
        qvrhost::abreSuiteUsuario(folder + QStringLiteral("/KV000.INI"), QStringLiteral("hoststart-missing"));
    answer.stop();

    EXPECT_FALSE(opened);
    ASSERT_EQ(boxes.size(), 2) << qPrintable(boxes.join('\n'));
    EXPECT_EQ(boxes[0], QStringLiteral("Error de Conección|Could not find file '%1/qvr.db'.\n 3024|%2|1")
                            .arg(folder)
                            .arg(int(QMessageBox::NoIcon)));
    EXPECT_TRUE(boxes[1].startsWith(QStringLiteral("Qvarion|No se encuentra la suite QVR"))) << qPrintable(boxes[1]);
    EXPECT_TRUE(boxes[1].endsWith(QStringLiteral("|3"))) << qPrintable(boxes[1]);
}

// `mv ~/QVR ~/Conta`: "Nueva suite QVR" on the moved folder, and Qvarion
// locating it, both leave settings that name the new place (SysPath, and
// DBPath since the database is in it), in the suite's KV000.INI and the user's.
TEST(HostStart, FindsAMovedSuiteFolderAgain)
{
    CarpetaPersonalTemporal home;
    QTemporaryDir dir;
    const QString old = dir.path() + QStringLiteral("/QVR");
    const QString moved = dir.path() + QStringLiteral("/Conta");
    const QString userIni = dir.path() + QStringLiteral("/config/KV000.INI");
    ASSERT_EQ(qvrhost::haceSuiteUsuario(old, userIni), QString());
    ASSERT_TRUE(ArchivoIni::escribe(userIni, QStringLiteral("Options"), QStringLiteral("SysUser"), QStringLiteral("MARIA")));
    ASSERT_TRUE(QDir().rename(old, moved));

    const QString otherIni = dir.path() + QStringLiteral("/otro/KV000.INI");
    ASSERT_EQ(qvrhost::haceSuiteUsuario(moved, otherIni), QString());
    EXPECT_EQ(ConfiguracionIntegrador::lee(otherIni).suite.sysPath, moved + u'/');
    EXPECT_EQ(ConfiguracionIntegrador::lee(otherIni).suite.dbFile, moved + QStringLiteral("/qvr.db"));

    QStringList seen;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            seen << box->windowTitle();
            if (auto* locate = box->findChild<QPushButton*>(QStringLiteral("cmdBuscarSuite")))
                locate->click();
            else
                box->button(QMessageBox::Ok)->click();
        } else if (auto* files = qobject_cast<QFileDialog*>(w)) {
            seen << files->windowTitle();
            // In folder mode the dialog takes the folder it shows.
            files->setDirectory(moved);
            QMetaObject::invokeMethod(files, "accept");
        }
    });
    answer.start(20);
    const std::optional<ConfiguracionIntegrador> opened = qvrhost::abreSuiteUsuario(userIni, QStringLiteral("hoststart-moved"));
    answer.stop();

    EXPECT_EQ(seen, (QStringList{"Error de Conección", "Qvarion", "Buscar la carpeta de la suite QVR"}));
    ASSERT_TRUE(opened);
    EXPECT_TRUE(QSqlDatabase::database(QStringLiteral("hoststart-moved"), false).isOpen());
    for (const QString& ini : {userIni, moved + QStringLiteral("/KV000.INI")}) {
        const Configuracion settings = leeConfiguracion(ini);
        EXPECT_EQ(settings.sysPath, moved + u'/') << qPrintable(ini);
        EXPECT_EQ(settings.dbPath, moved + u'/') << qPrintable(ini);
    }
    EXPECT_EQ(leeConfiguracion(userIni).sysUser, QStringLiteral("MARIA"));
    cierraBaseDatos(QStringLiteral("hoststart-moved"));
}

TEST(HostWindow, EnterPressesTheFocusedButton)
{
    SuiteDePruebaIntegrador suite;
    ASSERT_TRUE(suite.error().isEmpty());
    VentanaIntegrador window(ConfiguracionIntegrador::lee(suite.iniPath()), suite.db());
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
