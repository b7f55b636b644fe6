// A suite on the server with one login per user: a restricted user goes
// around the programs with the server's own client (libpq, and psql itself)
// and cannot reach another user's taxpayers nor make themselves
// unrestricted; the programs run as that user find only their own taxpayers.

#include "ConsultasListas.h"
#include "SuiteDePruebaIntegrador.h"
#include "LoginServidor.h"
#include "LoginsPorUsuario.h"
#include "Sesion.h"
#include "EnvioDeclaracion.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <iostream>
#include <map>

namespace {

const QString kAjeno = QStringLiteral("20100123453");   // a taxpayer of the administrator's
const QString kPropio = QStringLiteral("20523456785");  // the restricted user's own

struct Corrida {
    int salida = -1;
    QString texto;
    QString errores;
};

Corrida corre(const QString& programa, const QStringList& args, const QString& windir = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (!windir.isEmpty()) {
        env.insert(QStringLiteral("QVR_WINDIR"), windir);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), windir);
    }
    p.setProcessEnvironment(env);
    p.start(programa, args);
    if (!p.waitForFinished(60000))
        p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// The suite made with --per-user-logins, its administrator being the
// database's owner; a restricted and an unrestricted user (names unique on
// the shared server), the restricted one owning the taxpayers of CONTADOR.
// One declaration per taxpayer kind, stored, sent and printed by the administrator.
class SuitePorUsuario {
public:
    SuitePorUsuario()
    {
        const QString tag = QUuid::createUuid().toString(QUuid::Id128).left(10);
        restricted_ = QStringLiteral("r") + tag;
        unrestricted_ = QStringLiteral("u") + tag;
        database_ = SuiteDePrueba::creaBaseServidor(false);
        error_ = qvrhost::creaSuiteEnServidor(folder(), urlDueno(), false, true);
        if (error_.isEmpty())
            error_ = qvrhost::abreBaseSuiteComo(leeConfiguracion(iniPath()), kAdmin);
        if (error_.isEmpty())
            error_ = qvrhost::agregaUsuarioSuite(admin(), restricted_, true);
        if (error_.isEmpty())
            error_ = qvrhost::agregaUsuarioSuite(admin(), unrestricted_, false);
        if (error_.isEmpty() && !QSqlQuery(admin()).exec(
                                    QStringLiteral("UPDATE CONT SET Usuario = '%1' WHERE Usuario = 'CONTADOR'").arg(restricted_)))
            error_ = QStringLiteral("CONT");
        for (const QString& user : {restricted_, unrestricted_})
            escribeIniUsuario(user);
    }
    ~SuitePorUsuario()
    {
        for (const QString& c : {kAdmin, QStringLiteral("restricted"), QStringLiteral("unrestricted")}) {
            QSqlDatabase::database(c, false).close();
            QSqlDatabase::removeDatabase(c);
        }
        SuiteDePrueba::borraBaseServidor(database_);
        for (const QString& role : {restricted_, unrestricted_, qvrhost::grupoUsuariosSuite(database_)})
            SuiteDePrueba::ejecutaEnServidor(QStringLiteral("postgres"), QStringLiteral("DROP ROLE IF EXISTS \"%1\"").arg(role));
    }

    QString error() const { return error_; }
    QString folder() const { return dir_.path() + QStringLiteral("/suite"); }
    QString iniPath() const { return folder() + QStringLiteral("/KV000.INI"); }
    // The folder holding a user's own KV000.INI (their QVR_WINDIR).
    QString windir(const QString& user) const { return dir_.path() + u'/' + user; }
    QString userIni(const QString& user) const { return windir(user) + QStringLiteral("/KV000.INI"); }
    QString urlDueno() const
    {
        return SuiteDePrueba::urlServidor(database_).replace("postgresql://", "postgresql://postgres@");
    }
    QString restricted() const { return restricted_; }
    QString unrestricted() const { return unrestricted_; }
    QString database() const { return database_; }
    QSqlDatabase admin() const { return QSqlDatabase::database(kAdmin); }

    // A connection logged in as `user` straight through the client library.
    QSqlDatabase login(const QString& user, const QString& connection) const
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
        db.setHostName(qEnvironmentVariable("QVR_TEST_PG"));
        db.setDatabaseName(database_);
        db.setUserName(user);
        EXPECT_TRUE(db.open()) << qPrintable(db.lastError().text());
        return db;
    }

    // Every row of every table of the suite, as the administrator sees them.
    QString instantanea() const
    {
        QString all;
        for (const char* table : {"CONT", "CAB", "DET", "HCAB", "HDET", "SPOOL", "CLAVES", "PARAM", "ERROR",
                                  "Reportes", "envio_t"}) {
            QSqlQuery q(admin());
            EXPECT_TRUE(q.exec(QStringLiteral("SELECT count(*), md5(string_agg(t::text, ',' ORDER BY t::text)) FROM %1 t")
                                   .arg(QLatin1String(table))));
            q.next();
            all += QLatin1String(table) + u' ' + q.value(0).toString() + u' ' + q.value(1).toString() + u'\n';
        }
        return all;
    }

    // Two declarations of 2004 (one per taxpayer), sent once and printed,
    // all by the administrator.
    void guardaDeclaraciones() const
    {
        const QString csv = dir_.path() + QStringLiteral("/dos.csv");
        QFile f(csv);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const QByteArray fila = ",2004,4567890,0,0,0,0,E,,,01,12345678,QUISPE MAMANI,ROSA ELENA,15000,1250000,900,"
                                "800000,1500000,120000,,1,300,,0,10000,\n";
        f.write("ruc,ejercicio,telefono,rectifica,ajuste,liquidacion,reorganizacion,formapago,banco,numcheque,"
                "tipodoc,numdoc,apellidos,nombres,300,301,303,318,319,328,104,160,144,145,180,546,550\n");
        f.write(kAjeno.toLatin1() + fila + kPropio.toLatin1() + fila);
        f.close();
        Corrida r = corre(QStringLiteral(F0834_PATH), {"import", "--ini", iniPath(), csv});
        ASSERT_EQ(r.salida, 0) << qPrintable(r.texto + r.errores);
        for (const QString& ruc : {kAjeno, kPropio}) {
            r = corre(QStringLiteral(QVRHOST_PROGRAM), {"send", "--ini", iniPath(), ruc, "2004"});
            ASSERT_EQ(r.salida, 0) << qPrintable(r.errores);
        }
        r = corre(QStringLiteral(F0834_PATH), {"print", "--ini", iniPath(), "--all", "--pdf-dir", dir_.path() + "/pdf"});
        ASSERT_EQ(r.salida, 0) << qPrintable(r.texto + r.errores);
    }

private:
    void escribeIniUsuario(const QString& user) const
    {
        QDir().mkpath(windir(user));
        QFile in(iniPath());
        QFile out(userIni(user));
        if (in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly))
            out.write(QString::fromUtf8(in.readAll()).replace(QStringLiteral("SysUser=postgres"), "SysUser=" + user).toUtf8());
    }

    static inline const QString kAdmin = QStringLiteral("peruser-admin");
    QTemporaryDir dir_;
    QString database_;
    QString restricted_;
    QString unrestricted_;
    QString error_;
};

enum class Operacion { Leer, Cambiar, Insertar, Borrar };
const char* nombreDe(Operacion op)
{
    switch (op) {
    case Operacion::Leer: return "read";
    case Operacion::Cambiar: return "change";
    case Operacion::Insertar: return "insert";
    case Operacion::Borrar: return "delete";
    }
    return "";
}

// One statement per table and operation on the rows of taxpayer %1 (%2: a
// fresh tag for new keys).
const std::map<QString, std::map<Operacion, QString>> kAttempts{
    {"CONT",
     {{Operacion::Leer, "SELECT count(*) FROM CONT WHERE Doc_id_d = '%1'"},
      {Operacion::Cambiar, "UPDATE CONT SET Usuario = CURRENT_USER WHERE Doc_id_d = '%1'"},
      // a new taxpayer for the user whose taxpayer %1 is
      {Operacion::Insertar, "INSERT INTO CONT (Tip_doc_d, Doc_id_d, Nombre, Usuario) VALUES "
                   "(6, '%2', 'X', CASE WHEN '%1' = '20100123453' THEN 'ADMIN' ELSE CURRENT_USER END)"},
      {Operacion::Borrar, "DELETE FROM CONT WHERE Doc_id_d = '%1'"}}},
    {"CAB",
     {{Operacion::Leer, "SELECT count(*) FROM CAB WHERE Doc_id_d = '%1'"},
      {Operacion::Cambiar, "UPDATE CAB SET estado = 5 WHERE Doc_id_d = '%1'"},
      {Operacion::Insertar, "INSERT INTO CAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, estado) VALUES (6, '%1', '2003', '0834', 0)"},
      {Operacion::Borrar, "DELETE FROM CAB WHERE Doc_id_d = '%1'"}}},
    {"DET",
     {{Operacion::Leer, "SELECT count(*) FROM DET WHERE Doc_id_d = '%1'"},
      {Operacion::Cambiar, "UPDATE DET SET i_valor = '1' WHERE Doc_id_d = '%1'"},
      {Operacion::Insertar, "INSERT INTO DET (Tip_doc_d, Doc_id_d, Periodo, Formulario, Casilla, i_valor) "
                   "VALUES (6, '%1', '2003', '0834', '300', '1')"},
      {Operacion::Borrar, "DELETE FROM DET WHERE Doc_id_d = '%1'"}}},
    {"HCAB",
     {{Operacion::Leer, "SELECT count(*) FROM HCAB WHERE Doc_id_d = '%1'"},
      {Operacion::Cambiar, "UPDATE HCAB SET NORDEN = 1 WHERE Doc_id_d = '%1'"},
      {Operacion::Insertar, "INSERT INTO HCAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, CORREL) VALUES (6, '%1', '2004', '0834', '99')"},
      {Operacion::Borrar, "DELETE FROM HCAB WHERE Doc_id_d = '%1'"}}},
    {"HDET",
     {{Operacion::Leer, "SELECT count(*) FROM HDET WHERE Doc_id_d = '%1'"},
      {Operacion::Cambiar, "UPDATE HDET SET i_valor = '1' WHERE Doc_id_d = '%1'"},
      {Operacion::Insertar, "INSERT INTO HDET (Tip_doc_d, Doc_id_d, Periodo, Formulario, Correl, Casilla) "
                   "VALUES (6, '%1', '2004', '0834', '99', '300')"},
      {Operacion::Borrar, "DELETE FROM HDET WHERE Doc_id_d = '%1'"}}},
    {"SPOOL",
     {{Operacion::Leer, "SELECT count(*) FROM SPOOL WHERE doc_id_d = '%1'"},
      {Operacion::Cambiar, "UPDATE SPOOL SET Usuario = CURRENT_USER WHERE doc_id_d = '%1'"},
      {Operacion::Insertar, "INSERT INTO SPOOL (CodRep, Secuencia, Archivo, Usuario, Tip_doc_d, doc_id_d) "
                   "VALUES ('ZZZ', '000001', 'Z%2', CURRENT_USER, 6, '%1')"},
      {Operacion::Borrar, "DELETE FROM SPOOL WHERE doc_id_d = '%1'"}}},
    {"CLAVES",
     {{Operacion::Leer, "SELECT count(*) FROM CLAVES"},
      {Operacion::Cambiar, "UPDATE CLAVES SET Tipo = '0' WHERE Usuario = CURRENT_USER"},
      {Operacion::Insertar, "INSERT INTO CLAVES (Usuario, Tipo) VALUES ('Z%2', '0')"},
      {Operacion::Borrar, "DELETE FROM CLAVES WHERE Usuario = CURRENT_USER"}}},
    {"PARAM",
     {{Operacion::Leer, "SELECT count(*) FROM PARAM"},
      {Operacion::Cambiar, "UPDATE PARAM SET Funcion = 'X'"},
      {Operacion::Insertar, "INSERT INTO PARAM (Numero, Argumento, Funcion) VALUES ('999', '%2', 'X')"},
      {Operacion::Borrar, "DELETE FROM PARAM"}}},
    {"ERROR",
     {{Operacion::Leer, "SELECT count(*) FROM ERROR"},
      {Operacion::Cambiar, "UPDATE ERROR SET DescError = 'X'"},
      {Operacion::Insertar, "INSERT INTO ERROR (CodError, DescError) VALUES ('9999', 'X')"},
      {Operacion::Borrar, "DELETE FROM ERROR"}}},
    {"Reportes",
     {{Operacion::Leer, "SELECT count(*) + 1 FROM Reportes"},
      {Operacion::Cambiar, "UPDATE Reportes SET Activo = 0"},
      {Operacion::Insertar, "INSERT INTO Reportes (CodRep, DescRep, Activo) VALUES ('ZZZ', 'X', 1)"},
      {Operacion::Borrar, "DELETE FROM Reportes"}}},
    {"envio_t",
     {{Operacion::Leer, "SELECT count(*) + 1 FROM envio_t"},
      {Operacion::Cambiar, "UPDATE envio_t SET obliga = 0"},
      {Operacion::Insertar, "INSERT INTO envio_t (formulario, tabla_o) VALUES ('0834', 'Z%2')"},
      {Operacion::Borrar, "DELETE FROM envio_t"}}},
};

const QStringList kReferenceTables{"CLAVES", "PARAM", "ERROR", "Reportes", "envio_t"};

// An attempt is allowed when the server returns or touches at least one row;
// an error or no row at all is a refusal.
bool allowed(QSqlDatabase db, Operacion op, const QString& sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        return false;
    if (op == Operacion::Leer)
        return q.next() && q.value(0).toInt() > 0;
    return q.numRowsAffected() > 0;
}

// What the server lets each kind of user do: everything on their own
// taxpayers' rows (an unrestricted user's are all rows); the reference tables
// only read. Spool rows show every user their numbers only, so a row is
// added but never read, changed or picked by its taxpayer.
bool expected(const QString& table, Operacion op, bool ownRows)
{
    if (kReferenceTables.contains(table))
        return op == Operacion::Leer;
    if (table == QLatin1String("SPOOL"))
        return op == Operacion::Insertar && ownRows;
    return ownRows;
}

} // namespace

TEST(PerUserLogins, ServerRefusesEveryAttemptOnAnotherUsersTaxpayers)
{
    SuitePorUsuario suite;
    ASSERT_EQ(suite.error(), "");
    suite.guardaDeclaraciones();
    const QString before = suite.instantanea();
    QSqlDatabase restricted = suite.login(suite.restricted(), QStringLiteral("restricted"));
    QSqlDatabase unrestricted = suite.login(suite.unrestricted(), QStringLiteral("unrestricted"));

    std::cout << "table     operation  restricted/other  restricted/own  unrestricted/other\n";
    int tag = 0;
    for (const auto& [table, ops] : kAttempts) {
        for (const auto& [op, sentencia] : ops) {
            const QString& sql = sentencia;   // clang before 16 lets no lambda capture a structured binding
            const auto text = [&](const QString& ruc) {
                QString t = sql.contains(QLatin1String("%1")) ? sql.arg(ruc) : sql;
                return t.contains(QLatin1String("%2")) ? t.arg(++tag, 11, 10, QChar(u'2')) : t;
            };
            // Against another user's rows: for real, nothing may change.
            const bool otherRows = allowed(restricted, op, text(kAjeno));
            // On rows that are theirs to change, then undone.
            restricted.transaction();
            const bool ownRows = allowed(restricted, op, text(kPropio));
            restricted.rollback();
            unrestricted.transaction();
            const bool everyRow = allowed(unrestricted, op, text(kAjeno));
            unrestricted.rollback();
            EXPECT_EQ(otherRows, kReferenceTables.contains(table) && op == Operacion::Leer) << qPrintable(table) << ' ' << nombreDe(op);
            EXPECT_EQ(ownRows, expected(table, op, true)) << qPrintable(table) << ' ' << nombreDe(op);
            EXPECT_EQ(everyRow, expected(table, op, true)) << qPrintable(table) << ' ' << nombreDe(op);
            const auto word = [](bool yes) { return yes ? "allowed" : "refused"; };
            std::cout << qPrintable(table.leftJustified(10)) << QByteArray(nombreDe(op)).leftJustified(11).constData()
                      << QByteArray(word(otherRows)).leftJustified(18).constData()
                      << QByteArray(word(ownRows)).leftJustified(16).constData() << word(everyRow) << '\n';
        }
    }
    EXPECT_EQ(suite.instantanea(), before);
    QSqlQuery tipo(suite.admin());
    ASSERT_TRUE(tipo.exec(QStringLiteral("SELECT Tipo FROM CLAVES WHERE Usuario = '%1'").arg(suite.restricted())));
    ASSERT_TRUE(tipo.next());
    EXPECT_EQ(tipo.value(0).toString(), "1");
}

// The same with the server's own command-line client.
TEST(PerUserLogins, PsqlAsARestrictedUserChangesNothing)
{
    const QString psql = QStandardPaths::findExecutable(QStringLiteral("psql"), {QStringLiteral("/usr/lib/postgresql/15/bin")});
    ASSERT_FALSE(psql.isEmpty()) << "psql (package postgresql)";
    SuitePorUsuario suite;
    ASSERT_EQ(suite.error(), "");
    suite.guardaDeclaraciones();
    const QString before = suite.instantanea();
    const QString script = QStringLiteral(
        "SELECT Doc_id_d, Usuario FROM CONT ORDER BY 1;\n"
        "SELECT Doc_id_d, Periodo, estado FROM CAB;\n"
        "UPDATE CAB SET estado = 5 WHERE Doc_id_d = '%1';\n"
        "DELETE FROM DET WHERE Doc_id_d = '%1';\n"
        "INSERT INTO HCAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, CORREL) VALUES (6, '%1', '2004', '0834', '99');\n"
        "UPDATE CONT SET Usuario = CURRENT_USER WHERE Doc_id_d = '%1';\n"
        "SELECT * FROM SPOOL;\n"
        "UPDATE CLAVES SET Tipo = '0' WHERE Usuario = CURRENT_USER;\n"
        "SELECT Usuario, Tipo FROM CLAVES WHERE Usuario = CURRENT_USER;\n")
                               .arg(kAjeno);
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(psql, {"-X", "-e", "-h", qEnvironmentVariable("QVR_TEST_PG"), "-U", suite.restricted(), "-d",
                   suite.database(), "-f", "-"});
    p.write(script.toUtf8());
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString transcript = QString::fromUtf8(p.readAll());
    std::cout << qPrintable(transcript);
    // Rows shown (not the statements psql echoes) hold the user's taxpayer, never another's.
    const QStringList rows = transcript.split(u'\n').filter(QStringLiteral(" | "));
    EXPECT_TRUE(rows.filter(kAjeno).isEmpty()) << qPrintable(rows.join(u'\n'));
    EXPECT_TRUE(transcript.contains(kPropio));
    EXPECT_EQ(transcript.count("UPDATE 0"), 2);
    EXPECT_TRUE(transcript.contains("DELETE 0"));
    EXPECT_TRUE(transcript.contains("new row violates row-level security policy for table \"hcab\""));
    EXPECT_TRUE(transcript.contains("permission denied for table spool"));
    EXPECT_TRUE(transcript.contains("permission denied for table claves"));
    EXPECT_EQ(suite.instantanea(), before);
}

TEST(PerUserLogins, ProgramsRunAsARestrictedUserFindOnlyTheirTaxpayers)
{
    SuitePorUsuario suite;
    ASSERT_EQ(suite.error(), "");
    suite.guardaDeclaraciones();
    const QString ini = suite.userIni(suite.restricted());
    const QString f0834 = QStringLiteral(F0834_PATH);

    // f0834 show and export.
    EXPECT_EQ(corre(f0834, {"show", "--ini", ini, kAjeno, "2004"}).salida, 1);
    const Corrida propia = corre(f0834, {"show", "--ini", ini, kPropio, "2004"});
    ASSERT_EQ(propia.salida, 0) << qPrintable(propia.errores);
    QTemporaryDir out;
    Corrida r = corre(f0834, {"export", "--ini", ini, out.filePath("todas.csv")});
    ASSERT_EQ(r.salida, 0) << qPrintable(r.errores);
    QFile exported(out.filePath("todas.csv"));
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    const QByteArray csv = exported.readAll();
    EXPECT_TRUE(csv.contains(kPropio.toLatin1()));
    EXPECT_FALSE(csv.contains(kAjeno.toLatin1()));

    // f0834 save of their own declaration goes through; import of another's is refused.
    QProcess save;
    save.start(f0834, {"save", "--ini", ini, "--overwrite"});
    save.write(propia.texto.toUtf8());
    save.closeWriteChannel();
    ASSERT_TRUE(save.waitForFinished(60000));
    EXPECT_EQ(save.exitCode(), 0) << save.readAllStandardError().constData();
    const QString before = suite.instantanea();
    QFile ajena(out.filePath("ajena.csv"));
    ASSERT_TRUE(ajena.open(QIODevice::WriteOnly));
    ajena.write(QByteArray(csv).replace(kPropio.toLatin1(), kAjeno.toLatin1()));
    ajena.close();
    r = corre(f0834, {"import", "--ini", ini, "--replace", out.filePath("ajena.csv")});
    EXPECT_EQ(r.salida, 1) << qPrintable(r.texto + r.errores);
    EXPECT_EQ(suite.instantanea(), before);

    // f0834 print --all: one PDF, theirs; its spool row numbered after the administrator's.
    r = corre(f0834, {"print", "--ini", ini, "--all", "--pdf-dir", out.filePath("pdf")});
    ASSERT_EQ(r.salida, 0) << qPrintable(r.texto + r.errores);
    EXPECT_EQ(QDir(out.filePath("pdf")).entryList(QDir::Files), QStringList{kPropio + "-2004.pdf"});
    QSqlQuery spool(suite.admin());
    ASSERT_TRUE(spool.exec(QStringLiteral("SELECT count(*), count(DISTINCT Archivo) FROM SPOOL WHERE Usuario = '%1'")
                               .arg(suite.restricted())));
    ASSERT_TRUE(spool.next());
    EXPECT_EQ(spool.value(0).toInt(), 1);

    // Kv834's lists: even a program that took the user for unrestricted gets their rows only.
    Configuracion settings = leeConfiguracion(ini);
    OpcionesApertura options;
    options.connectionName = QStringLiteral("restricted");
    options.writeSystemDb = false;
    ASSERT_FALSE(abreBaseDatos(settings, ini, options));
    const auto rucs = [](const std::optional<LoteSql::Resultado>& list, const QSqlError& error) {
        EXPECT_TRUE(list) << qPrintable(error.text());
        QStringList found;
        for (const QVariantList& row : list ? list->filas : QList<QVariantList>())
            found << row[0].toString().trimmed();
        return found;
    };
    const QSqlDatabase db = QSqlDatabase::database("restricted");
    QSqlError error;
    EXPECT_EQ(rucs(consultaDeclaracionesGuardadas(db, "0834", suite.unrestricted(), &error), error),
              QStringList{kPropio});
    EXPECT_EQ(rucs(consultaDeclaracionesEnviadas(db, "0834", suite.unrestricted(), &error), error),
              QStringList{kPropio});

    // 0834IMP: their own summary is written and registered; another's finds nothing.
    const QString windir = suite.windir(suite.restricted());
    r = corre(QStringLiteral(IMP0834_PATH), {qvrhost::argumentoDeResumen(kPropio, "2004", u'A', "12345678")}, windir);
    EXPECT_EQ(r.salida, 0) << qPrintable(r.errores);
    ASSERT_TRUE(spool.exec(QStringLiteral("SELECT count(*) FROM SPOOL WHERE Usuario = '%1'").arg(suite.restricted())));
    ASSERT_TRUE(spool.next());
    EXPECT_EQ(spool.value(0).toInt(), 2);
    r = corre(QStringLiteral(IMP0834_PATH), {qvrhost::argumentoDeResumen(kAjeno, "2004", u'A', "12345678")}, windir);
    EXPECT_NE(r.salida, 0);
    ASSERT_TRUE(spool.exec(QStringLiteral("SELECT count(*) FROM SPOOL WHERE Usuario = '%1'").arg(suite.restricted())));
    ASSERT_TRUE(spool.next());
    EXPECT_EQ(spool.value(0).toInt(), 2);
}

// A per-user suite never runs a program under a login other than its SysUser.
TEST(PerUserLogins, RefusesALoginThatIsNotTheSuiteUser)
{
    SuitePorUsuario suite;
    ASSERT_EQ(suite.error(), "");
    OpcionesApertura options;
    options.connectionName = QStringLiteral("restricted");
    options.writeSystemDb = false;

    // The address names another user.
    Configuracion settings = leeConfiguracion(suite.userIni(suite.restricted()));
    settings.dbFile.replace("postgresql://", "postgresql://" + suite.unrestricted() + "@");
    std::optional<FalloApertura> refused = abreBaseDatos(settings, QString(), options);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->number, kErrBadAccount);
    EXPECT_TRUE(refused->description.contains(suite.unrestricted()) && refused->description.contains(suite.restricted()))
        << qPrintable(refused->description);

    // A KV000.INI without DBLogin logs in with the built-in account, which the server's row security gives away.
    settings = leeConfiguracion(suite.userIni(suite.restricted()));
    settings.dbLogin.clear();
    refused = abreBaseDatos(settings, QString(), options);
    ASSERT_TRUE(refused);
    EXPECT_TRUE(refused->description.contains(usuarioIncorporado()) && refused->description.contains(suite.restricted()))
        << qPrintable(refused->description);

    settings = leeConfiguracion(suite.userIni(suite.restricted()));
    EXPECT_FALSE(abreBaseDatos(settings, QString(), options));
    cierraBaseDatos(options.connectionName);
}

// qvrhost user add makes the CLAVES row and the login; remove takes both away.
TEST(PerUserLogins, UserAddAndRemoveKeepClavesAndRolesTogether)
{
    SuitePorUsuario suite;
    ASSERT_EQ(suite.error(), "");
    const QString name = QStringLiteral("n") + suite.restricted().mid(1);
    const auto state = [&] {
        QSqlQuery q(suite.admin());
        q.exec(QStringLiteral("SELECT (SELECT Tipo FROM CLAVES WHERE Usuario = '%1'),"
                              " (SELECT pg_has_role('%1', '%2', 'MEMBER') FROM pg_roles WHERE rolname = '%1')")
                   .arg(name, qvrhost::grupoUsuariosSuite(suite.database())));
        q.next();
        return q.value(0).toString() + u'/' + (q.isNull(1) ? QString() : q.value(1).toString());
    };
    Corrida r = corre(QStringLiteral(QVRHOST_PROGRAM), {"user", "add", name, "--restricted", "--server", suite.urlDueno()});
    ASSERT_EQ(r.salida, 0) << qPrintable(r.errores);
    EXPECT_EQ(state(), "1/true");
    r = corre(QStringLiteral(QVRHOST_PROGRAM), {"user", "add", name, "--ini", suite.iniPath()});
    ASSERT_EQ(r.salida, 0) << qPrintable(r.errores);
    EXPECT_EQ(state(), "0/true");
    r = corre(QStringLiteral(QVRHOST_PROGRAM), {"user", "remove", name, "--server", suite.urlDueno()});
    ASSERT_EQ(r.salida, 0) << qPrintable(r.errores);
    EXPECT_EQ(state(), "/");
    EXPECT_EQ(corre(QStringLiteral(QVRHOST_PROGRAM), {"user", "remove", name, "--server", suite.urlDueno()}).salida, 1);

    // A suite with the one built-in login has no users of its own to add.
    SuiteDePruebaIntegrador single;
    ASSERT_EQ(single.error(), "");
    r = corre(QStringLiteral(QVRHOST_PROGRAM), {"user", "add", name, "--server", single.urlDueno()});
    EXPECT_EQ(r.salida, 1);
    EXPECT_TRUE(r.errores.contains("--per-user-logins")) << qPrintable(r.errores);
}
