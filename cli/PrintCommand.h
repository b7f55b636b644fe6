#pragma once
// f0834 print --ini INI_PATH RUC EJERCICIO [--anexo] [--enviada CORREL] [--pdf FILE] [--printer [NAME]]
// f0834 print --ini INI_PATH --all [--ejercicio YYYY] [--anexo] [--pdf-dir DIR] [--printer [NAME]]
// Registers and writes the declaration's spool file as the print window
// does, prints its full path, and with --pdf draws every page into FILE.
// With --all every stored declaration goes the same way, each drawn into
// DIR/RUC-YEAR.pdf. With --printer each is printed as one job on the queue
// NAME (the default one without a name), followed to its end; the job's
// request id ("PDF-12") is printed after the path.
// Drawing needs a QGuiApplication (the offscreen platform is enough).

#include "Subcomandos.h"

#include <QStringList>

int ejecutaPrint(const QStringList& args, Consola& consola);
// The same on the process's standard streams.
int ejecutaPrint(const QStringList& args);
