// f0834 compute as a separate process: JSON in on stdin, JSON out on stdout.
// The boxes are typed key by key; the results are checked against the form's
// worked example and against the model fed whole texts.

#include "Casillas834.h"
#include "Declaracion834.h"
#include "SuiteDePrueba.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

struct Resultado {
    int codigo = -1;
    QJsonObject json;
    QByteArray salida;
    QByteArray errores;
    QString casilla(int n) const { return json.value("casillas").toObject().value(QString::number(n)).toString(); }
    QJsonArray lista(const char* nombre) const { return json.value(QLatin1String(nombre)).toArray(); }
};

Resultado ejecutar(const QByteArray& entrada, const QStringList& argumentos = {},
                   const QString& subcomando = QStringLiteral("compute"))
{
    QProcess p;
    p.start(QStringLiteral(F0834_PATH), QStringList{subcomando} + argumentos);
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

int contarFilas(const SuiteDePrueba& suite, const QString& tabla)
{
    QSqlQuery q(suite.db());
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM ") + tabla) || !q.next())
        return -1;
    return q.value(0).toInt();
}

} // namespace

TEST(Compute, WorkedExampleOfTheScale)
{
    // v = 3,000,000 with U = 3100 lies in the third tranche: 5006.5 + 2507 = 7513.5.
    const Resultado r = ejecutar(R"({"ejercicio":"2004","ajuste":"0","uit":"3100","factorIpm":"1.011",
        "casillas":{"301":"3000000"}})");
    ASSERT_EQ(r.codigo, 0) << r.errores.constData();
    EXPECT_EQ(r.casilla(301), "3,000,000");
    EXPECT_EQ(r.casilla(330), "3,000,000");
    EXPECT_EQ(r.casilla(101), "3,000,000");
    EXPECT_EQ(r.casilla(105), "(0)");
    EXPECT_EQ(r.casilla(108), "3,000,000");
    EXPECT_EQ(r.casilla(109), "3,000,000");
    EXPECT_EQ(r.casilla(113), "7514");
    EXPECT_EQ(r.casilla(114), "0");
    EXPECT_EQ(r.casilla(139), "7,514");
    EXPECT_EQ(r.json.value("casillas").toObject().size(), 46);
    // The first key ("3") made 139 "0": box 160 was forced to "1" and 145
    // disabled; later keys lifted the lock and the disabling but left the "1".
    EXPECT_EQ(r.casilla(160), "1");
    EXPECT_EQ(r.casilla(161), "7,514");
    EXPECT_EQ(r.casilla(146), "7,514");
    EXPECT_FALSE(r.lista("bloqueadas").contains("160"));
    EXPECT_TRUE(r.lista("bloqueadas").contains("113"));
    EXPECT_TRUE(r.lista("deshabilitadas").isEmpty());
}

// The key-by-key run ends where the model ends when every box is given its
// whole text at once, box 160 aside (typed here, so both agree).
TEST(Compute, TypingKeyByKeyEndsAsWholeTexts)
{
    const QJsonObject casillas{{"300", "2500000"}, {"301", "500000"}, {"303", "1000"}, {"304", "1000"},
                               {"328", "200"},     {"104", "35000"},  {"160", "2"},    {"144", "14"},
                               {"145", "3"},       {"180", "824"},    {"226", "ab12"}};
    QJsonObject pedido{{"ejercicio", "2003"}, {"ajuste", "1"}, {"uit", "3100"}, {"factorIpm", "1.011"},
                       {"casillas", casillas}, {"deducciones", QJsonObject{{"546", "1500"}, {"555", "500"}}}};
    const Resultado r = ejecutar(QJsonDocument(pedido).toJson());
    ASSERT_EQ(r.codigo, 0) << r.errores.constData();

    Declaracion834 d;
    d.aplicarEjercicio("2003", Dinero::deEntero(3100), "1.011");
    d.setRespuesta(Declaracion834::Pregunta::Ajuste, "1");
    Detalle105 detalle;
    detalle[0] = "1500";
    detalle[9] = "500";
    d.setDetalle105(detalle);
    for (int numero : casillas834::vCasillas()) {
        const QString v = casillas.value(QString::number(numero)).toString().toUpper();
        if (numero == 105)
            d.setCasilla(105, "(2,000)");
        if (v.isEmpty())
            continue;
        d.entrarCasilla(numero);
        d.setCasilla(numero, v);
        d.salirCasilla(numero);
    }
    for (int numero : casillas834::vCasillas())
        EXPECT_EQ(r.casilla(numero), d.casilla(numero)) << "box " << numero;

    EXPECT_EQ(r.casilla(105), "(2,000)");
    EXPECT_EQ(r.casilla(303), "(1,000)");
    EXPECT_EQ(r.casilla(330), "2,999,800");
    EXPECT_EQ(r.casilla(160), "2");
    EXPECT_EQ(r.casilla(226), "AB12");
    EXPECT_EQ(r.json.value("importe").toString(), "824");
    EXPECT_TRUE(r.lista("noIngresadas").isEmpty());
}

TEST(Compute, LockedModalityAndDisabledInterestTakeNoKeys)
{
    // 139 stays below 9: 160 is forced to "1" and locked; 139 at 0 disables 145.
    const Resultado r = ejecutar(R"({"ejercicio":"2004","ajuste":"1","uit":"3100","factorIpm":"1.05",
        "casillas":{"300":"1000","328":"2234","104":"5000","160":"2","145":"7","180":"0"},
        "deducciones":{"546":"1500","555":"500"}})");
    ASSERT_EQ(r.codigo, 0) << r.errores.constData();
    EXPECT_EQ(r.casilla(330), "(1,234)");
    EXPECT_EQ(r.casilla(101), "(1,234)");
    EXPECT_EQ(r.casilla(105), "(2,000)");
    EXPECT_EQ(r.casilla(108), "1,766");
    EXPECT_EQ(r.casilla(109), "1,854");    // 1.05 x 1766 = 1854.3
    EXPECT_EQ(r.casilla(113), "0");
    EXPECT_EQ(r.casilla(160), "1");
    EXPECT_EQ(r.casilla(145), "");
    EXPECT_EQ(r.lista("noIngresadas"), (QJsonArray{"160", "145"}));
    EXPECT_TRUE(r.lista("bloqueadas").contains("160"));
    EXPECT_EQ(r.lista("deshabilitadas"), QJsonArray{"145"});
    EXPECT_EQ(r.json.value("formapago").toString(), "E");
}

TEST(Compute, ParametersFromTheSuiteDatabaseAndNothingWritten)
{
    SuiteDePrueba suite;
    ASSERT_TRUE(suite.exec("INSERT INTO PARAM (Numero, Argumento, Funcion) VALUES "
                           "('404','20030101','00003100.00'),('404','20050101','00003300.00'),"
                           "('960','2004','1.011')"));
    const Resultado r = ejecutar(R"({"ejercicio":"2004","casillas":{"300":"3000000"},"deducciones":{"547":"10"}})",
                                 {"--ini", suite.iniPath()});
    ASSERT_EQ(r.codigo, 0) << r.errores.constData();
    EXPECT_EQ(r.json.value("uit").toString(), "3100");
    EXPECT_EQ(r.json.value("factorIpm").toString(), "1.011");
    EXPECT_EQ(r.casilla(105), "(10)");
    EXPECT_EQ(r.casilla(109), "3,032,990");   // "Si" is the default answer: 1.011 x 2,999,990
    // Without a taxpayer the assistant keeps its detail in memory.
    EXPECT_EQ(contarFilas(suite, "DET"), 0);
    EXPECT_EQ(contarFilas(suite, "CAB"), 0);

    const Resultado conUit = ejecutar(R"({"ejercicio":"2004","uit":"3100","factorIpm":"1"})",
                                      {"--ini", suite.iniPath()});
    EXPECT_EQ(conUit.codigo, 2);
}

TEST(Compute, BadInputIsRefusedOnOneLineWithStatusTwo)
{
    const QByteArray base = R"("ejercicio":"2004","uit":"3100","factorIpm":"1")";
    const QList<QByteArray> malas{
        "{\"ejercicio\":",                                   // not JSON
        "[]",                                                // not an object
        "{" + base + R"(,"casillas":{"999":"5"}})",          // no such box
        "{" + base + R"(,"casillas":{"3\n0":"5"}})",         // a key with a line break
        "{" + base + R"(,"casillas":{"113":"5"}})",          // computed box
        "{" + base + R"(,"casillas":{"300":"1.5"}})",        // not a digit
        "{" + base + R"(,"casillas":{"300":"-5"}})",
        "{" + base + R"(,"casillas":{"300":5}})",            // not text
        "{" + base + R"(,"casillas":{"300":"1234567890123"}})",  // longer than the box
        "{" + base + R"(,"casillas":{"160":"3"}})",
        "{" + base + R"(,"deducciones":{"556":"5"}})",
        "{" + base + R"(,"ajuste":"S"})",
        "{" + base + R"(,"rectifica":"1"})",                 // not a member of compute
        R"({"uit":"3100","factorIpm":"1"})",                 // no exercise
        R"({"ejercicio":"2004"})",                           // no UIT without --ini
    };
    for (const QByteArray& entrada : malas) {
        const Resultado r = ejecutar(entrada);
        EXPECT_EQ(r.codigo, 2) << entrada.constData();
        EXPECT_TRUE(r.salida.isEmpty()) << entrada.constData();
        EXPECT_TRUE(r.errores.startsWith("f0834 compute: ")) << r.errores.constData();
        EXPECT_EQ(r.errores.count('\n'), 1) << r.errores.constData();
        EXPECT_TRUE(r.errores.endsWith('\n'));
    }
    EXPECT_EQ(ejecutar(R"({"ejercicio":"2004"})", {"--ini", "/nonexistent/KV000.INI"}).codigo, 2);
    EXPECT_EQ(ejecutar("{" + base + "}", {"--bogus"}).codigo, 2);
}

// Input that would make an amount wrap, take unbounded memory or store text
// that strict readers reject is refused with status 2, naming the culprit,
// and a pasted value is echoed cut short.
TEST(Compute, HostileInputIsRefusedNamingWhat)
{
    const Resultado desborde = ejecutar(R"({"ejercicio":"2004","uit":"99999999999999",
        "factorIpm":"99999999999999","casillas":{"301":"999999999999"}})");
    EXPECT_EQ(desborde.codigo, 2) << desborde.salida.constData();
    EXPECT_TRUE(desborde.errores.contains("too large")) << desborde.errores.constData();

    const Resultado enorme = ejecutar(QByteArray(17 << 20, ' '));
    EXPECT_EQ(enorme.codigo, 2);
    EXPECT_TRUE(enorme.errores.contains("larger than 16 MiB")) << enorme.errores.constData();

    const QByteArray base = R"("ejercicio":"2004","uit":"3100","factorIpm":"1")";
    for (const QByteArray& razon : {QByteArray(R"(\ud800)"), QByteArray(R"(A\u0001B)"), QByteArray(R"(\u007f)")}) {
        const Resultado r = ejecutar("{" + base + R"(,"razonSocial":")" + razon + R"("})", {}, "validate");
        EXPECT_EQ(r.codigo, 2) << razon.constData();
        EXPECT_TRUE(r.errores.contains("\"razonSocial\"")) << r.errores.constData();
    }

    const Resultado largo = ejecutar("{" + base.left(base.indexOf(",\"uit")) + R"(,"uit":")" + QByteArray(5000, '9')
                                     + R"(","factorIpm":"1"})");
    EXPECT_EQ(largo.codigo, 2);
    EXPECT_TRUE(largo.errores.contains(QByteArray(79, '9') + "\xe2\x80\xa6\"")) << largo.errores.constData();
    EXPECT_LT(largo.errores.size(), 200);
}
