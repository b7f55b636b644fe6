#pragma once
// f0834: the declaration model and rules without a window. Each subcommand is
// one function in its own file; main() only picks it by name.

#include <QIODevice>
#include <QStringList>
#include <QTextStream>

struct Consola {
    QIODevice& entrada;     // standard input
    QTextStream& salida;    // standard output
    QTextStream& errores;   // standard error
    bool terminal = false;  // standard error is a terminal (progress bars)
};

// Exit codes: 0 done, 1 a failure reported on stderr (database, files); bad
// input (arguments, JSON) is entrada::kEntradaMala, 2.
inline constexpr int kSalidaBien = 0;
inline constexpr int kSalidaError = 1;

// f0834 compute [--ini INI_PATH]: one declaration as JSON on stdin, every box
// as the form shows it as JSON on stdout.
int compute(const QStringList& argumentos, Consola& consola);

// f0834 validate [--ini INI_PATH]: the checks of "&Validar" and of the save.
int validate(const QStringList& argumentos, Consola& consola);
// f0834 save --ini INI_PATH: stores the declaration as "&Grabar" does.
int save(const QStringList& argumentos, Consola& consola);
// f0834 import --ini INI_PATH [--replace] [--dry-run] [--report FILE] FILE:
// one declaration per CSV row, each saved as save does.
int importar(const QStringList& argumentos, Consola& consola);
// f0834 export --ini INI_PATH [--ejercicio YYYY] [--ruc RUC] FILE: the stored
// declarations in the form import reads.
int exportar(const QStringList& argumentos, Consola& consola);
// f0834 show --ini INI_PATH RUC EJERCICIO: a stored declaration as JSON.
int show(const QStringList& argumentos, Consola& consola);
