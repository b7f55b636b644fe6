// ModGen00: the entry of Kv834. Refuses to run without the host's "Qvarion"
// window or twice, then shows the main window, whose load step reads the
// settings and opens the database. Any of these failing ends the process
// with status 1 after its message.

#include "EstadoAplicacion.h"
#include "ArchivoIni.h"
#include "BloqueoInstancia.h"
#include "LineaDeOrdenes.h"
#include "MDIFrm.h"
#include "MensajesSinVentana.h"
#include "MensajesInicio.h"
#include "Ventanas.h"
#include "cWindows.h"

#include <QApplication>
#include <QTimer>

namespace {

const QString kVentanaIntegrador = QStringLiteral("Qvarion");

const LineaDeOrdenes::Programa kPrograma{
    "Kv834",
    "Uso: Kv834\n"
    "     Kv834 --help | --version\n"
    "El programa del formulario 0834. Se inicia desde la ventana \"Qvarion\" del\n"
    "integrador (qvrhost) y no recibe argumentos.\n",
    true,
    {},
};

// Without any display Qt cannot even show the message box.
bool hayPantalla()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char* argv[])
{
    if (const auto salida = LineaDeOrdenes::atiende(kPrograma, argc, argv))
        return *salida;

    EstadoAplicacion state;   // holds the one utility component instance

    const bool integradorActivo = cWindows().CorreApp(kVentanaIntegrador);
    if (!integradorActivo && !hayPantalla()) {
        escribeEnStderr(MensajesInicio::kTituloSinIntegrador, MensajesInicio::kTextoSinIntegrador);
        return 1;
    }

    // A DISPLAY that names no reachable server must not abort the program
    // before it has said why it stops: "offscreen" closes the list of platforms.
    if (const QByteArray plataformas = MensajesSinVentana::plataformasParaCajas(); !plataformas.isEmpty())
        qputenv("QT_QPA_PLATFORM", plataformas);
    QApplication app(argc, argv);
    MensajesSinVentana::cargaBotonesEnEspanol();
    if (!integradorActivo) {
        MensajesInicio::sinIntegrador();
        return 1;
    }

    BloqueoInstancia instancia(QStringLiteral("Kv834"));
    if (!instancia.tryLock()) {
        if (instancia.tomadoPorOtraCopia())
            MensajesInicio::yaEnEjecucion();
        else
            MensajesInicio::bloqueoFallido(instancia.fileName());
        return 1;
    }

    state.iniPath = ArchivoIni::ubicaIni();
    MDIFrm frm(state);
    frm.fijaEnlaces(ventanasKv834());
    if (!frm.cargar())
        return 1;
    // QVR_QUIT_AFTER_SHOW=1 ends the program as soon as the main window is up:
    // start-up time is measured as a whole process.
    if (qEnvironmentVariable("QVR_QUIT_AFTER_SHOW") == QLatin1String("1"))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
