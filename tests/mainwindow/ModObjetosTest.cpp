#include "BarradeEstadoQVR.h"
#include "ModObjetos.h"
#include "MensajesSinVentana.h"
#include "MensajesInicio.h"

#include <QApplication>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

using namespace ModObjetos;

TEST(ModObjetosTest, TwipsFollowTheLogicalResolution)
{
    QWidget w;
    EXPECT_EQ(twipsAPixelesX(1440, &w), w.logicalDpiX());
    EXPECT_EQ(pixelesATwipsY(w.logicalDpiY(), &w), 1440);
}

TEST(ModObjetosTest, PlacesAndCentresWindowsInTwips)
{
    QWidget principal;
    ColocaVentana(principal, 0, 0, 7200, 9600);
    QWidget dialogo;
    ColocaVentana(dialogo, 500, 500, 2400, 4800);
    EXPECT_EQ(dialogo.pos(), QPoint(twipsAPixelesX(500), twipsAPixelesY(500)));
    CentraVentana(dialogo, principal);
    EXPECT_EQ(dialogo.pos(), QPoint(twipsAPixelesX(2400), twipsAPixelesY(2400)));

    QWidget declaracion;
    declaracion.setObjectName(QStringLiteral("Frm834"));
    ColocaVentana(declaracion, 0, 0, 2400, 4800);
    CentraVentana(declaracion, principal);
    EXPECT_EQ(declaracion.pos(), QPoint(twipsAPixelesX(2400), twipsAPixelesY(2400 - 240)));
}

TEST(BarradeEstadoQVRTest, ResetSetsModeAndTheFourPanels)
{
    BarradeEstadoQVR barra;
    barra.setMensaje(QStringLiteral("hint"));
    barra.reinicia(QStringLiteral("20123456789"), QStringLiteral("EMPRESA SAC"), QStringLiteral("2004"), QStringLiteral("ANA"));
    EXPECT_EQ(barra.modo(), 1);
    EXPECT_EQ(barra.mensaje1(), QStringLiteral("20123456789"));
    EXPECT_EQ(barra.mensaje2(), QStringLiteral("EMPRESA SAC"));
    EXPECT_EQ(barra.extra(), QStringLiteral("2004"));
    EXPECT_EQ(barra.formulario(), QStringLiteral("ANA"));
    EXPECT_EQ(barra.mensaje(), QStringLiteral("hint"));
    barra.limpiaMensaje();
    EXPECT_TRUE(barra.mensaje().isEmpty());
}

TEST(AvanzaFocoTest, TabMovesToTheNextControlOfTheActiveWindow)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* first = new QLineEdit(&window);
    auto* second = new QLineEdit(&window);
    layout->addWidget(first);
    layout->addWidget(second);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    first->setFocus();
    AvanzaFoco(QStringLiteral("tab"));
    EXPECT_TRUE(first->hasFocus());
    AvanzaFoco(QStringLiteral("TAB"));
    EXPECT_TRUE(second->hasFocus());
}

TEST(StartupMessagesTest, SpanishButtonsAreLoaded)
{
    ASSERT_TRUE(MensajesSinVentana::cargaBotonesEnEspanol());
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancelar"));
}

} // namespace
