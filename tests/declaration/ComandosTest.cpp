#include "Anexo105Datos.h"
#include "Comandos834.h"
#include "DeclaracionDePrueba.h"
#include "Grabacion834.h"
#include "ObjFunciones.h"
#include "SuiteDePrueba.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace comandos834;
using prueba::Declaracion;

namespace {

// Records what the form was told to do and answers as the test says.
struct Ventana : Interfaz {
    QStringList mensajes;
    QList<validacion834::Resultado> avisos;
    QStringList preguntas;
    QList<bool> noPorDefecto;
    bool respuesta = true;
    bool aceptarLista = true;
    int listas = 0;
    int pestana = 0;
    QList<int> pestanas;
    bool cerrada = false;
    int reloj = 0;   // hourglass shown

    void mostrar(const validacion834::Resultado& aviso) override
    {
        EXPECT_EQ(reloj, 0) << "messages are shown with the normal pointer";
        if (aviso.pestana >= 0)
            seleccionarPestana(aviso.pestana);
        mensajes << aviso.mensaje;
        avisos << aviso;
    }
    bool preguntar(const QString& texto, bool no = false) override
    {
        EXPECT_EQ(reloj, 0) << "questions are asked with the normal pointer";
        preguntas << texto;
        noPorDefecto << no;
        return respuesta;
    }
    int pestanaActual() const override { return pestana; }
    void seleccionarPestana(int p) override
    {
        pestana = p;
        pestanas << p;
    }
    bool mostrarInconsistencias(const QString&) override
    {
        ++listas;
        return aceptarLista;
    }
    void ocupado(bool si) override { reloj = si ? 1 : 0; }
    void cerrar() override { cerrada = true; }
};

int filas(const SuiteDePrueba& s, const QString& tabla)
{
    QSqlQuery q(s.db());
    return q.exec("SELECT COUNT(*) FROM " + tabla) && q.next() ? q.value(0).toInt() : -1;
}

} // namespace

TEST(CmdValidar, CleanDeclarationShowsTheNoInconsistencyNotice)
{
    SuiteDePrueba s;
    Declaracion p(1, s.db());
    Estado estado;
    estado.marcaLista = "A";
    Ventana v;
    CmdValidar(p.d, p.c, {s.db(), s.path()}, estado, v);
    EXPECT_EQ(v.mensajes, QStringList{validacion834::texto::kSinInconsistencias});
    EXPECT_EQ(v.avisos.first().icono, validacion834::Icono::Exclamacion);
    EXPECT_EQ(v.listas, 0);
    EXPECT_TRUE(estado.marcaLista.isEmpty());
    EXPECT_EQ(estado.iGrabado, 2);
    EXPECT_FALSE(v.cerrada);
    EXPECT_EQ(v.reloj, 0);
}

TEST(CmdValidar, InconsistenciesOpenTheListFromTheFirstTab)
{
    SuiteDePrueba s;
    Declaracion p(1, s.db());
    p.d.setDato(Declaracion834::Dato::Telefono, "123");
    Estado estado;
    Ventana v;
    v.pestana = 4;
    CmdValidar(p.d, p.c, {s.db(), s.path()}, estado, v);
    EXPECT_EQ(v.listas, 1);
    EXPECT_EQ(estado.marcaLista, "A");
    EXPECT_TRUE(estado.hayInconsistencias);
    EXPECT_EQ(v.pestanas, (QList<int>{0, 4}));
    EXPECT_TRUE(v.mensajes.isEmpty());

    // Closed with the window's own button: the list is not accepted.
    v.aceptarLista = false;
    CmdValidar(p.d, p.c, {s.db(), s.path()}, estado, v);
    EXPECT_TRUE(estado.marcaLista.isEmpty());
}

TEST(CmdValidar, BlockingErrorStopsAfterTheFileWithoutChangingTheState)
{
    SuiteDePrueba s;
    Declaracion p(1, s.db());
    p.d.setCasilla(146, "100");
    p.d.setCasilla(180, "50");
    p.d.setCasilla(226, "1234567");
    Estado estado;
    Ventana v;
    CmdValidar(p.d, p.c, {s.db(), s.path()}, estado, v);
    // The amount notice comes first, then the blocking error.
    ASSERT_EQ(v.mensajes.size(), 2);
    EXPECT_TRUE(v.mensajes[0].startsWith("El importe a pagar es menor"));
    EXPECT_EQ(v.mensajes[1], "El DNI o LE debe ser de 8 digitos.");
    EXPECT_EQ(v.pestana, 4);
    EXPECT_EQ(estado.iGrabado, 0);
    EXPECT_EQ(v.listas, 0);
}

TEST(CmdGrabar, SavesAndTellsTheResult)
{
    SuiteDePrueba s;
    s.exec("INSERT INTO ERROR (CodError, DescError) VALUES ('0151', 'La declaracion fue grabada.')");
    Declaracion p(1, s.db());
    p.d.setModificado(true);
    Estado estado;
    Ventana v;
    EXPECT_TRUE(CmdGrabar(p.d, p.c, {s.db(), s.path()}, estado, v));
    EXPECT_EQ(v.mensajes, QStringList{"La declaracion fue grabada."});
    EXPECT_FALSE(p.d.bModificado());
    EXPECT_EQ(estado.iGrabado, 1);
    EXPECT_FALSE(v.cerrada);
    EXPECT_EQ(filas(s, "CAB"), 1);

    p.d.setCasilla(180, "");
    v.mensajes.clear();
    EXPECT_TRUE(CmdGrabar(p.d, p.c, {s.db(), s.path()}, estado, v));
    // A blank amount to pay reads as 0, below the balance: the notice, then the warning.
    ASSERT_EQ(v.mensajes.size(), 2);
    EXPECT_TRUE(v.mensajes[0].startsWith("El importe a pagar es menor"));
    EXPECT_EQ(v.mensajes[1], grabacion834::texto::kGrabadaConInconsistencias);
    EXPECT_EQ(estado.iGrabado, 1);
}

// Workstation A has the declaration open and B saves it: A's save asks
// before replacing B's work; No (the default) writes nothing.
TEST(CmdGrabar, ChangedByAnotherUserSinceOpenedAsksBeforeOverwriting)
{
    SuiteDePrueba s;
    const Entorno e{s.db(), s.path()};
    Declaracion a(0, s.db());
    Estado estadoA;
    Ventana v;
    ASSERT_TRUE(CmdGrabar(a.d, a.c, e, estadoA, v));
    ASSERT_TRUE(CmdGrabar(a.d, a.c, e, estadoA, v));   // its own form saves a new declaration again
    Declaracion b(1, s.db());
    b.d.setCasilla(300, "9,000,000");
    ASSERT_TRUE(grabacion834::grabar(s.db(), b.d, b.c).ok);
    const QString deB = lectura834::sello(s.db(), grabacion834::clave(b.d));

    a.d.setCasilla(301, "7,000");
    v = {};
    v.respuesta = false;
    EXPECT_FALSE(CmdGrabar(a.d, a.c, e, estadoA, v));
    EXPECT_EQ(v.preguntas, QStringList{grabacion834::texto::kPreguntaSobrescribir});
    EXPECT_EQ(v.noPorDefecto, QList<bool>{true});
    EXPECT_EQ(v.mensajes, QStringList{grabacion834::texto::kModificada});   // nothing was stored, and it says so
    EXPECT_EQ(lectura834::sello(s.db(), grabacion834::clave(b.d)), deB);

    v.respuesta = true;
    EXPECT_TRUE(CmdGrabar(a.d, a.c, e, estadoA, v));
    QSqlQuery q(s.db());
    ASSERT_TRUE(q.exec("SELECT i_valor FROM DET WHERE Casilla = '301'") && q.next());
    EXPECT_EQ(q.value(0).toString(), "7000");
    EXPECT_EQ(estadoA.sello, lectura834::sello(s.db(), grabacion834::clave(a.d)));
}

TEST(CmdGrabar, BlockedSaveWritesNothing)
{
    SuiteDePrueba s;
    Declaracion p(0, s.db());
    p.c.rucMostrado.clear();
    Estado estado;
    Ventana v;
    EXPECT_FALSE(CmdGrabar(p.d, p.c, {s.db(), s.path()}, estado, v));
    EXPECT_EQ(v.mensajes, QStringList{"Debe seleccionar un Contribuyente."});
    EXPECT_EQ(filas(s, "CAB"), 0);
    EXPECT_EQ(filas(s, "DET"), 0);
}

TEST(CmdCancelar, UnsavedChangesAreSavedOnYesAndKeptWhenTheSaveIsRefused)
{
    SuiteDePrueba s;
    s.exec("INSERT INTO PARAM (Numero, Argumento, Funcion) VALUES ('960', '2004', '1.011')");
    Declaracion p(1, s.db());
    p.d.setModificado(true);
    p.d.setDato(Declaracion834::Dato::ApellidoRL, "");
    Estado estado;
    Ventana v;
    CmdCancelar(p.d, p.c, {s.db(), s.path()}, estado, v);
    EXPECT_EQ(v.preguntas, QStringList{kPreguntaGuardar});
    EXPECT_EQ(v.mensajes, QStringList{"Ingrese los apellidos del representante legal."});
    EXPECT_FALSE(v.cerrada);  // the changes the user wanted kept are still on screen
    EXPECT_EQ(estado.iGrabado, 0);

    p.d.setDato(Declaracion834::Dato::ApellidoRL, "QUISPE");
    CmdCancelar(p.d, p.c, {s.db(), s.path()}, estado, v);
    EXPECT_TRUE(v.cerrada);
    EXPECT_EQ(filas(s, "CAB"), 1);
}

TEST(CmdCancelar, NoRemovesTheAssistantsPlaceholderOfANewDeclaration)
{
    SuiteDePrueba s;
    s.exec("INSERT INTO PARAM (Numero, Argumento, Funcion) VALUES ('960', '2004', '1.011')");
    Declaracion p(0, s.db());
    ASSERT_TRUE(anexo105::guardar(s.db(), grabacion834::clave(p.d), false, Detalle105{"10", "20"}).isEmpty());
    p.d.setModificado(true);
    Estado estado;
    Ventana v;
    v.respuesta = false;
    CmdCancelar(p.d, p.c, {s.db(), s.path()}, estado, v);
    EXPECT_TRUE(v.cerrada);
    EXPECT_EQ(filas(s, "CAB"), 0);
    EXPECT_EQ(filas(s, "DET"), 0);
    EXPECT_EQ(estado.iGrabado, 3);

    // Without the exercise's factor nothing is asked, and an existing
    // declaration (mode 1) never looks for a placeholder.
    Declaracion existente(1, s.db());
    existente.c.ejercicio = "2003";
    ASSERT_TRUE(anexo105::guardar(s.db(), grabacion834::clave(existente.d), false, Detalle105{"10"}).isEmpty());
    Ventana w;
    CmdCancelar(existente.d, existente.c, {s.db(), s.path()}, estado, w);
    EXPECT_TRUE(w.preguntas.isEmpty());
    EXPECT_TRUE(w.cerrada);
    EXPECT_EQ(filas(s, "CAB"), 1);
}

TEST(CmdGrabar, SentDeclarationRegistersTheOrderNumberAndCloses)
{
    SuiteDePrueba s;
    Declaracion p(1, s.db());
    p.d.bEnviada = true;
    p.d.sCorrel = "1";
    p.d.sControl = "77";
    s.exec("INSERT INTO HCAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, CORREL, CONTROL) "
           "VALUES (6, '20131312955', '2004', '0834', '1', '77')");
    p.d.setDato(Declaracion834::Dato::NumOrden, "00000001");
    p.d.setDato(Declaracion834::Dato::NumOrdenSufijo, "00");
    Estado estado;
    Ventana v;
    EXPECT_FALSE(CmdGrabar(p.d, p.c, {s.db(), s.path()}, estado, v));
    EXPECT_FALSE(v.cerrada);
    p.d.setDato(Declaracion834::Dato::NumOrdenSufijo, ObjFunciones::ordenDigitoControl("77", "00000001"));
    EXPECT_TRUE(CmdGrabar(p.d, p.c, {s.db(), s.path()}, estado, v));
    EXPECT_TRUE(v.cerrada);
    EXPECT_EQ(v.avisos.last().titulo, "Mensaje");
}
