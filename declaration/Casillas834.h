#pragma once
// The boxes of form 0834, declared once. The window builds its controls from
// this table, the model keeps one text per row, saving and clearing walk it in
// this order (the order of vCasillas).

#include <QList>
#include <QString>
#include <span>

namespace casillas834 {

enum class Tipo {
    Ingresada,   // typed by the user, white
    Calculada,   // written by the rules only, locked and grey
    Asistente,   // box 105: its value comes from the deductions assistant, light cyan
    Lista,       // box 225: the code of the item chosen in the document-type list (hidden)
    Documento,   // box 226: a document number typed as text
};

enum class Pestana { Identificacion = 0, Activos = 1, Anticipo = 2, Deuda = 3, Complementaria = 4 };

// The two asset pages of tab 1; every other box has none.
enum class Pagina { Ninguna, ActivoCorriente /* Frame26 */, ActivoNoCorriente /* Frame34 */ };

// How a stored value is put back into the box when a declaration is reloaded.
enum class Recarga {
    Miles,                        // "###,###,###,##0"
    EntreParentesis,              // "(###,###,###,##0)" of the absolute value
    MilesNegativoEntreParentesis, // "###,###,###,##0;(###,###,###,##0)"
    Texto,                        // as stored
};

struct Casilla {
    int numero;
    const char* etiquetaUtf8;   // caption beside the box (box 109 gets the year appended)
    Tipo tipo;
    bool restada;               // shown in parentheses and subtracted as an absolute value
    Pestana pestana;
    Pagina pagina;
    int fila;                   // row on its page, top to bottom (303 sits between 304 and 305)
    Recarga recarga;
    int largoEnFoco;            // edit length while focused; 0 = not edited (locked box)
    int largoFueraDeFoco;       // length after leaving; 0 = not edited

    QString etiqueta() const { return QString::fromUtf8(etiquetaUtf8); }
    bool esImporte() const { return tipo != Tipo::Lista && tipo != Tipo::Documento && numero != 160; }
};

// The 46 boxes, in vCasillas order.
std::span<const Casilla> tabla();
// The box numbers of the table, in the same order.
QList<int> vCasillas();
// The row of a box, or nullptr when the form has no such box.
const Casilla* buscar(int numero);
bool existe(int numero);
// The 29 asset boxes that make up box 330 (every box of tab 1 except 330).
bool esActivo(int numero);
QList<int> activos();
// Boxes of one tab (and page), in display order.
QList<int> enPantalla(Pestana pestana, Pagina pagina = Pagina::Ninguna);

// Caption of a box as the form shows it once the exercise is known: box 109
// ends in the year.
QString etiqueta(int numero, const QString& ejercicio);

// Whether a box may show its amount in parentheses: the subtracted boxes,
// and 330 with its copy 101 when the net assets are negative.
bool puedeMostrarParentesis(int numero);

// Box 226 edit length when the chosen document type gives none.
inline constexpr int kLargoDocumentoPorDefecto = 8;

} // namespace casillas834

namespace casillas834 {

// What a box shows while it has the focus: the bare number ("###########0"),
// the absolute value for the subtracted boxes; 160, 225 and 226 unchanged;
// a blank box stays blank.
QString textoEnFoco(int numero, const QString& texto);
// What it shows after leaving: grouped ("###,###,###,##0"), subtracted boxes
// in parentheses; 160, 225 and 226 unchanged; a blank box stays blank.
QString textoFueraDeFoco(int numero, const QString& texto);
// A stored value put back into a box, in the box's reload format.
QString textoRecargado(int numero, const QString& valor);

} // namespace casillas834
