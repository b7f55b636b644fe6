#include "LineaDeOrdenes.h"

#include <algorithm>
#include <cstdio>

namespace LineaDeOrdenes {
namespace {

void escribe(std::FILE* destino, std::string_view texto)
{
    std::fwrite(texto.data(), 1, texto.size(), destino);
    std::fflush(destino);
}

bool esOpcion(std::string_view argumento)
{
    return argumento.size() > 1 && argumento.front() == '-';
}

} // namespace

std::string_view version()
{
    return QVR_VERSION;
}

std::string_view versionCorta()
{
    return QVR_VERSION_CORTA;
}

std::optional<int> atiende(const Programa& programa, int argc, char* const argv[])
{
    if (argc < 2)
        return std::nullopt;
    const std::string_view primero = argv[1];
    if (primero == "--help") {
        escribe(stdout, programa.uso);
        return 0;
    }
    if (primero == "--version") {
        escribe(stdout, programa.nombre);
        escribe(stdout, " ");
        escribe(stdout, version());
        escribe(stdout, "\n");
        return 0;
    }
    const bool propia = std::find(programa.opciones.begin(), programa.opciones.end(), primero) != programa.opciones.end();
    if (programa.sinArgumentos || (esOpcion(primero) && !propia)) {
        escribe(stderr, programa.uso);
        return kSalidaUso;
    }
    return std::nullopt;
}

} // namespace LineaDeOrdenes
