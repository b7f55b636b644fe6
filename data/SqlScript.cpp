#include "SqlScript.h"

#include "TransaccionSql.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

QString runSqlScript(QSqlDatabase db, const QString& script)
{
    QStringList statements;
    QString current;
    for (const QString& rawLine : script.split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1String("--")))
            continue;
        current += line + u'\n';
        if (line.endsWith(u';')) {
            current.chop(2);  // the ';' and the line feed
            statements << current;
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty())
        statements << current;

    TransaccionSql transaccion(db);
    if (!transaccion.abierta())
        return transaccion.error();
    for (const QString& sql : statements) {
        QSqlQuery q(db);
        if (!q.exec(sql))
            return q.lastError().text() + u'\n' + sql;
    }
    if (!transaccion.confirmar())
        return transaccion.error();
    return {};
}

QString runSqlScriptFile(QSqlDatabase db, const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read %1").arg(path);
    return runSqlScript(db, QString::fromUtf8(f.readAll()));
}
