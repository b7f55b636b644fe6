#include "ConsultasParam.h"
#include "SuiteDePrueba.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

// A 044 record laid out like the suite's: positions 32 (short name), 46
// (length), 56 (display order), 59-82 (flags), 128 (data kind), 130 (length kind).
QString registroDocumento(const QString& nombreCorto, const QString& length, const QString& order,
                       const QString& flags, QChar claseDato, QChar lengthKind)
{
    QString f(130, u' ');
    f.replace(31, nombreCorto.size(), nombreCorto);
    f.replace(45, 2, length);
    f.replace(55, 2, order);
    f.replace(58, 24, flags);
    f[127] = claseDato;
    f[129] = lengthKind;
    return f;
}

void agregaParam(const SuiteDePrueba& suite, const QString& numero, const QString& argumento, const QString& funcion)
{
    QSqlQuery q(suite.db());
    q.prepare("INSERT INTO PARAM (Numero, Argumento, Funcion) VALUES (?,?,?)");
    q.addBindValue(numero);
    q.addBindValue(argumento);
    q.addBindValue(funcion);
    ASSERT_TRUE(q.exec());
}

void agregaContribuyente(const SuiteDePrueba& suite, int tipo, const QString& doc, const QString& name, const QString& user)
{
    QSqlQuery q(suite.db());
    q.prepare("INSERT INTO CONT (Tip_doc_d, Doc_id_d, Tipo_Ingreso, Nombre, Usuario) VALUES (?,?,1,?,?)");
    q.addBindValue(tipo);
    q.addBindValue(doc);
    q.addBindValue(name);
    q.addBindValue(user);
    ASSERT_TRUE(q.exec());
}

QStringList ids(const QList<Contribuyente>& list)
{
    QStringList out;
    for (const Contribuyente& t : list)
        out << t.docId;
    return out;
}

const QString kAllButLast = QString(23, u'1') + u'0';
const QString kOnlyLast = QString(23, u'0') + u'1';

} // namespace

TEST(ParamLookups, MidNeverFails)
{
    EXPECT_EQ(mid("ABCDEF", 2, 3), "BCD");
    EXPECT_EQ(mid("ABC", 2, 5), "BC");
    EXPECT_EQ(mid("ABC", 4, 1), "");
    EXPECT_EQ(mid("ABC", 0, 1), "");
    EXPECT_EQ(mid("", 130, 1), "");
    EXPECT_EQ(mid("ABC", 2), "BC");
}

TEST(ParamLookups, DefaultRucRecordPositions)
{
    EXPECT_EQ(kRegistroRucPredeterminado.size(), 130);
    const RegistroTipoDocumento ruc{kRegistroRucPredeterminado};
    EXPECT_EQ(mid(kRegistroRucPredeterminado, 1, 30).trimmed(), "REG. UNICO DE CONTRIBUYENTES");
    EXPECT_EQ(ruc.nombreCorto().trimmed(), "RUC");
    EXPECT_EQ(ruc.longitud(), 11);
    EXPECT_EQ(ruc.ordenPresentacion(), "01");
    EXPECT_EQ(ruc.claseDato(), "5");
    EXPECT_FALSE(ruc.largoExacto());
    EXPECT_TRUE(ruc.ofrecidoEn(82));
    EXPECT_FALSE(ruc.ofrecidoEn(59));
}

TEST(ParamLookups, DocumentTypeListKeepsOfferedTypesInDisplayOrder)
{
    SuiteDePrueba suite;
    agregaParam(suite, "044", "6", kRegistroRucPredeterminado);  // order 01, offered at 82
    agregaParam(suite, "044", "1", registroDocumento("DNI", "08", "02", kAllButLast, u'5', u'1'));
    agregaParam(suite, "044", "4", registroDocumento("CARNET EXT.", "12", "00", QString(24, u'1'), u'0', u'0'));
    agregaParam(suite, "044", "10", registroDocumento("OTROS", "15", "03", QString(24, u'1'), u'0', u'0'));
    agregaParam(suite, "004", "01", registroDocumento("NOT A DOCUMENT", "15", "00", QString(24, u'1'), u'0', u'0'));

    const QStringList atLast = elementosTipoDocumento(suite.db(), 82, false);
    ASSERT_EQ(atLast.size(), 3);  // DNI's flag 82 is "0" although every other flag is set
    EXPECT_TRUE(atLast[0].startsWith("04  -  CARNET EXT."));
    EXPECT_EQ(atLast[1], "06  -  RUC" + QString(57, u' ') + "11 5 0");
    EXPECT_EQ(atLast[1].mid(67, 2), "11");  // the length travels at positions 68-69
    EXPECT_TRUE(atLast[2].startsWith("10  -  OTROS"));
    EXPECT_TRUE(atLast[2].endsWith("15 0 0"));

    const QStringList atFirst = elementosTipoDocumento(suite.db(), 59, true);
    ASSERT_EQ(atFirst.size(), 4);
    EXPECT_EQ(atFirst[0], QString(75, u' '));
    EXPECT_TRUE(atFirst[1].startsWith("04  -  "));
    EXPECT_EQ(atFirst[2], "01  -  DNI" + QString(57, u' ') + "08 5 1");
    EXPECT_TRUE(atFirst[3].startsWith("10  -  "));

    EXPECT_EQ(elementosTipoDocumento(suite.db(), 200, true), QStringList{QString(75, u' ')});
}

TEST(ParamLookups, DocumentNumberWithTheRucRecord)
{
    SuiteDePrueba suite;
    const QSqlDatabase db = suite.db();
    EXPECT_TRUE(revisaNumeroDocumento(db, "06", "ABC"));  // no 044 row: nothing to check
    agregaParam(suite, "044", "6", kRegistroRucPredeterminado);
    EXPECT_TRUE(revisaNumeroDocumento(db, "06", "20131312955"));
    EXPECT_TRUE(revisaNumeroDocumento(db, "06", "2013131295"));  // "at most" the length
    EXPECT_TRUE(revisaNumeroDocumento(db, "6", " 20131312955 "));
    EXPECT_FALSE(revisaNumeroDocumento(db, "06", "201313129551"));
    EXPECT_FALSE(revisaNumeroDocumento(db, "06", "2013131295A"));
    EXPECT_TRUE(revisaNumeroDocumento(db, "06", "   "));
    EXPECT_TRUE(revisaNumeroDocumento(db, "  ", "ABC"));
}

TEST(ParamLookups, DocumentNumberWithExactLengthAndLetters)
{
    SuiteDePrueba suite;
    const QSqlDatabase db = suite.db();
    agregaParam(suite, "044", "1", registroDocumento("DNI", "08", "02", kAllButLast, u'5', u'1'));
    agregaParam(suite, "044", "4", registroDocumento("CARNET EXT.", "12", "00", kOnlyLast, u'0', u'0'));
    EXPECT_TRUE(revisaNumeroDocumento(db, "01", "04567890"));
    EXPECT_FALSE(revisaNumeroDocumento(db, "01", "4567890"));
    EXPECT_FALSE(revisaNumeroDocumento(db, "01", "045678901"));
    EXPECT_FALSE(revisaNumeroDocumento(db, "01", "0456789X"));
    EXPECT_TRUE(revisaNumeroDocumento(db, "04", "N001234"));
    EXPECT_TRUE(revisaNumeroDocumento(db, "04", QString::fromUtf8("ÑA1234567890")));
    EXPECT_FALSE(revisaNumeroDocumento(db, "04", "N-001234"));
    EXPECT_FALSE(revisaNumeroDocumento(db, "04", "N0012345678901"));
    EXPECT_TRUE(revisaNumeroDocumento(db, "09", "anything"));
}

TEST(ParamLookups, DocumentShortName)
{
    SuiteDePrueba suite;
    EXPECT_EQ(nombreCortoDocumento(suite.db(), "6"), "RUC");
    agregaParam(suite, "044", "1", registroDocumento("DNI", "08", "02", kAllButLast, u'5', u'1'));
    EXPECT_EQ(nombreCortoDocumento(suite.db(), "01"), "DNI");
}

class TaxpayerListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(suite.exec("INSERT INTO CLAVES VALUES ('ROOT','0')"));
        ASSERT_TRUE(suite.exec("INSERT INTO CLAVES VALUES ('ANA','1')"));
        agregaContribuyente(suite, 6, "20131312955", "EMPRESA B", "ANA");
        agregaContribuyente(suite, 6, "20100070970   ", "EMPRESA A", "LUIS");
        agregaContribuyente(suite, 6, "2010007097", "NUMERO CORTO", "ANA");
        agregaContribuyente(suite, 1, "04567890", "PERSONA", "ANA");
    }
    SuiteDePrueba suite;
};

TEST_F(TaxpayerListTest, UnrestrictedUserSeesEveryRucTaxpayer)
{
    const QList<Contribuyente> list = listaContribuyentes(suite.db(), "ROOT");
    EXPECT_EQ(ids(list), (QStringList{"2010007097", "20100070970", "20131312955"}));
    EXPECT_EQ(list[1].nombre, "EMPRESA A");
}

TEST_F(TaxpayerListTest, OtherUsersSeeTheirOwn)
{
    EXPECT_EQ(ids(listaContribuyentes(suite.db(), "ANA")), (QStringList{"2010007097", "20131312955"}));
    EXPECT_EQ(ids(listaContribuyentes(suite.db(), "Ana")), (QStringList{"2010007097", "20131312955"}));
    // missing from CLAVES counts as restricted
    EXPECT_EQ(ids(listaContribuyentes(suite.db(), "LUIS")), QStringList{"20100070970"});
    EXPECT_TRUE(listaContribuyentes(suite.db(), "' OR ''='").isEmpty());
}

TEST_F(TaxpayerListTest, ExactRucLengthLeavesShortNumbersOut)
{
    QString record = kRegistroRucPredeterminado;
    record[129] = u'1';
    agregaParam(suite, "044", "6", record);
    EXPECT_EQ(ids(listaContribuyentes(suite.db(), "ROOT")), (QStringList{"20100070970", "20131312955"}));
}

TEST(ParamLookups, BankShortName)
{
    SuiteDePrueba suite;
    QString funcion = QString("BANCO DE CREDITO DEL PAIS").leftJustified(36) + " CREDITO     ";
    agregaParam(suite, "004", "02", funcion);
    agregaParam(suite, "004", "09", "BANCO SIN NOMBRE CORTO");
    EXPECT_EQ(nombreCortoBanco(suite.db(), "02"), "CREDITO");
    EXPECT_EQ(nombreCortoBanco(suite.db(), "09"), "");
    EXPECT_EQ(nombreCortoBanco(suite.db(), " "), "");
    EXPECT_EQ(nombreCortoBanco(suite.db(), "03"), "");
}
