#include "MensajesSinVentana.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

namespace MensajesSinVentana {

namespace {

QMessageBox::Icon icono(MensajeUsuario::Icono i)
{
    switch (i) {
    case MensajeUsuario::Icono::Informacion: return QMessageBox::Information;
    case MensajeUsuario::Icono::Critico: return QMessageBox::Critical;
    case MensajeUsuario::Icono::Ninguno: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

bool plataformaSinPantalla(const QString& plataforma)
{
    return plataforma.startsWith(u"offscreen") || plataforma.startsWith(u"minimal");
}

QByteArray plataformasParaCajas()
{
    QByteArray plataforma = qgetenv("QT_QPA_PLATFORM");
    if (plataforma.isEmpty()) {
        if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
            plataforma = "wayland;xcb";
        else if (qEnvironmentVariableIsSet("DISPLAY"))
            plataforma = "xcb";
        else
            return {};
    }
    if (plataformaSinPantalla(QString::fromLocal8Bit(plataforma)))
        return {};
    return plataforma + ";offscreen";
}

bool cargaBotonesEnEspanol()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return false;
    auto* traduccion = new QTranslator(app);
    if (traduccion->load(QStringLiteral("qtbase_es"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(traduccion))
        return true;
    delete traduccion;
    return false;
}

void muestraCaja(const MensajeUsuario& mensaje)
{
    QMessageBox caja(icono(mensaje.icono), mensaje.titulo, mensaje.texto, QMessageBox::Ok);
    caja.exec();
}

ProgramaSinVentana::ProgramaSinVentana(char* argv[])
{
    qtArgc_ = argv && argv[0] ? 1 : 0;
    const QByteArray plataformas = plataformasParaCajas();
    if (plataformas.isEmpty()) {
        app_ = std::make_unique<QCoreApplication>(qtArgc_, argv);
        return;
    }
    qputenv("QT_QPA_PLATFORM", plataformas);
    app_ = std::make_unique<QApplication>(qtArgc_, argv);
    cargaBotonesEnEspanol();
    // The display may have failed and left only "offscreen".
    conCajas_ = !plataformaSinPantalla(QGuiApplication::platformName());
}

ProgramaSinVentana::~ProgramaSinVentana() = default;

SalidaMensajes ProgramaSinVentana::salida() const
{
    return [cajas = conCajas_](const MensajeUsuario& mensaje) {
        escribeEnStderr(mensaje);
        if (cajas)
            muestraCaja(mensaje);
    };
}

} // namespace MensajesSinVentana
