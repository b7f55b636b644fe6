// The form's "&Grabar" when the server's answer to the COMMIT is lost: the
// form is told what the server did, never more.

#include "Comandos834.h"
#include "DeclaracionDePrueba.h"
#include "EnlaceCortable.h"
#include "Grabacion834.h"
#include "Lectura834.h"
#include "SuiteDePrueba.h"

#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace comandos834;
using Corte = EnlaceCortable::Corte;

namespace {

struct Ventana : Interfaz {
    QStringList mensajes;
    QStringList preguntas;
    void mostrar(const validacion834::Resultado& aviso) override { mensajes << aviso.mensaje; }
    bool preguntar(const QString& texto, bool) override
    {
        preguntas << texto;
        return false;
    }
    int pestanaActual() const override { return 0; }
    void seleccionarPestana(int) override {}
    bool mostrarInconsistencias(const QString&) override { return true; }
    void ocupado(bool) override {}
    void cerrar() override {}
};

QString casilla301(const SuiteDePrueba& s)
{
    QSqlQuery q(s.db());
    return q.exec("SELECT i_valor FROM DET WHERE Casilla = '301'") && q.next() ? q.value(0).toString() : QString();
}

} // namespace

TEST(CorteConexion, GrabarTellsWhatTheServerDidWithALostCommit)
{
    if (!SuiteDePrueba::motorServidor())
        GTEST_SKIP() << "on the server only";
    SuiteDePrueba s;
    s.exec("INSERT INTO ERROR (CodError, DescError) VALUES ('0151', 'La declaracion fue grabada.')");
    EnlaceCortable enlace(qEnvironmentVariable("QVR_TEST_PG"));
    const QSqlDatabase db = enlace.conectar(s.dbFile(), QStringLiteral("formulario"));
    ASSERT_TRUE(db.isOpen()) << db.lastError().text().toStdString();
    const Entorno e{db, s.path()};
    prueba::Declaracion p(0, db);
    Estado estado;
    Ventana v;

    // Stored, the answer lost: the normal success, and the form knows the version stored.
    enlace.cortarEnConfirmacion(Corte::TrasConfirmar);
    EXPECT_TRUE(CmdGrabar(p.d, p.c, e, estado, v));
    EXPECT_EQ(enlace.confirmacionesCortadas(), 1);
    EXPECT_EQ(v.mensajes, QStringList{"La declaracion fue grabada."});
    EXPECT_EQ(estado.sello, lectura834::sello(s.db(), grabacion834::clave(p.d)));

    // The COMMIT never arrived: not stored, the earlier version kept.
    p.d.iAccion = 1;
    p.c.nuevaDeclaracion.clear();
    p.d.setCasilla(301, "7,000");
    v.mensajes.clear();
    enlace.cortarEnConfirmacion(Corte::AntesDeConfirmar);
    EXPECT_FALSE(CmdGrabar(p.d, p.c, e, estado, v));
    ASSERT_EQ(v.mensajes.size(), 1);
    EXPECT_TRUE(v.mensajes[0].startsWith(grabacion834::texto::kNoGrabada)) << v.mensajes[0].toStdString();
    EXPECT_EQ(casilla301(s), "2000");

    // Stored, and the server out of reach afterwards: unknown, never "not stored".
    v.mensajes.clear();
    enlace.cortarEnConfirmacion(Corte::TrasConfirmar, 0, true);
    EXPECT_FALSE(CmdGrabar(p.d, p.c, e, estado, v));
    EXPECT_EQ(v.mensajes, QStringList{grabacion834::texto::kGrabacionIncierta});
    EXPECT_EQ(casilla301(s), "7000");

    // The server back, the save repeated: the version this form sent is its
    // own, not another user's change to ask about.
    enlace.rechazarConexiones(false);
    p.d.setCasilla(301, "8,000");
    v.mensajes.clear();
    EXPECT_TRUE(CmdGrabar(p.d, p.c, e, estado, v));
    EXPECT_TRUE(v.preguntas.isEmpty());
    EXPECT_EQ(v.mensajes.last(), "La declaracion fue grabada.");
    EXPECT_EQ(casilla301(s), "8000");
}
