// Registers and writes N spool files against a suite database, as one of
// several programs sharing the SPOOL numbering would.
// Usage: spool_register_helper <db file> <report folder> <count> <report code>

#include "ImpRep.h"
#include "SpoolWriter.h"

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
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("helper"));
        db.setDatabaseName(args[1]);
        if (!db.open()) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(args[1]));
            return 1;
        }
        const int count = args[3].toInt();
        for (int i = 0; i < count && status == 0; ++i) {
            const SpoolRegistration reg = RegistraSpool(db, QStringLiteral("HELPER"), args[4], 6,
                                                        QStringLiteral("20123456789"));
            if (!reg.ok()) {
                std::fprintf(stderr, "registration failed: %s\n", qPrintable(reg.error));
                status = 1;
                break;
            }
            ReportContext ctx;
            ctx.codRep = args[4];
            ctx.archivo = reg.archivo;
            const QString error = IniciaReporte(ctx, args[2], [&](SpoolWriter& w) {
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
