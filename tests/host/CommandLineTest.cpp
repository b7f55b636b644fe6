// qvrhost as users and scripts call it: exit codes and what it prints.

#include "SuiteDePruebaIntegrador.h"
#include "ObjFunciones.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct CorridaIntegrador {
    int exitCode = -1;
    QString out;
    QString err;
};

CorridaIntegrador correIntegrador(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(QVRHOST_PROGRAM), args);
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput()), QString::fromLocal8Bit(p.readAllStandardError())};
}

void store(QSqlDatabase db, int estado)
{
    QSqlQuery q(db);
    q.prepare("INSERT INTO CAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, estado, cNumero)"
              " VALUES (6, '20501234568', '2003', '0834', ?, '000111')");
    q.addBindValue(estado);
    ASSERT_TRUE(q.exec());
    ASSERT_TRUE(q.exec("INSERT INTO DET (Tip_doc_d, Doc_id_d, Periodo, Formulario, Casilla, i_valor, idcasilla, cNumero)"
                       " VALUES (6, '20501234568', '2003', '0834', '300', '1000', '01', '000000')"));
}

} // namespace

TEST(QvrhostCommand, InitCreatesOnceThenRefuses)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/demo");
    const CorridaIntegrador first = correIntegrador({"init", folder});
    EXPECT_EQ(first.exitCode, 0) << qPrintable(first.err);
    EXPECT_TRUE(QFile::exists(folder + "/KV000.INI"));
    EXPECT_TRUE(QFile::exists(folder + "/qvr.db"));

    const CorridaIntegrador second = correIntegrador({"init", folder});
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_TRUE(second.err.contains("KV000.INI")) << qPrintable(second.err);
}

TEST(QvrhostCommand, SendPrintsOneLineWithAMatchingOrderNumber)
{
    SuiteDePruebaIntegrador suite;
    store(suite.db(), 0);
    const CorridaIntegrador r = correIntegrador({"send", "--ini", suite.iniPath(), "20501234568", "2003"});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    const QRegularExpressionMatch m =
        QRegularExpression("^(1) ([1-9][0-9]{9}) ([0-9]{8})-([0-9]{2})\n$").match(r.out);
    ASSERT_TRUE(m.hasMatch()) << qPrintable(r.out);
    EXPECT_TRUE(ObjFunciones().OrdenCorresponde(m.captured(2), m.captured(3), m.captured(4)));

    const CorridaIntegrador again = correIntegrador({"send", "--ini", suite.iniPath(), "20501234568", "2003"});
    EXPECT_TRUE(again.out.startsWith("2 ")) << qPrintable(again.out);
}

TEST(QvrhostCommand, SendRefusesAnInconsistentDeclaration)
{
    SuiteDePruebaIntegrador suite;
    store(suite.db(), 9);
    const CorridaIntegrador r = correIntegrador({"send", "--ini", suite.iniPath(), "20501234568", "2003"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, QString());
    EXPECT_TRUE(r.err.contains(QStringLiteral("La declaración tiene inconsistencias y no puede enviarse.")))
        << qPrintable(r.err);
    QSqlQuery q(suite.db());
    ASSERT_TRUE(q.exec("SELECT COUNT(*) FROM HCAB"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 0);

    EXPECT_EQ(correIntegrador({"send", "--ini", suite.iniPath(), "20501234568", "2010"}).exitCode, 1);
    EXPECT_EQ(correIntegrador({"send", "--ini", suite.folder() + "/missing.ini", "20501234568", "2003"}).exitCode, 1);
}
