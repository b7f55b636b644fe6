#include "Anexo105Datos.h"
#include "CodigoControl.h"
#include "DeclaracionDePrueba.h"
#include "Formato834.h"
#include "Grabacion834.h"
#include "MotorSql.h"
#include "ObjFunciones.h"
#include "OtroPuesto.h"
#include "SuiteDePrueba.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

using namespace grabacion834;
using Dato = Declaracion834::Dato;
using prueba::Declaracion;

namespace {

void insertar(const SuiteDePrueba& s, const QString& sql, const QVariantList& valores)
{
    QSqlQuery q(s.db());
    q.prepare(sql);
    for (const QVariant& v : valores)
        q.addBindValue(v);
    ASSERT_TRUE(q.exec()) << sql.toStdString();
}

// The check-sum rows the installer writes.
void parametrosInstalador(const SuiteDePrueba& s)
{
    const QString sql = "INSERT INTO PARAM (Numero, Argumento, Funcion, Correl_param) VALUES (?, ?, ?, ?)";
    insertar(s, sql, {"981", "0834", "960 ", "001"});
    insertar(s, sql, {"960", "2004", "1.011", "001"});
    insertar(s, sql, {"960", "2005", "1.02", "000"});
    insertar(s, sql, {"ERR", "x", "", ""});
}

// Every row of a table as text, in key order: what "stays exactly as it was" compares.
QString volcado(const SuiteDePrueba& s, const QString& tabla)
{
    QSqlQuery q(s.db());
    EXPECT_TRUE(q.exec("SELECT * FROM " + tabla + " ORDER BY 1, 2, 3, 4, 5"));
    QString t;
    while (q.next()) {
        const QSqlRecord r = q.record();
        for (int i = 0; i < r.count(); ++i)
            t += (r.isNull(i) ? QStringLiteral("<null>") : r.value(i).toString()) + u'|';
        t += u'\n';
    }
    return t;
}

QMap<QString, QString> detalle(const SuiteDePrueba& s, const QString& ruc = prueba::kRuc)
{
    QSqlQuery q(s.db());
    q.prepare("SELECT Casilla, i_valor FROM DET WHERE Doc_id_d = ?");
    q.addBindValue(ruc);
    EXPECT_TRUE(q.exec());
    QMap<QString, QString> m;
    while (q.next())
        m.insert(q.value(0).toString(), q.value(1).toString());
    return m;
}

QSqlRecord cabecera(const SuiteDePrueba& s)
{
    QSqlQuery q(s.db());
    q.prepare("SELECT * FROM CAB WHERE Doc_id_d = ?");
    q.addBindValue(prueba::kRuc);
    EXPECT_TRUE(q.exec());
    EXPECT_TRUE(q.next());
    return q.record();
}

int cuenta(const SuiteDePrueba& s, const QString& sql)
{
    QSqlQuery q(s.db());
    EXPECT_TRUE(q.exec(sql));
    return q.next() ? q.value(0).toInt() : -1;
}

// Every row's cNumero is the code of the row as stored.
void codigosCorrectos(const SuiteDePrueba& s, const QString& tabla, int n)
{
    QSqlQuery q(s.db());
    ASSERT_TRUE(q.exec("SELECT * FROM " + tabla));
    int filas = 0;
    while (q.next()) {
        ++filas;
        const QSqlRecord r = q.record();
        if (r.value("cNumero").toString() == "0")
            continue;  // the assistant's placeholder
        EXPECT_EQ(r.value("cNumero").toString(), codigoControl(r, n)) << tabla.toStdString();
    }
    EXPECT_GT(filas, 0);
}

} // namespace

TEST(ValorAlmacenado, NumbersPlainTextsUnchanged)
{
    EXPECT_EQ(valorAlmacenado("300", "1,500,000"), "1500000");
    EXPECT_EQ(valorAlmacenado("303", "(500)"), "500");  // subtracted boxes keep their size
    EXPECT_EQ(valorAlmacenado("330", "(800)"), "-800");
    EXPECT_EQ(valorAlmacenado("007", "2004"), "2004");
    EXPECT_EQ(valorAlmacenado("226", "00123456"), "00123456");
    EXPECT_EQ(valorAlmacenado("721", "1.1"), "1.1");
    EXPECT_EQ(valorAlmacenado("801", "ACME S.A."), "ACME S.A.");
    EXPECT_EQ(valorAlmacenado("599", "E"), "E");
    EXPECT_EQ(idCasilla("180"), "05");
    EXPECT_EQ(idCasilla("181"), "01");
    for (const char* v : {"", "  ", "\t", "\n", "\r", "________", " ________ "})
        EXPECT_TRUE(sinValor(QString::fromLatin1(v))) << v;
    EXPECT_FALSE(sinValor("0"));
}

TEST(SumaParametros, ListedTablesTimesTheirCorrelatives)
{
    SuiteDePrueba s;
    QString suma, error;
    ASSERT_TRUE(sumaParametros(s.db(), &suma, &error));
    EXPECT_EQ(suma, "0");
    parametrosInstalador(s);
    ASSERT_TRUE(sumaParametros(s.db(), &suma, &error));
    EXPECT_EQ(suma, "960");
    // A second listed table, a null correlative and one padded with blanks.
    s.exec("UPDATE PARAM SET Funcion = '960 404 ' WHERE Numero = '981'");
    insertar(s, "INSERT INTO PARAM (Numero, Argumento, Funcion, Correl_param) VALUES (?, ?, ?, ?)",
             {"404", "20040101", "3200", " 2 "});
    insertar(s, "INSERT INTO PARAM (Numero, Argumento, Funcion) VALUES (?, ?, ?)", {"404", "20050101", "3300"});
    ASSERT_TRUE(sumaParametros(s.db(), &suma, &error));
    EXPECT_EQ(suma, "1768");  // 960 x 1 + 404 x 2
}

TEST(Grabar, ConsistentDeclarationRowsAndControlCodes)
{
    SuiteDePrueba s;
    parametrosInstalador(s);
    Declaracion p(1, s.db());
    const Grabado g = grabar(s.db(), p.d, p.c);
    ASSERT_TRUE(g.ok) << g.error.toStdString();
    EXPECT_EQ(g.estado, 0);

    const QSqlRecord cab = cabecera(s);
    EXPECT_EQ(cab.value("estado").toInt(), 0);
    EXPECT_EQ(cab.value("fec_pro").toString(), "15/03/2005");
    EXPECT_EQ(cab.value("bcolibrad").toString(), " ");
    EXPECT_EQ(cab.value("nrocheque").toString(), " ");
    EXPECT_EQ(cab.value("cheque").toString(), " ");
    EXPECT_EQ(cab.value("efectivo").toString(), formato834::plano(p.d.Vale(180)));
    EXPECT_EQ(cab.value("rectifica").toString(), "0");

    const QMap<QString, QString> det = detalle(s);
    EXPECT_EQ(det.value("300"), "15000000");
    EXPECT_EQ(det.value("303"), "500");
    EXPECT_EQ(det.value("160"), "1");
    EXPECT_FALSE(det.contains("302"));  // blank boxes have no row
    EXPECT_EQ(det.value("002"), prueba::kRuc);
    EXPECT_EQ(det.value("801"), "COMERCIAL ANDIN");
    EXPECT_EQ(det.value("005"), "0");
    EXPECT_EQ(det.value("871"), "0");
    EXPECT_EQ(det.value("825"), "0");
    EXPECT_FALSE(det.contains("826"));
    EXPECT_EQ(det.value("028"), "4567890");
    EXPECT_EQ(det.value("007"), "2004");
    EXPECT_EQ(det.value("599"), "E");
    EXPECT_FALSE(det.contains("015"));  // the bank only for a cheque
    EXPECT_EQ(det.value("721"), "1.1");
    EXPECT_EQ(det.value("722"), "960");
    EXPECT_EQ(det.value("817"), "QUISPE MAMANI");
    EXPECT_EQ(det.value("818"), "ROSA ELENA");
    EXPECT_EQ(cuenta(s, "SELECT COUNT(*) FROM DET WHERE idcasilla = '05'"), 1);
    EXPECT_EQ(cuenta(s, "SELECT COUNT(*) FROM DET WHERE Casilla = '180' AND idcasilla = '05'"), 1);
    codigosCorrectos(s, "CAB", kControlCountCab);
    codigosCorrectos(s, "DET", kControlCountDet);
}

TEST(Grabar, InconsistentAndChequeColumns)
{
    SuiteDePrueba s;
    Declaracion p(1, s.db());
    p.d.setPago({"", "C", "02", "000107", true});
    p.d.setCasilla(180, "");
    p.d.setRespuesta(Declaracion834::Pregunta::Rectifica, QString());
    const Grabado g = grabar(s.db(), p.d, p.c);
    ASSERT_TRUE(g.ok);
    EXPECT_EQ(g.estado, 9);
    const QSqlRecord cab = cabecera(s);
    EXPECT_EQ(cab.value("estado").toInt(), 9);
    EXPECT_EQ(cab.value("bcolibrad").toString(), "02");
    EXPECT_EQ(cab.value("nrocheque").toString(), "000107");
    // Unanswered values are "", not Null.
    EXPECT_FALSE(cab.isNull("cheque"));
    EXPECT_EQ(cab.value("cheque").toString(), "");
    EXPECT_FALSE(cab.isNull("rectifica"));
    EXPECT_EQ(cab.value("rectifica").toString(), "");
    EXPECT_EQ(cab.value("efectivo").toString(), " ");
    EXPECT_EQ(detalle(s).value("015"), "02");
    EXPECT_EQ(detalle(s).value("012"), "107");

    const validacion834::Resultado m = mensajeGrabado(s.db(), g.estado);
    EXPECT_EQ(m.mensaje, texto::kGrabadaConInconsistencias);
    EXPECT_EQ(m.icono, validacion834::Icono::Exclamacion);
    s.exec("INSERT INTO ERROR (CodError, DescError) VALUES ('0151', 'Grabado')");
    EXPECT_EQ(mensajeGrabado(s.db(), 0).mensaje, "Grabado");
    EXPECT_EQ(mensajeGrabado(s.db(), 0).icono, validacion834::Icono::Informacion);
}

TEST(Grabar, CashWithBlankAmountStoresBlanks)
{
    SuiteDePrueba s;
    Declaracion p(1, s.db());
    p.d.setCasilla(180, "");
    ASSERT_TRUE(grabar(s.db(), p.d, p.c).ok);
    EXPECT_EQ(cabecera(s).value("efectivo").toString(), " ");
    EXPECT_EQ(cabecera(s).value("cheque").toString(), " ");
}

TEST(Grabar, SavingTwiceReplacesDetailButKeepsTheDeductions)
{
    SuiteDePrueba s;
    Declaracion p(1, s.db());
    const lectura834::Clave k = clave(p.d);
    ASSERT_TRUE(anexo105::guardar(s.db(), k, false, Detalle105{"1000", "", "", "", "", "", "", "", "", "77"}).isEmpty());
    // Leftovers of an older version and another declaration that must not move.
    insertar(s, "INSERT INTO DET (Tip_doc_d, Doc_id_d, Periodo, Formulario, Casilla, i_valor) VALUES (6, ?, ?, ?, ?, ?)",
             {prueba::kRuc, "2004", "0834", "999", "1"});
    insertar(s, "INSERT INTO DET (Tip_doc_d, Doc_id_d, Periodo, Formulario, Casilla, i_valor) VALUES (6, ?, ?, ?, ?, ?)",
             {prueba::kRuc, "2003", "0834", "300", "5"});

    // The stamp a save gives back is the stamp of what it stored: the next
    // save of the same window compares it with the stored one.
    const Grabado g1 = grabar(s.db(), p.d, p.c);
    ASSERT_TRUE(g1.ok);
    EXPECT_EQ(g1.sello, lectura834::sello(s.db(), k));
    const QMap<QString, QString> primera = detalle(s);
    EXPECT_FALSE(primera.contains("999"));
    EXPECT_EQ(primera.value("546"), "1000");
    EXPECT_EQ(primera.value("555"), "77");

    p.d.setCasilla(301, "");
    const Grabado g2 = grabar(s.db(), p.d, p.c, std::nullopt, g1.sello);
    ASSERT_TRUE(g2.ok);
    EXPECT_EQ(g2.sello, lectura834::sello(s.db(), k));
    const QMap<QString, QString> segunda = detalle(s);
    EXPECT_EQ(cuenta(s, "SELECT COUNT(*) FROM CAB"), 1);
    EXPECT_FALSE(segunda.contains("301"));
    EXPECT_EQ(segunda.value("546"), "1000");
    EXPECT_EQ(segunda.value("555"), "77");
    EXPECT_EQ(cuenta(s, "SELECT COUNT(*) FROM DET WHERE Periodo = '2003'"), 1);
    QMap<QString, QString> esperada = primera;
    esperada.remove("301");
    EXPECT_EQ(segunda.keys(), esperada.keys());
    // The placeholder header the assistant left became the real one.
    EXPECT_NE(cabecera(s).value("cNumero").toString(), "0");
    codigosCorrectos(s, "CAB", kControlCountCab);

    // A save that replaces the deductions too, a blank one among them.
    const Grabado g3 = grabar(s.db(), p.d, p.c, Detalle105{"", "250", "", "", "", "", "", "", "", "77"}, g2.sello);
    ASSERT_TRUE(g3.ok);
    EXPECT_EQ(g3.sello, lectura834::sello(s.db(), k));
    EXPECT_FALSE(detalle(s).contains("546"));
    EXPECT_EQ(detalle(s).value("547"), "250");
}

// The stamp of a stored version is what every version of the programs
// computes from the same rows (a window opened by one is saved by another):
// every column's text as stored, Null apart from "", blanks kept, the header
// and then the detail rows in order of their texts, hashed with SHA-256.
TEST(Grabar, TheStampOfStoredRowsIsTheOneEveryVersionComputes)
{
    SuiteDePrueba s;
    insertar(s, "INSERT INTO CAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, estado, fec_pro, bcolibrad, nrocheque,"
                " cheque, efectivo, rectifica, cNumero) VALUES (6, ?, ?, ?, 0, ?, ?, ?, ?, ?, ?, ?)",
             {"20100066603", "2023", "0834", "01/02/2024", QVariant(QString()), "ñ", "", " ", QVariant(QString()),
              "123456"});
    const QString det = "INSERT INTO DET (Tip_doc_d, Doc_id_d, Periodo, Formulario, Casilla, i_valor, idcasilla,"
                        " cNumero) VALUES (6, '20100066603', '2023', '0834', ?, ?, ?, ?)";
    insertar(s, det, {"100", "1.5", "01", "000123"});
    insertar(s, det, {"099", QVariant(QString()), "05", ""});
    insertar(s, det, {"10", "Año ", "01", "9"});
    lectura834::Clave k;
    k.ruc = "20100066603";
    k.periodo = "2023";
    EXPECT_EQ(lectura834::sello(s.db(), k), "ab30d22d82e6d10bf1cec0256660db91");
}

TEST(Grabar, FailureMidwayLeavesThePreviousVersionWhole)
{
    SuiteDePrueba s;
    Declaracion p(1, s.db());
    ASSERT_TRUE(grabar(s.db(), p.d, p.c).ok);
    const QString cab = volcado(s, "CAB");
    const QString det = volcado(s, "DET");

    ASSERT_TRUE(s.fallaCuando("DET", "BEFORE INSERT", "NEW.Casilla = '180'", "disk full"));
    p.d.setCasilla(300, "99");
    p.d.setFormaPago("X");
    p.c.hoy = [] { return QDate(2005, 4, 1); };
    const Grabado g = grabar(s.db(), p.d, p.c);
    EXPECT_FALSE(g.ok);
    EXPECT_TRUE(g.error.contains("disk full")) << g.error.toStdString();
    EXPECT_EQ(volcado(s, "CAB"), cab);
    EXPECT_EQ(volcado(s, "DET"), det);
    EXPECT_TRUE(mensajeFallo(g.error).mensaje.startsWith(texto::kNoGrabada));
    // The connection is usable again afterwards.
    ASSERT_TRUE(s.dejaDeFallar("DET"));
    EXPECT_TRUE(grabar(s.db(), p.d, p.c).ok);
}

TEST(Grabar, LockHeldTooLongSaysInSpanishThatNothingWasStored)
{
    SuiteDePrueba s;
    Declaracion p(1, s.db());
    ASSERT_TRUE(grabar(s.db(), p.d, p.c).ok);
    const QString det = volcado(s, "DET");
    // Another connection holds the declaration tables longer than this one waits.
    ASSERT_TRUE(s.exec(s.onServer() ? "SET lock_timeout = 50" : "PRAGMA busy_timeout = 50"));
    {
        const OtroPuesto otro(s, QStringLiteral("CAB, DET"));
        ASSERT_TRUE(otro.retiene()) << otro.error().toStdString();
        p.d.setCasilla(300, "99");
        const Grabado g = grabar(s.db(), p.d, p.c, Detalle105{"500"});
        EXPECT_FALSE(g.ok);
        const QString mensaje = mensajeFallo(g).mensaje;
        EXPECT_TRUE(mensaje.startsWith(texto::kNoGrabada)) << mensaje.toStdString();
        EXPECT_TRUE(mensaje.contains(texto::kBaseOcupada)) << mensaje.toStdString();
        EXPECT_FALSE(mensaje.contains("locked")) << mensaje.toStdString();
    }
    EXPECT_EQ(volcado(s, "DET"), det);
}

TEST(Verificar, TheEightChecksInOrder)
{
    SuiteDePrueba s;
    using validacion834::Foco;
    {
        Declaracion p(0);
        p.c.rucMostrado.clear();
        EXPECT_EQ(verificarGrabacion(p.d, p.c).foco, Foco::CmbRuc);
        p.c.rucMostrado = prueba::kRuc;
        p.c.nuevaDeclaracion = "N";
        EXPECT_EQ(verificarGrabacion(p.d, p.c).mensaje, validacion834::texto::kYaExiste);
    }
    Declaracion p(1, s.db());
    p.c.ejercicio = "200_";
    validacion834::Resultado r = verificarGrabacion(p.d, p.c);
    EXPECT_EQ(r.mensaje, QString::fromUtf8("El ejercicio no es válido."));
    EXPECT_EQ(r.foco, Foco::MkePeriodo);
    p.c.ejercicio = "2004";
    p.d.setCasilla(225, "06");
    p.d.setCasilla(226, "20100070971");
    EXPECT_EQ(verificarGrabacion(p.d, p.c).mensaje, QString::fromUtf8("El RUC no es válido."));
    p.d.setCasilla(226, prueba::kRuc);
    EXPECT_EQ(verificarGrabacion(p.d, p.c).mensaje, "El RUC no puede ser igual al RUC del Contribuyente.");
    p.d.setCasilla(225, "01");
    p.d.setCasilla(226, "1234567");
    EXPECT_EQ(verificarGrabacion(p.d, p.c).mensaje, "El DNI o LE debe ser de 8 digitos.");
    p.d.setCasilla(226, "12345678");
    p.d.setDato(Dato::ApellidoRL, " ");
    EXPECT_EQ(verificarGrabacion(p.d, p.c).foco, Foco::ApellidoRL);
    p.d.setDato(Dato::ApellidoRL, "QUISPE");
    p.d.setDato(Dato::NombreRL, "");
    r = verificarGrabacion(p.d, p.c);
    EXPECT_EQ(r.foco, Foco::NombreRL);
    EXPECT_EQ(r.pestana, 4);
    p.d.setDato(Dato::NombreRL, "ROSA");
    EXPECT_TRUE(verificarGrabacion(p.d, p.c).ok);
    // Without the declaration's own RUC nothing could be keyed.
    p.d.setDato(Dato::Ruc, "");
    EXPECT_FALSE(verificarGrabacion(p.d, p.c).ok);
}

TEST(Borrador, ClosingRemovesOnlyTheAssistantsPlaceholder)
{
    SuiteDePrueba s;
    Declaracion p(1, s.db());
    lectura834::Clave k = clave(p.d);
    ASSERT_TRUE(anexo105::guardar(s.db(), k, false, Detalle105{"1000", "2000"}).isEmpty());
    QString error;
    EXPECT_FALSE(eliminarBorrador(s.db(), "", "2004", &error));
    EXPECT_TRUE(eliminarBorrador(s.db(), prueba::kRuc, "2004", &error)) << error.toStdString();
    EXPECT_EQ(cuenta(s, "SELECT COUNT(*) FROM CAB"), 0);
    EXPECT_EQ(cuenta(s, "SELECT COUNT(*) FROM DET"), 0);

    // A saved declaration is never removed, deductions or not.
    ASSERT_TRUE(anexo105::guardar(s.db(), k, false, Detalle105{"1000"}).isEmpty());
    ASSERT_TRUE(grabar(s.db(), p.d, p.c).ok);
    EXPECT_FALSE(eliminarBorrador(s.db(), prueba::kRuc, "2004", &error));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(cuenta(s, "SELECT COUNT(*) FROM CAB"), 1);
}

TEST(Recarga, SavedDeclarationComesBackAsShown)
{
    SuiteDePrueba s;
    parametrosInstalador(s);
    Declaracion p(1, s.db());
    p.d.setCasilla(303, "(20,000,000)");  // a negative total
    p.d.setPago({"", "C", "02", "000107", true});
    p.d.setRespuesta(Declaracion834::Pregunta::Liquidacion, "1");
    ASSERT_EQ(p.d.casilla(330), "(4,998,000)");
    ASSERT_TRUE(grabar(s.db(), p.d, p.c).ok);

    Declaracion834 r;
    r.iAccion = 1;
    r.setDato(Dato::Ruc, prueba::kRuc);
    r.setDato(Dato::Periodo, "2004");
    r.setCargando(true);
    bool ok = false;
    ASSERT_TRUE(CargaCasillas(s.db(), r, &ok));
    EXPECT_TRUE(ok);
    for (int n : casillas834::vCasillas()) {
        if (n != 101) {
            EXPECT_EQ(r.casilla(n), p.d.casilla(n)) << n;
        }
    }
    EXPECT_EQ(r.casilla(101), "-4,998,000");  // box 101's reload format has no parentheses
    EXPECT_EQ(r.casilla(303), "(20,000,000)");
    EXPECT_EQ(r.casilla(330), "(4,998,000)");
    EXPECT_EQ(r.pago().formapago, "C");
    EXPECT_EQ(r.pago().banco, "02");
    EXPECT_EQ(r.pago().numcheque, "000107");  // from CAB, with its zeros
    EXPECT_EQ(r.respuesta(Declaracion834::Pregunta::Liquidacion), "1");
    EXPECT_EQ(r.dato(Dato::Telefono), "4567890");
    EXPECT_EQ(r.dato(Dato::ApellidoRL), "QUISPE MAMANI");

    Declaracion834 otra;
    otra.setDato(Dato::Ruc, prueba::kRuc);
    otra.setDato(Dato::Periodo, "2003");
    EXPECT_FALSE(CargaCasillas(s.db(), otra, &ok));
    EXPECT_TRUE(ok);
}

namespace {

struct Enviada {
    SuiteDePrueba s;
    Declaracion p;
    QString orden8 = "00004567";
    QString orden2;
    Enviada()
    {
        p.d.bEnviada = true;
        p.d.sCorrel = "1";
        p.d.sControl = "1234567890";
        orden2 = ObjFunciones::ordenDigitoControl(p.d.sControl, orden8);
        insertar(s, "INSERT INTO HCAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, CORREL, NORDEN, CONTROL) "
                    "VALUES (6, ?, '2004', '0834', '1', NULL, ?)", {prueba::kRuc, p.d.sControl});
        insertar(s, "INSERT INTO HDET (Tip_doc_d, Doc_id_d, Periodo, Formulario, Correl, Casilla, i_valor, estado) "
                    "VALUES (6, ?, '2004', '0834', '1', '300', '15000000', 0)", {prueba::kRuc});
    }
    QVariant norden()
    {
        QSqlQuery q(s.db());
        q.exec("SELECT NORDEN FROM HCAB");
        q.next();
        return q.value(0);
    }
    QString fila806()
    {
        QSqlQuery q(s.db());
        q.exec("SELECT i_valor FROM HDET WHERE Casilla = '806'");
        return q.next() ? q.value(0).toString() : QStringLiteral("<none>");
    }
};

} // namespace

TEST(Registro, WrongOrderNumberWritesNothing)
{
    Enviada e;
    const QString antes = volcado(e.s, "HCAB") + volcado(e.s, "HDET");
    e.p.d.setDato(Dato::NumOrden, e.orden8);
    e.p.d.setDato(Dato::NumOrdenSufijo, e.orden2 == "00" ? "01" : "00");
    const Registro r = registrarNumeroOrden(e.s.db(), e.p.d);
    EXPECT_FALSE(r.registrado);
    EXPECT_EQ(r.aviso.mensaje, QString::fromUtf8("Número de Orden Ingresado No corresponde a la declaración enviada."));
    EXPECT_EQ(r.aviso.icono, validacion834::Icono::Informacion);
    EXPECT_EQ(volcado(e.s, "HCAB") + volcado(e.s, "HDET"), antes);
}

TEST(Registro, RightOrderNumberStoresBothParts)
{
    Enviada e;
    e.p.d.setDato(Dato::NumOrden, " " + e.orden8 + " ");
    e.p.d.setDato(Dato::NumOrdenSufijo, e.orden2);
    Registro r = registrarNumeroOrden(e.s.db(), e.p.d);
    EXPECT_TRUE(r.registrado);
    EXPECT_EQ(r.aviso.mensaje, QString::fromUtf8("El número de orden fue registrado satisfactoriamente."));
    EXPECT_EQ(r.aviso.titulo, "Mensaje");
    EXPECT_EQ(r.aviso.icono, validacion834::Icono::Exclamacion);
    EXPECT_EQ(e.norden().toLongLong(), 4567);
    EXPECT_EQ(e.fila806(), e.orden2);
    EXPECT_EQ(cuenta(e.s, "SELECT COUNT(*) FROM HDET WHERE Casilla = '806' AND idcasilla = '01' AND estado = 0"), 1);
    codigosCorrectos(e.s, "HDET WHERE Casilla = '806'", kControlCountHdet);

    // Registering again replaces the row and keeps its code true.
    e.s.exec("UPDATE HDET SET i_valor = '99' WHERE Casilla = '806'");
    r = registrarNumeroOrden(e.s.db(), e.p.d);
    EXPECT_TRUE(r.registrado);
    EXPECT_EQ(e.fila806(), e.orden2);
    EXPECT_EQ(cuenta(e.s, "SELECT COUNT(*) FROM HDET WHERE Casilla = '806'"), 1);
    codigosCorrectos(e.s, "HDET WHERE Casilla = '806'", kControlCountHdet);
}

TEST(Registro, ZeroOrderIsNullAndBlankSuffixDeletesTheRow)
{
    Enviada e;
    e.p.d.setDato(Dato::NumOrden, e.orden8);
    e.p.d.setDato(Dato::NumOrdenSufijo, e.orden2);
    ASSERT_TRUE(registrarNumeroOrden(e.s.db(), e.p.d).registrado);
    // A checker that accepts any number: the component's own never accepts a blank suffix.
    const VerificaOrden acepta = [](const QString&, const QString&, const QString&) { return true; };
    e.p.d.setDato(Dato::NumOrden, "00000000");
    e.p.d.setDato(Dato::NumOrdenSufijo, "");
    ASSERT_TRUE(registrarNumeroOrden(e.s.db(), e.p.d, acepta).registrado);
    EXPECT_TRUE(e.norden().isNull());
    EXPECT_EQ(e.fila806(), "<none>");
    EXPECT_EQ(cuenta(e.s, "SELECT COUNT(*) FROM HDET"), 1);
}
