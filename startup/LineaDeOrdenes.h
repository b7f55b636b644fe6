#pragma once
// The command-line conventions every program of the module keeps: --help
// prints the usage on standard output and ends with status 0, --version
// prints the program's name and the module's version and ends with 0, and an
// option the program does not know prints the usage on standard error and
// ends with status 2. Checked before any Qt application object exists, so
// none of it needs a display or a suite.

#include <optional>
#include <string_view>
#include <vector>

namespace LineaDeOrdenes {

// Exit status of a command line the program cannot use.
inline constexpr int kSalidaUso = 2;

// The module's version, the same for every program ("1.1.0").
std::string_view version();
// Major and minor only ("1.1"), the form the about box shows.
std::string_view versionCorta();

struct Programa {
    std::string_view nombre;                 // as installed: "Kv834"
    std::string_view uso;                    // the usage, every line ending in '\n'
    bool sinArgumentos = false;              // refuses any argument but --help and --version
    std::vector<std::string_view> opciones;  // options the program reads itself ("--ini")
};

// The exit status when the first argument was answered or refused here;
// nothing when the program goes on with its own arguments. Only the first
// argument is looked at: what follows belongs to the program or subcommand.
std::optional<int> atiende(const Programa& programa, int argc, char* const argv[]);

} // namespace LineaDeOrdenes
