#include "ImpRep.h"
#include "LoteSql.h"
#include "MotorSql.h"
#include "SuiteDePrueba.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QSqlQuery>
#include <QVariant>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

const QDateTime kWhen(QDate(2004, 3, 31), QTime(10, 15, 0));

RegistroSpool registra(const SuiteDePrueba& suite, const QString& code, const QString& doc = QStringLiteral("20123456789"))
{
    return RegistraSpool(suite.db(), QStringLiteral("ADMIN"), code, 6, doc, kWhen);
}

void agregaFila(const SuiteDePrueba& suite, const QString& code, const QString& sec, const QString& archivo)
{
    QSqlQuery q(suite.db());
    q.prepare(QStringLiteral("INSERT INTO SPOOL (CodRep, Secuencia, Archivo) VALUES (?, ?, ?)"));
    q.addBindValue(code);
    q.addBindValue(sec);
    q.addBindValue(archivo);
    ASSERT_TRUE(q.exec());
}

}  // namespace

TEST(RegistraSpool, FirstRegistrationOfAnEmptyTable)
{
    SuiteDePrueba suite;
    const RegistroSpool reg = registra(suite, QStringLiteral("AAR001"));
    ASSERT_TRUE(reg.ok()) << qPrintable(reg.error);
    EXPECT_EQ(reg.archivo, QStringLiteral("00000001.PRN"));
    EXPECT_EQ(reg.secuencia, QStringLiteral("000001"));

    QSqlQuery q(suite.db());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT CodRep, Secuencia, Archivo, Fecha, Usuario, Tip_doc_d, doc_id_d FROM SPOOL")));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("AAR001"));
    EXPECT_EQ(q.value(1).toString(), QStringLiteral("000001"));
    EXPECT_EQ(q.value(2).toString(), QStringLiteral("00000001.PRN"));
    EXPECT_EQ(q.value(3).toDateTime(), kWhen);
    EXPECT_EQ(q.value(4).toString(), QStringLiteral("ADMIN"));
    EXPECT_EQ(q.value(5).toInt(), 6);
    EXPECT_EQ(q.value(6).toString(), QStringLiteral("20123456789"));
    EXPECT_FALSE(q.next());
}

TEST(RegistraSpool, SequencePerCodeFileNumberOverAllRows)
{
    SuiteDePrueba suite;
    agregaFila(suite, QStringLiteral("AAR002"), QStringLiteral("000003"), QStringLiteral("00000041.PRN"));
    agregaFila(suite, QStringLiteral("AAR001"), QStringLiteral("000009"), QStringLiteral("00000007.PRN"));

    RegistroSpool reg = registra(suite, QStringLiteral("AAR001"));
    EXPECT_EQ(reg.archivo, QStringLiteral("00000042.PRN"));
    EXPECT_EQ(reg.secuencia, QStringLiteral("000010"));
    reg = registra(suite, QStringLiteral("AAR003"));
    EXPECT_EQ(reg.archivo, QStringLiteral("00000043.PRN"));
    EXPECT_EQ(reg.secuencia, QStringLiteral("000001"));
    reg = registra(suite, QStringLiteral("AAR002"));
    EXPECT_EQ(reg.archivo, QStringLiteral("00000044.PRN"));
    EXPECT_EQ(reg.secuencia, QStringLiteral("000004"));
}

TEST(RegistraSpool, ValuesAreBoundNotPasted)
{
    SuiteDePrueba suite;
    // Within the column's 15 characters, which a server enforces.
    const QString doc = QStringLiteral("O'B'); DROP --");
    const RegistroSpool reg = registra(suite, QStringLiteral("AAR'01"), doc);
    ASSERT_TRUE(reg.ok()) << qPrintable(reg.error);
    QSqlQuery q(suite.db());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT CodRep, doc_id_d FROM SPOOL")));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("AAR'01"));
    EXPECT_EQ(q.value(1).toString(), doc);
}

TEST(RegistraSpool, NameOutsideTheFixedWidthDoesNotBlockTheNextFile)
{
    // A row another program wrote without leading zeros sorts above every
    // padded name; the clash it causes is resolved by reading numbers.
    SuiteDePrueba suite;
    agregaFila(suite, QStringLiteral("AAR002"), QStringLiteral("1"), QStringLiteral("9.PRN"));
    agregaFila(suite, QStringLiteral("AAR001"), QStringLiteral("000001"), QStringLiteral("00000010.PRN"));
    const RegistroSpool reg = registra(suite, QStringLiteral("AAR001"));
    ASSERT_TRUE(reg.ok()) << qPrintable(reg.error);
    EXPECT_EQ(reg.archivo, QStringLiteral("00000011.PRN"));
}

TEST(RegistraSpool, FailureIsReportedAndNothingIsLeftOpen)
{
    SuiteDePrueba suite;
    ASSERT_TRUE(suite.exec(QStringLiteral("DROP TABLE SPOOL")));
    const RegistroSpool reg = registra(suite, QStringLiteral("AAR001"));
    EXPECT_FALSE(reg.ok());
    EXPECT_FALSE(reg.error.isEmpty());
    // No transaction was left behind on the caller's connection.
    EXPECT_TRUE(comenzarEscritura(suite.db(), nullptr));
    EXPECT_TRUE(suite.db().rollback());
}

// The caller's reads run inside the registration: read again when a clash
// makes it start over, and when they fail nothing is registered.
TEST(RegistraSpool, CallersReadsRunInsideTheRegistration)
{
    SuiteDePrueba suite;
    agregaFila(suite, QStringLiteral("AAR002"), QStringLiteral("1"), QStringLiteral("9.PRN"));
    agregaFila(suite, QStringLiteral("AAR001"), QStringLiteral("000001"), QStringLiteral("00000010.PRN"));
    LoteSql lecturas;
    const int filas = lecturas.agregar(QStringLiteral("SELECT count(*) FROM SPOOL WHERE CodRep <> ?"), {QStringLiteral("X")});
    RegistroSpool reg = RegistraSpool(suite.db(), QStringLiteral("ADMIN"), QStringLiteral("AAR001"), 6,
                                      QStringLiteral("20123456789"), kWhen, &lecturas);
    ASSERT_TRUE(reg.ok()) << qPrintable(reg.error);
    EXPECT_EQ(reg.archivo, QStringLiteral("00000011.PRN"));
    ASSERT_EQ(lecturas.resultado(filas).filas.size(), 1);
    EXPECT_EQ(lecturas.resultado(filas).filas.first()[0].toInt(), 2);

    lecturas.agregar(QStringLiteral("SELECT count(*) FROM SPOOL"));
    lecturas.agregar(QStringLiteral("SELECT Nada FROM SPOOL"));
    reg = RegistraSpool(suite.db(), QStringLiteral("ADMIN"), QStringLiteral("AAR001"), 6,
                        QStringLiteral("20123456789"), kWhen, &lecturas);
    EXPECT_FALSE(reg.ok());
    EXPECT_FALSE(reg.error.isEmpty());
    QSqlQuery q(suite.db());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT count(*) FROM SPOOL")) && q.next());
    EXPECT_EQ(q.value(0).toInt(), 3);
    EXPECT_TRUE(comenzarEscritura(suite.db(), nullptr));
    EXPECT_TRUE(suite.db().rollback());
}

TEST(RegistraSpool, ProcessesRegisteringAtOnceNeverShareAFile)
{
    SuiteDePrueba suite;
    const QString folder = carpetaDeReportes(suite.path());
    constexpr int kProcesses = 8;
    constexpr int kEach = 15;
    const QStringList codes = {QStringLiteral("AAR001"), QStringLiteral("AAR002"), QStringLiteral("AAR003"),
                               QStringLiteral("AAR001")};
    std::vector<std::unique_ptr<QProcess>> procs;
    for (int i = 0; i < kProcesses; ++i) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QStringLiteral(SPOOL_REGISTER_HELPER),
                 {suite.dbFile(), folder, QString::number(kEach), codes[i % codes.size()]});
        procs.push_back(std::move(p));
    }
    for (auto& p : procs) {
        ASSERT_TRUE(p->waitForFinished(60000));
        EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p->exitCode(), 0);
    }

    QSqlQuery q(suite.db());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT CodRep, Secuencia, Archivo FROM SPOOL")));
    QSet<QString> files;
    QSet<QString> sequences;
    int rows = 0;
    while (q.next()) {
        ++rows;
        files.insert(q.value(2).toString());
        sequences.insert(q.value(0).toString() + q.value(1).toString());
        EXPECT_TRUE(QFile::exists(rutaArchivoSpool(folder, q.value(2).toString()))) << qPrintable(q.value(2).toString());
    }
    EXPECT_EQ(rows, kProcesses * kEach);
    EXPECT_EQ(files.size(), rows);
    EXPECT_EQ(sequences.size(), rows);
    // Numbers run without gaps: 1 .. rows.
    EXPECT_TRUE(files.contains(QStringLiteral("%1.PRN").arg(rows, 8, 10, QLatin1Char('0'))));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), rows);
}
