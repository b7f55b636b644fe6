#include "DeclaracionDePrueba.h"
#include "SuiteDePrueba.h"
#include "Validacion834.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace validacion834;
using Dato = Declaracion834::Dato;
using prueba::Declaracion;

namespace {

QStringList lineasDe(const Declaracion& p)
{
    return inconsistencias(p.d, p.c);
}

QString fila(const char* utf8) { return QString::fromUtf8(utf8); }

} // namespace

TEST(Validacion, TheSampleDeclarationPassesEveryCheck)
{
    Declaracion p;
    ASSERT_FALSE(p.d.vacio(146));
    EXPECT_TRUE(lineasDe(p).isEmpty());
    EXPECT_TRUE(ValidaGrabacion(p.d, p.c));
    EXPECT_TRUE(ValidaContForm1(p.d, p.c).ok);
    EXPECT_TRUE(validarComando(p.d, p.c).ok);
    EXPECT_TRUE(avisoImporte(p.d).ok);
}

TEST(Telefono, FaultsByLengthAndFirstDigit)
{
    struct Caso { const char* t; bool corto, ocho, celular; };
    for (const Caso& k : {Caso{"", false, false, false}, Caso{"1", true, false, false},
                          Caso{"12345", true, false, false}, Caso{"123456", false, false, false},
                          Caso{"1234567", false, false, false}, Caso{"91234567", false, false, false},
                          Caso{"11234567", false, true, false}, Caso{"912345", false, false, true},
                          Caso{"9123", true, false, true}, Caso{"9123456", false, false, false}}) {
        const FallasTelefono f = revisarTelefono(QString::fromLatin1(k.t));
        EXPECT_EQ(f.corto, k.corto) << k.t;
        EXPECT_EQ(f.ochoSinNueve, k.ocho) << k.t;
        EXPECT_EQ(f.celularCorto, k.celular) << k.t;
    }
}

TEST(Activos, ProvisionDepreciationAndAmortisationLimits)
{
    Declaracion p;
    p.d.setCasilla(301, "600");
    p.d.setCasilla(302, "300");
    p.d.setCasilla(304, "100");
    p.d.setCasilla(303, "(1,000)");
    EXPECT_TRUE(Valida303(p.d));
    p.d.setCasilla(303, "(1,001)");
    EXPECT_FALSE(Valida303(p.d));
    p.d.setCasilla(303, "-1001");  // a negative typed amount is compared by its size
    EXPECT_FALSE(Valida303(p.d));
    p.d.setCasilla(303, "");
    EXPECT_TRUE(Valida303(p.d));

    p.d.setCasilla(328, "(900)");
    EXPECT_FALSE(Valida328(p.d));
    for (int c : {318, 319, 321, 322, 323, 324, 395, 396, 397})
        p.d.setCasilla(c, "100");
    EXPECT_TRUE(Valida328(p.d));
    p.d.setCasilla(397, "99");
    EXPECT_FALSE(Valida328(p.d));

    p.d.setCasilla(326, "(50)");
    EXPECT_FALSE(Valida326(p.d));
    p.d.setCasilla(325, "50");
    EXPECT_TRUE(Valida326(p.d));
}

TEST(Activos, AllBlankWritesOnlyTheEmptyAssetsLine)
{
    Declaracion p;
    for (int c : casillas834::activos())
        p.d.setCasilla(c, "");
    EXPECT_TRUE(activosVacios(p.d));
    EXPECT_EQ(lineasDe(p), QStringList{fila("Activos : Ingrese los valores en los Activos")});
    EXPECT_FALSE(ValidaGrabacion(p.d, p.c));
    p.d.setCasilla(329, "1");
    EXPECT_FALSE(activosVacios(p.d));
}

TEST(Periodo, FromTwoThousandThreeUpToTheCurrentYear)
{
    const QDate hoy(2005, 6, 30);
    EXPECT_FALSE(ValidaPeriodo("2002", hoy));
    EXPECT_TRUE(ValidaPeriodo("2003", hoy));
    EXPECT_TRUE(ValidaPeriodo("2005", hoy));
    EXPECT_FALSE(ValidaPeriodo("2006", hoy));
    EXPECT_FALSE(ValidaPeriodo("200_", hoy));
    EXPECT_FALSE(ValidaPeriodo("____", hoy));
    EXPECT_FALSE(ValidaPeriodo("", hoy));
    EXPECT_FALSE(ValidaPeriodo("0000", hoy));
    EXPECT_TRUE(ValidaPeriodo("2006", QDate(2006, 1, 1)));
}

TEST(Consistencia, ElevenLinesInCheckOrderWrittenAsWindowsText)
{
    SuiteDePrueba suite;
    Declaracion p;
    p.d.setDato(Dato::Telefono, "9123");
    for (int c : casillas834::activos())
        p.d.setCasilla(c, "");
    p.d.setCasilla(160, "");
    p.d.setFormaPago("X");
    p.d.setCasilla(180, "");
    p.d.setCasilla(226, "");
    const QString ruta = rutaMensajes(suite.path());
    EXPECT_EQ(ruta, suite.path() + "Mens.txt");

    const Consistencia r = ValidaConsistencia(p.d, p.c, ruta);
    ASSERT_TRUE(r.bloqueo.ok) << r.bloqueo.mensaje.toStdString();
    const QStringList esperadas{
        fila("Identificación-Datos Generales : Ingrese su número de teléfono o un número de referencia"),
        fila("Identificación-Datos Generales : El celular debe ser de 8 o 7 digitos"),
        fila("Activos : Ingrese los valores en los Activos"),
        fila("Determinación de la Deuda : Indique la modalidad de pago"),
        fila("Determinación de la Deuda : Indique la forma de pago."),
        fila("Determinación de la Deuda : Ingrese el importe a pagar (casilla 180)"),
        fila("Información Complementaria : Ingrese los datos del Representante Legal"),
    };
    EXPECT_EQ(r.lineas, esperadas);
    EXPECT_EQ(leerMensajes(ruta), esperadas);
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("Identificaci\xF3n-Datos Generales : Ingrese su n\xFAmero"));
    EXPECT_EQ(bytes.count("\r\n"), esperadas.size());

    // The next run recreates the file.
    Declaracion limpia;
    EXPECT_TRUE(ValidaConsistencia(limpia.d, limpia.c, ruta).lineas.isEmpty());
    EXPECT_EQ(QFile(ruta).size(), 0);
}

TEST(Consistencia, AssetRuleLinesAndEightDigitLandline)
{
    Declaracion p;
    p.d.setDato(Dato::Telefono, "11234567");
    p.d.setCasilla(303, "(99,999)");
    p.d.setCasilla(328, "(1)");
    p.d.setCasilla(326, "(1)");
    EXPECT_EQ(lineasDe(p),
              (QStringList{fila("Identificación-Datos Generales : El número ingresado debe ser de 7 digitos, o un "
                                "celular de 8 o 7 digitos"),
                           fila("Activos : La provisión (c303) debe ser menor o igual que las cuentas (c301+c302+c304)"),
                           fila("Activos : La depreciación (c328) debe ser menor o igual que las cuentas "
                                "(c318+c319+c321+c322+c323+c324+c395+c396+c397)"),
                           fila("Activos : La amortización (c326) debe ser menor o igual que la cuenta (c325)")}));
}

TEST(Consistencia, BlockingErrorsAndTheirTargets)
{
    SuiteDePrueba suite;
    const QString ruta = rutaMensajes(suite.path());
    {
        Declaracion p(0);
        p.c.rucMostrado.clear();
        p.d.setCasilla(180, "");
        const Consistencia r = ValidaConsistencia(p.d, p.c, ruta);
        EXPECT_FALSE(r.bloqueo.ok);
        EXPECT_EQ(r.bloqueo.mensaje, "Debe seleccionar un Contribuyente.");
        EXPECT_EQ(r.bloqueo.pestana, 0);
        EXPECT_EQ(r.bloqueo.foco, Foco::CmbRuc);
        EXPECT_TRUE(r.lineas.isEmpty());
        EXPECT_EQ(QFile(ruta).size(), 0);
    }
    {
        Declaracion p;
        p.d.setCasilla(225, "06");
        p.d.setCasilla(226, "20100070971");
        const Consistencia r = ValidaConsistencia(p.d, p.c, ruta);
        EXPECT_EQ(r.bloqueo.mensaje, fila("El RUC no es Válido."));
        EXPECT_EQ(r.bloqueo.pestana, 4);
        EXPECT_EQ(r.bloqueo.foco, Foco::Casilla226);
        p.d.setCasilla(226, prueba::kRucRepresentante);
        EXPECT_TRUE(ValidaConsistencia(p.d, p.c, ruta).bloqueo.ok);
        // Equal to the taxpayer's RUC even though the RUC itself is valid.
        p.d.setCasilla(226, prueba::kRuc);
        EXPECT_EQ(ValidaConsistencia(p.d, p.c, ruta).bloqueo.mensaje,
                  "El RUC no puede ser igual al RUC del Contribuyente.");
    }
    {
        Declaracion p;
        p.c.ejercicio = "2006";
        const Consistencia r = ValidaConsistencia(p.d, p.c, ruta);
        EXPECT_EQ(r.bloqueo.mensaje, fila("El ejercicio no es válido."));
        EXPECT_EQ(r.bloqueo.pestana, 0);
        EXPECT_EQ(r.bloqueo.foco, Foco::MkePeriodo);
    }
}

TEST(Grabacion, SilentCheckFailsOnEachCondition)
{
    const std::vector<std::pair<const char*, std::function<void(Declaracion&)>>> casos{
        {"telephone", [](Declaracion& p) { p.d.setDato(Dato::Telefono, "123"); }},
        {"assets blank", [](Declaracion& p) { for (int c : casillas834::activos()) p.d.setCasilla(c, ""); }},
        {"provision", [](Declaracion& p) { p.d.setCasilla(303, "(3,000)"); }},
        {"depreciation", [](Declaracion& p) { p.d.setCasilla(328, "(1)"); }},
        {"amortisation", [](Declaracion& p) { p.d.setCasilla(326, "(1)"); }},
        {"payment form", [](Declaracion& p) { p.d.setFormaPago("X"); }},
        {"amount", [](Declaracion& p) { p.d.setCasilla(180, " "); }},
        {"bank XX", [](Declaracion& p) { p.d.setPago({"", "C", "XX", "123", true}); }},
        {"cheque 0", [](Declaracion& p) { p.d.setPago({"", "C", "02", "0", true}); }},
        {"document type", [](Declaracion& p) { p.d.setCasilla(225, ""); }},
        {"document", [](Declaracion& p) { p.d.setCasilla(226, ""); }},
        {"modality", [](Declaracion& p) { p.d.setCasilla(160, ""); }},
        {"exercise", [](Declaracion& p) { p.c.ejercicio = "2002"; }},
    };
    for (const auto& [nombre, estropear] : casos) {
        Declaracion p;
        estropear(p);
        EXPECT_FALSE(ValidaGrabacion(p.d, p.c)) << nombre;
    }
    Declaracion cheque;
    cheque.d.setPago({"", "C", "02", "000123", true});
    EXPECT_TRUE(ValidaGrabacion(cheque.d, cheque.c));
    // Surname and names are not part of the silent check.
    Declaracion sinNombres;
    sinNombres.d.setDato(Dato::ApellidoRL, "");
    EXPECT_TRUE(ValidaGrabacion(sinNombres.d, sinNombres.c));
}

TEST(ContForm1, ChecksInOrderWithTheirOwnTexts)
{
    Declaracion p(0);
    p.c.rucMostrado.clear();
    p.d.setDato(Dato::Telefono, "12");
    EXPECT_EQ(ValidaContForm1(p.d, p.c).mensaje, "Debe seleccionar un Contribuyente.");
    p.c.rucMostrado = prueba::kRuc;
    Resultado r = ValidaContForm1(p.d, p.c);
    EXPECT_EQ(r.mensaje, fila("Ingrese su número de teléfono o un número de referencia."));
    EXPECT_EQ(r.foco, Foco::TxtTelefono);
    EXPECT_EQ(r.pestana, 0);
    p.d.setDato(Dato::Telefono, "81234567");
    EXPECT_EQ(ValidaContForm1(p.d, p.c).mensaje,
              fila("El número ingresado debe ser de 7 digitos, o un celular de 8 o 7 digitos."));
    p.d.setDato(Dato::Telefono, "91234");
    EXPECT_EQ(ValidaContForm1(p.d, p.c).mensaje, fila("Ingrese su número de teléfono o un número de referencia."));
    p.d.setDato(Dato::Telefono, "912345");
    EXPECT_EQ(ValidaContForm1(p.d, p.c).mensaje, fila("El celular ingresado debe ser de 8 o 7 digitos."));
    p.d.setDato(Dato::Telefono, "");
    p.c.nuevaDeclaracion = "N";
    EXPECT_EQ(ValidaContForm1(p.d, p.c).foco, Foco::CmbRuc);
    p.c.nuevaDeclaracion = "S";
    p.d.setRespuesta(Declaracion834::Pregunta::Rectifica, "");
    r = ValidaContForm1(p.d, p.c);
    EXPECT_EQ(r.mensaje, fila("Indique si la presente declaración rectifica o sustituye a otra."));
    EXPECT_EQ(r.foco, Foco::CmdCancelar);
    p.d.setRespuesta(Declaracion834::Pregunta::Rectifica, "1");
    p.c.ejercicio = "20__";
    EXPECT_EQ(ValidaContForm1(p.d, p.c).mensaje, fila("El ejercicio no es válido"));
    p.c.ejercicio = "2004";
    EXPECT_TRUE(ValidaContForm1(p.d, p.c).ok);
}

TEST(ComandoValidar, ChequeAndRepresentativeChecks)
{
    Declaracion p;
    p.d.setPago({"", "C", "XX", "", true});
    Resultado r = validarComando(p.d, p.c);
    EXPECT_EQ(r.mensaje, "Ingrese el banco.");
    EXPECT_EQ(r.pestana, 3);
    EXPECT_EQ(r.foco, Foco::FormaDePago);
    p.d.setBanco("02");
    EXPECT_EQ(validarComando(p.d, p.c).mensaje, fila("Debe ingresar el número de cheque."));
    p.d.setNumCheque("0");
    EXPECT_EQ(validarComando(p.d, p.c).mensaje, fila("Debe ingresar el número de cheque."));
    p.d.setNumCheque("000000");
    EXPECT_EQ(validarComando(p.d, p.c).mensaje, fila("Número de cheque no es válido."));
    p.d.setNumCheque("000107");
    EXPECT_TRUE(validarComando(p.d, p.c).ok);

    p.d.setCasilla(226, "1234567");
    r = validarComando(p.d, p.c);
    EXPECT_EQ(r.mensaje, "El DNI o LE debe ser de 8 digitos.");
    EXPECT_EQ(r.pestana, 4);
    EXPECT_EQ(r.foco, Foco::Casilla226);
    p.d.setCasilla(226, "12345678");
    p.d.setDato(Dato::ApellidoRL, "  ");
    EXPECT_EQ(validarComando(p.d, p.c).foco, Foco::ApellidoRL);
    p.d.setDato(Dato::ApellidoRL, "PEREZ");
    p.d.setDato(Dato::NombreRL, "");
    EXPECT_EQ(validarComando(p.d, p.c).mensaje, "Ingrese los nombres del representante legal.");

    Declaracion nueva(0);
    nueva.c.nuevaDeclaracion = "N";
    EXPECT_EQ(validarComando(nueva.d, nueva.c).mensaje, texto::kYaExiste);
}

TEST(ComandoValidar, AmountNotices)
{
    Declaracion p;
    p.d.setCasilla(146, "");
    p.d.setCasilla(180, "0");
    EXPECT_TRUE(avisoImporte(p.d).ok);
    p.d.setCasilla(146, "400");
    p.d.setCasilla(180, "500");
    Resultado r = avisoImporte(p.d);
    EXPECT_EQ(r.mensaje, fila("El importe a pagar es mayor que el saldo definitivo a pagar. Se generará un pago en exceso."));
    EXPECT_EQ(r.icono, Icono::Informacion);
    p.d.setCasilla(180, "300");
    EXPECT_EQ(avisoImporte(p.d).mensaje,
              fila("El importe a pagar es menor que el saldo definitivo a pagar.La KALDEN emitirá una Orden de Pago."));
    p.d.setCasilla(146, "(10)");
    p.d.setCasilla(180, "0");
    EXPECT_TRUE(avisoImporte(p.d).ok);
}

TEST(Consistencia, MensTxtThatIsALinkIsNotWrittenThrough)
{
    SuiteDePrueba suite;
    const QString fuera = suite.path() + "fuera.txt";
    QFile f(fuera);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("intacto");
    f.close();
    const QString ruta = rutaMensajes(suite.path());
    ASSERT_TRUE(QFile::link(fuera, ruta));
    Declaracion p;
    const Consistencia r = ValidaConsistencia(p.d, p.c, ruta);
    EXPECT_TRUE(r.errorArchivo.contains(ruta)) << qPrintable(r.errorArchivo);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("intacto"));
}
