#include "GuionSql.h"

#include "TransaccionSql.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

QStringList sentenciasSql(const QString& script)
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
    return statements;
}

QString ejecutaSentenciasSql(QSqlDatabase db, const QStringList& statements)
{
    for (const QString& sql : statements) {
        QSqlQuery q(db);
        if (!q.exec(sql))
            return q.lastError().text() + u'\n' + sql;
    }
    return {};
}

QStringList tablasCreadas(const QStringList& statements)
{
    static const QRegularExpression create(QStringLiteral("^CREATE\\s+TABLE\\s+(\\w+)"),
                                           QRegularExpression::CaseInsensitiveOption);
    QStringList tables;
    for (const QString& sql : statements) {
        if (const QRegularExpressionMatch m = create.match(sql); m.hasMatch())
            tables << m.captured(1);
    }
    return tables;
}

QString ejecutaGuionSql(QSqlDatabase db, const QString& script)
{
    TransaccionSql transaccion(db);
    if (!transaccion.abierta())
        return transaccion.error();
    if (const QString error = ejecutaSentenciasSql(db, sentenciasSql(script)); !error.isEmpty())
        return error;
    if (!transaccion.confirmar())
        return transaccion.error();
    return {};
}

QString leeGuionSql(const QString& path, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1").arg(path);
        return {};
    }
    return QString::fromUtf8(f.readAll());
}

QString ejecutaArchivoGuionSql(QSqlDatabase db, const QString& path)
{
    QString error;
    const QString script = leeGuionSql(path, &error);
    return error.isEmpty() ? ejecutaGuionSql(db, script) : error;
}
