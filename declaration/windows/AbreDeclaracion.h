#pragma once
// Opening the declaration form: a fresh Frm834 in mode 0 (new), or mode 1 with
// the selected declaration's RUC, name and sent flag (and, for a sent one, its
// CORREL and CONTROL); shown modally, centred on the main window.

#include "Frm834.h"

#include <QVariantList>

// Returns the dialog's result. `contexto` carries the database, the suite
// user, the status-bar callback and the opening dialog's selected PERIODO and
// NORDEN; `principal` is the main window the form is centred on (may be null).
int AbreDeclaracion(int modo, const QVariantList& valores, const ContextoDeclaracion& contexto,
                    QWidget* principal);
