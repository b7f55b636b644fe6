// f0834 SUBCOMMAND [options]: the declaration of form 0834 without a window.

#include "Eco.h"
#include "EntradaJson.h"
#include "LineaDeOrdenes.h"
#include "Dinero.h"
#include "PrintCommand.h"
#include "Subcomandos.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QFile>
#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

struct Entrada {
    const char* nombre;
    int (*ejecutar)(const QStringList&, Consola&);
    const char* uso;
};

constexpr Entrada kSubcomandos[] = {
    {"compute", compute, "compute [--ini INI_PATH]   boxes as JSON on stdin -> every box as the form shows it"},
    {"validate", validate, "validate [--ini INI_PATH]   declaration as JSON on stdin -> inconsistencies, consistent, blocking message"},
    {"save", save, "save [--ini INI_PATH] [--overwrite]   declaration as JSON on stdin (as show prints it) -> stored as \"&Grabar\" stores it; prints estado. A stored declaration keeps each member left out. With the \"sello\" show printed, refuses (exit 1) when someone else changed it since, unless --overwrite"},
    {"show", show, "show [--ini INI_PATH] RUC EJERCICIO   the stored declaration as JSON, with its estado and sello (stamp)"},
    {"import", importar, "import [--ini INI_PATH] [--replace] [--dry-run] [--report FILE] FILE   one declaration per CSV row (a regular file of at most 64 MiB), stored as save stores it"},
    {"export", exportar, "export [--ini INI_PATH] [--ejercicio YYYY] [--ruc RUC] FILE   the stored declarations as CSV for import"},
    {"print", ejecutaPrint, "print [--ini INI_PATH] RUC EJERCICIO [--anexo] [--enviada CORREL] [--pdf FILE] [--printer [NAME]]   spool file path out, then the print job's request id"},
    {"print", ejecutaPrint, "print [--ini INI_PATH] --all [--ejercicio YYYY] [--anexo] [--pdf-dir DIR] [--printer [NAME]]   every stored declaration, one RUC-YEAR.pdf and one print job each"},
};

// The usage lists every subcommand of the table, so none can be left out.
std::string textoUso()
{
    std::string texto = "usage: f0834 SUBCOMMAND [options]\n";
    for (const Entrada& e : kSubcomandos)
        texto += std::string("  f0834 ") + e.uso + '\n';
    return texto + "  f0834 --help | --version\n"
                   "  Without --ini, save, show, import, export and print use the KV000.INI of QVR_WINDIR, else of\n"
                   "  ${XDG_CONFIG_HOME:-~/.config}.\n";
}

// "f0834 NAME --help": the usage of that subcommand alone.
std::string usoDe(const QString& nombre)
{
    std::string texto = "usage:\n";
    for (const Entrada& e : kSubcomandos)
        if (nombre == QLatin1String(e.nombre))
            texto += std::string("  f0834 ") + e.uso + '\n';
    return texto;
}

// Amounts beyond what the money type holds come only from input (a UIT or a
// factor of 14 digits): the input is refused, and a save in progress rolls
// back as its transaction unwinds.
int ejecutarSinDesbordes(const Entrada& e, const QStringList& argumentos, Consola& consola)
{
    try {
        return e.ejecutar(argumentos, consola);
    } catch (const DineroDesbordado&) {
        return entrada::Fallo(consola.errores, e.nombre)(
            QStringLiteral("the amounts are too large: a result would not fit in the form's amounts"));
    }
}

} // namespace

int main(int argc, char* argv[])
{
    const std::string uso = textoUso();
    if (const auto salida = LineaDeOrdenes::atiende({"f0834", uso, false, {}}, argc, argv))
        return *salida;

    // "f0834 SUB --help": that subcommand's usage, before any application starts.
    if (argc > 2) {
        const std::string usoSub = usoDe(QString::fromLocal8Bit(argv[1]));
        for (int i = 2; i < argc && usoSub != "usage:\n"; ++i)
            if (qstrcmp(argv[i], "--help") == 0) {
                std::fputs(usoSub.c_str(), stdout);
                return kSalidaBien;
            }
    }

    // print draws PDF pages, which needs fonts: the graphical application,
    // offscreen unless a platform is chosen.
    const bool grafica = argc > 1 && qstrcmp(argv[1], "print") == 0;
    if (grafica && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app = grafica ? std::make_unique<QGuiApplication>(argc, argv)
                                                          : std::make_unique<QCoreApplication>(argc, argv);
    QStringList argumentos = app->arguments().mid(1);

    QFile entrada;
    entrada.open(stdin, QIODevice::ReadOnly);
    QTextStream salida(stdout);
    QTextStream errores(stderr);
    Consola consola{entrada, salida, errores, isatty(STDERR_FILENO) != 0};

    int resultado = LineaDeOrdenes::kSalidaUso;
    if (argumentos.isEmpty()) {
        errores << uso.c_str();
    } else {
        const QString nombre = argumentos.takeFirst();
        const Entrada* elegido = nullptr;
        for (const Entrada& e : kSubcomandos)
            if (nombre == QLatin1String(e.nombre))
                elegido = &e;
        if (elegido) {
            resultado = ejecutarSinDesbordes(*elegido, argumentos, consola);
        } else {
            errores << "f0834: unknown subcommand \"" << entrada::unaLinea(eco(nombre)) << "\"\n" << uso.c_str();
        }
    }
    salida.flush();
    errores.flush();
    return resultado;
}
