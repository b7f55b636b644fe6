// Reading stored declarations and storing the box-105 detail, on a real
// SQLite suite.

#include "Anexo105Datos.h"
#include "CodigoControl.h"
#include "FormTestSupport.h"
#include "Lectura834.h"

#include <QSqlRecord>

namespace {

lectura834::Clave claveA(bool enviada = false, const QString& correl = {})
{
    return {QString::fromLatin1(kRucA), QStringLiteral("2004"), QStringLiteral("0834"), enviada, correl};
}

TEST(Lectura834, ReadsStoredOrSentRowsByKeyAndCorrelative)
{
    SuiteDeMuestra s;
    s.detalle("DET", kRucA, "2004", "300", "1500");
    s.detalle("DET", kRucA, "2004", "007", " 2004 ");
    s.detalle("DET", kRucA, "2005", "300", "9");          // another exercise
    s.detalle("DET", kRucB, "2004", "300", "8");          // another taxpayer
    s.detalle("HDET", kRucA, "2004", "300", "777", "0000000002");
    s.detalle("HDET", kRucA, "2004", "300", "111", "0000000001");

    bool ok = false;
    const auto filas = lectura834::leerCasillas(s.db(), claveA(), &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(filas.size(), 2);
    EXPECT_TRUE(filas.contains(lectura834::FilaCasilla{"300", "1500"}));
    EXPECT_TRUE(filas.contains(lectura834::FilaCasilla{"007", "2004"}));   // trimmed

    const auto enviadas = lectura834::leerCasillas(s.db(), claveA(true, "0000000002"));
    ASSERT_EQ(enviadas.size(), 1);
    EXPECT_EQ(enviadas[0].valor, "777");

    // A quote in a key value is only a character: the statement is bound.
    EXPECT_TRUE(lectura834::leerCasillas(s.db(), {"x' OR '1'='1", "2004", "0834", false, {}}).isEmpty());
}

TEST(Lectura834, HeaderExistenceInitialIndexAndBanks)
{
    SuiteDeMuestra s;
    EXPECT_FALSE(lectura834::leerCabecera(s.db(), claveA()).has_value());
    EXPECT_FALSE(lectura834::existeDeclaracion(s.db(), kRucA, "2004", "0834"));
    s.ejecuta("INSERT INTO CAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, bcolibrad, nrocheque, cNumero)"
              " VALUES (6, ?, '2004', '0834', '02', ' 123 ', '0')", {kRucA});
    const auto cab = lectura834::leerCabecera(s.db(), claveA());
    ASSERT_TRUE(cab.has_value());
    EXPECT_EQ(cab->bcolibrad.toString(), "02");
    EXPECT_EQ(cab->nrocheque, "123");
    EXPECT_EQ(cab->cNumero, "0");
    EXPECT_TRUE(lectura834::existeDeclaracion(s.db(), kRucA, "2004", "0834"));
    EXPECT_FALSE(lectura834::existeDeclaracion(s.db(), kRucA, "2005", "0834"));

    EXPECT_TRUE(lectura834::existeIndiceInicial(s.db()));
    s.ejecuta("DELETE FROM PARAM WHERE Numero = '975' AND Argumento = '200212'");
    EXPECT_FALSE(lectura834::existeIndiceInicial(s.db()));

    const auto bancos = lectura834::bancos(s.db());
    ASSERT_FALSE(bancos.isEmpty());
    for (const auto& [codigo, nombre] : bancos)
        EXPECT_NE(codigo, "00");
    EXPECT_EQ(bancos.front(), (std::pair<QString, QString>{"02", "BANCO DE CREDITO DEL PERU"}));
}

TEST(Anexo105Datos, StoresNonBlankAmountsUnderAPlaceholderHeader)
{
    SuiteDeMuestra s;
    Detalle105 montos;
    montos[0] = QStringLiteral("1,234,567");
    montos[3] = QStringLiteral("  ");
    montos[5] = QStringLiteral("________");
    montos[9] = QStringLiteral("25");
    ASSERT_EQ(anexo105::guardar(s.db(), claveA(), false, montos), "");

    EXPECT_EQ(s.valor("SELECT cNumero FROM CAB WHERE Doc_id_d = ? AND Periodo = '2004'", {kRucA}).toString(), "0");
    EXPECT_EQ(s.valor("SELECT COUNT(*) FROM DET WHERE Doc_id_d = ?", {kRucA}).toInt(), 2);
    EXPECT_EQ(s.valor("SELECT i_valor FROM DET WHERE Doc_id_d = ? AND Casilla = '546'", {kRucA}).toString(),
              "1234567");
    EXPECT_EQ(s.valor("SELECT idcasilla FROM DET WHERE Doc_id_d = ? AND Casilla = '555'", {kRucA}).toString(), "01");

    // Each row carries its own control code, computed over the row as stored.
    QSqlQuery q(s.db());
    q.exec(QStringLiteral("SELECT * FROM DET WHERE Casilla = '546'"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(QStringLiteral("cNumero")).toString(), codigoControl(q.record(), kControlCountDet));

    const Detalle105 leidos = anexo105::leer(s.db(), claveA());
    EXPECT_EQ(leidos[0], "1234567");
    EXPECT_EQ(leidos[9], "25");
    EXPECT_EQ(leidos[3], "");
}

TEST(Anexo105Datos, BlankingAnAmountRemovesItsRowAndOtherBoxesStay)
{
    SuiteDeMuestra s;
    s.detalle("DET", kRucA, "2004", "300", "1500");
    s.detalle("DET", kRucA, "2004", "547", "10");
    s.ejecuta("INSERT INTO CAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, estado, cNumero)"
              " VALUES (6, ?, '2004', '0834', 0, '512345')", {kRucA});
    Detalle105 montos;
    montos[2] = QStringLiteral("30");
    // A stored declaration: its header is left as it is.
    ASSERT_EQ(anexo105::guardar(s.db(), claveA(), true, montos), "");
    EXPECT_EQ(s.valor("SELECT cNumero FROM CAB WHERE Doc_id_d = ?", {kRucA}).toString(), "512345");
    EXPECT_FALSE(s.valor("SELECT i_valor FROM DET WHERE Casilla = '547'").isValid());
    EXPECT_EQ(s.valor("SELECT i_valor FROM DET WHERE Casilla = '548'").toString(), "30");
    EXPECT_EQ(s.valor("SELECT i_valor FROM DET WHERE Casilla = '300'").toString(), "1500");
}

TEST(Anexo105Datos, AFailureLeavesNothingHalfWritten)
{
    SuiteDeMuestra s;
    // DET rows cannot be written: the placeholder header must not stay behind.
    s.ejecuta("CREATE TRIGGER no_det BEFORE INSERT ON DET BEGIN SELECT RAISE(ABORT, 'det bloqueada'); END");
    Detalle105 montos;
    montos[0] = QStringLiteral("5");
    EXPECT_NE(anexo105::guardar(s.db(), claveA(), false, montos), "");
    EXPECT_EQ(s.valor("SELECT COUNT(*) FROM CAB").toInt(), 0);
}

TEST(Anexo105Datos, StoredValueOfAnAmount)
{
    EXPECT_EQ(anexo105::valorGuardado("1,500"), "1500");
    EXPECT_EQ(anexo105::valorGuardado(" "), "");
    EXPECT_EQ(anexo105::valorGuardado("________"), "");
    EXPECT_EQ(anexo105::valorGuardado("0"), "0");
}

} // namespace
