// qvrhost: the stand-in for the suite's host program.
//   qvrhost init FOLDER                       create a suite folder
//   qvrhost init --server URL [--force] FOLDER  the same, its database on a PostgreSQL server
//   qvrhost init --server URL --per-user-logins FOLDER  the same, each user with a server login of their own
//   qvrhost user add NAME [--restricted] [--server URL | --ini INI]   a user of such a suite
//   qvrhost user remove NAME [--server URL | --ini INI]
//   qvrhost send [--ini INI] RUC EJERCICIO    send a stored declaration
//   qvrhost [--ini INI]                       show the "Qvarion" window
//   qvrhost --new                             make a new suite the user's own, then show it

#include "PrimerInicio.h"
#include "ConfiguracionIntegrador.h"
#include "VentanaIntegrador.h"
#include "ArchivoIni.h"
#include "LineaDeOrdenes.h"
#include "MotorSql.h"
#include "LoginsPorUsuario.h"
#include "EnvioDeclaracion.h"
#include "Suite.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlError>
#include <QStringList>
#include <QTranslator>
#include <cstdio>

namespace {

const QString kConnection = QStringLiteral("qvrhost");

const LineaDeOrdenes::Programa kPrograma{
    "qvrhost",
    "Uso: qvrhost init CARPETA\n"
    "     qvrhost init --server postgresql://[usuario@][host][:puerto]/base [--force] [--per-user-logins] CARPETA\n"
    "     qvrhost user add NOMBRE [--restricted] [--server URL | --ini KV000.INI]\n"
    "     qvrhost user remove NOMBRE [--server URL | --ini KV000.INI]\n"
    "     qvrhost send [--ini KV000.INI] RUC EJERCICIO\n"
    "     qvrhost [--ini KV000.INI]\n"
    "     qvrhost --new\n"
    "     qvrhost --help | --version\n"
    "Sin --ini se usa el KV000.INI de QVR_WINDIR, si no el de la carpeta de\n"
    "configuración del usuario; si no existe, se ofrece crear una suite en ~/QVR.\n",
    false,
    {"--ini", "--new"},
};

int terminaConError(const QString& message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    return 1;
}

int muestraUso()
{
    std::fwrite(kPrograma.uso.data(), 1, kPrograma.uso.size(), stderr);
    return LineaDeOrdenes::kSalidaUso;
}

// Takes the option `opcion` and the value after it out of the arguments;
// false when the value is missing. `dada` tells whether the option was there.
bool tomaOpcion(QStringList& args, const QString& opcion, QString* valor, bool* dada = nullptr)
{
    const qsizetype at = args.indexOf(opcion);
    if (dada)
        *dada = at >= 0;
    if (at < 0)
        return true;
    if (at + 1 >= args.size())
        return false;
    *valor = args.at(at + 1);
    args.remove(at, 2);
    return true;
}

// Takes "--ini PATH" out of the arguments; the default is where every
// program of the suite looks for KV000.INI. `given` tells which it was.
bool tomaOpcionIni(QStringList& args, QString* iniPath, bool* given = nullptr)
{
    *iniPath = ArchivoIni::ubicaIni();
    return tomaOpcion(args, QStringLiteral("--ini"), iniPath, given);
}

bool abreSuite(const QString& iniPath, ConfiguracionIntegrador* settings, QString* error)
{
    if (!QFileInfo::exists(iniPath)) {
        *error = QStringLiteral("No existe %1. Cree una suite con: qvrhost init CARPETA").arg(iniPath);
        return false;
    }
    *settings = ConfiguracionIntegrador::lee(iniPath);
    if (!esDireccionServidor(settings->suite.dbFile) && !QFileInfo::exists(settings->suite.dbFile)) {
        *error = QStringLiteral("No existe la base de datos %1.").arg(settings->suite.dbFile);
        return false;
    }
    *error = qvrhost::abreBaseSuiteComo(settings->suite, kConnection);
    return error->isEmpty();
}

// Takes "--server URL" out of the arguments; false when the address is missing.
bool tomaOpcionServer(QStringList& args, QString* server)
{
    return tomaOpcion(args, QStringLiteral("--server"), server);
}

int ejecutaInit(QStringList args)
{
    const bool force = args.removeAll(QStringLiteral("--force")) > 0;
    const bool perUser = args.removeAll(QStringLiteral("--per-user-logins")) > 0;
    QString server;
    if (!tomaOpcionServer(args, &server) || args.size() != 1 || ((force || perUser) && server.isEmpty()))
        return muestraUso();
    const QString error = server.isEmpty() ? qvrhost::creaSuite(args.first())
                                           : qvrhost::creaSuiteEnServidor(args.first(), server, force, perUser);
    if (!error.isEmpty())
        return terminaConError(error);
    std::printf("%s\n", qPrintable(QStringLiteral("Suite creada en %1").arg(QFileInfo(args.first()).absoluteFilePath())));
    return 0;
}

int ejecutaSend(QStringList args)
{
    QString iniPath;
    if (!tomaOpcionIni(args, &iniPath) || args.size() != 2)
        return muestraUso();
    ConfiguracionIntegrador settings;
    QString error;
    if (!abreSuite(iniPath, &settings, &error))
        return terminaConError(error);
    qvrhost::EnvioDeclaracion s;
    error = qvrhost::enviaDeclaracionGuardada(QSqlDatabase::database(kConnection), args.at(0).trimmed(), args.at(1).trimmed(), &s);
    if (!error.isEmpty())
        return terminaConError(error);
    std::printf("%s\n", qPrintable(s.linea()));
    return 0;
}

// The administrator's own connection: the address given, else the suite's
// KV000.INI with the programs' login rule.
QString abreAdministracion(const QString& server, const QString& iniPath)
{
    if (server.isEmpty()) {
        ConfiguracionIntegrador settings;
        QString error;
        abreSuite(iniPath, &settings, &error);
        return error;
    }
    QString problem;
    std::optional<DireccionServidor> address = leerDireccionServidor(server, &problem);
    if (!address)
        return problem;
    if (address->traeClave)
        return QStringLiteral("La contraseña no va en la dirección del servidor: guárdela en ~/.pgpass.");
    QSqlDatabase db = prepararConexionServidor(*address, kConnection, 5000);
    return db.open() ? QString() : db.lastError().text();
}

int ejecutaUser(QStringList args)
{
    const bool restricted = args.removeAll(QStringLiteral("--restricted")) > 0;
    QString server;
    QString iniPath;
    bool iniGiven = false;
    if (!tomaOpcionServer(args, &server) || !tomaOpcionIni(args, &iniPath, &iniGiven) || args.size() != 2
        || (iniGiven && !server.isEmpty()))
        return muestraUso();
    const QString action = args.at(0);
    if (action != QLatin1String("add") && (action != QLatin1String("remove") || restricted))
        return muestraUso();
    if (const QString error = abreAdministracion(server, iniPath); !error.isEmpty())
        return terminaConError(error);
    const QSqlDatabase db = QSqlDatabase::database(kConnection);
    const QString name = args.at(1);
    const QString error = action == QLatin1String("add") ? qvrhost::agregaUsuarioSuite(db, name, restricted)
                                                         : qvrhost::quitaUsuarioSuite(db, name);
    if (!error.isEmpty())
        return terminaConError(error);
    std::printf("%s\n", qPrintable(action == QLatin1String("add")
                                       ? QStringLiteral("Usuario %1 agregado (%2).")
                                             .arg(name, restricted ? QStringLiteral("restringido")
                                                                   : QStringLiteral("sin restricción"))
                                       : QStringLiteral("Usuario %1 quitado.").arg(name)));
    return 0;
}

int ejecutaVentana(int argc, char** argv, QStringList args)
{
    QApplication app(argc, argv);
    QTranslator qtbase;
    if (qtbase.load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtbase);
    const bool newSuite = args.removeOne(QStringLiteral("--new"));
    QString iniPath;
    bool iniGiven = false;
    if (!tomaOpcionIni(args, &iniPath, &iniGiven) || !args.isEmpty() || (newSuite && iniGiven))
        return muestraUso();
    // A user without a suite of their own is offered one; later starts find it.
    if (newSuite || (!iniGiven && !QFileInfo::exists(iniPath))) {
        if (!qvrhost::eligeSuiteUsuario(iniPath, !newSuite))
            return 1;
    }
    const std::optional<ConfiguracionIntegrador> settings = qvrhost::abreSuiteUsuario(iniPath, kConnection);
    if (!settings)
        return 1;
    VentanaIntegrador window(*settings, QSqlDatabase::database(kConnection));
    window.show();
    return app.exec();
}

} // namespace

int main(int argc, char** argv)
{
    if (const auto exit = LineaDeOrdenes::atiende(kPrograma, argc, argv))
        return *exit;
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const QString command = args.isEmpty() ? QString() : args.first();
    if (command == QLatin1String("init") || command == QLatin1String("send") || command == QLatin1String("user")) {
        QCoreApplication app(argc, argv);
        args.removeFirst();
        if (command == QLatin1String("user"))
            return ejecutaUser(args);
        return command == QLatin1String("init") ? ejecutaInit(args) : ejecutaSend(args);
    }
    return ejecutaVentana(argc, argv, args);
}
