#include "VentanasXTest.h"
#include "cWindows.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

// Each test searches below a parent window of its own, so that windows of
// other tests on the same display do not count; one test uses the real root.
class cWindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!x.ok())
            GTEST_SKIP() << "no X display";
        desktop = x.create(QString(), false);
    }
    bool corre(const QString& sApp) { return cWindows::correAppBajo(x.connection(), desktop, sApp); }

    VentanasXTest x;
    xcb_window_t desktop = 0;
};

TEST_F(cWindowsTest, OnlyTheExactCaptionMatches)
{
    x.create(QStringLiteral("Qvarion "), true, desktop);
    x.create(QStringLiteral("qvarion"), true, desktop);
    x.create(QStringLiteral("Qvarión"), true, desktop);
    x.create(QStringLiteral("Qvarion - Integrador"), true, desktop);
    EXPECT_FALSE(corre(QStringLiteral("Qvarion")));
    x.create(QStringLiteral("Qvarion"), true, desktop);
    EXPECT_TRUE(corre(QStringLiteral("Qvarion")));
    EXPECT_TRUE(corre(QStringLiteral("Qvarión")));
}

TEST_F(cWindowsTest, HiddenWindowsAndEmptyTitlesNeverMatch)
{
    x.create(QStringLiteral("Qvarion"), false, desktop);
    x.create(QString(), true, desktop);
    EXPECT_FALSE(corre(QStringLiteral("Qvarion")));
    EXPECT_FALSE(corre(QString()));
}

TEST_F(cWindowsTest, TwoWindowsWithTheCaptionAndTheOldStyleTitle)
{
    x.create(QStringLiteral("Qvarion"), true, desktop);
    x.create(QStringLiteral("Qvarion"), true, desktop);
    x.create(QStringLiteral("Declaración"), true, desktop, VentanasXTest::Titulo::SoloNombreWm);
    EXPECT_TRUE(corre(QStringLiteral("Qvarion")));
    EXPECT_TRUE(corre(QStringLiteral("Declaración")));
}

TEST_F(cWindowsTest, WindowManagersStackingListIsUsedWhenPresent)
{
    const xcb_window_t listed = x.create(QStringLiteral("Listed"), true, desktop);
    x.create(QStringLiteral("Unlisted"), true, desktop);
    EXPECT_TRUE(corre(QStringLiteral("Unlisted")));
    x.fijaListaApilada(desktop, {listed});
    EXPECT_TRUE(corre(QStringLiteral("Listed")));
    EXPECT_FALSE(corre(QStringLiteral("Unlisted")));
}

TEST_F(cWindowsTest, CorreAppLooksAtTheDisplaysTopLevelWindows)
{
    const QString title = QStringLiteral("Integrador prueba %1").arg(QCoreApplication::applicationPid());
    x.create(title, true);
    x.create(title + QStringLiteral(" oculto"), false);
    const cWindows windows;
    EXPECT_TRUE(windows.CorreApp(title));
    EXPECT_FALSE(windows.CorreApp(title + u' '));
    EXPECT_FALSE(windows.CorreApp(title + QStringLiteral(" oculto")));
}

TEST(cWindowsNoDisplayTest, NoDisplayMeansNoHost)
{
    const QByteArray display = qgetenv("DISPLAY");
    qputenv("DISPLAY", ":9876");
    EXPECT_FALSE(cWindows().CorreApp(QStringLiteral("Qvarion")));
    qputenv("DISPLAY", display);
}

} // namespace
