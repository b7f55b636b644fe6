// Runs the real 0834IMP against a throw-away suite folder and checks every
// file it writes, line by line.

#include "ArchivoIni.h"
#include "BloqueoInstancia.h"
#include "SuiteDePrueba.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <gtest/gtest.h>

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

const QString kRuc = QStringLiteral("20100123453");
const QString kFalse = QStringLiteral("|False|10|0|");

// " 6", the RUC in 15 columns, form, period, submission field and code.
QString argumento(const QString& periodo, const QString& codigo = QStringLiteral("12345678"))
{
    return QStringLiteral(" 6") + kRuc.leftJustified(15) + QStringLiteral("0834") + periodo + u'A' + codigo;
}

struct Corrida {
    int salida = -1;
    QString err;
};

class Resumen0834IMP : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A runtime folder of our own: the instance lock lives there.
        ASSERT_TRUE(runtime_.isValid());
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
        suite_.exec(QStringLiteral("INSERT INTO CONT VALUES (6, '%1', 1, '  FERRETERÍA EL CONSTRUCTOR E.I.R.L. ', 'ADMIN')")
                        .arg(kRuc));
        // Bank 02: short name at positions 38-49.
        suite_.exec(QStringLiteral("INSERT INTO PARAM VALUES ('004', '02', '%1', '001')")
                        .arg(QStringLiteral("BANCO DE CREDITO DEL PERU").leftJustified(37) + QStringLiteral("B. CREDITO  ")));
        iniAntes_ = leer(suite_.iniPath());
    }

    Corrida corre(const QString& arg, const QString& usuario = {})
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!usuario.isEmpty())
            env.insert(QStringLiteral("USER"), usuario);
        env.insert(QStringLiteral("QVR_WINDIR"), suite_.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(IMP0834_PATH), {arg});
        if (!p.waitForFinished(30000))
            p.kill();
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError())};
    }

    void declaracion(const QString& periodo, const QString& efectivo, const QString& cheque, const QString& rectifica,
                     const QString& c146, const QString& c180)
    {
        QSqlQuery q(suite_.db());
        q.prepare(QStringLiteral("INSERT INTO CAB VALUES (6, ?, ?, '0834', 0, '15/03/2005', '02', ' 00123456 ', ?, ?, ?, '123456')"));
        for (const QString& v : {kRuc, periodo, cheque, efectivo, rectifica})
            q.addBindValue(v);
        ASSERT_TRUE(q.exec());
        for (const auto& [casilla, valor] : {std::pair{QStringLiteral("146"), c146}, std::pair{QStringLiteral("180"), c180}}) {
            if (valor.isNull())
                continue;
            q.prepare(QStringLiteral("INSERT INTO DET VALUES (6, ?, ?, '0834', ?, ?, '1', '111111')"));
            for (const QString& v : {kRuc, periodo, casilla, valor})
                q.addBindValue(v);
            ASSERT_TRUE(q.exec());
        }
    }

    static QByteArray leer(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    // The lines of a Windows-1252 file; each must end in CR LF.
    static QStringList lineas(const QString& path)
    {
        const QByteArray bytes = leer(path);
        EXPECT_TRUE(bytes.isEmpty() || bytes.endsWith("\r\n")) << qPrintable(path);
        QStringList out = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
        out.removeLast();
        return out;
    }

    QString rpt(const QString& nombre) const { return suite_.path() + QStringLiteral("RPT/") + nombre; }
    QString tmp(const QString& nombre) const { return suite_.path() + QStringLiteral("TMP/") + nombre; }

    QStringList spool() const
    {
        QStringList out;
        QSqlQuery q(suite_.db());
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT CodRep, Secuencia, Archivo, Usuario, Tip_doc_d, doc_id_d FROM SPOOL")));
        while (q.next())
            out << QStringList{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                               q.value(3).toString(), q.value(4).toString(), q.value(5).toString()}
                       .join(u'|');
        return out;
    }

    QStringList archivos(const QString& carpeta) const
    {
        return QDir(suite_.path() + carpeta).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    QTemporaryDir runtime_;
    SuiteDePrueba suite_;
    QByteArray iniAntes_;
};

QString hoy() { return QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")); }

TEST_F(Resumen0834IMP, AnnualRunWritesEveryFileLineByLine)
{
    declaracion(QStringLiteral("2004"), QString(), QStringLiteral("5000"), QStringLiteral("0"), QStringLiteral("12345"),
                QStringLiteral("5000"));
    const QString fecha = hoy();
    const Corrida r = corre(argumento(QStringLiteral("200400")));
    ASSERT_EQ(r.salida, 0) << qPrintable(r.err);

    EXPECT_EQ(spool(), QStringList{QStringLiteral("AAR002|000001|00000001.PRN|ADMIN|6|20100123453    ")});

    const QStringList marcado = lineas(rpt(QStringLiteral("00000001.PRN")));
    ASSERT_EQ(marcado.size(), 19) << qPrintable(marcado.join(u'\n'));
    const QStringList esperado{
        QStringLiteral("<!font!>Courier New<!/font!>"),
        QStringLiteral("<!nHojas!>1<!/nHojas!>"),
        QStringLiteral("<!Orientacion!>V<!/Orientacion!>"),
        QStringLiteral("<!Color!>&H80000005&<!/Color!>"),
        QStringLiteral("pPos|300|350|") + fecha + kFalse,
        QStringLiteral("pPos|5500|350|Pag. 01/01|False|10|0|"),
        marcado[6],   // the time, checked below
        QStringLiteral("pPos|1300|1100|Resumen de env\u00edo - Formulario 0834|false|10|0|"),
        QStringLiteral("pPos|300|1500|DOCUMENTO       : RUC  20100123453|False|10|0|"),
        QStringLiteral("pPos|300|1750|RAZON SOCIAL    : FERRETER\u00cdA EL CONSTRUCTOR E.I.R.L.|False|10|0|"),
        QStringLiteral("pPos|300|2000|FORMULARIO      : 0834-QVR Anticipo Rta.|False|10|0|"),
        QStringLiteral("pPos|300|2250|PERIODO         : 2004|False|10|0|"),
        QStringLiteral("pPos|300|2500|FORMA DE PAGO   : CHEQUE|False|10|0|"),
        QStringLiteral("pPos|300|2750|BANCO           : 02 - B. CREDITO|False|10|0|"),
        QStringLiteral("pPos|300|3000|NUMERO CHEQUE   : 00123456|False|10|0|"),
        QStringLiteral("pPos|300|3250|RECTIFICATORIA  : NO|False|10|0|"),
        QStringLiteral("pPos|300|3750|TRIBUTO          IMP.RESULT.     MONTO PAGO|False|10|0|"),
        QStringLiteral("pPos|350|4000|A. RTA.           12,345             5,000|False|10|0|"),
        QStringLiteral("pPos|300|4500|NC 12345678  Fec.Generaci\u00f3n: ") + fecha + kFalse,
    };
    EXPECT_EQ(marcado, esperado);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^pPos\\|300\\|600\\|\\d\\d:\\d\\d:\\d\\d\\|false\\|10\\|0\\|$"))
                    .match(marcado[6])
                    .hasMatch())
        << qPrintable(marcado[6]);

    const QString base = QStringLiteral("0834200400A12345678");
    const QStringList plano{
        QStringLiteral("DOCUMENTO      : RUC  20100123453"),
        QStringLiteral("RAZON SOCIAL   : FERRETER\u00cdA EL CONSTRUCTOR E.I.R.L."),
        QStringLiteral("FORMULARIO     : 0834-QVR Anticipo Rta."),
        QStringLiteral("PERIODO        : 2004"),
        QStringLiteral("FORMA DE PAGO  : CHEQUE"),
        QStringLiteral("BANCO          : 02 - B. CREDITO"),
        QStringLiteral("NUMERO CHEQUE  : 00123456"),
        QStringLiteral("RECTIFICATORIA : NO"),
        QString(),
        QStringLiteral("TRIBUTO    IMP.RESULT.     MONTO PAGO"),
        QStringLiteral("A. RTA.         12,345           5,000"),
        QString(),
        QStringLiteral("NC 12345678  Fec.Generaci\u00f3n: ") + fecha,
    };
    EXPECT_EQ(lineas(rpt(base + QStringLiteral(".PRN"))), plano);
    QStringList texto = plano;
    texto[8] = texto[11] = QStringLiteral(" ");   // blank lines become one blank
    EXPECT_EQ(lineas(rpt(base + QStringLiteral(".txt"))), texto);
    EXPECT_EQ(leer(tmp(base + QStringLiteral(".TXT"))), leer(rpt(base + QStringLiteral(".txt"))));

    const QString consulta = QStringLiteral(
        "SELECT * FROM CAB WHERE Tip_doc_d=6 AND Doc_id_d='20100123453'  AND PERIODO='2004' AND Formulario='0834'");
    EXPECT_EQ(lineas(suite_.path() + QStringLiteral("Trace.txt")), (QStringList{consulta, consulta}));
    EXPECT_EQ(leer(suite_.iniPath()), iniAntes_) << "SystemDB must not be written";

    // A second run registers the next file and appends to the trace.
    ASSERT_EQ(corre(argumento(QStringLiteral("200400"))).salida, 0);
    EXPECT_EQ(spool().size(), 2);
    EXPECT_TRUE(QFileInfo::exists(rpt(QStringLiteral("00000002.PRN"))));
    EXPECT_EQ(lineas(suite_.path() + QStringLiteral("Trace.txt")).size(), 4);
}

TEST_F(Resumen0834IMP, MonthlyPeriodBothPaymentsAndRectification)
{
    declaracion(QStringLiteral("200403"), QStringLiteral("100"), QStringLiteral("5000"), QStringLiteral("1"),
                QStringLiteral("12345"), QString());
    const Corrida r = corre(argumento(QStringLiteral("200403")));
    ASSERT_EQ(r.salida, 0) << qPrintable(r.err);

    const QStringList marcado = lineas(rpt(QStringLiteral("00000001.PRN")));
    ASSERT_EQ(marcado.size(), 20) << qPrintable(marcado.join(u'\n'));
    EXPECT_EQ(marcado[11], QStringLiteral("pPos|300|2250|PERIODO         : 03/2004") + kFalse);
    // The cheque line is drawn over the cash line.
    EXPECT_EQ(marcado[12], QStringLiteral("pPos|300|2500|FORMA DE PAGO   : EFECTIVO") + kFalse);
    EXPECT_EQ(marcado[13], QStringLiteral("pPos|300|2500|FORMA DE PAGO   : CHEQUE") + kFalse);
    EXPECT_EQ(marcado[16], QStringLiteral("pPos|300|3250|RECTIFICATORIA  : SI") + kFalse);
    // Box 180 absent: 0.
    EXPECT_EQ(marcado[18], QStringLiteral("pPos|350|4000|A. RTA.") + QStringLiteral("12,345").rightJustified(17) +
                               QStringLiteral("0").rightJustified(18) + kFalse);

    const QStringList plano = lineas(rpt(QStringLiteral("0834200403A12345678.PRN")));
    ASSERT_EQ(plano.size(), 14);
    EXPECT_EQ(plano[3], QStringLiteral("PERIODO        : 03/2004"));
    EXPECT_EQ(plano[4], QStringLiteral("FORMA DE PAGO  : EFECTIVO"));
    EXPECT_EQ(plano[5], QStringLiteral("FORMA DE PAGO  : CHEQUE"));
    EXPECT_EQ(plano[8], QStringLiteral("RECTIFICATORIA : SI"));
    EXPECT_EQ(plano[11], QStringLiteral("A. RTA.         12,345               0"));
    EXPECT_TRUE(lineas(suite_.path() + QStringLiteral("Trace.txt"))
                    .first()
                    .contains(QStringLiteral("AND PERIODO='200403' AND")));
    EXPECT_TRUE(QFileInfo::exists(tmp(QStringLiteral("0834200403A12345678.TXT"))));
}

TEST_F(Resumen0834IMP, CashOnlyAndNoPaymentBothPrintCash)
{
    declaracion(QStringLiteral("2004"), QString(), QString(), QString(), QString(), QString());
    ASSERT_EQ(corre(argumento(QStringLiteral("200400"))).salida, 0);
    const QStringList plano = lineas(rpt(QStringLiteral("0834200400A12345678.PRN")));
    ASSERT_EQ(plano.size(), 11);
    EXPECT_EQ(plano[4], QStringLiteral("FORMA DE PAGO  : EFECTIVO"));
    EXPECT_EQ(plano[5], QStringLiteral("RECTIFICATORIA : NO"));
    EXPECT_EQ(plano[8], QStringLiteral("A. RTA.              0               0"));
}

TEST_F(Resumen0834IMP, ShortArgumentGivesAnEmptyReportStillRegistered)
{
    declaracion(QStringLiteral("2004"), QString(), QString(), QString(), QStringLiteral("1"), QString());
    const Corrida r = corre(QStringLiteral(" 6") + kRuc);
    ASSERT_EQ(r.salida, 0) << qPrintable(r.err);
    EXPECT_EQ(spool(), QStringList{QStringLiteral("AAR002|000001|00000001.PRN|ADMIN|6|20100123453")});
    EXPECT_EQ(leer(rpt(QStringLiteral("00000001.PRN"))), QByteArray());
    EXPECT_EQ(leer(rpt(QStringLiteral(".PRN"))), QByteArray());
    EXPECT_EQ(leer(tmp(QStringLiteral(".TXT"))), QByteArray());
    EXPECT_EQ(lineas(suite_.path() + QStringLiteral("Trace.txt")).first(),
              QStringLiteral("SELECT * FROM CAB WHERE Tip_doc_d=6 AND Doc_id_d='20100123453'  AND PERIODO='' AND Formulario=''"));
}

TEST_F(Resumen0834IMP, MissingPlainFileIsReportedAndNothingCopied)
{
    declaracion(QStringLiteral("2004"), QString(), QString(), QString(), QString(), QString());
    // A folder where the plain file should go: it cannot be written.
    ASSERT_TRUE(QDir().mkpath(rpt(QStringLiteral("0834200400A12345678.PRN"))));
    const Corrida r = corre(argumento(QStringLiteral("200400")));
    EXPECT_EQ(r.salida, 4);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Error al Imprimir: Archivo Físico del Reporte no Existe\n"))) << qPrintable(r.err);
    EXPECT_TRUE(archivos(QStringLiteral("TMP")).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(rpt(QStringLiteral("0834200400A12345678.txt"))));
    EXPECT_EQ(spool().size(), 1);   // the spool file was still written and registered
}

// Links where the markup file and the copy in TMP go: neither is written
// through, each refusal names its file, and the registered row stays.
TEST_F(Resumen0834IMP, ReportNamesThatAreLinksAreRefused)
{
    declaracion(QStringLiteral("2004"), QString(), QString(), QString(), QString(), QString());
    const QString fuera = suite_.path() + QStringLiteral("fuera.txt");
    QFile f(fuera);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("intacto");
    f.close();
    ASSERT_TRUE(QFile::link(fuera, rpt(QStringLiteral("00000001.PRN"))));
    ASSERT_TRUE(QFile::link(fuera, tmp(QStringLiteral("0834200400A12345678.TXT"))));
    const Corrida r = corre(argumento(QStringLiteral("200400")));
    EXPECT_NE(r.salida, 0);
    EXPECT_TRUE(r.err.contains(QString::fromUtf8("RPT//00000001.PRN: es un enlace simbólico"))) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains(tmp(QStringLiteral("0834200400A12345678.TXT")))) << qPrintable(r.err);
    EXPECT_EQ(leer(fuera), QByteArray("intacto"));
    EXPECT_EQ(spool().size(), 1);
}

TEST_F(Resumen0834IMP, SecondStartIsRefusedWhileTheFirstHoldsTheLock)
{
    declaracion(QStringLiteral("2004"), QString(), QString(), QString(), QString(), QString());
    BloqueoInstancia primera(QStringLiteral("0834IMP"));
    ASSERT_TRUE(primera.tryLock());
    const Corrida r = corre(argumento(QStringLiteral("200400")));
    EXPECT_EQ(r.salida, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Telvarion: La aplicación ya se encuentra en Ejecución\n"))) << qPrintable(r.err);
    EXPECT_TRUE(spool().isEmpty());
    EXPECT_TRUE(archivos(QStringLiteral("RPT")).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(suite_.path() + QStringLiteral("Trace.txt")));
}

TEST_F(Resumen0834IMP, InstanceLockThatCannotBeMadeIsNotCalledARunningCopy)
{
    declaracion(QStringLiteral("2004"), QString(), QString(), QString(), QString(), QString());
    // A user name longer than any file name makes the lock file impossible.
    const Corrida r = corre(argumento(QStringLiteral("200400")), QString(300, u'u'));
    EXPECT_EQ(r.salida, 1);
    EXPECT_FALSE(r.err.contains(QStringLiteral("ya se encuentra en Ejecución"))) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains(QStringLiteral("no se puede crear el archivo de bloqueo"))) << qPrintable(r.err);
    EXPECT_TRUE(spool().isEmpty());
}

TEST_F(Resumen0834IMP, UnsafeFieldIsRefusedBeforeAnythingIsWritten)
{
    declaracion(QStringLiteral("2004"), QString(), QString(), QString(), QString(), QString());
    for (const QString& arg : {argumento(QStringLiteral("200400"), QStringLiteral("/../../x")),
                               argumento(QStringLiteral("20/400")), argumento(QStringLiteral("200400"), QStringLiteral("a.b"))}) {
        const Corrida r = corre(arg);
        EXPECT_EQ(r.salida, 2) << qPrintable(arg);
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("Telvarion: El argumento no es válido"))) << qPrintable(r.err);
    }
    EXPECT_TRUE(spool().isEmpty());
    EXPECT_TRUE(archivos(QStringLiteral("RPT")).isEmpty());
    EXPECT_TRUE(archivos(QStringLiteral("TMP")).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(suite_.path() + QStringLiteral("Trace.txt")));
}

TEST_F(Resumen0834IMP, DatabaseThatCannotBeOpenedEndsWithTheConnectionMessage)
{
    ASSERT_TRUE(ArchivoIni::escribe(suite_.iniPath(), QStringLiteral("Options"), QStringLiteral("DBName"), QStringLiteral("nada.db")));
    const QByteArray ini = leer(suite_.iniPath());
    const Corrida r = corre(argumento(QStringLiteral("200400")));
    EXPECT_EQ(r.salida, 3);
    // On a server DBName names no database there: the client's own words.
    const QString expected = suite_.onServer()
                                 ? QStringLiteral("Error de Conección: ")
                                 : QStringLiteral("Error de Conección: Could not find file '%1nada.db'.\n 3024\n").arg(suite_.path());
    EXPECT_TRUE(r.err.contains(expected)) << qPrintable(r.err);
    EXPECT_EQ(leer(suite_.iniPath()), ini);
    EXPECT_TRUE(archivos(QStringLiteral("RPT")).isEmpty());
}

} // namespace
