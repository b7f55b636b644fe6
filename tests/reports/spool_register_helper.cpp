// Registers and writes N spool files against a suite database, as one of
// several programs sharing the SPOOL numbering would.
// Usage: spool_register_helper <db file> <report folder> <count> <report code>

#include "ImpRep.h"
#include "Sesion.h"
#include "EscritorSpool.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: %s <db file> <report folder> <count> <report code>\n", argv[0]);
        return 2;
    }
    int status = 0;
    {
        // A SQLite file or a server, opened as every program of the suite opens it.
        OpcionesApertura options;
        options.connectionName = QStringLiteral("helper");
        options.writeSystemDb = false;
        options.busyTimeoutMs = 5000;
        if (const auto failure = abreArchivoBaseDatos(args[1], Configuracion{}, QString(), options)) {
            std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(args[1]), qPrintable(failure->description));
            return 1;
        }
        QSqlDatabase db = QSqlDatabase::database(QStringLiteral("helper"));
        const int count = args[3].toInt();
        for (int i = 0; i < count && status == 0; ++i) {
            const RegistroSpool reg = RegistraSpool(db, QStringLiteral("HELPER"), args[4], 6,
                                                        QStringLiteral("20123456789"));
            if (!reg.ok()) {
                std::fprintf(stderr, "registration failed: %s\n", qPrintable(reg.error));
                status = 1;
                break;
            }
            ContextoReporte ctx;
            ctx.codRep = args[4];
            ctx.archivo = reg.archivo;
            const QString error = IniciaReporte(ctx, args[2], [&](EscritorSpool& w) {
                w.ImprimePos(300, 350, QString::number(QCoreApplication::applicationPid()), false, 8, 0);
            });
            if (!error.isEmpty()) {
                std::fprintf(stderr, "writing failed: %s\n", qPrintable(error));
                status = 1;
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("helper"));
    return status;
}
