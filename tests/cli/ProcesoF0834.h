#pragma once
// f0834 run as a separate process by the command-line tests.

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

struct Salida {
    int codigo = -1;
    QJsonObject json;
    QByteArray texto;
    QByteArray errores;
};

inline Salida f0834(const QStringList& argumentos, const QByteArray& entrada = {})
{
    // Without --ini f0834 looks for KV000.INI as the windows do: in an empty
    // folder of the test's own, never in the home of whoever runs the tests.
    static const QTemporaryDir sinSuite;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    if (!entorno.contains(QStringLiteral("QVR_WINDIR")))
        entorno.insert(QStringLiteral("QVR_WINDIR"), sinSuite.path());
    QProcess p;
    p.setProcessEnvironment(entorno);
    p.start(QStringLiteral(F0834_PATH), argumentos);
    EXPECT_TRUE(p.waitForStarted());
    p.write(entrada);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(60000));
    Salida s;
    s.codigo = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    s.texto = p.readAllStandardOutput();
    s.errores = p.readAllStandardError();
    s.json = QJsonDocument::fromJson(s.texto).object();
    return s;
}
