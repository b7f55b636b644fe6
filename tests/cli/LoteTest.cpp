// The batch commands: the CSV reader in-process, f0834 import and export as
// processes on suites with the host's sample taxpayers and parameters.

#include "LectorCsv.h"
#include "ProcesoF0834.h"
#include "Progreso.h"
#include "Suite.h"
#include "SuiteDePrueba.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QProcessEnvironment>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace {

struct Suite {
    SuiteDePrueba s;
    Suite() { EXPECT_EQ(qvrhost::insertaFilasMuestra(s.db()), QString()); }
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
        "line 9-10 20712345617 2004: refused: field 3 holds a line break inside its quotes",
        "line 11 20134567890 2004: refused: box 301 takes at most 12 characters",
        "line 12 20100123453 2004: refused: repeats line 2",
        "10 rows: 3 stored (2 estado 0, 1 estado 9), 0 existing, 7 refused; not stored: 7 rows (lines 5, 6, 7, 8, 9-10, "
        "11, 12)",
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

namespace {

// A declaration of a sample taxpayer as save takes it.
QJsonObject declaracionDe(const QString& ruc, bool nuevo)
{
    return QJsonObject{
        {"ejercicio", "2004"}, {"ruc", ruc}, {"telefono", "4567890"}, {"ajuste", "0"}, {"rectifica", "0"},
        {"casillas", QJsonObject{{"301", "2000"}, {"160", "1"}, {"180", "0"}}},
        {"formaPago", QJsonObject{{"formapago", "E"}}},
        {"representante", QJsonObject{{"tipoDoc", "01"}, {"numDoc", "12345678"}, {"apellidos", "QUISPE"},
                                      {"nombres", "ROSA"}}},
        {"nuevo", nuevo},
    };
}

QByteArray json(const QJsonObject& o) { return QJsonDocument(o).toJson(); }

} // namespace

// What the window's controls refuse, the command line and the import refuse
// too; the taxpayer's name is the list's, not the input's.
TEST(Import, TakesOnlyWhatTheWindowTakes)
{
    Suite suite;
    const QString datos = suite.archivo("lote.csv",
        "ruc,ejercicio,telefono,rectifica,formapago,banco,numcheque,tipodoc,numdoc,apellidos,nombres,301,160,180\n"
        "20100123453,2004,4567890,0,C,02,12A4,01,12345678,QUISPE,ROSA,1000,1,0\n"
        "20501234568,2004,4567890,0,C,99,123,01,12345678,QUISPE,ROSA,1000,1,0\n"
        "20602345671,2004,4567890,0,E,,,01,12345678,QUISPE,ROSA,(5),1,0\n"
        "20134567890,2004,4567890,0,C,02,0045,01,12345678,QUISPE,ROSA,1000,1,0\n");
    const Salida r = f0834({"import", "--ini", suite.s.iniPath(), datos});
    const QStringList esperadas{
        "line 2 20100123453 2004: refused: \"numcheque\" takes digits only",
        "line 3 20501234568 2004: refused: \"banco\" \"99\" is not one of the banks the form lists",
        "line 4 20602345671 2004: refused: box 301 takes digits only",
        "line 5 20134567890 2004: stored estado 0",
    };
    EXPECT_EQ(lineas(r.texto).mid(0, 4), esperadas);
    EXPECT_EQ(suite.cuenta("SELECT COUNT(*) FROM CAB"), 1);

    QJsonObject d = declaracionDe("20501234568", true);
    d.insert("razonSocial", "OTRO NOMBRE");
    ASSERT_EQ(f0834({"save", "--ini", suite.s.iniPath()}, json(d)).codigo, 0);
    EXPECT_EQ(suite.cuenta("SELECT COUNT(*) FROM DET WHERE Casilla = '801' AND i_valor LIKE '%INDUSTRIAS%'"), 1);
    EXPECT_EQ(suite.cuenta("SELECT COUNT(*) FROM DET WHERE i_valor LIKE '%OTRO%'"), 0);
    const Salida mostrada = f0834({"show", "--ini", suite.s.iniPath(), "20501234568", "2004"});
    EXPECT_EQ(mostrada.json.value("razonSocial").toString(), "INDUSTRIAS TEXTILES DEL SUR S.A.");
}

// A user restricted to their own taxpayers reaches no other one from the
// command line either, and a refusal names the taxpayer and says why.
TEST(Acceso, ARestrictedUserReachesOnlyTheirOwnTaxpayers)
{
    SuiteDePrueba contador(QStringLiteral("CONTADOR"));
    ASSERT_EQ(qvrhost::insertaFilasMuestra(contador.db()), QString());
    const QStringList ini{"--ini", contador.iniPath()};
    // Stored while the user could still see every taxpayer.
    contador.exec("UPDATE CLAVES SET Tipo = '0' WHERE Usuario = 'CONTADOR'");
    ASSERT_EQ(f0834(QStringList{"save"} + ini, json(declaracionDe("20100123453", true))).codigo, 0);
    ASSERT_EQ(f0834(QStringList{"save"} + ini, json(declaracionDe("20523456785", true))).codigo, 0);
    contador.exec("UPDATE CLAVES SET Tipo = '1' WHERE Usuario = 'CONTADOR'");

    const QByteArray ajeno = "taxpayer 20100123453 is not in the taxpayer list of user CONTADOR";
    const QList<QStringList> ordenes{
        {"show", "20100123453", "2004"},
        {"print", "20100123453", "2004"},
        {"export", "--ruc", "20100123453", contador.path() + "ajena.csv"},
    };
    for (const QStringList& orden : ordenes) {
        const Salida r = f0834(orden.mid(0, 1) + ini + orden.mid(1));
        EXPECT_EQ(r.codigo, 1) << orden.join(' ').toStdString();
        EXPECT_TRUE(r.errores.contains(ajeno)) << r.errores.constData();
    }
    QStringList antes;
    {
        QSqlQuery q(contador.db());
        q.exec("SELECT Casilla, i_valor FROM DET ORDER BY Doc_id_d, Casilla");
        while (q.next())
            antes << q.value(0).toString() + '=' + q.value(1).toString();
    }
    Salida r = f0834(QStringList{"save"} + ini, json(declaracionDe("20100123453", false)));
    EXPECT_EQ(r.codigo, 1);
    EXPECT_TRUE(r.errores.contains(ajeno)) << r.errores.constData();
    r = f0834(QStringList{"save"} + ini, json(declaracionDe("20100123454", false)));
    EXPECT_EQ(r.codigo, 1);
    EXPECT_TRUE(r.errores.contains("\"20100123454\" is not a valid RUC")) << r.errores.constData();
    QStringList despues;
    {
        QSqlQuery q(contador.db());
        q.exec("SELECT Casilla, i_valor FROM DET ORDER BY Doc_id_d, Casilla");
        while (q.next())
            despues << q.value(0).toString() + '=' + q.value(1).toString();
    }
    EXPECT_EQ(despues, antes);
    QSqlQuery cab(contador.db());
    ASSERT_TRUE(cab.exec("SELECT COUNT(*) FROM CAB") && cab.next());
    EXPECT_EQ(cab.value(0).toInt(), 2);

    // Their own declaration, and only it, goes out.
    const QString todas = contador.path() + "todas.csv";
    r = f0834(QStringList{"export"} + ini + QStringList{todas});
    EXPECT_EQ(r.texto, "1 declarations written to " + todas.toUtf8() + "\n");
    EXPECT_EQ(f0834(QStringList{"show"} + ini + QStringList{"20523456785", "2004"}).codigo, 0);
}

// export on a full disk (a file-size limit in the child stands for it):
// exit 1 naming the cause, the previous file whole, no "written".
TEST(Export, AFullDiskKeepsThePreviousFileAndSaysSo)
{
    Suite suite;
    for (const char* ruc : {"20100123453", "20501234568", "20602345671"})
        ASSERT_EQ(f0834({"save", "--ini", suite.s.iniPath()}, json(declaracionDe(ruc, true))).codigo, 0);
    const QString archivo = suite.archivo("anterior.csv", "el archivo anterior\r\n");

    QProcess p;
    p.setChildProcessModifier([] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limite{200, 200};
        ::setrlimit(RLIMIT_FSIZE, &limite);
    });
    p.start(QStringLiteral(F0834_PATH), {"export", "--ini", suite.s.iniPath(), archivo});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
    const QByteArray errores = p.readAllStandardError();
    EXPECT_TRUE(errores.contains("anterior.csv") && errores.contains(std::strerror(EFBIG))) << errores.constData();
    QFile f(archivo);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "el archivo anterior\r\n");
    EXPECT_EQ(QDir(suite.s.path()).entryList({"anterior.csv.*"}, QDir::Files), QStringList());
}

TEST(Csv, CellsASpreadsheetWouldRunAreWrittenAsTextAndReadBack)
{
    EXPECT_EQ(csv::linea({"\ry"}), "\"'\ry\"\r\n");
    const QStringList campos{"=1+1", "+5", "-5", "@SUM(A1)", "\tx", "'=z", "''-w", "'a", "O'HIGGINS", "5"};
    const QString linea = csv::linea(campos);
    EXPECT_EQ(linea, "'=1+1,'+5,'-5,'@SUM(A1),'\tx,''=z,'''-w,'a,O'HIGGINS,5\r\n");
    QString error;
    const QStringList cabecera{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"};
    const std::optional<csv::Archivo> a = csv::leer((csv::linea(cabecera) + linea).toUtf8(), &error);
    ASSERT_TRUE(a) << qPrintable(error);
    ASSERT_EQ(a->filas.size(), 1);
    EXPECT_EQ(a->filas[0].campos, campos);
}

// import reads only a file of a stated size, reads on past a quote never
// closed, names every line it did not store, refuses a declaration repeated
// in one file, cuts what it echoes and says how it read a file that is not UTF-8.
TEST(Import, SaysOfEveryLineWhyItWasNotStored)
{
    Suite suite;
    const QStringList ini{"--ini", suite.s.iniPath()};
    Salida r = f0834(QStringList{"import"} + ini + QStringList{"/dev/null"});
    EXPECT_EQ(r.codigo, 2);
    EXPECT_TRUE(r.errores.contains("/dev/null is not a regular file")) << r.errores.constData();
    {
        QFile grande(suite.s.path() + "grande.csv");
        ASSERT_TRUE(grande.open(QIODevice::WriteOnly) && grande.resize((qint64(64) << 20) + 1));
    }
    r = f0834(QStringList{"import"} + ini + QStringList{suite.s.path() + "grande.csv"});
    EXPECT_EQ(r.codigo, 2);
    EXPECT_TRUE(r.errores.contains("is larger than 64 MiB")) << r.errores.constData();

    const QByteArray fila = ",2004,4567890,0,E,01,12345678,QUISPE,ROSA,1000,1,0\n";
    const QByteArray largo(200, '7');
    const QString datos = suite.archivo("lote.csv",
        "ruc,ejercicio,telefono,rectifica,formapago,tipodoc,numdoc,apellidos,nombres,301,160,180\n"
        "20100123453" + fila +
        "20134567890,2004,\"45\n67\",0,E,01,12345678,QUISPE,ROSA,1000,1,0\n" +
        largo + fila +
        "20100123453" + fila +
        "20501234568,2004,\"4567890,0,E,01,12345678,QUISPE,ROSA,1000,1,0\n"
        "20602345671" + fila);
    r = f0834(QStringList{"import"} + ini + QStringList{datos});
    const QStringList esperadas{
        "line 2 20100123453 2004: stored estado 0",
        "line 3-4 20134567890 2004: refused: field 3 holds a line break inside its quotes",
        "line 5 " + QString(79, u'7') + QString::fromUtf8("… 2004: refused: \"ruc\" takes at most 11 characters"),
        "line 6 20100123453 2004: refused: repeats line 2",
        "line 7 20501234568 2004: refused: field 3 opens a quote that is never closed",
        "line 8 20602345671 2004: stored estado 0",
        "6 rows: 2 stored (2 estado 0, 0 estado 9), 0 existing, 4 refused; not stored: 4 rows (lines 3-4, 5, 6, 7)",
    };
    EXPECT_EQ(lineas(r.texto), esperadas);
    r = f0834(QStringList{"import"} + ini + QStringList{"--replace", "--dry-run", datos});
    EXPECT_EQ(lineas(r.texto).value(3), "line 6 20100123453 2004: would store estado 0, replaces line 2");

    // Ñ written as UTF-8 in a file that some other byte keeps from being UTF-8.
    const QString mezcla = suite.archivo("mezcla.csv",
        "ruc,ejercicio,telefono,rectifica,formapago,tipodoc,numdoc,apellidos,nombres,301,160,180\n"
        "20712345617,2004,4567890,0,E,01,12345678,MU\xC3\x91OZ,JOS\xC9,1000,1,0\n");
    r = f0834(QStringList{"import"} + ini + QStringList{mezcla});
    EXPECT_TRUE(lineas(r.texto).value(0).endsWith("(the file was read as Windows-1252: it is not valid UTF-8)"))
        << r.texto.constData();
}

// On a terminal the bar is drawn below the result lines, never inside one.
TEST(Progreso, TheBarNeverLandsInsideAResultLine)
{
    QString pantalla;
    QTextStream salida(&pantalla), errores(&pantalla);
    Progreso progreso(errores, 3, true);
    const QStringList resultados{"line 2 20100123453 2004: stored estado 0", "line 3 20501234568 2004: stored estado 0",
                                 "line 4 20602345671 2004: stored estado 0"};
    for (const QString& r : resultados) {
        progreso.escribir(salida, r);
        progreso.avanzar();
    }
    progreso.terminar();
    // What a terminal shows: a carriage return goes back to the start of the line.
    QStringList filas{QString()};
    qsizetype columna = 0;
    for (const QChar c : pantalla) {
        if (c == u'\n') {
            filas << QString();
            columna = 0;
        } else if (c == u'\r') {
            columna = 0;
        } else {
            QString& fila = filas.last();
            fila = fila.leftJustified(columna);
            fila.replace(columna++, 1, c);
        }
    }
    for (qsizetype i = 0; i < resultados.size(); ++i)
        EXPECT_EQ(filas.value(i).trimmed(), resultados[i]);
}

// A shell user's habits: SUB --help, and KV000.INI found as the windows find it.
TEST(LineaDeOrdenes, SubcommandHelpAndTheSuitesOwnSettingsFile)
{
    for (const char* sub : {"save", "show", "import", "export", "print", "compute", "validate"}) {
        const Salida r = f0834({sub, "--help"});
        EXPECT_EQ(r.codigo, 0) << sub;
        EXPECT_TRUE(r.texto.contains(QByteArray("f0834 ") + sub)) << sub << r.texto.constData();
        EXPECT_TRUE(r.errores.isEmpty()) << r.errores.constData();
    }
    Suite suite;
    ASSERT_EQ(f0834({"save", "--ini", suite.s.iniPath()}, json(declaracionDe("20100123453", true))).codigo, 0);
    QProcess p;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert("QVR_WINDIR", suite.s.path());
    p.setProcessEnvironment(entorno);
    p.start(QStringLiteral(F0834_PATH), {"show", "20100123453", "2004"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    EXPECT_EQ(QJsonDocument::fromJson(p.readAllStandardOutput()).object().value("ruc").toString(), "20100123453");
}
