// f0834 export --ini INI_PATH [--ejercicio YYYY] [--ruc RUC] FILE: the stored
// declarations as the CSV file import reads, one row each, from their stored
// detail rows, so that importing the file into another suite stores the same
// rows. The file is replaced whole or not at all.

#include "BaseDatos.h"
#include "ColumnasCsv.h"
#include "EntradaJson.h"
#include "LectorCsv.h"
#include "Subcomandos.h"

#include "Lectura834.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {

const QString kUso = QStringLiteral("usage: f0834 export --ini INI_PATH [--ejercicio YYYY] [--ruc RUC] FILE");

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
            return fallar(QStringLiteral("unexpected option \"%1\"\n%2").arg(a, kUso));
        else
            posicionales << a;
    }
    if (ini.isEmpty() || posicionales.size() != 1)
        return fallar(QStringLiteral("--ini and one FILE are required\n") + kUso);
    if (!QFileInfo(ini).isFile())
        return fallar(QStringLiteral("settings file not found: %1").arg(ini));

    QString error;
    BaseDatos base;
    if (!base.abrir(ini, &error))
        return fallar(error, kSalidaError);
    bool ok = false;
    const QList<lectura834::Clave> claves = lectura834::guardadas(base.db(), ejercicio, ruc, &ok);
    if (!ok)
        return fallar(QStringLiteral("cannot read the declarations from the database"), kSalidaError);

    QSaveFile archivo(posicionales[0]);
    if (!archivo.open(QIODevice::WriteOnly))
        return fallar(QStringLiteral("cannot write %1: %2").arg(archivo.fileName(), archivo.errorString()),
                      kSalidaError);
    archivo.write(csv::linea(columnas::nombres()).toUtf8());
    for (const lectura834::Clave& clave : claves) {
        const QList<lectura834::FilaCasilla> detalle = lectura834::leerCasillas(base.db(), clave, &ok);
        bool okCabecera = false;
        const std::optional<lectura834::Cabecera> cabecera = lectura834::leerCabecera(base.db(), clave, &okCabecera);
        if (!ok || !okCabecera || !cabecera)
            return fallar(QStringLiteral("cannot read the declaration %1 %2").arg(clave.ruc, clave.periodo),
                          kSalidaError);
        archivo.write(csv::linea(columnas::fila(clave, detalle, *cabecera)).toUtf8());
    }
    if (!archivo.commit())
        return fallar(QStringLiteral("cannot write %1: %2").arg(archivo.fileName(), archivo.errorString()),
                      kSalidaError);
    consola.salida << claves.size() << " declarations written to " << archivo.fileName() << '\n';
    return kSalidaBien;
}
