#pragma once
// The one argument 0834IMP is started with: 36 characters in fixed columns
// that name a declaration of form 0834 and its submission.
//
//   1-2   document type (" 6" or "06")
//   3-17  document number, padded with blanks
//   18-21 form number
//   22-27 period: year, then month ("00" for an annual declaration)
//   28    submission field
//   29-36 submission code

#include <QString>

struct ArgumentoResumen {
    QString tipoDoc;
    QString numeroDoc;     // all fifteen columns, not trimmed
    QString formulario;
    QString periodo;
    QString campoEnvio;
    QString codigoEnvio;

    // Cuts by column whatever the content; a shorter text gives shorter or
    // empty fields.
    static ArgumentoResumen cortar(const QString& argumento);

    // The document type read as a number (" 6" and "06" are 6; no digits, 0).
    int tipoDocNumero() const;
    QString numeroDocRecortado() const { return numeroDoc.trimmed(); }
    // "2004" for month 00, else the six characters.
    QString periodoConsulta() const;
    // "2004" for month 00, else month/year ("03/2004").
    QString periodoImpreso() const;

    // The fields end up in file names and in the SPOOL row: the name of the
    // first field holding something other than ASCII letters, digits and
    // blanks; empty when every field is safe.
    QString campoNoValido() const;

    // Name shared by the files of one run (form, period, submission field and
    // code): RPT/<name>.PRN, RPT/<name>.txt and the copy TMP/<name>.TXT.
    QString nombreBase() const { return formulario + periodo + campoEnvio + codigoEnvio; }
};
