// The print windows driven offscreen: preview surfaces and paging, the
// page-range checks, the print selection, PDF output and f0834 print.

#include "DeclaracionMuestra.h"
#include "DeclaracionReporte.h"
#include "FrmTipPrnR.h"
#include "ImpRep.h"
#include "PintorSpool.h"
#include "LectorSpool.h"
#include "EscritorSpool.h"
#include "frmImpxPag.h"
#include "frmPreview.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

// Answers every message box that opens, keeping its title and text.
class Mensajes {
public:
    Mensajes()
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                titulos << box->windowTitle();
                textos << box->text();
                iconos << box->icon();
                ocupado << (QApplication::overrideCursor() != nullptr);
                box->done(QMessageBox::Ok);
            }
        });
        timer_.start();
    }
    QStringList titulos;
    QStringList textos;
    QList<QMessageBox::Icon> iconos;
    QList<bool> ocupado;   // shown under the hourglass

private:
    QTimer timer_;
};

// Cancels the next file dialog that opens, keeping the file it proposed.
// Qt's dialog keeps its state in the user's settings folder: unless the test
// chose one, it is a folder of the test's own.
class DialogoArchivo {
public:
    DialogoArchivo()
    {
        if (!qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) {
            qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
            propio_ = true;
        }
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                propuesto = d->selectedFiles().value(0);
                d->reject();
            }
        });
        timer_.start();
    }
    ~DialogoArchivo()
    {
        if (propio_)
            qunsetenv("XDG_CONFIG_HOME");
    }
    DialogoArchivo(const DialogoArchivo&) = delete;
    DialogoArchivo& operator=(const DialogoArchivo&) = delete;
    QString propuesto;

private:
    QTemporaryDir config_;
    bool propio_ = false;
    QTimer timer_;
};

// A printer that keeps the sheets it is given.
struct ImpresoraDePrueba {
    QList<QList<QList<ElementoSpool>>> trabajos;
    ImprimeHojas funcion()
    {
        return [this](const QList<QList<ElementoSpool>>& hojas, const QString&) {
            trabajos.append(hojas);
            return ResultadoImpresion();
        };
    }
};

QList<int> paginasDe(const QList<ElementoSpool>& items)
{
    QList<int> p;
    for (const ElementoSpool& i : items)
        if (!p.contains(i.page))
            p.append(i.page);
    return p;
}

// A report of three pages, "Pagina N" on each, written as the declaration is.
QString tresPaginas(const QString& carpeta)
{
    const QString archivo = QStringLiteral("00000077.PRN");
    EscritorSpool w;
    w.open(rutaArchivoSpool(carpeta, archivo));
    w.ImprimeLinea(QStringLiteral("<!font!>Courier New<!/font!>"));
    for (int p = 0; p < 3; ++p) {
        if (p > 0)
            w.ImprimePos(0, 0, QStringLiteral("pNuevaHoja"), false, 8, p);
        w.ImprimePos(300, 350, QStringLiteral("Pagina %1").arg(p + 1), true, 12, p);
        w.ImprimeCuadro(150, 300, 11000, 570, p);
    }
    w.ImprimeLinea(QStringLiteral("<!nHojas!>3<!/nHojas!>"));
    w.ImprimeLinea(QStringLiteral("<!Color!>&H00FFFFC0&<!/Color!>"));
    w.close();
    return archivo;
}

int paginasPdf(const QString& ruta)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {ruta});
    p.waitForFinished();
    for (const QString& l : QString::fromUtf8(p.readAllStandardOutput()).split(u'\n'))
        if (l.startsWith(QStringLiteral("Pages:")))
            return l.mid(6).trimmed().toInt();
    return -1;
}

}  // namespace

TEST(frmPreview, RangeTwoToThreeHoldsTwoSurfacesAndPagesWithinThem)
{
    QTemporaryDir dir;
    const QString archivo = tresPaginas(dir.path());
    ImpresoraDePrueba impresora;
    frmPreview p(dir.path(), impresora.funcion());
    p.setRango(RangoPaginasSpool{2, 3});
    ASSERT_TRUE(p.pDesencripta(archivo, frmPreview::kPresPrevia));
    p.pMostrar(0);
    ASSERT_EQ(p.paginas(), 2);
    EXPECT_EQ(paginasDe(p.superficie(0)->items()), QList<int>{1});
    EXPECT_EQ(paginasDe(p.superficie(1)->items()), QList<int>{2});
    EXPECT_EQ(p.superficie(0)->fondo(), QColor(0xC0, 0xFF, 0xFF));
    // The surface is painted: pale cyan with dark text and lines on it.
    const QImage img = p.superficie(0)->grab().toImage();
    EXPECT_EQ(img.pixelColor(img.width() - 2, img.height() - 2), QColor(0xC0, 0xFF, 0xFF));
    int oscuros = 0;
    for (int y = 0; y < img.height() / 10; ++y)
        for (int x = 0; x < img.width(); ++x)
            oscuros += qGray(img.pixel(x, y)) < 100;
    EXPECT_GT(oscuros, 100);
    if (const QByteArray keep = qgetenv("QVR_KEEP_PREVIEW"); !keep.isEmpty())
        img.save(QString::fromLocal8Bit(keep));

    p.tlbPrevia_ButtonClick(frmPreview::kAnterior);  // first page: nothing
    EXPECT_EQ(p.paginaActual(), 0);
    p.tlbPrevia_ButtonClick(frmPreview::kSiguiente);
    EXPECT_EQ(p.paginaActual(), 1);
    EXPECT_TRUE(p.superficie(1)->isVisibleTo(&p));
    EXPECT_FALSE(p.superficie(0)->isVisibleTo(&p));
    p.tlbPrevia_ButtonClick(frmPreview::kSiguiente);  // last page: nothing
    EXPECT_EQ(p.paginaActual(), 1);

    // Both vertical bars follow each other; the page moves with them.
    p.vsbPic(1)->setValue(1500);
    EXPECT_EQ(p.vsbPic(0)->value(), 1500);
    EXPECT_EQ(p.superficie(1)->y(), -1500 * p.logicalDpiY() / 1440);
    p.HScroll1()->setValue(3000);
    EXPECT_EQ(p.superficie(1)->x(), -3000 * p.logicalDpiX() / 1440);
    p.pMostrar(-2);
    EXPECT_EQ(p.vsbPic(0)->value(), 0);
    EXPECT_EQ(p.vsbPic(1)->value(), 0);

    // Printing twice prints the range twice and leaves the paging alone.
    p.tlbPrevia_ButtonClick(frmPreview::kBotonImprimir);
    p.tlbPrevia_ButtonClick(frmPreview::kBotonImprimir);
    ASSERT_EQ(impresora.trabajos.size(), 2);
    EXPECT_EQ(impresora.trabajos[1].size(), 2);
    EXPECT_EQ(paginasDe(impresora.trabajos[1][0]), QList<int>{1});
    EXPECT_EQ(p.paginas(), 2);
    EXPECT_EQ(p.paginaActual(), 0);
}

TEST(frmPreview, RangeOneToOneAndTwoToNine)
{
    QTemporaryDir dir;
    const QString archivo = tresPaginas(dir.path());
    ImpresoraDePrueba impresora;
    frmPreview p(dir.path(), impresora.funcion());
    p.setRango(RangoPaginasSpool{1, 1});
    ASSERT_TRUE(p.pDesencripta(archivo, frmPreview::kPresPrevia));
    EXPECT_EQ(p.paginas(), 1);
    EXPECT_EQ(paginasDe(p.superficie(0)->items()), QList<int>{0});
    p.tlbPrevia_ButtonClick(frmPreview::kBotonImprimir);
    ASSERT_EQ(impresora.trabajos.size(), 1);
    EXPECT_EQ(impresora.trabajos[0].size(), 1);  // no blank sheet after the break

    frmPreview q(dir.path(), impresora.funcion());
    q.setRango(RangoPaginasSpool{2, 9});
    ASSERT_TRUE(q.pDesencripta(archivo, frmPreview::kPresPrevia));
    ASSERT_EQ(q.paginas(), 2);
    EXPECT_EQ(paginasDe(q.superficie(1)->items()), QList<int>{2});

    // Without a range every page has its surface.
    frmPreview todo(dir.path(), impresora.funcion());
    ASSERT_TRUE(todo.pDesencripta(archivo, frmPreview::kPresPrevia));
    EXPECT_EQ(todo.paginas(), 3);
}

TEST(frmPreview, MissingFileShowsTheMessageAndPrintsNothing)
{
    QTemporaryDir dir;
    ImpresoraDePrueba impresora;
    Mensajes mensajes;
    abrePreview(nullptr, dir.path(), QStringLiteral("00000999.PRN"), QStringLiteral("IMPRIMIR"), impresora.funcion());
    abrePreview(nullptr, dir.path(), QStringLiteral("00000999.PRN"), QStringLiteral("Vprevia"), impresora.funcion());
    EXPECT_TRUE(impresora.trabajos.isEmpty());
    ASSERT_EQ(mensajes.textos.size(), 2);
    EXPECT_EQ(mensajes.textos[0], QString::fromUtf8("Archivo Físico del Reporte no Existe"));
    EXPECT_EQ(mensajes.titulos[0], QStringLiteral("Error al Imprimir"));
    EXPECT_EQ(mensajes.iconos[0], QMessageBox::Critical);
}

TEST(frmPreview, NoPrinterIsReported)
{
    QTemporaryDir dir;
    const QString archivo = tresPaginas(dir.path());
    Mensajes mensajes;
    frmPreview p(dir.path(), [](const QList<QList<ElementoSpool>>&, const QString&) {
        ResultadoImpresion r;
        r.fallo = FalloImpresion::SinImpresora;
        return r;
    });
    EXPECT_FALSE(p.pDesencripta(archivo, frmPreview::kImprimir));
    ASSERT_EQ(mensajes.textos.size(), 1);
    EXPECT_EQ(mensajes.textos[0], QString::fromUtf8("No existe una impresora seleccionada.Verifique."));
    EXPECT_EQ(mensajes.titulos[0], QString::fromUtf8("Impresión"));
}

TEST(frmPreview, KeyboardReachesEveryButtonTurnsPagesScrollsPrintsAndSaves)
{
    QTemporaryDir dir;
    const QString archivo = tresPaginas(dir.path());
    ImpresoraDePrueba impresora;
    frmPreview p(dir.path(), impresora.funcion());
    ASSERT_TRUE(p.pDesencripta(archivo, frmPreview::kPresPrevia));
    p.pMostrar(0);
    p.show();
    p.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&p));
    const auto tecla = [&p](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QWidget* foco = QApplication::focusWidget();
        QTest::keyClick(foco ? foco : &p, k, m);
    };

    // Tab visits the buttons in their order; each carries a mnemonic.
    for (int posicion : {frmPreview::kAnterior, frmPreview::kSiguiente, frmPreview::kBotonImprimir,
                         frmPreview::kSalir, frmPreview::kPdf}) {
        tecla(Qt::Key_Tab);
        auto* boton = qobject_cast<QToolButton*>(QApplication::focusWidget());
        ASSERT_NE(boton, nullptr) << posicion;
        EXPECT_EQ(boton->defaultAction(), p.boton(posicion));
        EXPECT_TRUE(boton->text().contains(u'&')) << boton->text().toStdString();
    }
    tecla(Qt::Key_Tab);

    tecla(Qt::Key_PageDown);
    tecla(Qt::Key_PageDown);
    EXPECT_EQ(p.paginaActual(), 2);
    tecla(Qt::Key_PageUp);
    EXPECT_EQ(p.paginaActual(), 1);
    tecla(Qt::Key_PageUp);
    tecla(Qt::Key_Down);
    EXPECT_GT(p.vsbPic(0)->value(), 0);
    EXPECT_EQ(p.vsbPic(1)->value(), p.vsbPic(0)->value());
    tecla(Qt::Key_Up);
    EXPECT_EQ(p.vsbPic(0)->value(), 0);
    tecla(Qt::Key_Right);
    EXPECT_GT(p.HScroll1()->value(), 0);
    tecla(Qt::Key_Left);
    EXPECT_EQ(p.HScroll1()->value(), 0);
    // A mnemonic presses its button as a click does, a moment later.
    tecla(Qt::Key_T, Qt::AltModifier);   // "Pag Sg&t"
    QTest::qWait(300);
    EXPECT_EQ(p.paginaActual(), 1);

    tecla(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(impresora.trabajos.size(), 1);
    DialogoArchivo dialogo;
    tecla(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(dialogo.propuesto.endsWith(QStringLiteral(".pdf"))) << dialogo.propuesto.toStdString();
    tecla(Qt::Key_Escape);
    EXPECT_FALSE(p.isVisible());
}

TEST(frmImpxPag, ChecksInOrder)
{
    RangoPaginasSpool r;
    auto msg = [&](const char* desde, const char* hasta) {
        return frmImpxPag::validaRango(QString::fromUtf8(desde), QString::fromUtf8(hasta), 3, &r);
    };
    EXPECT_EQ(msg(" ", "2"), QString::fromUtf8("Ingrese página de inicio."));
    EXPECT_EQ(msg("0", "2"), QString::fromUtf8("Página inicial debe ser a partir de 1."));
    EXPECT_EQ(msg("5", "9"), QString::fromUtf8("Página inicial no debe ser mayor a total de páginas del reporte."));
    EXPECT_EQ(msg("1", ""), QString::fromUtf8("Ingrese página de Fin."));
    EXPECT_EQ(msg("3", "2"), QString::fromUtf8("Página de Inicio debe ser mayor a página de Fin."));
    EXPECT_EQ(msg("2", "99999"), QString());
    EXPECT_EQ(r.first, 2);
    EXPECT_EQ(r.last, 32767);  // kept within 16 bits
    EXPECT_EQ(msg("2", "9"), QString());
    EXPECT_EQ(r.last, 9);
}

TEST(frmImpxPag, KeysAndMessagesInTheDialog)
{
    QTemporaryDir dir;
    const QString archivo = tresPaginas(dir.path());
    ImpresoraDePrueba impresora;
    frmImpxPag d(dir.path(), archivo, 3, impresora.funcion());
    d.show();
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Impresión de 3 páginas"));
    EXPECT_EQ(d.txtTotPaginas()->text(), QStringLiteral("3"));
    EXPECT_EQ(d.txtPagDesde()->text(), QStringLiteral("1"));

    d.txtPagHasta()->setFocus();
    QTest::keyClicks(d.txtPagHasta(), QStringLiteral("a2b-"));
    EXPECT_EQ(d.txtPagHasta()->text(), QStringLiteral("2"));
    // Pasted letters are refused as typed ones are.
    QApplication::clipboard()->setText(QStringLiteral("x9"));
    QTest::sendKeyEvent(QTest::Click, d.txtPagHasta(), Qt::Key_V, QString(QChar(0x16)), Qt::ControlModifier);
    EXPECT_EQ(d.txtPagHasta()->text(), QStringLiteral("2"));

    Mensajes mensajes;
    d.txtPagDesde()->setText(QStringLiteral("3"));
    d.cmdAccion(0)->click();
    ASSERT_EQ(mensajes.textos.size(), 1);
    EXPECT_EQ(mensajes.textos[0], QString::fromUtf8("Página de Inicio debe ser mayor a página de Fin."));
    EXPECT_EQ(mensajes.titulos[0], d.windowTitle());
    EXPECT_FALSE(d.rango().has_value());

    // A good range opens the preview; the dialog stays for another one.
    int superficies = 0;
    d.alAbrirPreview = [&](frmPreview& p) {
        superficies = p.paginas();
        QTimer::singleShot(0, &p, &QDialog::close);
    };
    d.txtPagDesde()->setText(QStringLiteral("2"));
    d.txtPagHasta()->setText(QStringLiteral("9"));
    d.cmdAccion(0)->click();
    EXPECT_EQ(superficies, 2);
    EXPECT_TRUE(d.isVisible());
}

class FrmTipPrnRTest : public ::testing::Test {
protected:
    EntornoImpresion entorno()
    {
        EntornoImpresion e;
        e.db = suite.db();
        e.sysUser = QStringLiteral("ADMIN");
        e.carpetaReportes = carpetaDeReportes(suite.path());
        e.formulario = QStringLiteral("0834");
        e.resetBarraEstado = [this](const QString& a, const QString& b, const QString& c, const QString& f) {
            barra = {a, b, c, f};
        };
        e.imprime = impresora.funcion();
        return e;
    }
    int filasSpool()
    {
        QSqlQuery q(suite.db());
        q.exec(QStringLiteral("SELECT COUNT(*) FROM SPOOL"));
        return q.next() ? q.value(0).toInt() : -1;
    }

    SuiteDePrueba suite;
    ImpresoraDePrueba impresora;
    QStringList barra;
};

TEST_F(FrmTipPrnRTest, EmptyListDoesNothing)
{
    FrmTipPrnR w(entorno(), false);
    EXPECT_EQ(w.filas(), 0);
    w.CmdImprimir(0)->click();
    w.CmdImprimir(1)->click();
    EXPECT_EQ(filasSpool(), 0);
    EXPECT_TRUE(impresora.trabajos.isEmpty());
}

TEST_F(FrmTipPrnRTest, PrintsStoredDeclarationWithAndWithoutAnnex)
{
    muestra::contribuyente(suite);
    muestra::registrada(suite, muestra::casillasBase(), QString());
    FrmTipPrnR w(entorno(), false);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Imprimir Declaraciones"));
    EXPECT_EQ(w.marco()->title(), QStringLiteral("Declaraciones Registradas"));
    ASSERT_EQ(w.filas(), 1);
    EXPECT_EQ(w.grdContrib()->model()->columnCount(), 4);
    EXPECT_EQ(barra, QStringList({muestra::kRuc, muestra::kNombre, muestra::kPeriodo, QStringLiteral("0834")}));
    const std::array<int, 3> lefts{2710, 4045, 5380};   // twips
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(w.CmdImprimir(i)->x(), lefts[i] / 15);

    w.CmdImprimir(1)->click();
    ASSERT_EQ(impresora.trabajos.size(), 1);
    EXPECT_EQ(impresora.trabajos[0].size(), 2);
    EXPECT_EQ(w.contexto().codRep, QStringLiteral("AAR001"));

    w.ChkAnexo()->setChecked(true);
    w.CmdImprimir(1)->click();
    ASSERT_EQ(impresora.trabajos.size(), 2);
    EXPECT_EQ(impresora.trabajos[1].size(), 3);
    EXPECT_EQ(w.contexto().codRep, QStringLiteral("AAR003"));
    EXPECT_EQ(filasSpool(), 2);

    // "&Preliminar": the range dialog with the page total, then its preview.
    int superficies = 0;
    QString titulo;
    QString tituloPreview;
    w.alAbrirRango = [&](frmImpxPag& d) {
        titulo = d.windowTitle();
        QTimer::singleShot(0, &d, [&d, &superficies, &tituloPreview] {
            d.alAbrirPreview = [&superficies, &tituloPreview](frmPreview& p) {
                superficies = p.paginas();
                tituloPreview = p.windowTitle();
                QTimer::singleShot(0, &p, &QDialog::close);
            };
            d.txtPagHasta()->setText(QStringLiteral("3"));
            d.cmdAccion(0)->click();
            d.cmdAccion(1)->click();
        });
    };
    w.CmdImprimir(0)->click();
    EXPECT_EQ(titulo, QString::fromUtf8("Impresión de 3 páginas"));
    EXPECT_EQ(tituloPreview, QString::fromUtf8("Presentación Preliminar"));
    EXPECT_EQ(superficies, 3);
    EXPECT_EQ(w.grdContrib()->currentIndex().row(), 0);

    w.CmdImprimir(2)->click();
    EXPECT_EQ(barra, QStringList({QString(), QString(), QString(), QStringLiteral("0834")}));

    // Escape closes it as "&Salir" does.
    FrmTipPrnR otra(entorno(), false);
    otra.show();
    ASSERT_EQ(barra.value(0), muestra::kRuc);
    QTest::keyClick(&otra, Qt::Key_Escape);
    EXPECT_FALSE(otra.isVisible());
    EXPECT_EQ(barra, QStringList({QString(), QString(), QString(), QStringLiteral("0834")}));
}

// "Guardar PDF" proposes the user's documents folder and RUC-EJERCICIO.pdf.
TEST_F(FrmTipPrnRTest, SavingAPdfProposesTheDocumentsFolderAndRucDashYear)
{
    muestra::contribuyente(suite);
    muestra::registrada(suite, muestra::casillasBase(), QString());
    QTemporaryDir config;
    const QString documentos = config.path() + QStringLiteral("/Mis documentos");
    ASSERT_TRUE(QDir().mkpath(documentos));
    QFile dirs(config.path() + QStringLiteral("/user-dirs.dirs"));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DOCUMENTS_DIR=\"" + documentos.toUtf8() + "\"\n");
    dirs.close();
    const QByteArray antes = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());

    FrmTipPrnR w(entorno(), false);
    QString propuesto;
    w.alAbrirRango = [&propuesto](frmImpxPag& d) {
        QTimer::singleShot(0, &d, [&d, &propuesto] {
            d.alAbrirPreview = [&propuesto](frmPreview& p) {
                QTimer::singleShot(0, &p, [&p, &propuesto] {
                    DialogoArchivo dialogo;
                    p.boton(frmPreview::kPdf)->trigger();
                    propuesto = dialogo.propuesto;
                    p.close();
                });
            };
            d.txtPagHasta()->setText(QStringLiteral("1"));
            d.cmdAccion(0)->click();
            d.cmdAccion(1)->click();
        });
    };
    w.CmdImprimir(0)->click();
    if (antes.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", antes);
    EXPECT_EQ(propuesto, documentos + u'/' + muestra::kRuc + u'-' + muestra::kPeriodo + QStringLiteral(".pdf"));
}

// A link where the next spool file goes: nothing is written through it, the
// message names the file, and the registered row stays.
TEST_F(FrmTipPrnRTest, SpoolFileNameThatIsALinkIsRefused)
{
    muestra::contribuyente(suite);
    muestra::registrada(suite, muestra::casillasBase(), QString());
    const QString fuera = suite.path() + QStringLiteral("fuera.txt");
    QFile f(fuera);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("intacto");
    f.close();
    const QString enlace = carpetaDeReportes(suite.path()) + QStringLiteral("/00000001.PRN");
    ASSERT_TRUE(QFile::link(fuera, enlace));
    Mensajes mensajes;
    FrmTipPrnR w(entorno(), false);
    w.CmdImprimir(1)->click();
    ASSERT_EQ(mensajes.textos.size(), 1);
    EXPECT_TRUE(mensajes.textos[0].contains(enlace)) << qPrintable(mensajes.textos[0]);
    EXPECT_TRUE(impresora.trabajos.isEmpty());
    EXPECT_EQ(filasSpool(), 1);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("intacto"));
}

// The hourglass covers the job, not the message telling how it failed:
// printing directly and from the preview's print button.
TEST_F(FrmTipPrnRTest, PrintFailureIsToldUnderTheNormalPointer)
{
    muestra::contribuyente(suite);
    muestra::registrada(suite, muestra::casillasBase(), QString());
    const ImprimeHojas falla = [](const QList<QList<ElementoSpool>>&, const QString&) {
        ResultadoImpresion r;
        r.fallo = FalloImpresion::Detenida;
        r.impresora = QStringLiteral("PDF");
        return r;
    };
    EntornoImpresion e = entorno();
    e.imprime = falla;
    Mensajes mensajes;
    FrmTipPrnR w(e, false);
    w.CmdImprimir(1)->click();
    ASSERT_EQ(mensajes.textos.size(), 1);
    EXPECT_EQ(mensajes.titulos[0], QStringLiteral("Error"));
    EXPECT_FALSE(mensajes.ocupado[0]);

    frmPreview p(carpetaDeReportes(suite.path()), falla);
    ASSERT_TRUE(p.pDesencripta(w.contexto().archivo, frmPreview::kPresPrevia));
    p.pMostrar(0);
    p.show();
    p.boton(frmPreview::kBotonImprimir)->trigger();
    ASSERT_EQ(mensajes.textos.size(), 2);
    EXPECT_FALSE(mensajes.ocupado[1]);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(FrmTipPrnRTest, SentListAndRestrictedUser)
{
    muestra::contribuyente(suite, QStringLiteral("OTRO"));
    muestra::enviada(suite, QStringLiteral("1"), muestra::casillasBase(), QString(), 87654321,
                     QStringLiteral("1234567890"));
    suite.exec(QStringLiteral("INSERT INTO CLAVES (Usuario, Tipo) VALUES ('ADMIN', '0')"));
    {
        FrmTipPrnR w(entorno(), true);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Imprimir Declaraciones Enviadas"));
        ASSERT_EQ(w.filas(), 1);
        EXPECT_EQ(w.grdContrib()->model()->columnCount(), 8);
        EXPECT_EQ(w.grdContrib()->model()->data(w.grdContrib()->model()->index(0, 5)).toString(),
                  QStringLiteral("15/03/2005"));
        w.CmdImprimir(1)->click();
        EXPECT_EQ(w.contexto().norden, QStringLiteral("87654321"));
        EXPECT_EQ(w.contexto().correl, QStringLiteral("1"));
    }
    suite.exec(QStringLiteral("UPDATE CLAVES SET Tipo = '1'"));
    FrmTipPrnR w(entorno(), true);
    EXPECT_EQ(w.filas(), 0);  // the taxpayer belongs to another user
}

TEST(Pdf, DeclarationPagesAndPicture)
{
    SuiteDePrueba suite;
    muestra::contribuyente(suite);
    muestra::registrada(suite, muestra::casillasBase(), QStringLiteral("02"), QStringLiteral("000123"));
    for (bool anexo : {false, true}) {
        ContextoReporte ctx;
        ctx.ruc = muestra::kRuc;
        ctx.nombre = muestra::kNombre;
        ctx.formulario = QStringLiteral("0834");
        ctx.periodo = muestra::kPeriodo;
        ctx.imprimeAnexo = anexo;
        ASSERT_EQ(GeneraReporteDeclaracion(suite.db(), QStringLiteral("ADMIN"), carpetaDeReportes(suite.path()), ctx),
                  QString());
        frmPreview p(carpetaDeReportes(suite.path()));
        ASSERT_TRUE(p.pDesencripta(ctx.archivo, frmPreview::kPresPrevia));
        const QString pdf = suite.path() + (anexo ? QStringLiteral("anexo.pdf") : QStringLiteral("decl.pdf"));
        ASSERT_TRUE(p.guardaPdf(pdf));
        EXPECT_EQ(paginasPdf(pdf), anexo ? 3 : 2);
        if (const QByteArray keep = qgetenv("QVR_KEEP_PDF"); !keep.isEmpty() && anexo)
            QFile::copy(pdf, QString::fromLocal8Bit(keep));
    }
}

// A full disk (a file-size limit stands for it) while a PDF is written: the
// failure is told with its cause and the previous file stays whole.
TEST(Pdf, AFullDiskKeepsThePreviousFileAndIsTold)
{
    SuiteDePrueba suite;
    muestra::contribuyente(suite);
    muestra::registrada(suite, muestra::casillasBase(), QString());
    ContextoReporte ctx;
    ctx.ruc = muestra::kRuc;
    ctx.nombre = muestra::kNombre;
    ctx.formulario = QStringLiteral("0834");
    ctx.periodo = muestra::kPeriodo;
    ASSERT_EQ(GeneraReporteDeclaracion(suite.db(), QStringLiteral("ADMIN"), carpetaDeReportes(suite.path()), ctx), QString());
    const std::optional<DocumentoSpool> doc = leeArchivoSpool(rutaArchivoSpool(carpetaDeReportes(suite.path()), ctx.archivo));
    ASSERT_TRUE(doc);
    const QString pdf = suite.path() + QStringLiteral("decl.pdf");
    ASSERT_TRUE(escribePdfSpool(pdf, hojasImpresion(*doc)));
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray antes = f.readAll();
    f.close();

    rlimit anterior{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &anterior), 0);
    const auto senal = ::signal(SIGXFSZ, SIG_IGN);
    const rlimit lleno{rlim_t(antes.size() / 2), anterior.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &lleno);
    QString error;
    const bool escrito = escribePdfSpool(pdf, hojasImpresion(*doc), &error);
    ::setrlimit(RLIMIT_FSIZE, &anterior);
    ::signal(SIGXFSZ, senal);

    EXPECT_FALSE(escrito);
    EXPECT_TRUE(error.contains(QString::fromLocal8Bit(std::strerror(EFBIG)))) << qPrintable(error);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), antes);
    EXPECT_EQ(QDir(suite.path()).entryList({QStringLiteral("decl.pdf.*")}, QDir::Files), QStringList());
}

TEST(F0834Print, WritesTheSpoolFileAndThePdf)
{
    SuiteDePrueba suite;
    muestra::contribuyente(suite);
    muestra::registrada(suite, muestra::casillasBase(), QString());
    QProcess f;
    const QString pdf = suite.path() + QStringLiteral("cli.pdf");
    f.start(QStringLiteral(F0834_PATH), {QStringLiteral("print"), QStringLiteral("--ini"), suite.iniPath(),
                                         muestra::kRuc, muestra::kPeriodo, QStringLiteral("--anexo"),
                                         QStringLiteral("--pdf"), pdf});
    ASSERT_TRUE(f.waitForFinished(30000));
    EXPECT_EQ(f.exitCode(), 0) << f.readAllStandardError().constData();
    const QString salida = QString::fromUtf8(f.readAllStandardOutput()).trimmed();
    EXPECT_TRUE(salida.endsWith(QStringLiteral("RPT/00000001.PRN"))) << qPrintable(salida);
    EXPECT_TRUE(QFile::exists(salida));
    EXPECT_EQ(paginasPdf(pdf), 3);

    QProcess g;
    g.start(QStringLiteral(F0834_PATH), {QStringLiteral("print"), QStringLiteral("--ini"), suite.iniPath(),
                                         muestra::kRuc, QStringLiteral("1999")});
    ASSERT_TRUE(g.waitForFinished(30000));
    EXPECT_EQ(g.exitCode(), 1);  // no such declaration, nothing registered
}

TEST(F0834Print, AllStoredDeclarationsOnePdfEach)
{
    SuiteDePrueba suite;
    muestra::contribuyente(suite);
    muestra::registrada(suite, muestra::casillasBase(), QString());
    suite.exec(QStringLiteral("UPDATE CAB SET Periodo = '2005'"));
    suite.exec(QStringLiteral("UPDATE DET SET Periodo = '2005'"));
    muestra::registrada(suite, muestra::casillasBase(), QString());
    // The box-105 assistant's placeholder of a declaration never saved is not printed.
    suite.exec(QStringLiteral("INSERT INTO CAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, cNumero) "
                              "VALUES (6, '20100070970', '2006', '0834', '0')"));
    const auto imprimir = [&](const QStringList& extra) {
        QProcess f;
        f.start(QStringLiteral(F0834_PATH),
                QStringList{QStringLiteral("print"), QStringLiteral("--ini"), suite.iniPath(), QStringLiteral("--all"),
                            QStringLiteral("--pdf-dir"), suite.path() + QStringLiteral("pdf")} + extra);
        EXPECT_TRUE(f.waitForFinished(30000));
        EXPECT_EQ(f.exitCode(), 0) << f.readAllStandardError().constData();
        return QString::fromUtf8(f.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts).size();
    };
    EXPECT_EQ(imprimir({QStringLiteral("--ejercicio"), QStringLiteral("2005")}), 1);
    EXPECT_EQ(QDir(suite.path() + QStringLiteral("pdf")).entryList(QDir::Files),
              QStringList{QStringLiteral("20100070970-2005.pdf")});
    EXPECT_EQ(imprimir({QStringLiteral("--anexo")}), 2);
    EXPECT_EQ(paginasPdf(suite.path() + QStringLiteral("pdf/20100070970-2004.pdf")), 3);
    EXPECT_EQ(QDir(suite.path() + QStringLiteral("pdf")).entryList(QDir::Files).size(), 2);
}
