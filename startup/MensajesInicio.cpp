#include "MensajesInicio.h"

#include "MensajesSinVentana.h"
#include "BloqueoInstancia.h"
#include "Sesion.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QWidget>

namespace MensajesInicio {
namespace {

void muestraMensaje(MensajeUsuario::Icono icono, const QString& title, const QString& text)
{
    if (sinVentanas())
        escribeEnStderr(title, text);
    else
        MensajesSinVentana::muestraCaja({icono, title, text});
}

} // namespace

bool sinVentanas()
{
    return qEnvironmentVariable("QVR_NO_MODAL") == QLatin1String("1") ||
           MensajesSinVentana::plataformaSinPantalla(QGuiApplication::platformName());
}

void sinIntegrador()
{
    muestraMensaje(MensajeUsuario::Icono::Critico, kTituloSinIntegrador, kTextoSinIntegrador);
}

void yaEnEjecucion()
{
    muestraMensaje(MensajeUsuario::Icono::Informacion, kTituloYaEnEjecucion, kTextoYaEnEjecucion);
}

void bloqueoFallido(const QString& archivo)
{
    muestraMensaje(MensajeUsuario::Icono::Critico, kTituloYaEnEjecucion, BloqueoInstancia::kTextoBloqueoFallido.arg(archivo));
}

void errorConexion(const FalloApertura& failure)
{
    muestraMensaje(MensajeUsuario::Icono::Ninguno, kTituloErrorConexion, mensajeFalloApertura(failure));
}

} // namespace MensajesInicio

void AvanzaFoco(const QString& tecla)
{
    if (tecla != QLatin1String("TAB"))
        return;
    QWidget* window = QApplication::activeWindow();
    if (!window)
        return;
    // A Tab keystroke to the control that has the focus: Qt passes the focus
    // on to the next control of the window, as the keyboard would.
    QWidget* target = window->focusWidget() ? window->focusWidget() : window;
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &tab);
}
