// f0834 compute as a separate process: JSON in on stdin, JSON out on stdout.

#include "TestSuite.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct Resultado {
    int codigo = -1;
    QJsonObject json;
    QByteArray salida;
    QByteArray errores;
    QString casilla(int n) const { return json.value("casillas").toObject().value(QString::number(n)).toString(); }
};

Resultado ejecutar(const QByteArray& entrada, const QStringList& argumentos = {})
{
    QProcess p;
    p.start(QStringLiteral(F0834_PATH), QStringList{"compute"} + argumentos);
    EXPECT_TRUE(p.waitForStarted());
    p.write(entrada);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(30000));
    Resultado r;
    r.codigo = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.salida = p.readAllStandardOutput();
    r.errores = p.readAllStandardError();
    r.json = QJsonDocument::fromJson(r.salida).object();
    return r;
}

} // namespace

TEST(Compute, WorkedExampleAndTheChainBelowIt)
{
    const Resultado r = ejecutar(R"({"ejercicio":"2004","ajuste":"0","uit":"3100","factorIpm":"1.011",
        "casillas":{"300":"2500000","301":"500000","303":"1000","304":"1000","160":"2","144":"14","145":"3"}})");
    ASSERT_EQ(r.codigo, 0) << r.errores.constData();
    EXPECT_EQ(r.casilla(300), "2,500,000");
    EXPECT_EQ(r.casilla(303), "(1,000)");
    EXPECT_EQ(r.casilla(330), "3,000,000");
    EXPECT_EQ(r.casilla(101), "3,000,000");
    EXPECT_EQ(r.casilla(105), "(0)");
    EXPECT_EQ(r.casilla(109), "3,000,000");
    EXPECT_EQ(r.casilla(113), "7514");
    EXPECT_EQ(r.casilla(139), "7,514");
    EXPECT_EQ(r.casilla(161), "835");       // 7514 / 9 = 834.89
    EXPECT_EQ(r.casilla(144), "(14)");
    EXPECT_EQ(r.casilla(146), "824");
    EXPECT_EQ(r.json.value("modalidad").toString(), "2");
    EXPECT_EQ(r.json.value("casillas").toObject().size(), 46);
}

TEST(Compute, DeductionsNegativeTotalAndLockedModality)
{
    const Resultado r = ejecutar(R"({"ejercicio":"2004","ajuste":"1","uit":"3100","factorIpm":"1.05",
        "casillas":{"300":"1000","328":"2234","104":"5000","160":"2","180":"0"},
        "deducciones":{"546":"1500","555":"500"}})");
    ASSERT_EQ(r.codigo, 0) << r.errores.constData();
    EXPECT_EQ(r.casilla(330), "(1,234)");
    EXPECT_EQ(r.casilla(101), "(1,234)");
    EXPECT_EQ(r.casilla(105), "(2,000)");
    EXPECT_EQ(r.casilla(108), "1,766");
    EXPECT_EQ(r.casilla(109), "1,854");    // 1.05 x 1766 = 1854.3
    EXPECT_EQ(r.casilla(113), "0");
    EXPECT_EQ(r.casilla(160), "1");        // locked at "1" before the user got there
    EXPECT_EQ(r.json.value("noIngresadas").toArray(), QJsonArray{"160"});
    EXPECT_TRUE(r.json.value("deshabilitadas").toArray().contains("145"));
    EXPECT_EQ(r.json.value("formapago").toString(), "E");
}

TEST(Compute, ParametersFromTheSuiteDatabase)
{
    TestSuite suite;
    ASSERT_TRUE(suite.exec("INSERT INTO PARAM (Numero, Argumento, Funcion) VALUES "
                           "('404','20030101','00003100.00'),('404','20050101','00003300.00'),"
                           "('960','2004','1.011')"));
    const Resultado r = ejecutar(R"({"ejercicio":"2004","casillas":{"300":"3000000"}})",
                                 {"--ini", suite.iniPath()});
    ASSERT_EQ(r.codigo, 0) << r.errores.constData();
    EXPECT_EQ(r.json.value("uit").toString(), "3100");
    EXPECT_EQ(r.json.value("factorIpm").toString(), "1.011");
    EXPECT_EQ(r.casilla(109), "3,033,000");   // "Si" is the default answer

    const Resultado conUit = ejecutar(R"({"ejercicio":"2004","uit":"3100","factorIpm":"1"})",
                                      {"--ini", suite.iniPath()});
    EXPECT_EQ(conUit.codigo, 1);
}

TEST(Compute, BadInputIsRefusedWithAMessage)
{
    for (const QByteArray& entrada : {QByteArray("{\"ejercicio\":"), QByteArray("[]"),
                                      QByteArray(R"({"ejercicio":"2004","uit":"3100","factorIpm":"1","casillas":{"113":"5"}})"),
                                      QByteArray(R"({"ejercicio":"2004","uit":"3100","factorIpm":"1","casillas":{"300":"1.5"}})"),
                                      QByteArray(R"({"ejercicio":"2004","uit":"3100","factorIpm":"1","ajuste":"S"})")}) {
        const Resultado r = ejecutar(entrada);
        EXPECT_EQ(r.codigo, 1) << entrada.constData();
        EXPECT_TRUE(r.salida.isEmpty());
        EXPECT_TRUE(r.errores.startsWith("f0834 compute: ")) << r.errores.constData();
    }
    const Resultado sinBase = ejecutar(R"({"ejercicio":"2004"})", {"--ini", "/nonexistent/KV000.INI"});
    EXPECT_EQ(sinBase.codigo, 1);
}
