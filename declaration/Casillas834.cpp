#include "Casillas834.h"

#include <algorithm>
#include <array>

namespace casillas834 {

namespace {

using enum Tipo;
using enum Pestana;
using enum Pagina;
using enum Recarga;

// Edit lengths: a typed amount is 12 digits while focused and 15 characters
// with grouping; subtracted amounts need two more for the parentheses.
constexpr int kFoco = 12, kFuera = 15, kFueraRestada = 17;

constexpr std::array<Casilla, 46> kTabla{{
    {300, "Caja y bancos", Ingresada, false, Activos, ActivoCorriente, 0, Miles, kFoco, kFuera},
    {301, "Clientes", Ingresada, false, Activos, ActivoCorriente, 1, Miles, kFoco, kFuera},
    {302, "Cuentas por cobrar acc. y pers.", Ingresada, false, Activos, ActivoCorriente, 2, Miles, kFoco, kFuera},
    {303, "Provisión por Ctas de Cobr. Dudosa", Ingresada, true, Activos, ActivoCorriente, 4, EntreParentesis, kFoco, kFueraRestada},
    {304, "Cuentas por cobrar diversas", Ingresada, false, Activos, ActivoCorriente, 3, Miles, kFoco, kFuera},
    {305, "Mercaderias", Ingresada, false, Activos, ActivoCorriente, 5, Miles, kFoco, kFuera},
    {306, "Productos terminados", Ingresada, false, Activos, ActivoCorriente, 6, Miles, kFoco, kFuera},
    {307, "Subprod., desechos y desperdicios", Ingresada, false, Activos, ActivoCorriente, 7, Miles, kFoco, kFuera},
    {308, "Productos en proceso", Ingresada, false, Activos, ActivoCorriente, 8, Miles, kFoco, kFuera},
    {310, "Materia prima y auxiliares", Ingresada, false, Activos, ActivoCorriente, 9, Miles, kFoco, kFuera},
    {311, "Envases y embalajes", Ingresada, false, Activos, ActivoCorriente, 10, Miles, kFoco, kFuera},
    {313, "Suministros diversos", Ingresada, false, Activos, ActivoCorriente, 11, Miles, kFoco, kFuera},
    {314, "Existencias por recibir", Ingresada, false, Activos, ActivoCorriente, 12, Miles, kFoco, kFuera},
    {315, "Otras cuentas del activo corriente", Ingresada, false, Activos, ActivoCorriente, 13, Miles, kFoco, kFuera},
    {316, "Valores", Ingresada, false, Activos, ActivoCorriente, 14, Miles, kFoco, kFuera},
    {318, "Terrenos", Ingresada, false, Activos, ActivoNoCorriente, 0, Miles, kFoco, kFuera},
    {319, "Edificios y otras construcciones", Ingresada, false, Activos, ActivoNoCorriente, 1, Miles, kFoco, kFuera},
    {321, "Maquinaria y equipo y otras unidades de explotación", Ingresada, false, Activos, ActivoNoCorriente, 2, Miles, kFoco, kFuera},
    {322, "Unidades de  transporte", Ingresada, false, Activos, ActivoNoCorriente, 3, Miles, kFoco, kFuera},
    {323, "Muebles y enseres", Ingresada, false, Activos, ActivoNoCorriente, 4, Miles, kFoco, kFuera},
    {324, "Equipos diversos", Ingresada, false, Activos, ActivoNoCorriente, 5, Miles, kFoco, kFuera},
    {395, "Unidades de reemplazo", Ingresada, false, Activos, ActivoNoCorriente, 6, Miles, kFoco, kFuera},
    {396, "Unidades por recibir", Ingresada, false, Activos, ActivoNoCorriente, 7, Miles, kFoco, kFuera},
    {397, "Trabajos en curso", Ingresada, false, Activos, ActivoNoCorriente, 8, Miles, kFoco, kFuera},
    {325, "Intangibles", Ingresada, false, Activos, ActivoNoCorriente, 9, Miles, kFoco, kFuera},
    {327, "Cargas diferidas", Ingresada, false, Activos, ActivoNoCorriente, 10, Miles, kFoco, kFuera},
    {328, "Depreciación Inmueb. Maq. y Equip.", Ingresada, true, Activos, ActivoNoCorriente, 11, EntreParentesis, kFoco, kFueraRestada},
    {326, "Amortización de Intangibles", Ingresada, true, Activos, ActivoNoCorriente, 12, EntreParentesis, kFoco, kFueraRestada},
    {329, "Otras cuentas del activo no corriente", Ingresada, false, Activos, ActivoNoCorriente, 13, Miles, kFoco, kFuera},
    {330, "TOTAL ACTIVO NETO", Calculada, false, Activos, ActivoNoCorriente, 14, MilesNegativoEntreParentesis, 0, 0},
    {101, "Activo Neto", Calculada, false, Anticipo, Ninguna, 0, Miles, 0, 0},
    {104, "Adiciones para determinar el activo neto imponible", Ingresada, false, Anticipo, Ninguna, 1, Miles, kFoco, kFuera},
    {105, "Deducciones para determinar el activo neto imponible", Asistente, true, Anticipo, Ninguna, 2, EntreParentesis, 17, 17},
    {108, "Activo neto imponible", Calculada, false, Anticipo, Ninguna, 3, Miles, 0, 0},
    {109, "Activo Neto imponible actualizado al 31-03-", Calculada, false, Anticipo, Ninguna, 4, Miles, 0, 0},
    {113, "Total Anticipo del Impuesto a la Renta (Según escala)", Calculada, false, Anticipo, Ninguna, 5, Miles, 0, 0},
    {114, "Reducción del 30% para el ejercicio 2003", Calculada, false, Anticipo, Ninguna, 6, Miles, 0, 0},
    {139, "Total Anticipo del Impuesto a la Renta", Calculada, false, Deuda, Ninguna, 0, Miles, 0, 0},
    {160, "Modalidad de Pago   ( 1: Contado    2:  En 9 cuotas )", Ingresada, false, Deuda, Ninguna, 1, Miles, 1, 1},
    {161, "Pago al Contado o Monto de la 1ra. Cuota", Calculada, false, Deuda, Ninguna, 2, Miles, 0, 0},
    {144, "Pagos previos", Ingresada, true, Deuda, Ninguna, 3, EntreParentesis, kFoco, kFueraRestada},
    {145, "Interés moratorio", Ingresada, false, Deuda, Ninguna, 4, Miles, kFoco, kFuera},
    {146, "Saldo definitivo a pagar", Calculada, false, Deuda, Ninguna, 5, Miles, 0, 0},
    {180, "IMPORTE A PAGAR", Ingresada, false, Deuda, Ninguna, 6, Miles, kFoco, kFuera},
    {225, "Tipo de  Documento :", Lista, false, Complementaria, Ninguna, 0, Texto, 11, 11},
    {226, "Nro. de documento :", Documento, false, Complementaria, Ninguna, 1, Texto, kLargoDocumentoPorDefecto, kLargoDocumentoPorDefecto},
}};

} // namespace

std::span<const Casilla> tabla()
{
    return kTabla;
}

QList<int> vCasillas()
{
    QList<int> lista;
    lista.reserve(kTabla.size());
    for (const Casilla& c : kTabla)
        lista << c.numero;
    return lista;
}

const Casilla* buscar(int numero)
{
    const auto it = std::find_if(kTabla.begin(), kTabla.end(), [numero](const Casilla& c) { return c.numero == numero; });
    return it == kTabla.end() ? nullptr : &*it;
}

bool existe(int numero)
{
    return buscar(numero) != nullptr;
}

bool puedeMostrarParentesis(int numero)
{
    const Casilla* c = buscar(numero);
    return c && (c->restada || numero == 330 || numero == 101);
}

bool esActivo(int numero)
{
    const Casilla* c = buscar(numero);
    return c && c->pestana == Activos && c->tipo == Ingresada;
}

QList<int> activos()
{
    QList<int> lista;
    for (const Casilla& c : kTabla)
        if (esActivo(c.numero))
            lista << c.numero;
    return lista;
}

QList<int> enPantalla(Pestana pestana, Pagina pagina)
{
    QList<const Casilla*> filas;
    for (const Casilla& c : kTabla)
        if (c.pestana == pestana && c.pagina == pagina)
            filas << &c;
    std::stable_sort(filas.begin(), filas.end(), [](const Casilla* a, const Casilla* b) { return a->fila < b->fila; });
    QList<int> lista;
    for (const Casilla* c : filas)
        lista << c->numero;
    return lista;
}

QString etiqueta(int numero, const QString& ejercicio)
{
    const Casilla* c = buscar(numero);
    if (!c)
        return {};
    return numero == 109 ? c->etiqueta() + ejercicio : c->etiqueta();
}

} // namespace casillas834

#include "Formato834.h"

namespace casillas834 {

namespace {
bool sinFormato(const Casilla* c)
{
    return !c || !c->esImporte();
}
} // namespace

QString textoEnFoco(int numero, const QString& texto)
{
    const Casilla* c = buscar(numero);
    if (sinFormato(c) || formato834::vacio(texto))
        return texto;
    const Dinero valor = formato834::leer(texto);
    return formato834::plano(c->restada && valor.esNegativo() ? -valor : valor);
}

QString textoFueraDeFoco(int numero, const QString& texto)
{
    const Casilla* c = buscar(numero);
    if (sinFormato(c) || formato834::vacio(texto))
        return texto;
    const Dinero valor = formato834::leer(texto);
    return c->restada ? formato834::entreParentesis(valor) : formato834::miles(valor);
}

QString textoRecargado(int numero, const QString& valor)
{
    const Casilla* c = buscar(numero);
    if (!c || c->recarga == Recarga::Texto || formato834::vacio(valor))
        return valor;
    const Dinero v = formato834::leer(valor);
    switch (c->recarga) {
    case Recarga::Miles:
        return formato834::miles(v);
    case Recarga::EntreParentesis:
        return formato834::entreParentesis(v);
    case Recarga::MilesNegativoEntreParentesis:
        return formato834::milesNegativoEntreParentesis(v);
    case Recarga::Texto:
        break;
    }
    return valor;
}

} // namespace casillas834
