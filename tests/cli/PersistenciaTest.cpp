// f0834 validate, save and show as separate processes: a declaration goes in
// as JSON, is checked, stored in the suite's database and read back.

#include "TestSuite.h"

#include <QDate>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

struct Salida {
    int codigo = -1;
    QJsonObject json;
    QByteArray texto;
    QByteArray errores;
};

Salida f0834(const QStringList& argumentos, const QByteArray& entrada = {})
{
    QProcess p;
    p.start(QStringLiteral(F0834_PATH), argumentos);
    EXPECT_TRUE(p.waitForStarted());
    p.write(entrada);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(30000));
    Salida s;
    s.codigo = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    s.texto = p.readAllStandardOutput();
    s.errores = p.readAllStandardError();
    s.json = QJsonDocument::fromJson(s.texto).object();
    return s;
}

const QString kRuc = QStringLiteral("20131312955");

// A suite whose user may declare for the taxpayer, with the exercise's
// parameters and the installer's check-sum rows.
struct Suite {
    TestSuite s;
    Suite()
    {
        s.exec("INSERT INTO CONT (Tip_doc_d, Doc_id_d, Tipo_Ingreso, Nombre, Usuario) "
               "VALUES (6, '20131312955', 1, 'COMERCIAL ANDINA SA', 'ADMIN')");
        s.exec("INSERT INTO PARAM (Numero, Argumento, Funcion) VALUES ('404', '20040101', '00003200.00')");
        s.exec("INSERT INTO PARAM (Numero, Argumento, Funcion, Correl_param) VALUES ('960', '2004', '1', '001')");
        s.exec("INSERT INTO PARAM (Numero, Argumento, Funcion, Correl_param) VALUES ('981', '0834', '960 ', '001')");
    }
    int filas(const QString& sql) const
    {
        QSqlQuery q(s.db());
        return q.exec(sql) && q.next() ? q.value(0).toInt() : -1;
    }
};

QJsonObject declaracion()
{
    return QJsonObject{
        {"ejercicio", "2004"},
        {"ruc", kRuc},
        {"razonSocial", "COMERCIAL ANDINA SA"},
        {"telefono", "4567890"},
        {"ajuste", "0"},
        {"rectifica", "0"},
        {"liquidacion", "0"},
        {"casillas", QJsonObject{{"300", "15000000"}, {"301", "2000"}, {"303", "500"}, {"160", "1"}, {"180", "0"}}},
        {"deducciones", QJsonObject{{"546", "1000"}}},
        {"formaPago", QJsonObject{{"formapago", "E"}}},
        {"representante", QJsonObject{{"tipoDoc", "01"}, {"numDoc", "12345678"}, {"apellidos", "QUISPE"},
                                      {"nombres", "ROSA"}}},
        {"nuevo", true},
    };
}

QByteArray json(const QJsonObject& o) { return QJsonDocument(o).toJson(); }

} // namespace

TEST(Validate, ListsInconsistenciesAndTheBlockingMessage)
{
    QJsonObject d = declaracion();
    d.insert("uit", "3200");
    d.insert("factorIpm", "1");
    Salida r = f0834({"validate"}, json(d));
    ASSERT_EQ(r.codigo, 0) << r.errores.constData();
    EXPECT_TRUE(r.json.value("inconsistencias").toArray().isEmpty());
    EXPECT_TRUE(r.json.value("consistente").toBool());
    EXPECT_TRUE(r.json.value("bloqueo").isNull());

    d.insert("telefono", "9123");
    d.insert("formaPago", QJsonObject{{"formapago", "C"}, {"banco", "XX"}});
    r = f0834({"validate"}, json(d));
    ASSERT_EQ(r.codigo, 0) << r.errores.constData();
    EXPECT_EQ(r.json.value("inconsistencias").toArray(),
              (QJsonArray{QString::fromUtf8("Identificación-Datos Generales : Ingrese su número de teléfono o un "
                                            "número de referencia"),
                          QString::fromUtf8("Identificación-Datos Generales : El celular debe ser de 8 o 7 digitos")}));
    EXPECT_FALSE(r.json.value("consistente").toBool());
    EXPECT_EQ(r.json.value("bloqueo").toString(), "Ingrese el banco.");

    for (const QByteArray& malo : {QByteArray("{"), json(QJsonObject{{"ejercicio", "2004"}, {"uit", "1"},
                                                                      {"factorIpm", "1"}, {"otro", "x"}})}) {
        const Salida m = f0834({"validate"}, malo);
        EXPECT_EQ(m.codigo, 2);
        EXPECT_TRUE(m.errores.startsWith("f0834 validate: "));
    }
}

TEST(Validate, WritesTheSuitesInconsistencyFile)
{
    Suite suite;
    QJsonObject d = declaracion();
    d.insert("casillas", QJsonObject{{"160", "1"}});
    const Salida r = f0834({"validate", "--ini", suite.s.iniPath()}, json(d));
    ASSERT_EQ(r.codigo, 0) << r.errores.constData();
    const QJsonArray lineas = r.json.value("inconsistencias").toArray();
    ASSERT_EQ(lineas.size(), 2);
    EXPECT_EQ(lineas[0].toString(), "Activos : Ingrese los valores en los Activos");
    QFile f(suite.s.path() + "Mens.txt");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().count("\r\n"), 2);
}

TEST(Save, StoresThenShowsTheSameDeclaration)
{
    Suite suite;
    Salida r = f0834({"save", "--ini", suite.s.iniPath()}, json(declaracion()));
    ASSERT_EQ(r.codigo, 0) << r.errores.constData();
    EXPECT_EQ(r.texto, "0\n");
    EXPECT_EQ(suite.filas("SELECT COUNT(*) FROM CAB WHERE estado = 0"), 1);
    EXPECT_EQ(suite.filas("SELECT COUNT(*) FROM DET WHERE Casilla = '546' AND i_valor = '1000'"), 1);
    EXPECT_EQ(suite.filas("SELECT COUNT(*) FROM DET WHERE Casilla = '722' AND i_valor = '960'"), 1);

    r = f0834({"show", "--ini", suite.s.iniPath(), kRuc, "2004"});
    ASSERT_EQ(r.codigo, 0) << r.errores.constData();
    const QJsonObject casillas = r.json.value("casillas").toObject();
    EXPECT_EQ(casillas.value("300").toString(), "15,000,000");
    EXPECT_EQ(casillas.value("303").toString(), "(500)");
    EXPECT_EQ(casillas.value("105").toString(), "(1,000)");
    EXPECT_EQ(casillas.value("330").toString(), "15,001,500");
    EXPECT_EQ(r.json.value("deducciones").toObject().value("546").toString(), "1000");
    EXPECT_EQ(r.json.value("razonSocial").toString(), "COMERCIAL ANDINA SA");
    EXPECT_EQ(r.json.value("telefono").toString(), "4567890");
    EXPECT_EQ(r.json.value("liquidacion").toString(), "0");
    EXPECT_EQ(r.json.value("representante").toObject().value("numDoc").toString(), "12345678");
    EXPECT_EQ(r.json.value("formaPago").toObject().value("formapago").toString(), "E");
    EXPECT_EQ(r.json.value("estado").toInt(), 0);

    // What compute shows for the same input is what show gives back.
    QJsonObject entrada = declaracion();
    for (const char* k : {"ruc", "razonSocial", "telefono", "rectifica", "liquidacion", "formaPago",
                          "representante", "nuevo"})
        entrada.remove(QLatin1String(k));
    const Salida calculo = f0834({"compute", "--ini", suite.s.iniPath()}, json(entrada));
    ASSERT_EQ(calculo.codigo, 0) << calculo.errores.constData();
    const QJsonObject todas = calculo.json.value("casillas").toObject();
    for (auto it = todas.begin(); it != todas.end(); ++it) {
        if (it.key() == "225" || it.key() == "226" || it.key() == "101" || it->toString().isEmpty())
            continue;
        EXPECT_EQ(casillas.value(it.key()).toString(), it->toString()) << it.key().toStdString();
    }

    // The same declaration is no longer new; as an existing one it is saved again in place.
    r = f0834({"save", "--ini", suite.s.iniPath()}, json(declaracion()));
    EXPECT_EQ(r.codigo, 1);
    EXPECT_TRUE(r.errores.contains("ya existe")) << r.errores.constData();
    QJsonObject existente = declaracion();
    existente.insert("nuevo", false);
    existente.insert("telefono", "123");
    r = f0834({"save", "--ini", suite.s.iniPath()}, json(existente));
    ASSERT_EQ(r.codigo, 0) << r.errores.constData();
    EXPECT_EQ(r.texto, "9\n");
    EXPECT_EQ(suite.filas("SELECT COUNT(*) FROM CAB"), 1);
    EXPECT_EQ(f0834({"show", "--ini", suite.s.iniPath(), kRuc, "2004"}).json.value("estado").toInt(), 9);
}

TEST(Save, BlockingCheckWritesNothing)
{
    Suite suite;
    QJsonObject d = declaracion();
    d.insert("representante", QJsonObject{{"tipoDoc", "01"}, {"numDoc", "1234567"}, {"apellidos", "QUISPE"},
                                          {"nombres", "ROSA"}});
    Salida r = f0834({"save", "--ini", suite.s.iniPath()}, json(d));
    EXPECT_EQ(r.codigo, 1);
    EXPECT_EQ(r.errores, "f0834 save: El DNI o LE debe ser de 8 digitos.\n");
    EXPECT_TRUE(r.texto.isEmpty());
    EXPECT_EQ(suite.filas("SELECT COUNT(*) FROM CAB"), 0);
    EXPECT_EQ(suite.filas("SELECT COUNT(*) FROM DET"), 0);

    // A taxpayer outside the user's list cannot be chosen.
    d = declaracion();
    d.insert("ruc", "20100070970");
    r = f0834({"save", "--ini", suite.s.iniPath()}, json(d));
    EXPECT_EQ(r.codigo, 1);
    EXPECT_EQ(r.errores, "f0834 save: Debe seleccionar un Contribuyente.\n");

    EXPECT_EQ(f0834({"save"}, json(declaracion())).codigo, 2);
    EXPECT_EQ(f0834({"show", "--ini", suite.s.iniPath(), kRuc, "2003"}).codigo, 1);
}
