#pragma once
// The suite's utility component: file check, RUC and document-number checks,
// fixed-width text, key filters and the order-number check. One instance is
// created at start-up and shared; the operations keep no state.
//
// Key codes are character codes as the keyboard delivers them (Unicode; for
// the Latin-1 letters the forms use, Ñ 209, ñ 241, á 225, ... they are the
// same as the Windows-1252 codes). A filter answers the code to keep in place
// of the typed one, or 0 to drop the key.

#include <QChar>
#include <QString>

class ObjFunciones {
public:
    static constexpr int kBackspace = 8;
    static constexpr int kEnter = 13;

    // 1. The path names an existing regular file.
    bool ExisteArchivo(const QString& path) const;
    // 2. Eleven digits, a known prefix and the modulus-11 check digit.
    bool RucValido(const QString& ruc) const;
    // 3. Padded with blanks to exactly `width` characters; a longer text is cut.
    QString AjustaTexto(const QString& text, int width) const;
    // 4. Right-aligned in a field of `width` characters; a longer text is
    //    returned whole so that no digit of an amount is lost.
    QString AlineaDerecha(const QString& text, int width) const;
    // 5. Document number of a type whose data kind is not "0": digits only.
    bool DocumentoPrimerTipo(const QString& number) const;
    // 6. Numeric fields: digits, Backspace and Enter pass, anything else is 0.
    int FiltroNumerico(int keyAscii) const;
    // 7. Document number of a type whose data kind is "0": letters and digits.
    bool DocumentoSegundoTipo(const QString& number) const;
    // 8. The order number typed by the user belongs to the submission whose
    //    CONTROL value is `control` (see ordenDigitoControl).
    bool OrdenCorresponde(const QString& control, const QString& orden8, const QString& orden2) const;
    // 9. Name fields: letters (with the Spanish accents and Ñ), digits, blank,
    //    apostrophe and Backspace pass unchanged, anything else is 0.
    int FiltroNombre(int keyAscii) const;

    // The two-digit part that goes with an eight-digit order number of a
    // submission; empty when CONTROL or the eight digits are malformed.
    static QString ordenDigitoControl(const QString& control, const QString& orden8);
    // What a name field keeps after the name filter.
    static bool caracterNombreConservado(QChar c);
};
