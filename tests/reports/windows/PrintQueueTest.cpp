// Printing on a real print queue: the throwaway print server of test.sh
// (CUPS_SERVER) with its PDF queue as the default printer. Each job is
// followed to its end and the PDF the queue wrote is read back: pages, paper
// and text. Skipped when no such server is running.

#include "DeclaracionMuestra.h"
#include "FrmConsist.h"
#include "FrmTipPrnR.h"
#include "LectorSpool.h"
#include "frmImpxPag.h"
#include "frmPreview.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>


namespace {

// Answers every message box that opens, keeping its title and text.
struct Mensajes {
    Mensajes()
    {
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                titulos << box->windowTitle();
                textos << box->text();
                box->done(QMessageBox::Ok);
            }
        });
        timer.start();
    }
    QStringList titulos;
    QStringList textos;
    QTimer timer;
};

QString ejecuta(const QString& programa, const QStringList& args)
{
    QProcess p;
    p.start(programa, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// What the test server's PDF queue wrote for a job: "<title>-job_<id>.pdf" in
// the server's own folder (CUPS_TEST_PDF_DIR). Read once, removed.
struct PdfImpreso {
    int paginas = -1;
    QString tamano;  // pdfinfo's "Page size"
    QString texto;   // pdftotext, layout kept
};

std::optional<PdfImpreso> pdfDelTrabajo(int trabajo, int intentos = 100)
{
    const QString carpeta = qEnvironmentVariable("CUPS_TEST_PDF_DIR");
    if (carpeta.isEmpty())
        return std::nullopt;
    const QString patron = QStringLiteral("*-job_%1.pdf").arg(trabajo);
    for (int intento = 0; intento < intentos; ++intento) {
        const QFileInfoList hallados = QDir(carpeta).entryInfoList({patron}, QDir::Files);
        if (hallados.isEmpty()) {
            QTest::qWait(100);
            continue;
        }
        const QString ruta = hallados.first().absoluteFilePath();
        PdfImpreso pdf;
        const QString info = ejecuta(QStringLiteral("pdfinfo"), {ruta});
        for (const QString& l : info.split(u'\n')) {
            if (l.startsWith(QStringLiteral("Pages:")))
                pdf.paginas = l.mid(6).trimmed().toInt();
            if (l.startsWith(QStringLiteral("Page size:")))
                pdf.tamano = l.mid(10).trimmed();
        }
        pdf.texto = ejecuta(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), ruta, QStringLiteral("-")});
        QFile::remove(ruta);
        return pdf;
    }
    return std::nullopt;
}

// The amounts of a spool file, as written ("1,234,567", "(1,500)").
QStringList importes(const QString& rutaSpool)
{
    QStringList r;
    static const QRegularExpression kImporte(QStringLiteral("^\\(?[0-9]{1,3}(,[0-9]{3})+\\)?$"));
    const std::optional<DocumentoSpool> doc = leeArchivoSpool(rutaSpool);
    if (!doc)
        return r;
    for (const ElementoSpool& i : doc->items)
        if (i.kind == ElementoSpool::Tipo::Texto && kImporte.match(i.text.trimmed()).hasMatch())
            r << i.text.trimmed();
    return r;
}

class PrintQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("CUPS_SERVER"))
            GTEST_SKIP() << "no print server for the tests (test.sh starts one)";
        qunsetenv("LPDEST");
        qunsetenv("PRINTER");
        muestra::contribuyente(suite);
        muestra::registrada(suite, muestra::casillasBase(), QString());
        muestra::ejecuta(suite, QStringLiteral("UPDATE CONT SET Nombre = ?"), {kNombre});
    }
    void TearDown() override { qunsetenv("LPDEST"); }

    // The print selection, printing through the default queue and keeping
    // how each job ended.
    EntornoImpresion entorno()
    {
        EntornoImpresion e;
        e.db = suite.db();
        e.sysUser = QStringLiteral("ADMIN");
        e.carpetaReportes = carpetaDeReportes(suite.path());
        e.formulario = QStringLiteral("0834");
        e.imprime = [this](const QList<QList<ElementoSpool>>& hojas, const QString& titulo) {
            resultados << imprimeEnImpresoraPredeterminada(hojas, titulo);
            return resultados.last();
        };
        return e;
    }

    // The sheets the queue printed, the text as the spool file holds it.
    void esperaDeclaracion(const PdfImpreso& pdf, const QString& rutaSpool)
    {
        EXPECT_TRUE(pdf.tamano.contains(QStringLiteral("(A4)"))) << qPrintable(pdf.tamano);
        EXPECT_TRUE(pdf.texto.contains(muestra::kRuc)) << qPrintable(pdf.texto);
        EXPECT_TRUE(pdf.texto.contains(kNombre)) << qPrintable(pdf.texto);
        const QStringList montos = importes(rutaSpool);
        EXPECT_GE(montos.size(), 5);
        for (const QString& m : montos)
            EXPECT_TRUE(pdf.texto.contains(m)) << qPrintable(m);
    }

    inline static const QString kNombre = QString::fromUtf8("PEÑA Y O'HIGGINS S.A.C.");
    SuiteDePrueba suite;
    QList<ResultadoImpresion> resultados;
};

TEST_F(PrintQueueTest, DirectPrintOfAStoredDeclarationWithItsAnnex)
{
    Mensajes mensajes;
    FrmTipPrnR w(entorno(), false);
    w.show();
    w.ChkAnexo()->setChecked(true);
    w.CmdImprimir(1)->click();
    EXPECT_TRUE(mensajes.textos.isEmpty()) << qPrintable(mensajes.textos.join(u'\n'));
    ASSERT_EQ(resultados.size(), 1);
    ASSERT_TRUE(resultados[0].ok()) << qPrintable(resultados[0].descripcion());
    EXPECT_EQ(resultados[0].impresora, QStringLiteral("PDF"));
    const std::optional<PdfImpreso> pdf = pdfDelTrabajo(resultados[0].trabajo);
    ASSERT_TRUE(pdf);
    EXPECT_EQ(pdf->paginas, 3);
    esperaDeclaracion(*pdf, rutaArchivoSpool(carpetaDeReportes(suite.path()), w.contexto().archivo));
}

TEST_F(PrintQueueTest, PrintFromThePreviewPrintsItsRange)
{
    FrmTipPrnR w(entorno(), false);
    w.ChkAnexo()->setChecked(true);
    w.alAbrirRango = [](frmImpxPag& d) {
        QTimer::singleShot(0, &d, [&d] {
            d.alAbrirPreview = [](frmPreview& p) {
                QTimer::singleShot(0, &p, [&p] {
                    p.boton(frmPreview::kBotonImprimir)->trigger();
                    p.close();
                });
            };
            d.txtPagDesde()->setText(QStringLiteral("1"));
            d.txtPagHasta()->setText(QStringLiteral("2"));
            d.cmdAccion(0)->click();
            d.cmdAccion(1)->click();
        });
    };
    w.CmdImprimir(0)->click();
    ASSERT_EQ(resultados.size(), 1);
    ASSERT_TRUE(resultados[0].ok()) << qPrintable(resultados[0].descripcion());
    const std::optional<PdfImpreso> pdf = pdfDelTrabajo(resultados[0].trabajo);
    ASSERT_TRUE(pdf);
    EXPECT_EQ(pdf->paginas, 2);
    esperaDeclaracion(*pdf, rutaArchivoSpool(carpetaDeReportes(suite.path()), w.contexto().archivo));
}

TEST_F(PrintQueueTest, InconsistencyListPrints)
{
    const QString ruta = suite.path() + QStringLiteral("Mens.txt");
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QString::fromUtf8("Ingrese el número de teléfono.\r\nEl DNI o LE debe ser de 8 digitos.\r\n").toLatin1());
    f.close();
    Mensajes mensajes;
    FrmConsist lista(ruta);
    lista.show();
    lista.findChild<QPushButton*>(QStringLiteral("CmdImprimir"))->click();
    EXPECT_TRUE(mensajes.textos.isEmpty()) << qPrintable(mensajes.textos.join(u'\n'));
    ASSERT_TRUE(lista.ultimaImpresion().ok()) << qPrintable(lista.ultimaImpresion().descripcion());
    const std::optional<PdfImpreso> pdf = pdfDelTrabajo(lista.ultimaImpresion().trabajo);
    ASSERT_TRUE(pdf);
    EXPECT_EQ(pdf->paginas, 1);
    EXPECT_TRUE(pdf->texto.contains(QStringLiteral("INCONSISTENCIAS DETECTADAS"))) << qPrintable(pdf->texto);
    EXPECT_TRUE(pdf->texto.contains(QString::fromUtf8("1. Ingrese el número de teléfono.")));
    EXPECT_TRUE(pdf->texto.contains(QRegularExpression(QStringLiteral("Inconsistencias Detectadas : +2\\n"))))
        << qPrintable(pdf->texto);
}

// A stopped queue, one that rejects jobs, a job the server aborts and a
// default printer that does not exist: each says so, and nothing prints.
TEST_F(PrintQueueTest, FailuresSaySo)
{
    struct Caso {
        const char* cola;
        FalloImpresion fallo;
        QString mensajeLista;
    };
    const Caso casos[] = {
        {"Detenida", FalloImpresion::Detenida,
         QString::fromUtf8("Error Técnico : (1290) La impresora \"Detenida\" está detenida; el documento no se imprimió.")},
        {"Rechaza", FalloImpresion::Rechaza,
         QString::fromUtf8(
             "Error Técnico : (1286) La impresora \"Rechaza\" no acepta trabajos; el documento no se imprimió.")},
        {"Aborta", FalloImpresion::Abortado, QString()},
        {"NoHay", FalloImpresion::SinImpresora, QStringLiteral("No existe una impresora seleccionada.Verifique.")},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.cola);
        qputenv("LPDEST", c.cola);
        resultados.clear();
        Mensajes mensajes;
        FrmTipPrnR w(entorno(), false);
        w.CmdImprimir(1)->click();
        ASSERT_EQ(resultados.size(), 1);
        EXPECT_EQ(resultados[0].fallo, c.fallo);
        ASSERT_EQ(mensajes.textos.size(), 1);
        if (c.fallo == FalloImpresion::SinImpresora) {
            EXPECT_EQ(mensajes.textos[0], c.mensajeLista);
            EXPECT_EQ(mensajes.titulos[0], QString::fromUtf8("Impresión"));
        } else {
            EXPECT_TRUE(mensajes.textos[0].startsWith(QStringLiteral("Error tecnico: \nLa impresora \"%1\"").arg(c.cola)))
                << qPrintable(mensajes.textos[0]);
            EXPECT_EQ(mensajes.titulos[0], QStringLiteral("Error"));
        }
        if (resultados[0].trabajo > 0) {
            EXPECT_FALSE(pdfDelTrabajo(resultados[0].trabajo, 1));  // the job has ended
        }

        FrmConsist lista(suite.path() + QStringLiteral("Mens.txt"));
        lista.findChild<QPushButton*>(QStringLiteral("CmdImprimir"))->click();
        ASSERT_EQ(mensajes.textos.size(), 2);
        EXPECT_EQ(mensajes.titulos[1], QString::fromUtf8("Impresión"));
        if (!c.mensajeLista.isEmpty()) {
            EXPECT_EQ(mensajes.textos[1], c.mensajeLista);
        } else {
            EXPECT_TRUE(mensajes.textos[1].startsWith(QString::fromUtf8("Error Técnico : (1284) La impresora \"Aborta\" abortó el trabajo")))
                << qPrintable(mensajes.textos[1]);
        }
    }
}

// A server that keeps no history forgets a job once it has printed: a job it
// no longer lists went through, and is no failure.
TEST_F(PrintQueueTest, AJobThatPrintedAndIsNoLongerListedIsASuccess)
{
    PedidoImpresion pedido;
    pedido.impresora = QStringLiteral("PDF");
    pedido.titulo = QStringLiteral("Kv834 prueba");
    const ResultadoImpresion impreso = imprimeHojasEnCola({}, pedido);
    ASSERT_TRUE(impreso.ok()) << qPrintable(impreso.descripcion());
    pdfDelTrabajo(impreso.trabajo);   // cups-pdf's output goes
    // The server forgets the jobs that ended, as one without history does.
    ejecuta(QStringLiteral("cancel"), {QStringLiteral("-a"), QStringLiteral("-x"), QStringLiteral("PDF")});
    ASSERT_FALSE(ejecuta(QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o"),
                                                    QStringLiteral("PDF")})
                     .contains(QStringLiteral("PDF-%1 ").arg(impreso.trabajo)));

    const ResultadoImpresion r = sigueTrabajoEnCola(QStringLiteral("PDF"), impreso.trabajo, 5000);
    EXPECT_TRUE(r.ok()) << qPrintable(r.descripcion());
}

TEST_F(PrintQueueTest, F0834PrintsOnTheNamedOrDefaultQueue)
{
    QProcess f;
    f.start(QStringLiteral(F0834_PATH), {QStringLiteral("print"), QStringLiteral("--ini"), suite.iniPath(),
                                         muestra::kRuc, muestra::kPeriodo, QStringLiteral("--anexo"),
                                         QStringLiteral("--printer")});
    ASSERT_TRUE(f.waitForFinished(90000));
    ASSERT_EQ(f.exitCode(), 0) << f.readAllStandardError().constData();
    const QStringList salida = QString::fromUtf8(f.readAllStandardOutput()).trimmed().split(u'\n');
    ASSERT_EQ(salida.size(), 2);
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^PDF-([0-9]+)$")).match(salida[1]);
    ASSERT_TRUE(m.hasMatch()) << qPrintable(salida[1]);
    const std::optional<PdfImpreso> pdf = pdfDelTrabajo(m.captured(1).toInt());
    ASSERT_TRUE(pdf);
    EXPECT_EQ(pdf->paginas, 3);
    esperaDeclaracion(*pdf, salida[0]);

    // --all: one job for each stored declaration (here the only one).
    QProcess todas;
    todas.start(QStringLiteral(F0834_PATH), {QStringLiteral("print"), QStringLiteral("--ini"), suite.iniPath(),
                                             QStringLiteral("--all"), QStringLiteral("--printer=PDF")});
    ASSERT_TRUE(todas.waitForFinished(90000));
    ASSERT_EQ(todas.exitCode(), 0) << todas.readAllStandardError().constData();
    const QStringList lineas = QString::fromUtf8(todas.readAllStandardOutput()).trimmed().split(u'\n');
    ASSERT_EQ(lineas.size(), 2);
    const QRegularExpressionMatch n = QRegularExpression(QStringLiteral("^PDF-([0-9]+)$")).match(lineas[1]);
    ASSERT_TRUE(n.hasMatch()) << qPrintable(lineas[1]);
    const std::optional<PdfImpreso> sinAnexo = pdfDelTrabajo(n.captured(1).toInt());
    ASSERT_TRUE(sinAnexo);
    EXPECT_EQ(sinAnexo->paginas, 2);

    QProcess g;
    g.start(QStringLiteral(F0834_PATH), {QStringLiteral("print"), QStringLiteral("--ini"), suite.iniPath(),
                                         muestra::kRuc, muestra::kPeriodo, QStringLiteral("--printer"),
                                         QStringLiteral("NoHay")});
    ASSERT_TRUE(g.waitForFinished(90000));
    EXPECT_EQ(g.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(g.readAllStandardError()).contains(QStringLiteral("La impresora \"NoHay\" no existe.")));
    // The spool file was written and registered before the queue refused: its path is told.
    EXPECT_TRUE(QString::fromUtf8(g.readAllStandardOutput()).trimmed().endsWith(QStringLiteral(".PRN")));
}

}  // namespace
