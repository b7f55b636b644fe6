#pragma once
// One declaration of form 0834 while it is open: every box as text addressed by
// its number, the identification data kept under their stored codes, the four
// answers, the payment properties and the form state. There is no numeric
// store: the rules read box text and write box text.
//
// Setting a box to a different text emits casillaCambiada() and then runs the
// box-change handler (the calculation cascade of Calculos834.h), exactly as the
// form's text-change event did; the same text changes nothing. A window
// mirrors the model through the signals and feeds it what the user types.

#include "Casillas834.h"
#include "Dinero.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <array>
#include <functional>

// The ten detail amounts of box 105 (boxes 546 to 555), as stored (i_valor).
using Detalle105 = std::array<QString, 10>;
inline constexpr int kPrimeraDeduccion = 546;
inline constexpr int kUltimaDeduccion = 555;

// The cheque number field takes digits only, at most kLargoNumCheque.
inline constexpr int kLargoNumCheque = 20;
bool numChequeAceptado(const QString& numcheque);

// The payment-method control's five properties.
struct FormaDePago {
    QString importe;                             // copy of box 180
    QString formapago = QStringLiteral("X");     // "C" cheque, "E" cash, "X" not chosen
    QString banco;
    QString numcheque;
    bool habilitado = true;                      // false for a sent declaration
    bool operator==(const FormaDePago&) const = default;
};

class Declaracion834 : public QObject {
    Q_OBJECT
public:
    // The yes/no questions of tab 0; each answer is "1", "0" or "" (not answered).
    enum class Pregunta { Rectifica, Ajuste, Liquidacion, Reorganizacion };
    Q_ENUM(Pregunta)
    // Identification and complementary data stored under non-box codes.
    enum class Dato {
        Ruc,            // "002", sRuc
        RazonSocial,    // "801" (first 15 characters are stored), TxtRazon
        Telefono,       // "028"
        Periodo,        // "007", the exercise (MkePeriodo / sPeriodo)
        ApellidoRL,     // "817"
        NombreRL,       // "818"
        NumOrden,       // eight-digit part of the order number (HCAB.norden)
        NumOrdenSufijo, // "806"
    };
    Q_ENUM(Dato)

    explicit Declaracion834(QObject* parent = nullptr);

    // ---- Boxes (only the 46 boxes of casillas834::tabla(); others are ignored)
    QString casilla(int numero) const;
    // Returns true when the text changed (and so the cascade ran).
    bool setCasilla(int numero, const QString& texto);
    // Standard numeric read and blank test of a box.
    Dinero Vale(int numero) const;
    bool vacio(int numero) const;
    // Every box of vCasillas becomes "" (one change each, cascade included).
    void limpiarCasillas();

    // Locked: not typed into (grey). Enabled: usable at all (box 145 at 139 <= 0).
    bool bloqueada(int numero) const;
    void setBloqueada(int numero, bool bloqueada);
    bool habilitada(int numero) const;
    void setHabilitada(int numero, bool habilitada);
    // A sent declaration: every box but 105 locked, payment control disabled.
    void bloquearEnviada();

    // Focus changes of an unlocked box: bare number in, formatted text out.
    void entrarCasilla(int numero);
    void salirCasilla(int numero);

    // ---- Exercise and its parameters
    QString periodo() const { return dato(Dato::Periodo); }
    Dinero cUIT() const { return uit_; }
    QString factorIpm() const { return factorIpm_; }
    // Only stores the values (the load sets UIT 0 and an empty factor).
    void setParametros(Dinero uit, const QString& factorIpm);
    // The exercise was validated: keep it with its UIT and factor text, run
    // Calcular109 (and 113 and 114, which read the UIT and the year) and mark
    // the declaration modified.
    void aplicarEjercicio(const QString& periodo, Dinero uit, const QString& factorIpm);

    // ---- Answers. Anything other than "1" or "0" is kept as "".
    // Answering the adjustment question runs Calcular109.
    QString respuesta(Pregunta p) const;
    void setRespuesta(Pregunta p, const QString& valor);

    // ---- Identification data
    QString dato(Dato d) const;
    void setDato(Dato d, const QString& valor);

    // ---- Payment control
    const FormaDePago& pago() const { return pago_; }
    void setPago(const FormaDePago& pago);
    void setFormaPago(const QString& formapago);
    void setBanco(const QString& banco);
    void setNumCheque(const QString& numcheque);
    void setHabilitado(bool habilitado);
    // The payment modality kept from a reload (box 160's stored value).
    QString modalidad() const { return modalidad_; }
    void setModalidad(const QString& m) { modalidad_ = m; }

    // ---- Box-105 detail as stored; Calcular105 sums it. The window refreshes it
    // from the database after the assistant closes, before writing box 105.
    const Detalle105& detalle105() const { return detalle105_; }
    void setDetalle105(const Detalle105& detalle) { detalle105_ = detalle; }

    // ---- Form state
    int iAccion = 0;          // 0 new declaration, 1 existing
    bool bEnviada = false;    // a sent declaration (HCAB/HDET)
    QString sCorrel;          // sent declarations only
    QString sControl;
    bool bCargando() const { return cargando_; }
    void setCargando(bool cargando) { cargando_ = cargando; }
    bool bModificado() const { return modificado_; }
    void setModificado(bool modificado);
    // A rule's result did not fit the form's amounts (a damaged parameter
    // table, stored amounts no keyboard can type): the boxes after it kept
    // their old texts, so the declaration is not stored until its boxes are
    // cleared, or corrected so that every computed box can be worked out
    // again.
    bool desbordada() const { return desbordada_; }
    // Runs rules on the declaration; a result that does not fit stops them
    // and marks the declaration. On a marked declaration, rules that run
    // through recompute every computed box, and the mark goes when they fit.
    void calcular(const std::function<void()>& reglas);

    // ---- The taxpayer list of a new declaration: the item shown for a
    // taxpayer, and the name (TxtRazon) taken from the chosen item: its 50
    // characters from the sixteenth on.
    static QString itemContribuyente(const QString& ruc, const QString& nombre);
    static QString razonDeItem(const QString& item);

    // ---- Non-box codes
    // The codes written after the boxes, in writing order.
    static QStringList codigosNoCasilla();
    // The value a save writes under a non-box code ("" = nothing to write).
    // "722" (parameter check sum) belongs to the saver and gives "".
    QString valorCodigo(const QString& codigo) const;
    // Puts one stored row back: box codes in their reload format, data and
    // answers to their fields, ignored codes dropped. "7" and "007" are one code.
    void AsignaCasilla(const QString& codigo, const QString& valor);

signals:
    void casillaCambiada(int numero, const QString& texto);
    void estadoCasillaCambiado(int numero);   // locked or enabled changed
    void respuestaCambiada(Declaracion834::Pregunta pregunta);
    void datoCambiado(Declaracion834::Dato dato);
    void pagoCambiado();
    void parametrosCambiados();               // UIT or factor
    void modificadoCambiado(bool modificado);
    void desbordamiento();                    // the first result that did not fit

private:
    // Sets one box's flag; a real change raises estadoCasillaCambiado.
    void cambiaEstado(QHash<int, bool>& estados, int numero, bool valor);

    void alCambiarCasilla(int numero);
    void marcarEdicion();

    QHash<int, QString> texto_;
    QHash<int, bool> bloqueada_;
    QHash<int, bool> habilitada_;
    std::array<QString, 4> respuestas_;
    QHash<Dato, QString> datos_;
    FormaDePago pago_;
    QString modalidad_;
    Detalle105 detalle105_;
    Dinero uit_;
    QString factorIpm_;
    bool cargando_ = false;
    bool modificado_ = false;
    bool desbordada_ = false;
    int desbordes_ = 0;       // results that did not fit, ever
    int reglasEnCurso_ = 0;   // calcular() calls under way (the cascade nests them)
};
