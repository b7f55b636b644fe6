#pragma once
// A shared library loaded on first use instead of at every start: its
// functions are read into a table of pointers named as the library names
// them. Where the library is missing, the table says so and the one action
// that needs it fails with a message; the program itself still starts.

#include <dlfcn.h>

#include <type_traits>

// `llenar(tabla, carga)` calls `carga(tabla.f, "f")` for each function; the
// table's `cargada` is true when the library and every function were found.
template <typename Tabla, typename Llenar>
Tabla cargaBibliotecaDiferida(const char* soname, Llenar llenar)
{
    Tabla tabla;
    void* h = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (!h)
        return tabla;
    bool todas = true;
    llenar(tabla, [&](auto& f, const char* nombre) {
        f = reinterpret_cast<std::remove_reference_t<decltype(f)>>(dlsym(h, nombre));
        todas = todas && f;
    });
    tabla.cargada = todas;
    return tabla;
}

#define QVR_DECLARA_FUNCION_DIFERIDA(f) decltype(&::f) f = nullptr;
#define QVR_CARGA_FUNCION_DIFERIDA(f) carga(b.f, #f);

// Declares `Tipo`, the table of the functions `LISTA(X)` names (X(f) for
// each), and `const Tipo& funcion()`, which loads them from `soname` on its
// first call and gives the same table after.
#define QVR_BIBLIOTECA_DIFERIDA(Tipo, funcion, soname, LISTA)                                                \
    struct Tipo {                                                                                           \
        bool cargada = false;                                                                               \
        LISTA(QVR_DECLARA_FUNCION_DIFERIDA)                                                                 \
    };                                                                                                      \
    const Tipo& funcion()                                                                                   \
    {                                                                                                       \
        static const Tipo biblioteca =                                                                      \
            cargaBibliotecaDiferida<Tipo>(soname, [](Tipo& b, auto carga) { LISTA(QVR_CARGA_FUNCION_DIFERIDA) }); \
        return biblioteca;                                                                                  \
    }
