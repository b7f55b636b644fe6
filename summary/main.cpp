// 0834IMP: prints the summary of a submission of form 0834. Started by
// another program of the suite with one 36-column argument; has no window of
// its own. Messages are shown in a box when there is a display and are
// always written to stderr.

#include "IniFile.h"
#include "InstanceLock.h"
#include "Main000.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

#include <memory>

namespace {

bool sinPantalla(const QString& plataforma)
{
    return plataforma.startsWith(u"offscreen") || plataforma.startsWith(u"minimal");
}

// The platforms to try for message boxes, or empty when nobody could see
// them. Decided before any application object exists, so that a display that
// cannot be reached ends in "offscreen" instead of aborting the program
// before it has said why it stopped.
QByteArray plataformasParaMensajes()
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
    if (sinPantalla(QString::fromLocal8Bit(plataforma)))
        return {};
    return plataforma + ";offscreen";
}

QMessageBox::Icon icono(MensajeResumen::Icono i)
{
    switch (i) {
    case MensajeResumen::Icono::Informacion: return QMessageBox::Information;
    case MensajeResumen::Icono::Critico: return QMessageBox::Critical;
    case MensajeResumen::Icono::Ninguno: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

int main(int argc, char* argv[])
{
    const QString argumento = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    int qtArgc = argc > 0 ? 1 : 0;   // the argument is ours, not Qt's

    const QByteArray plataformas = plataformasParaMensajes();
    std::unique_ptr<QCoreApplication> app;
    QTranslator traduccionQt;
    if (!plataformas.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", plataformas);
        app = std::make_unique<QApplication>(qtArgc, argv);
        if (traduccionQt.load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(&traduccionQt);
    } else {
        app = std::make_unique<QCoreApplication>(qtArgc, argv);
    }
    const bool conCajas = !plataformas.isEmpty() && !sinPantalla(QGuiApplication::platformName());
    const SalidaMensajes mensajes = [conCajas](const MensajeResumen& m) {
        escribeEnStderr(m);
        if (conCajas) {
            QMessageBox caja(icono(m.icono), m.titulo, m.texto, QMessageBox::Ok);
            caja.exec();
        }
    };

    InstanceLock instancia(QStringLiteral("0834IMP"));
    if (!instancia.tryLock()) {
        mensajes({MensajeResumen::Icono::Informacion, mensajes0834imp::kTituloAplicacion,
                  mensajes0834imp::kYaEnEjecucion});
        return kResumenYaEnEjecucion;
    }

    Main000 programa(IniFile::locateIni(), mensajes);
    return programa.ejecuta(argumento);
}
