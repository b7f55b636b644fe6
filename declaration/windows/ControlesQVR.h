#pragma once
// Small routines the declaration windows share: fields that refuse pasted
// text, the widening of a list's drop-down by average characters, and fields
// wide enough for their widest value.

class QComboBox;
class QString;
class QLineEdit;
class QWidget;

namespace controlesqvr {

// The field refuses pasting: the paste shortcuts (Ctrl+V, Shift+Insert), the
// middle button, drops and the paste entry of its context menu do nothing.
// The clipboard itself is left alone.
void rechazaPegado(QLineEdit* campo);

// Average width in pixels of the 52 letters A-Z a-z in the application font
// (integer division, as the list routine measures it).
int anchoPromedioCaracter();

// The drop-down of `lista` is at least (caracteres - 2) average characters wide.
void ensanchaLista(QComboBox* lista, int caracteres);

// The name a screen reader gives the control (and, for a list, its drop-down).
void nombra(QWidget* control, const QString& nombre);

// The field is never narrower than `texto` needs in its own font and style,
// now and after either changes, so that the value shows whole.
void anchoParaMostrar(QLineEdit* campo, const QString& texto);

} // namespace controlesqvr
