#pragma once
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The statements of a script: separated by ';' at the end of a line, "--"
// comment lines left out.
QStringList sentenciasSql(const QString& script);
// Runs them in order on the caller's transaction; returns the first error's
// text (with the statement), or an empty text when every one ran.
QString ejecutaSentenciasSql(QSqlDatabase db, const QStringList& statements);
// The tables a script creates, in its order.
QStringList tablasCreadas(const QStringList& statements);

// Runs a script inside one transaction. Returns the first error's text, or
// an empty text when every statement ran.
QString ejecutaGuionSql(QSqlDatabase db, const QString& script);
QString ejecutaArchivoGuionSql(QSqlDatabase db, const QString& path);
// A script file's text; empty with *error set when it cannot be read.
QString leeGuionSql(const QString& path, QString* error);
