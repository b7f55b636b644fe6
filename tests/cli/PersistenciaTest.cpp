// f0834 validate, save and show as separate processes: a declaration goes in
// as JSON, is checked, stored in the suite's database and read back.

#include "ProcesoF0834.h"
#include "SuiteDePrueba.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <signal.h>
#include <vector>

namespace {

const QString kRuc = QStringLiteral("20131312955");

// A suite whose user may declare for the taxpayer, with the exercise's
// parameters and the installer's check-sum rows.
struct Suite {
    SuiteDePrueba s;
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
    EXPECT_EQ(r.errores, "f0834 save: taxpayer 20100070970 is not in the taxpayer list of user ADMIN\n");

    EXPECT_EQ(f0834({"save"}, json(declaracion())).codigo, 2);
    EXPECT_EQ(f0834({"show", "--ini", suite.s.iniPath(), kRuc, "2003"}).codigo, 1);
}

namespace {

// Every CAB and DET row of the suite, column by column, in a fixed order.
QStringList filasGuardadas(const QSqlDatabase& db)
{
    QStringList filas;
    for (const char* sql : {"SELECT * FROM CAB ORDER BY Doc_id_d, Periodo",
                            "SELECT * FROM DET ORDER BY Doc_id_d, Periodo, Casilla"}) {
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(QLatin1String(sql)));
        while (q.next()) {
            QStringList columnas;
            for (int i = 0; i < q.record().count(); ++i)
                columnas << q.value(i).toString();
            filas << columnas.join(u'|');
        }
    }
    return filas;
}

// Waits until the program has started and blocks reading its input.
void esperarLectura(const QProcess& p)
{
    QFile wchan(QStringLiteral("/proc/%1/wchan").arg(p.processId()));
    QElapsedTimer reloj;
    reloj.start();
    while (reloj.elapsed() < 10000 && wchan.open(QIODevice::ReadOnly) && !wchan.readAll().contains("pipe_read")) {
        wchan.close();
        QThread::msleep(1);
    }
}

// A second version of declaracion(): other amounts, other deductions.
QJsonObject otraVersion()
{
    QJsonObject d = declaracion();
    d.insert("nuevo", false);
    d.insert("telefono", "7654321");
    d.insert("casillas", QJsonObject{{"300", "9000000"}, {"301", "4000"}, {"160", "1"}, {"180", "0"}});
    d.insert("deducciones", QJsonObject{{"546", "2500"}, {"548", "300"}});
    return d;
}

} // namespace

// A save killed at any moment leaves one version or the other, whole: the
// deductions never belong to a different version than box 105 and the rest.
// Each save is started ahead and waits for its input, so the random moments
// fall on the save itself, not on the program's start.
TEST(Save, KilledAtAnyMomentLeavesOneWholeVersion)
{
    Suite suite;
    QJsonObject primera = declaracion();
    ASSERT_EQ(f0834({"save", "--ini", suite.s.iniPath()}, json(primera)).codigo, 0);
    primera.insert("nuevo", false);
    // Saved again as a stored one, as every later save of it is (the name then comes from the list's row).
    ASSERT_EQ(f0834({"save", "--ini", suite.s.iniPath()}, json(primera)).codigo, 0);
    const QStringList filasPrimera = filasGuardadas(suite.s.db());
    const auto arrancar = [&suite] {
        auto p = std::make_unique<QProcess>();
        p->start(QStringLiteral(F0834_PATH), {"save", "--ini", suite.s.iniPath()});
        return p;
    };
    const auto darEntrada = [](QProcess& p, const QByteArray& entrada) {
        EXPECT_TRUE(p.waitForStarted());
        esperarLectura(p);
        p.write(entrada);
        p.waitForBytesWritten();   // the input must not wait for this side's event loop
        p.closeWriteChannel();
    };
    std::unique_ptr<QProcess> siguiente = arrancar();
    std::unique_ptr<QProcess> p;

    // The longest of a few whole saves, started the same way, bounds the moments.
    const QByteArray versiones[] = {json(primera), json(otraVersion())};
    qint64 duracionUs = 0;
    for (int i = 0; i < 3; ++i) {
        p = std::exchange(siguiente, arrancar());
        darEntrada(*p, versiones[1]);
        QElapsedTimer reloj;
        reloj.start();
        ASSERT_TRUE(p->waitForFinished());
        ASSERT_EQ(p->exitCode(), 0);
        duracionUs = std::max(duracionUs, reloj.nsecsElapsed() / 1000);
    }
    const QStringList filasOtra = filasGuardadas(suite.s.db());
    ASSERT_NE(filasPrimera, filasOtra);

    QRandomGenerator azar(834);
    int mezcladas = 0, muertas = 0;
    for (int i = 0; i < 120; ++i) {
        p = std::exchange(siguiente, arrancar());
        darEntrada(*p, versiones[i % 2]);
        QThread::usleep(azar.bounded(duracionUs + 1));
        muertas += p->state() == QProcess::Running;
        ::kill(static_cast<pid_t>(p->processId()), SIGKILL);
        p->waitForFinished();
        const QStringList filas = filasGuardadas(suite.s.db());
        mezcladas += filas != filasPrimera && filas != filasOtra;
    }
    siguiente->kill();
    siguiente->waitForFinished();
    std::printf("120 kills, %d while saving, %d mixed\n", muertas, mezcladas);
    EXPECT_EQ(mezcladas, 0);
    EXPECT_GE(muertas, 40) << "many runs must be killed while saving";
}

namespace {

// Starts one f0834 save per input, gives them their inputs at once when all
// are ready, and gives their exit codes and standard errors when all have ended.
QList<Salida> guardarALaVez(const QString& iniPath, const QList<QByteArray>& entradas)
{
    std::vector<std::unique_ptr<QProcess>> procesos;
    for (qsizetype i = 0; i < entradas.size(); ++i) {
        procesos.push_back(std::make_unique<QProcess>());
        procesos.back()->start(QStringLiteral(F0834_PATH), {"save", "--ini", iniPath});
    }
    for (auto& p : procesos) {
        EXPECT_TRUE(p->waitForStarted());
        esperarLectura(*p);
    }
    for (qsizetype i = 0; i < entradas.size(); ++i) {
        procesos[i]->write(entradas[i]);
        procesos[i]->waitForBytesWritten();
        procesos[i]->closeWriteChannel();
    }
    QList<Salida> salidas;
    for (auto& p : procesos) {
        EXPECT_TRUE(p->waitForFinished(60000));
        Salida s;
        s.codigo = p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1;
        s.errores = p->readAllStandardError();
        salidas << s;
    }
    return salidas;
}

QJsonObject declaracionDe(const QString& ruc, bool nuevo)
{
    QJsonObject d = declaracion();
    d.insert("ruc", ruc);
    d.insert("nuevo", nuevo);
    return d;
}

} // namespace

// Eight writers at once, four on declarations of their own and four on one
// shared declaration: each waits its turn and none fails. The rounds are 4 in
// the suite; QVR_RONDAS_GUARDADO sets more for a long run.
TEST(Save, EightWritersAtOnceAllSucceed)
{
    Suite suite;
    const QStringList rucs = {kRuc, "20100000009", "20100000017", "20100000025", "20100000033"};
    for (const QString& ruc : rucs.mid(1))
        suite.s.exec(QStringLiteral("INSERT INTO CONT (Tip_doc_d, Doc_id_d, Tipo_Ingreso, Nombre, Usuario) "
                                    "VALUES (6, '%1', 1, 'OTRA SA', 'ADMIN')").arg(ruc));
    for (const QString& ruc : rucs)
        ASSERT_EQ(f0834({"save", "--ini", suite.s.iniPath()}, json(declaracionDe(ruc, true))).codigo, 0);

    const int rondas = qEnvironmentVariableIsSet("QVR_RONDAS_GUARDADO") ? qEnvironmentVariableIntValue("QVR_RONDAS_GUARDADO") : 4;
    QList<QByteArray> entradas;
    for (int i = 0; i < 8; ++i) {
        QJsonObject d = i % 2 ? otraVersion() : declaracionDe(kRuc, false);
        d.insert("ruc", i < 4 ? rucs[i + 1] : kRuc);
        entradas << json(d);
    }
    int fallidas = 0;
    for (int r = 0; r < rondas; ++r)
        for (const Salida& s : guardarALaVez(suite.s.iniPath(), entradas)) {
            fallidas += s.codigo != 0;
            EXPECT_EQ(s.codigo, 0) << s.errores.constData();
        }
    EXPECT_EQ(fallidas, 0);
    EXPECT_EQ(suite.filas("SELECT COUNT(*) FROM CAB"), 5);
}

// Two workstations save the same new declaration at once: one stores it, the
// other is told it exists, and no second header or stray deduction is left.
TEST(Save, SameNewDeclarationTwiceAtOnceStoresOne)
{
    for (int ronda = 0; ronda < 3; ++ronda) {
        Suite suite;
        QJsonObject otra = otraVersion();
        otra.insert("nuevo", true);
        const QList<Salida> s = guardarALaVez(suite.s.iniPath(), {json(declaracion()), json(otra)});
        ASSERT_EQ((s[0].codigo == 0) + (s[1].codigo == 0), 1) << s[0].errores.constData() << s[1].errores.constData();
        const Salida& perdedor = s[0].codigo == 0 ? s[1] : s[0];
        EXPECT_EQ(perdedor.codigo, 1);
        EXPECT_TRUE(perdedor.errores.contains("ya existe")) << perdedor.errores.constData();
        EXPECT_EQ(suite.filas("SELECT COUNT(*) FROM CAB WHERE cNumero <> '0'"), 1);
        EXPECT_EQ(suite.filas("SELECT COUNT(*) FROM DET WHERE Casilla IN ('546', '547', '548')"), s[0].codigo == 0 ? 1 : 2);
    }
}

// show -> edit a box -> save: what show prints is taken back as it is. With
// its stamp, a save after someone else's refuses and writes nothing, unless
// --overwrite.
TEST(Save, TakesWhatShowPrintsAndRefusesOverSomeoneElsesChange)
{
    Suite suite;
    const QStringList ini{"--ini", suite.s.iniPath()};
    ASSERT_EQ(f0834(QStringList{"save"} + ini, json(declaracion())).codigo, 0);
    QJsonObject mostrada = f0834(QStringList{"show"} + ini + QStringList{kRuc, "2004"}).json;
    ASSERT_FALSE(mostrada.value("sello").toString().isEmpty());
    QJsonObject casillas = mostrada.value("casillas").toObject();
    casillas.insert("300", "16,000,000");
    mostrada.insert("casillas", casillas);

    ASSERT_EQ(f0834(QStringList{"save"} + ini, json(otraVersion())).codigo, 0);
    const QStringList deOtro = filasGuardadas(suite.s.db());
    Salida r = f0834(QStringList{"save"} + ini, json(mostrada));
    EXPECT_EQ(r.codigo, 1);
    EXPECT_TRUE(r.errores.contains("modificada por otro usuario")) << r.errores.constData();
    EXPECT_EQ(filasGuardadas(suite.s.db()), deOtro);

    r = f0834(QStringList{"save"} + ini + QStringList{"--overwrite"}, json(mostrada));
    ASSERT_EQ(r.codigo, 0) << r.errores.constData();
    const QJsonObject vuelta = f0834(QStringList{"show"} + ini + QStringList{kRuc, "2004"}).json;
    EXPECT_EQ(vuelta.value("casillas").toObject().value("300").toString(), "16,000,000");
    EXPECT_EQ(vuelta.value("casillas").toObject().value("330").toString(), "16,001,500");
    EXPECT_EQ(vuelta.value("deducciones"), mostrada.value("deducciones"));
    // Saved back unchanged, with its own stamp, it is accepted again.
    EXPECT_EQ(f0834(QStringList{"save"} + ini, json(vuelta)).codigo, 0);
}

// Box 105 without deductions: blank, or the empty assistant's total.
QString formatoSinDeducciones(const QString& c105) { return c105 == "(0)" ? QString() : c105; }

// show -> leave members out or empty them -> save: a member left out keeps
// what is stored, an empty one clears it, and box 105 and the boxes computed
// from it always agree with the stored deductions.
TEST(Save, AMemberLeftOutKeepsWhatIsStoredAndAnEmptyOneClearsIt)
{
    Suite suite;
    const QStringList ini{"--ini", suite.s.iniPath()};
    const QStringList mostrar = QStringList{"show"} + ini + QStringList{kRuc, "2004"};
    ASSERT_EQ(f0834(QStringList{"save"} + ini, json(declaracion())).codigo, 0);
    const QJsonObject primera = f0834(mostrar).json;
    ASSERT_EQ(primera.value("casillas").toObject().value("105").toString(), "(1,000)");

    QJsonObject sinMiembros = primera;
    for (const char* k : {"deducciones", "casillas", "telefono", "representante", "sello"})
        sinMiembros.remove(QLatin1String(k));
    Salida r = f0834(QStringList{"save"} + ini, json(sinMiembros));
    ASSERT_EQ(r.codigo, 0) << r.errores.constData();
    QJsonObject vuelta = f0834(mostrar).json;
    for (const char* k : {"deducciones", "casillas", "telefono", "representante", "formaPago"})
        EXPECT_EQ(vuelta.value(QLatin1String(k)), primera.value(QLatin1String(k))) << k;

    QJsonObject vacios = vuelta;
    vacios.insert("deducciones", QJsonObject{});
    vacios.insert("telefono", "");
    r = f0834(QStringList{"save"} + ini, json(vacios));
    ASSERT_EQ(r.codigo, 0) << r.errores.constData();
    vuelta = f0834(mostrar).json;
    EXPECT_EQ(vuelta.value("deducciones").toObject(), QJsonObject{});
    EXPECT_EQ(vuelta.value("telefono").toString(), "");
    EXPECT_EQ(formatoSinDeducciones(vuelta.value("casillas").toObject().value("105").toString()), "");
    EXPECT_EQ(suite.filas("SELECT COUNT(*) FROM DET WHERE Casilla = '546' OR (Casilla = '105' AND i_valor <> '0')"), 0);
    // Every box computed from box 105 follows it: as computed without deductions.
    const QJsonObject entrada{{"ejercicio", "2004"}, {"ajuste", "0"},
                              {"casillas", declaracion().value("casillas")}};
    const Salida calculo = f0834({"compute", "--ini", suite.s.iniPath()}, json(entrada));
    ASSERT_EQ(calculo.codigo, 0) << calculo.errores.constData();
    const QJsonObject calculadas = calculo.json.value("casillas").toObject();
    for (auto it = calculadas.begin(); it != calculadas.end(); ++it)
        if (!it->toString().isEmpty() && it.key() != "225" && it.key() != "226") {
            EXPECT_EQ(vuelta.value("casillas").toObject().value(it.key()).toString(), it->toString())
                << it.key().toStdString();
        }
}
