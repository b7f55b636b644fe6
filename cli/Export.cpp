// f0834 export [--ini INI_PATH] [--ejercicio YYYY] [--ruc RUC] FILE: the stored
// declarations as the CSV file import reads, one row each, from their stored
// detail rows, so that importing the file into another suite stores the same
// rows. The file is written beside its name and renamed into place once
// its bytes are on the disk: it is replaced whole or not at all.

#include "ArchivoSeguro.h"
#include "BaseDatos.h"
#include "ColumnasCsv.h"
#include "Eco.h"
#include "EntradaJson.h"
#include "LectorCsv.h"
#include "Subcomandos.h"

#include "DeclaracionJson.h"
#include "ArchivoIni.h"
#include "Lectura834.h"
#include "ConsultasParam.h"
#include "Configuracion.h"

#include <QFileInfo>

namespace {

const QString kUso = QStringLiteral("usage: f0834 export [--ini INI_PATH] [--ejercicio YYYY] [--ruc RUC] FILE");

} // namespace

int exportar(const QStringList& argumentos, Consola& consola)
{
    const entrada::Fallo fallar(consola.errores, "export");
    QString ini, ejercicio, ruc;
    QStringList posicionales;
    for (qsizetype i = 0; i < argumentos.size(); ++i) {
        const QString& a = argumentos[i];
        const bool conValor = i + 1 < argumentos.size();
        if (a == u"--ini" && conValor)
            ini = argumentos[++i];
        else if (a == u"--ejercicio" && conValor)
            ejercicio = argumentos[++i];
        else if (a == u"--ruc" && conValor)
            ruc = argumentos[++i];
        else if (a.startsWith(u"--"))
            return fallar(QStringLiteral("unexpected option \"%1\"\n%2").arg(eco(a), kUso));
        else
            posicionales << a;
    }
    if (posicionales.size() != 1)
        return fallar(QStringLiteral("one FILE is required\n") + kUso);
    if (ini.isEmpty())
        ini = ArchivoIni::ubicaIni();
    if (!QFileInfo(ini).isFile())
        return fallar(QStringLiteral("settings file not found: %1").arg(eco(ini)));

    QString error;
    BaseDatos base;
    if (!base.abrir(ini, &error))
        return fallar(error, kSalidaError);
    const Configuracion settings = leeConfiguracion(ini);
    const QList<Contribuyente> contribuyentes = listaContribuyentes(base.db(), settings.sysUser);
    if (!ruc.isEmpty())
        if (const QString rechazo = declaracionjson::rechazoContribuyente(contribuyentes, ruc, settings.sysUser);
            !rechazo.isEmpty())
            return fallar(rechazo, kSalidaError);
    bool ok = false;
    QList<lectura834::Clave> claves;
    // The declarations the user may open, as the window lists them.
    for (const lectura834::Clave& c : lectura834::guardadas(base.db(), ejercicio, ruc, &ok))
        if (motivoRechazoContribuyente(contribuyentes, c.ruc) == MotivoRechazo::Ninguno)
            claves << c;
    if (!ok)
        return fallar(QStringLiteral("cannot read the declarations from the database"), kSalidaError);

    ArchivoSeguro archivo(posicionales[0]);
    if (!archivo.abre())
        return fallar(archivo.error(), kSalidaError);
    archivo.escribe(csv::linea(columnas::nombres()).toUtf8());
    for (const lectura834::Clave& clave : claves) {
        const QList<lectura834::FilaCasilla> detalle = lectura834::leerCasillas(base.db(), clave, &ok);
        bool okCabecera = false;
        const std::optional<lectura834::Cabecera> cabecera = lectura834::leerCabecera(base.db(), clave, &okCabecera);
        if (!ok || !okCabecera || !cabecera)
            return fallar(QStringLiteral("cannot read the declaration %1 %2").arg(clave.ruc, clave.periodo),
                          kSalidaError);
        archivo.escribe(csv::linea(columnas::fila(clave, detalle, *cabecera)).toUtf8());
    }
    if (!archivo.confirma())
        return fallar(archivo.error(), kSalidaError);
    consola.salida << claves.size() << " declarations written to " << archivo.ruta() << '\n';
    return kSalidaBien;
}
