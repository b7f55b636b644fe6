// f0834 save and import on a server connection that dies: at the COMMIT
// (the answer lost once the server stored the declaration, the COMMIT never
// arriving, the server gone afterwards) and half-way through a save.

#include "EnlaceCortable.h"
#include "Grabacion834.h"
#include "ProcesoF0834.h"
#include "Suite.h"
#include "SuiteDePrueba.h"

#include <QFile>
#include <QJsonObject>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

const QString kRuc = QStringLiteral("20100123453");

using Corte = EnlaceCortable::Corte;

// A sample suite whose KV000.INI reaches the server through the link.
struct SuiteEnlazada {
    SuiteDePrueba s;
    EnlaceCortable enlace{qEnvironmentVariable("QVR_TEST_PG")};

    SuiteEnlazada()
    {
        EXPECT_EQ(qvrhost::insertaFilasMuestra(s.db()), QString());
        QFile ini(s.iniPath());
        EXPECT_TRUE(ini.open(QIODevice::ReadOnly));
        QString texto = QString::fromUtf8(ini.readAll());
        ini.close();
        texto.replace(QStringLiteral("host=") + qEnvironmentVariable("QVR_TEST_PG"),
                      QStringLiteral("host=") + enlace.carpeta());
        EXPECT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write(texto.toUtf8());
    }
    QString valor(const QString& sql) const
    {
        QSqlQuery q(s.db());
        return q.exec(sql) && q.next() ? q.value(0).toString() : QStringLiteral("<none>");
    }
    QString telefono() const
    {
        return valor(QStringLiteral("SELECT i_valor FROM DET WHERE Doc_id_d = '20100123453' AND Casilla = '028'"));
    }
    Salida guarda(const QString& telefono, bool nuevo) const
    {
        const QJsonObject d{
            {"ejercicio", "2004"}, {"ruc", kRuc}, {"telefono", telefono}, {"ajuste", "0"}, {"rectifica", "0"},
            {"liquidacion", "0"},  {"nuevo", nuevo},
            {"casillas", QJsonObject{{"300", "15000000"}, {"160", "1"}, {"180", "0"}}},
            {"formaPago", QJsonObject{{"formapago", "E"}}},
            {"representante", QJsonObject{{"tipoDoc", "01"}, {"numDoc", "12345678"}, {"apellidos", "QUISPE"},
                                          {"nombres", "ROSA"}}},
        };
        return f0834({"save", "--ini", s.iniPath()}, QJsonDocument(d).toJson());
    }
};

QString errores(const Salida& r) { return QString::fromUtf8(r.errores); }

} // namespace

// Whatever the link does to the COMMIT, f0834 save tells what the server did.
TEST(CorteConexion, SaveTellsWhatTheServerDidWithTheCommit)
{
    if (!SuiteDePrueba::motorServidor())
        GTEST_SKIP() << "on the server only";
    SuiteEnlazada suite;
    ASSERT_TRUE(suite.enlace.escuchando());

    // Stored, then the answer lost: the normal success.
    suite.enlace.cortarEnConfirmacion(Corte::TrasConfirmar);
    Salida r = suite.guarda(QStringLiteral("1111111"), true);
    EXPECT_EQ(suite.enlace.confirmacionesCortadas(), 1);
    EXPECT_EQ(r.codigo, 0) << r.errores.constData();
    EXPECT_EQ(r.texto, "0\n");
    EXPECT_EQ(suite.telefono(), "1111111");

    // The COMMIT never reached the server: not stored, the earlier version kept.
    suite.enlace.cortarEnConfirmacion(Corte::AntesDeConfirmar);
    r = suite.guarda(QStringLiteral("2222222"), false);
    EXPECT_EQ(suite.enlace.confirmacionesCortadas(), 2);
    EXPECT_EQ(r.codigo, 1);
    EXPECT_TRUE(errores(r).contains(grabacion834::texto::kNoGrabada)) << r.errores.constData();
    EXPECT_EQ(suite.telefono(), "1111111");

    // Stored, and the server out of reach afterwards: nobody can say, and
    // "not stored" would have been false.
    suite.enlace.cortarEnConfirmacion(Corte::TrasConfirmar, 0, true);
    r = suite.guarda(QStringLiteral("3333333"), false);
    EXPECT_EQ(r.codigo, 1);
    EXPECT_TRUE(errores(r).contains(grabacion834::texto::kGrabacionIncierta)) << r.errores.constData();
    EXPECT_FALSE(errores(r).contains(grabacion834::texto::kNoGrabada));
    EXPECT_EQ(suite.telefono(), "3333333");
}

// Row 1's answer to its COMMIT is lost after the commit: stored, and the
// import goes on. Row 2's connection is terminated half-way through its save:
// the import stops there and names the lines not stored.
TEST(CorteConexion, ImportStopsAtALostConnectionNamingTheLinesNotStored)
{
    if (!SuiteDePrueba::motorServidor())
        GTEST_SKIP() << "on the server only";
    SuiteEnlazada suite;
    ASSERT_TRUE(suite.enlace.escuchando());
    // The server ends the session that writes the second row's detail.
    ASSERT_TRUE(suite.s.exec(
        "CREATE FUNCTION corta() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER AS "
        "$$ BEGIN PERFORM pg_terminate_backend(pg_backend_pid()); PERFORM pg_sleep(5); RETURN NEW; END $$"));
    ASSERT_TRUE(suite.s.exec("CREATE TRIGGER corta BEFORE INSERT ON DET FOR EACH ROW "
                             "WHEN (NEW.Doc_id_d = '20501234568') EXECUTE FUNCTION corta()"));
    suite.enlace.cortarEnConfirmacion(Corte::TrasConfirmar);

    const Salida r = f0834({"import", "--ini", suite.s.iniPath(), QStringLiteral(EJEMPLO_CSV)});
    const QString salida = QString::fromUtf8(r.texto);
    EXPECT_EQ(r.codigo, 1);
    EXPECT_TRUE(salida.contains("line 2 20100123453 2004: stored estado")) << r.texto.constData();
    EXPECT_TRUE(salida.contains("line 3 20501234568 2004: not stored: " + grabacion834::texto::kConexionPerdida))
        << r.texto.constData();
    EXPECT_FALSE(salida.contains("line 4 ")) << "nothing is tried past the lost connection";
    EXPECT_TRUE(salida.contains("stopped at line 3: the connection to the database server was lost"));
    EXPECT_TRUE(salida.contains("not stored: 2 rows (lines 3, 4)")) << r.texto.constData();
    EXPECT_EQ(suite.valor("SELECT COUNT(*) FROM CAB"), "1");
}
