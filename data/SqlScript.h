#pragma once
#include <QSqlDatabase>
#include <QString>

// Runs a script of statements separated by ';' at the end of a line, with
// "--" comment lines, inside one transaction. Returns the first error's
// text, or an empty text when every statement ran.
QString runSqlScript(QSqlDatabase db, const QString& script);
QString runSqlScriptFile(QSqlDatabase db, const QString& path);
