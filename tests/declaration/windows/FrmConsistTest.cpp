// The inconsistency list window offscreen: its text, "&Aceptar", the printed
// layout and printing without a printer.

#include "FrmConsist.h"
#include "Validacion834.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QString escribirArchivo(const QTemporaryDir& dir, const QStringList& lineas)
{
    const QString ruta = validacion834::rutaMensajes(dir.path() + u'/');
    QFile f(ruta);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    for (const QString& l : lineas)
        f.write(l.toLatin1() + "\r\n");
    return ruta;
}

QStringList numeradas(int n)
{
    QStringList l;
    for (int i = 1; i <= n; ++i)
        l << QStringLiteral("Linea %1").arg(i);
    return l;
}

} // namespace

TEST(FrmConsist, ShowsTheFileInCourierAndAcceptsTheList)
{
    QTemporaryDir dir;
    const QStringList lineas{QString::fromUtf8("Activos : Ingrese los valores en los Activos"),
                             QString::fromUtf8("Información Complementaria : Ingrese los datos del Representante Legal")};
    FrmConsist frm(escribirArchivo(dir, lineas));
    EXPECT_EQ(frm.windowTitle(), "Inconsistencias detectadas");
    auto* texto = frm.findChild<QPlainTextEdit*>("TxtPreliminar");
    ASSERT_TRUE(texto);
    EXPECT_EQ(texto->toPlainText(), lineas.join('\n'));
    EXPECT_EQ(texto->font().family(), "Courier New");
    auto* aceptar = frm.findChild<QPushButton*>("CmdAceptar");
    ASSERT_TRUE(aceptar);
    EXPECT_EQ(aceptar->text(), "&Aceptar");
    EXPECT_EQ(frm.findChild<QPushButton*>("CmdImprimir")->text(), "&Imprimir");
    frm.show();
    EXPECT_FALSE(frm.aceptada());
    aceptar->click();
    EXPECT_TRUE(frm.aceptada());
    EXPECT_EQ(frm.result(), QDialog::Accepted);
}

TEST(FrmConsist, PrintedLayoutOfTenLines)
{
    const QDateTime ahora(QDate(2005, 3, 15), QTime(9, 5, 7));
    const QList<ElementoImpreso> e = disenoInconsistencias(numeradas(10), ahora);
    ASSERT_EQ(e.size(), 4 + 10 + 2);
    EXPECT_EQ(e[0].texto, "15/03/2005");
    EXPECT_EQ(QPoint(e[0].x, e[0].y), QPoint(400, 300));
    EXPECT_EQ(e[1].texto, "INCONSISTENCIAS DETECTADAS ");
    EXPECT_EQ(QPoint(e[1].x, e[1].y), QPoint(4500, 300));
    EXPECT_EQ(e[2].texto, "09:05:07");
    EXPECT_EQ(QPoint(e[2].x, e[2].y), QPoint(400, 570));
    EXPECT_EQ(e[3].texto, "DECLARACION ANTICIPO ADICIONAL RENTA 3RA. CAT.");
    EXPECT_EQ(QPoint(e[3].x, e[3].y), QPoint(3500, 570));
    EXPECT_EQ(e[4].texto, " 1. Linea 1");
    EXPECT_EQ(QPoint(e[4].x, e[4].y), QPoint(400, 1000));
    EXPECT_EQ(e[13].texto, " 10. Linea 10");
    EXPECT_EQ(e[13].y, 1000 + 270 * 9);
    for (int i = 0; i < 14; ++i)
        EXPECT_TRUE(e[i].negrita) << i;
    EXPECT_EQ(e[14].texto, " Inconsistencias Detectadas :  10");
    EXPECT_EQ(QPoint(e[14].x, e[14].y), QPoint(500, 3700));
    EXPECT_FALSE(e[14].negrita);
    ASSERT_TRUE(e[15].esMarco);
    EXPECT_EQ(e[15].marco.topLeft(), QPoint(300, 720));
    EXPECT_EQ(e[15].marco.right(), 10000);
    EXPECT_EQ(e[15].marco.bottom(), e[14].y + 270);
}

TEST(FrmConsist, AfterTheFortiethLineANewPage)
{
    const QList<ElementoImpreso> e = disenoInconsistencias(numeradas(45), QDateTime::currentDateTime());
    int primera = 0, segunda = 0;
    for (const ElementoImpreso& el : e) {
        if (el.texto.startsWith(" 40. ")) {
            EXPECT_EQ(el.pagina, 0);
        }
        if (el.texto.startsWith(" 41. ")) {
            EXPECT_EQ(el.pagina, 1);
            EXPECT_EQ(el.y, 1000);
        }
        (el.pagina == 0 ? primera : segunda)++;
    }
    EXPECT_EQ(primera, 4 + 40 + 1);   // header, lines, frame
    EXPECT_EQ(segunda, 5 + 1 + 1);    // lines, total, frame

    // Drawing it makes two pages.
    QTemporaryDir dir;
    QPdfWriter pdf(dir.path() + "/lista.pdf");
    QPainter p(&pdf);
    pintarInconsistencias(p, pdf, e);
    p.end();
    EXPECT_GT(QFile(dir.path() + "/lista.pdf").size(), 0);
}

TEST(FrmConsist, PrintingWithoutAPrinterSaysSo)
{
    if (!QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "a default printer is installed";
    QTemporaryDir dir;
    FrmConsist frm(escribirArchivo(dir, numeradas(2)));
    frm.show();
    QString texto, titulo;
    QTimer::singleShot(0, [&] {
        auto* caja = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (caja) {
            texto = caja->text();
            titulo = caja->windowTitle();
            caja->accept();
        }
    });
    frm.findChild<QPushButton*>("CmdImprimir")->click();
    EXPECT_EQ(texto, "No existe una impresora seleccionada.Verifique.");
    EXPECT_EQ(titulo, QString::fromUtf8("Impresión"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
