#pragma once
// Sending a stored declaration, as the host does when it transmits one:
// the CAB/DET rows of form 0834 are copied into HCAB/HDET under a new
// correlative, with a control value, and the tax administration answers
// with an order number that belongs to that control value.

#include <QSqlDatabase>
#include <QString>

namespace qvrhost {

struct EnvioDeclaracion {
    QString correl;   // "1", "2", ...: one more than the highest of the declaration
    QString control;  // ten digits, the first not 0
    QString orden8;   // eight digits
    QString orden2;   // two digits that tie orden8 to the control value

    // "CORREL CONTROL ORDEN8-ORDEN2"
    QString linea() const;
};

// Sends the stored declaration of form 0834 of `ruc` and `periodo`, in one
// transaction. Returns the message for the user when it cannot be sent
// (missing, never saved, or saved with inconsistencies), or the database
// error; an empty text when `out` holds the new submission.
QString enviaDeclaracionGuardada(QSqlDatabase db, const QString& ruc, const QString& periodo, EnvioDeclaracion* out);

// The 36-column argument of 0834IMP for an annual declaration: type " 6",
// RUC in 15 columns, form, period yyyy00, the submission field and the
// eight-character submission code.
QString argumentoDeResumen(const QString& ruc, const QString& periodo, QChar submissionField, const QString& code);

} // namespace qvrhost
