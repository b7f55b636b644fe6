// The batch commands: the CSV reader in-process, f0834 import and export as
// processes on suites with the host's sample taxpayers and parameters.

#include "LectorCsv.h"
#include "ProcesoF0834.h"
#include "Suite.h"
#include "TestSuite.h"

#include <QFile>
#include <QJsonArray>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

struct Suite {
    TestSuite s;
    Suite() { EXPECT_EQ(qvrhost::insertSampleRows(s.db()), QString()); }
    int cuenta(const QString& sql) const
    {
        QSqlQuery q(s.db());
        return q.exec(sql) && q.next() ? q.value(0).toInt() : -1;
    }
    // Every column of every CAB and DET row, in key order.
    QStringList filas() const
    {
        QStringList todas;
        for (const char* sql : {"SELECT * FROM CAB ORDER BY Doc_id_d, Periodo",
                                "SELECT * FROM DET ORDER BY Doc_id_d, Periodo, Casilla"}) {
            QSqlQuery q(s.db());
            EXPECT_TRUE(q.exec(QLatin1String(sql)));
            while (q.next()) {
                QStringList campos;
                for (int i = 0; i < q.record().count(); ++i)
                    campos << (q.isNull(i) ? QStringLiteral("<null>") : q.value(i).toString());
                todas << campos.join(u'|');
            }
        }
        return todas;
    }
    QString archivo(const QString& nombre, const QByteArray& contenido) const
    {
        QFile f(s.path() + nombre);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenido);
        return f.fileName();
    }
};

QStringList lineas(const QByteArray& texto)
{
    return QString::fromUtf8(texto).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

TEST(Csv, ReadsEitherEncodingEitherSeparatorAndItsOwnLines)
{
    QString error;
    std::optional<csv::Archivo> a = csv::leer("ruc;apellidos;x\r\n2010; MU\xD1OZ ;\"1,5\"\r\n", &error);
    ASSERT_TRUE(a) << qPrintable(error);
    EXPECT_EQ(a->codificacion, "Windows-1252");
    EXPECT_EQ(a->separador, u';');
    ASSERT_EQ(a->filas.size(), 1);
    EXPECT_EQ(a->filas[0].campos, (QStringList{"2010", QString::fromUtf8("MUÑOZ"), "1,5"}));

    const QStringList campos{" DE LA CRUZ", "a,\"b\"", "", QString::fromUtf8("JOSÉ")};
    a = csv::leer("\xEF\xBB\xBF" "a,b,c,d\n" + csv::linea(campos).toUtf8(), &error);
    ASSERT_TRUE(a) << qPrintable(error);
    EXPECT_EQ(a->codificacion, "UTF-8");
    EXPECT_EQ(a->cabecera, (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(a->filas[0].campos, campos);
}

TEST(Csv, ABadRowKeepsTheLinesOfTheOthers)
{
    QString error;
    const std::optional<csv::Archivo> a =
        csv::leer("a,b\n1,2,3\n\"x\ny\",2\n\n3\n\"4\"x,5\n6,7\n\"8,9\n", &error);
    ASSERT_TRUE(a) << qPrintable(error);
    ASSERT_EQ(a->filas.size(), 6);
    const QList<std::pair<int, QString>> esperadas{
        {2, "3 fields where the header row names 2"},
        {3, "field 1 holds a line break inside its quotes"},
        {6, "1 fields where the header row names 2"},
        {7, "field 1 has text after its closing quote"},
        {8, ""},
        {9, "field 1 opens a quote that is never closed"},
    };
    for (int i = 0; i < esperadas.size(); ++i) {
        EXPECT_EQ(a->filas[i].linea, esperadas[i].first);
        EXPECT_EQ(a->filas[i].error, esperadas[i].second);
    }
    EXPECT_EQ(a->filas[4].campos, (QStringList{"6", "7"}));

    for (const QByteArray& malo : {QByteArray(), QByteArray("\r\n\r\n"), QByteArray("ruc\n\x01\x02\x00", 7)})
        EXPECT_FALSE(csv::leer(malo, &error)) << malo.toHex().constData();
}

TEST(Import, StoresTheGoodRowsAndSaysWhyTheOthersWereNot)
{
    Suite suite;
    const QString datos = suite.archivo("lote.csv", QString::fromUtf8(
        "ruc,ejercicio,telefono,rectifica,ajuste,formapago,banco,numcheque,tipodoc,numdoc,apellidos,nombres,301,303,160,180,546\n"
        "20100123453,2004,4567890,0,0,E,,,01,12345678,QUISPE,ROSA,\"3,000,000\",500,1,0,1000\n"
        "20501234568,2004,4567891,0,1,C,02,123456,01,87654321,MUÑOZ,JOSÉ,15000000,,2,50000,\n"
        "20602345671,2004,123,0,0,E,,,01,11111111,PEREZ,ANA,1000,,1,0,\n"
        "20134567890,2002,4567890,0,0,E,,,01,12345678,QUISPE,ROSA,1000,,1,0,\n"
        "20456789120,2004,4567890,0,0,E,,,01,12345678,QUISPE,ROSA,1x00,,1,0,\n"
        "20712345618,2004,4567890,0,0,E,,,01,12345678,QUISPE,ROSA,1000,,1,0,\n"
        "10405060707,2004,4567890,0,0,E,,,01,12345678,QUISPE,ROSA,1000,,1,0\n"
        "20712345617,2004,\"45\n67\",0,0,E,,,01,12345678,QUISPE,ROSA,1000,,1,0,\n"
        "20134567890,2004,4567890,0,0,E,,,01,12345678,QUISPE,ROSA,1234567890123,,1,0,\n"
        "20100123453,2004,4567890,0,0,E,,,01,1234567,QUISPE,ROSA,1000,,1,0,\n").toUtf8());
    const QString reporte = suite.s.path() + QStringLiteral("reporte.csv");
    Salida r = f0834({"import", "--ini", suite.s.iniPath(), "--report", reporte, datos});
    EXPECT_EQ(r.codigo, 1) << r.errores.constData();
    EXPECT_TRUE(r.errores.isEmpty()) << r.errores.constData();  // no bar when stderr is not a terminal
    const QStringList esperadas{
        "line 2 20100123453 2004: stored estado 0",
        "line 3 20501234568 2004: stored estado 0",
        "line 4 20602345671 2004: stored estado 9",
        QString::fromUtf8("line 5 20134567890 2002: refused: El ejercicio no es válido."),
        "line 6 20456789120 2004: refused: box 301 takes digits only",
        "line 7 20712345618 2004: refused: \"20712345618\" is not a valid RUC",
        "line 8 10405060707 2004: refused: 16 fields where the header row names 17",
        "line 9 20712345617 2004: refused: field 3 holds a line break inside its quotes",
        "line 11 20134567890 2004: refused: box 301 takes at most 12 characters",
        "line 12 20100123453 2004: exists",
        "10 rows: 3 stored (2 estado 0, 1 estado 9), 1 existing, 6 refused; not stored: lines 5, 6, 7, 8, 9, 11, 12",
    };
    EXPECT_EQ(lineas(r.texto), esperadas);
    EXPECT_EQ(suite.cuenta("SELECT COUNT(*) FROM CAB"), 3);
    EXPECT_EQ(suite.cuenta("SELECT COUNT(*) FROM DET WHERE Casilla = '546'"), 1);
    QFile f(reporte);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList filas = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(filas.size(), 11);  // with its header
    EXPECT_EQ(filas[0], "linea,ruc,ejercicio,resultado");
    EXPECT_EQ(filas[6], "7,20712345618,2004,\"refused: \"\"20712345618\"\" is not a valid RUC\"");

    // The inconsistent one again, now whole: only --replace stores it, a dry
    // run nothing. A declaration already sent is not replaced.
    suite.s.exec("INSERT INTO HCAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, CORREL, estado) "
                 "VALUES (6, '20100123453', '2004', '0834', '1', 0)");
    const QString otra = suite.archivo("otra.csv",
        "ruc;ejercicio;telefono;rectifica;tipodoc;numdoc;apellidos;nombres;301;160;180\r\n"
        "20602345671;2004;4567890;0;01;11111111;PEREZ;ANA;1000;1;0\r\n"
        "20100123453;2004;4567890;0;01;11111111;PEREZ;ANA;1000;1;0\r\n");
    r = f0834({"import", "--ini", suite.s.iniPath(), otra});
    EXPECT_EQ(lineas(r.texto).value(0), "line 2 20602345671 2004: exists");
    r = f0834({"import", "--ini", suite.s.iniPath(), "--replace", "--dry-run", otra});
    EXPECT_EQ(lineas(r.texto).value(0), "line 2 20602345671 2004: would store estado 0");
    EXPECT_EQ(suite.cuenta("SELECT COUNT(*) FROM CAB WHERE estado = 9"), 1);
    const QStringList antes = suite.filas();
    r = f0834({"import", "--ini", suite.s.iniPath(), "--replace", otra});
    EXPECT_EQ(lineas(r.texto).mid(0, 2), (QStringList{"line 2 20602345671 2004: stored estado 0",
                                                      "line 3 20100123453 2004: exists (sent)"}));
    EXPECT_EQ(suite.cuenta("SELECT COUNT(*) FROM CAB WHERE estado = 9"), 0);
    EXPECT_EQ(suite.filas().filter("20100123453"), antes.filter("20100123453"));
}

TEST(Import, TheExampleOfTheReadmeIsStoredWhole)
{
    Suite suite;
    const Salida r = f0834({"import", "--ini", suite.s.iniPath(), QStringLiteral(EJEMPLO_CSV)});
    EXPECT_EQ(r.codigo, 0) << r.texto.constData() << r.errores.constData();
    EXPECT_EQ(suite.cuenta("SELECT COUNT(*) FROM CAB WHERE estado = 0"), 3);
}

TEST(Import, AFileThatCannotBeReadStoresNothing)
{
    Suite suite;
    const QList<std::pair<QByteArray, QByteArray>> malos{
        {"ruc,ejercicio,301,total,x\n20100123453,2004,1,2,3\n", "unknown columns in the header row: \"total\", \"x\""},
        {"ruc,ejercicio,301, 301\n20100123453,2004,1,2\n", "the header row names column \"301\" twice"},
        {"ruc,301\n20100123453,1\n", "the header row has no \"ejercicio\" column"},
        {"", "the file is empty"},
        {QByteArray("PK\x03\x04\x00\x00", 6), "binary data"},
    };
    for (const auto& [contenido, mensaje] : malos) {
        const Salida r = f0834({"import", "--ini", suite.s.iniPath(), suite.archivo("malo.csv", contenido)});
        EXPECT_EQ(r.codigo, 2);
        EXPECT_TRUE(r.errores.contains(mensaje)) << r.errores.constData();
        EXPECT_TRUE(r.texto.isEmpty());
    }
    EXPECT_EQ(f0834({"import", "--ini", suite.s.iniPath(), suite.s.path() + "no-existe.csv"}).codigo, 2);
    EXPECT_EQ(suite.cuenta("SELECT COUNT(*) FROM CAB"), 0);
}

// Declarations saved one by one through f0834 save, exported, and imported
// into another suite: every CAB and DET row comes back the same.
TEST(Export, ImportOnAnotherSuiteStoresEveryRowTheSame)
{
    Suite origen;
    QJsonObject todas;
    int monto = 1000;
    for (const int c : {300, 301, 302, 304, 305, 306, 307, 308, 310, 311, 313, 314, 315, 316, 318, 319, 321, 322,
                        323, 324, 395, 396, 397, 325, 327, 329, 104})
        todas.insert(QString::number(c), QString::number(monto += 137000));
    for (const int c : {303, 328, 326})
        todas.insert(QString::number(c), QStringLiteral("900"));
    todas.insert("160", "2");
    todas.insert("144", "1200");
    todas.insert("145", "35");
    todas.insert("180", "50000");
    QJsonObject deducciones;
    for (int c = 546; c <= 555; ++c)
        deducciones.insert(QString::number(c), QString::number(c * 10));

    const auto declaracion = [](const char* ruc, const char* nombre, const char* telefono, const QJsonObject& casillas,
                                const QJsonObject& deducciones, const QJsonObject& pago) {
        return QJsonObject{{"ruc", ruc}, {"razonSocial", nombre}, {"ejercicio", "2004"}, {"telefono", telefono}, {"rectifica", "1"},
                           {"ajuste", "1"}, {"liquidacion", "0"}, {"reorganizacion", "1"},
                           {"casillas", casillas}, {"deducciones", deducciones}, {"formaPago", pago},
                           {"representante", QJsonObject{{"tipoDoc", "01"}, {"numDoc", "12345678"},
                                                         {"apellidos", QString::fromUtf8("O'HIGGINS PEÑA")},
                                                         {"nombres", "ROSA ELENA"}}},
                           {"nuevo", true}};
    };
    const QList<QJsonObject> declaraciones{
        declaracion("20100123453", "DISTRIBUIDORA ANDINA S.A.C.", "4567890", todas, deducciones,
                    QJsonObject{{"formapago", "C"}, {"banco", "02"}, {"numcheque", "004512"}}),
        declaracion("20501234568", "INDUSTRIAS TEXTILES DEL SUR S.A.", "98765432", QJsonObject{{"301", "25000"}, {"160", "1"}, {"180", "0"}}, {},
                    QJsonObject{{"formapago", "E"}}),
        declaracion("20602345671", "CONSTRUCTORA LOS PINOS S.R.L.", "4411223", QJsonObject{{"300", "1"}, {"180", "7"}}, QJsonObject{{"555", "3"}},
                    QJsonObject{}),
    };
    for (const QJsonObject& d : declaraciones) {
        const Salida r = f0834({"save", "--ini", origen.s.iniPath()}, QJsonDocument(d).toJson());
        ASSERT_EQ(r.codigo, 0) << r.errores.constData();
    }
    ASSERT_EQ(origen.cuenta("SELECT COUNT(*) FROM CAB WHERE estado = 9"), 1);

    const QString archivo = origen.s.path() + QStringLiteral("todas.csv");
    Salida r = f0834({"export", "--ini", origen.s.iniPath(), "--ejercicio", "2004", archivo});
    ASSERT_EQ(r.codigo, 0) << r.errores.constData();
    EXPECT_EQ(r.texto, "3 declarations written to " + archivo.toUtf8() + "\n");

    Suite destino;
    r = f0834({"import", "--ini", destino.s.iniPath(), archivo});
    ASSERT_EQ(r.codigo, 0) << r.texto.constData() << r.errores.constData();
    const QStringList esperadas = origen.filas(), importadas = destino.filas();
    EXPECT_GT(esperadas.size(), 100);
    ASSERT_EQ(importadas.size(), esperadas.size());
    for (qsizetype i = 0; i < esperadas.size(); ++i)
        EXPECT_EQ(importadas[i], esperadas[i]);
}
