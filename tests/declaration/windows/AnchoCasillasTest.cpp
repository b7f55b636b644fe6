// Every amount box shows the widest amount it can hold, at the form's own
// size, with the application's font and with a font 1.75 times as large.
// CTest runs this program once more with QT_SCALE_FACTOR=2.

#include "FormFixture.h"
#include "FormaDePagoQVR.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabWidget>

#include <iostream>

namespace {

// The pixels a line edit has for its text, as it lays the text out when it
// paints: the contents rectangle of its style, less its text margins and the
// two pixels it keeps free on either side.
int anchoParaElTexto(const QLineEdit* campo)
{
    QStyleOptionFrame opcion;
    opcion.initFrom(campo);
    opcion.rect = campo->contentsRect();
    opcion.lineWidth = campo->hasFrame() ? campo->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opcion, campo) : 0;
    opcion.midLineWidth = 0;
    opcion.state |= QStyle::State_Sunken;
    const QRect interior =
        campo->style()->subElementRect(QStyle::SE_LineEditContents, &opcion, campo).marginsRemoved(campo->textMargins());
    return interior.width() - 2 * 2;
}

QString masAncho(const casillas834::Casilla& c)
{
    return casillas834::puedeMostrarParentesis(c.numero) ? QStringLiteral("(999,999,999,999)")
                                                         : QStringLiteral("999,999,999,999");
}

class AnchoCasillas : public FormFixture {
protected:
    // Shows each tab and asset page in turn and checks every amount box on it.
    void compruebaAnchos(const char* ajuste)
    {
        abre();
        identificacion();
        const double escala = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
        for (const casillas834::Casilla& c : casillas834::tabla()) {
            if (!c.esImporte())
                continue;
            frm->sstab1()->setCurrentIndex(static_cast<int>(c.pestana));
            frm->vScroll1()->setValue(c.pagina == casillas834::Pagina::ActivoNoCorriente ? 15 : 1);
            QCoreApplication::processEvents();
            QLineEdit* campo = caja(c.numero);
            const QString texto = masAncho(c);
            // QLineEdit needs one pixel beside the text for the cursor.
            const int necesario = campo->fontMetrics().horizontalAdvance(texto) + 1;
            std::cout << ajuste << " escala " << escala << " casilla " << c.numero << " ancho " << campo->width()
                      << " texto " << anchoParaElTexto(campo) << " necesita " << necesario << '\n';
            EXPECT_GE(anchoParaElTexto(campo), necesario) << ajuste << ": box " << c.numero;
        }
        frm->sstab1()->setCurrentIndex(3);
        QCoreApplication::processEvents();
        QLineEdit* importe = frm->formaDePago()->findChild<QLineEdit*>(QStringLiteral("txtImporte"));
        const int necesario = importe->fontMetrics().horizontalAdvance(QStringLiteral("999,999,999,999")) + 1;
        std::cout << ajuste << " escala " << escala << " importe ancho " << importe->width() << " texto "
                  << anchoParaElTexto(importe) << " necesita " << necesario << '\n';
        EXPECT_GE(anchoParaElTexto(importe), necesario) << ajuste << ": payment amount";
        std::cout << ajuste << " escala " << escala << " ventana " << frm->width() << 'x' << frm->height() << '\n';
    }
};

TEST_F(AnchoCasillas, WidestAmountFitsWithTheApplicationFont)
{
    compruebaAnchos("letra normal");
}

TEST_F(AnchoCasillas, WidestAmountFitsWithAFontOneAndThreeQuartersAsLarge)
{
    const QFont antes = QApplication::font();
    QFont grande = antes;
    grande.setPointSizeF(antes.pointSizeF() * 1.75);
    QApplication::setFont(grande);
    compruebaAnchos("letra 1.75");
    frm.reset();
    QApplication::setFont(antes);
}

} // namespace
