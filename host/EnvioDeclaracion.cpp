#include "EnvioDeclaracion.h"
#include "MotorSql.h"

#include "CodigoControl.h"
#include "ObjFunciones.h"
#include "TransaccionSql.h"

#include <QDate>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <algorithm>

namespace qvrhost {
namespace {

const QString kForm = QStringLiteral("0834");
const QString kWhere = QStringLiteral(" WHERE Doc_id_d=? AND Tip_doc_d=6 AND Periodo=? AND Formulario=?");

QString digitosAlAzar(int count, bool firstNonZero)
{
    QString digits;
    for (int i = 0; i < count; ++i) {
        const int low = (i == 0 && firstNonZero) ? 1 : 0;
        digits += QChar(u'0' + QRandomGenerator::global()->bounded(low, 10));
    }
    return digits;
}

void enlazaClave(QSqlQuery& q, const QString& ruc, const QString& periodo)
{
    q.addBindValue(ruc);
    q.addBindValue(periodo);
    q.addBindValue(kForm);
}

// One more than the highest correlative the declaration has used, in the
// header or in a detail left behind.
bool siguienteCorrel(QSqlDatabase db, const QString& ruc, const QString& periodo, QString* correl, QString* error)
{
    qint64 highest = 0;
    for (const QString& table : {QStringLiteral("HCAB"), QStringLiteral("HDET")}) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("SELECT CORREL FROM ") + table + kWhere);
        enlazaClave(q, ruc, periodo);
        if (!q.exec()) {
            *error = q.lastError().text();
            return false;
        }
        while (q.next())
            highest = std::max(highest, q.value(0).toString().trimmed().toLongLong());
    }
    *correl = QString::number(highest + 1);
    return true;
}

} // namespace

QString EnvioDeclaracion::linea() const
{
    return correl + u' ' + control + u' ' + orden8 + u'-' + orden2;
}

QString enviaDeclaracionGuardada(QSqlDatabase db, const QString& ruc, const QString& periodo, EnvioDeclaracion* out)
{
    TransaccionSql transaction(db);
    if (!transaction.abierta())
        return transaction.error();
    // Two sends of one declaration at once would take the same correlative.
    if (QSqlError e; !reservarTabla(db, QStringLiteral("HCAB"), &e))
        return e.text();

    QSqlQuery cab(db);
    cab.prepare(QStringLiteral("SELECT estado, fec_pro, bcolibrad, nrocheque, cheque, efectivo, rectifica, cNumero FROM CAB")
                + kWhere);
    enlazaClave(cab, ruc, periodo);
    if (!cab.exec())
        return cab.lastError().text();
    if (!cab.next())
        return QStringLiteral("No existe la declaración %1 del RUC %2 para el ejercicio %3.").arg(kForm, ruc, periodo);
    const QSqlRecord header = cab.record();
    if (header.value(QStringLiteral("estado")).toInt() == 9)
        return QStringLiteral("La declaración tiene inconsistencias y no puede enviarse.");
    // The box-105 assistant leaves a header with code "0" until the form is saved.
    if (header.value(QStringLiteral("cNumero")).toString().trimmed() == QLatin1String("0"))
        return QStringLiteral("La declaración no ha sido grabada y no puede enviarse.");

    EnvioDeclaracion s;
    QString error;
    if (!siguienteCorrel(db, ruc, periodo, &s.correl, &error))
        return error;
    s.control = digitosAlAzar(10, true);
    s.orden8 = digitosAlAzar(8, false);
    s.orden2 = ObjFunciones::ordenDigitoControl(s.control, s.orden8);

    QSqlQuery hcab(db);
    hcab.prepare(QStringLiteral(
        "INSERT INTO HCAB (Tip_doc_d, Doc_id_d, Periodo, Formulario, CORREL, NORDEN, FEC_ENV, CONTROL, estado,"
        " fec_pro, bcolibrad, nrocheque, cheque, efectivo, rectifica, cNumero)"
        " VALUES (6, ?, ?, ?, ?, NULL, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    enlazaClave(hcab, ruc, periodo);
    hcab.addBindValue(s.correl);
    hcab.addBindValue(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    hcab.addBindValue(s.control);
    for (const char* column : {"estado", "fec_pro", "bcolibrad", "nrocheque", "cheque", "efectivo", "rectifica", "cNumero"})
        hcab.addBindValue(header.value(QLatin1String(column)));
    if (!hcab.exec())
        return hcab.lastError().text();

    QSqlQuery det(db);
    det.prepare(QStringLiteral("SELECT Casilla, i_valor, idcasilla, cNumero FROM DET") + kWhere);
    enlazaClave(det, ruc, periodo);
    if (!det.exec())
        return det.lastError().text();
    QSqlRecord row = columnasDeTabla(db, QStringLiteral("HDET"));
    QSqlQuery hdet(db);
    hdet.prepare(QStringLiteral(
        "INSERT INTO HDET (Tip_doc_d, Doc_id_d, Periodo, Formulario, Correl, Casilla, i_valor, idcasilla, estado, cNumero)"
        " VALUES (6, ?, ?, ?, ?, ?, ?, ?, 0, ?)"));
    while (det.next()) {
        row.clearValues();
        row.setValue(QStringLiteral("Tip_doc_d"), 6);
        row.setValue(QStringLiteral("Doc_id_d"), ruc);
        row.setValue(QStringLiteral("Periodo"), periodo);
        row.setValue(QStringLiteral("Formulario"), kForm);
        row.setValue(QStringLiteral("Correl"), s.correl);
        row.setValue(QStringLiteral("Casilla"), det.value(0));
        row.setValue(QStringLiteral("i_valor"), det.value(1));
        row.setValue(QStringLiteral("idcasilla"), det.value(2));
        row.setValue(QStringLiteral("estado"), 0);
        // The sent rows carry the correlative, so their code is computed afresh over count 7.
        const QString code = codigoControl(row, kControlCountHdet);
        enlazaClave(hdet, ruc, periodo);
        hdet.addBindValue(s.correl);
        hdet.addBindValue(det.value(0));
        hdet.addBindValue(det.value(1));
        hdet.addBindValue(det.value(2));
        hdet.addBindValue(code);
        if (!hdet.exec())
            return hdet.lastError().text();
    }

    if (!transaction.confirmar())
        return transaction.error();
    *out = s;
    return {};
}

QString argumentoDeResumen(const QString& ruc, const QString& periodo, QChar submissionField, const QString& code)
{
    return QStringLiteral(" 6") + ruc.trimmed().leftJustified(15, u' ', true) + kForm
         + periodo.trimmed().leftJustified(4, u' ', true) + QStringLiteral("00") + submissionField
         + code.leftJustified(8, u' ', true);
}

} // namespace qvrhost
