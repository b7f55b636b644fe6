#include "ModObjetos.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace ModObjetos {
namespace {

constexpr double kTwipsPorPulgada = 1440.0;
constexpr int kSubidaFrm834 = 240;

double dpiX(const QWidget* w)
{
    if (w)
        return w->logicalDpiX();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

double dpiY(const QWidget* w)
{
    if (w)
        return w->logicalDpiY();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

// What the window manager adds around the client area (nothing before the first show).
QSize marco(const QWidget& w)
{
    return w.frameGeometry().size() - w.geometry().size();
}

bool esFrm834(const QWidget& w)
{
    return w.objectName() == QLatin1String("Frm834") || qstrcmp(w.metaObject()->className(), "Frm834") == 0;
}

} // namespace

int twipsAPixelesX(int twips, const QWidget* w) { return qRound(twips * dpiX(w) / kTwipsPorPulgada); }
int twipsAPixelesY(int twips, const QWidget* w) { return qRound(twips * dpiY(w) / kTwipsPorPulgada); }
int pixelesATwipsX(int pixeles, const QWidget* w) { return qRound(pixeles * kTwipsPorPulgada / dpiX(w)); }
int pixelesATwipsY(int pixeles, const QWidget* w) { return qRound(pixeles * kTwipsPorPulgada / dpiY(w)); }

void ColocaVentana(QWidget& ventana, int left, int top, int height, int width)
{
    ventana.setWindowState(ventana.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    ventana.move(twipsAPixelesX(left, &ventana), twipsAPixelesY(top, &ventana));
    const QSize borde = marco(ventana);
    ventana.resize(qMax(1, twipsAPixelesX(width, &ventana) - borde.width()),
                   qMax(1, twipsAPixelesY(height, &ventana) - borde.height()));
}

void DentroDePantalla(QWidget& ventana)
{
    const QScreen* screen = ventana.screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QRect frame = ventana.frameGeometry();
    const QPoint inside(qBound(area.left(), frame.left(), qMax(area.left(), area.right() + 1 - frame.width())),
                        qBound(area.top(), frame.top(), qMax(area.top(), area.bottom() + 1 - frame.height())));
    if (inside != frame.topLeft())
        ventana.move(inside);
}

void CentraVentana(QWidget& ventana, const QWidget& principal)
{
    const int mainWidth = pixelesATwipsX(principal.frameGeometry().width(), &principal);
    const int mainHeight = pixelesATwipsY(principal.frameGeometry().height(), &principal);
    const int width = pixelesATwipsX(ventana.frameGeometry().width(), &ventana);
    const int height = pixelesATwipsY(ventana.frameGeometry().height(), &ventana);
    const int left = (mainWidth - width) / 2;
    int top = qRound((mainHeight - height) / 2.0);
    if (esFrm834(ventana))
        top -= kSubidaFrm834;
    ventana.move(twipsAPixelesX(left, &ventana), twipsAPixelesY(top, &ventana));
}

void PunteroEspera(bool espera)
{
    if (espera) {
        if (!QApplication::overrideCursor())
            QApplication::setOverrideCursor(Qt::WaitCursor);
        return;
    }
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

CursorEspera::CursorEspera() { QApplication::setOverrideCursor(Qt::WaitCursor); }
CursorEspera::~CursorEspera() { QApplication::restoreOverrideCursor(); }

} // namespace ModObjetos
