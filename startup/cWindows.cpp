#include "cWindows.h"

#include <xcb/xcb.h>

#include <QByteArray>

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

namespace {

template <typename T>
using RespuestaXcb = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
RespuestaXcb<T> tomaRespuesta(T* reply)
{
    return RespuestaXcb<T>(reply, &std::free);
}

// The names the check reads, asked together: one round trip to the display
// instead of one per name. A name the display has never seen is NONE.
struct Atomos {
    xcb_atom_t pila = XCB_ATOM_NONE;     // _NET_CLIENT_LIST_STACKING
    xcb_atom_t estado = XCB_ATOM_NONE;   // WM_STATE
    xcb_atom_t utf8 = XCB_ATOM_NONE;     // UTF8_STRING
    xcb_atom_t nombre = XCB_ATOM_NONE;   // _NET_WM_NAME
};

Atomos atomos(xcb_connection_t* c)
{
    static constexpr const char* kNombres[] = {"_NET_CLIENT_LIST_STACKING", "WM_STATE", "UTF8_STRING", "_NET_WM_NAME"};
    xcb_intern_atom_cookie_t pedidos[std::size(kNombres)];
    for (std::size_t i = 0; i < std::size(kNombres); ++i)
        pedidos[i] = xcb_intern_atom(c, 1, std::uint16_t(std::strlen(kNombres[i])), kNombres[i]);
    xcb_atom_t a[std::size(kNombres)];
    for (std::size_t i = 0; i < std::size(kNombres); ++i) {
        auto reply = tomaRespuesta(xcb_intern_atom_reply(c, pedidos[i], nullptr));
        a[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    return {a[0], a[1], a[2], a[3]};
}

struct Propiedad {
    xcb_atom_t type = XCB_ATOM_NONE;
    QByteArray bytes;
};

// A property asked for now and read later, so that many travel together.
// A property with no name (an unknown atom) is not asked for and reads empty.
struct PedidoPropiedad {
    bool enviado = false;
    xcb_get_property_cookie_t cookie{};
};

PedidoPropiedad pidePropiedad(xcb_connection_t* c, xcb_window_t w, xcb_atom_t prop, xcb_atom_t type)
{
    if (prop == XCB_ATOM_NONE)
        return {};
    // Long enough for any title or window list a desktop holds.
    return {true, xcb_get_property(c, 0, w, prop, type, 0, 1u << 20)};
}

Propiedad leePropiedad(xcb_connection_t* c, const PedidoPropiedad& pedido)
{
    Propiedad result;
    if (!pedido.enviado)
        return result;
    auto reply = tomaRespuesta(xcb_get_property_reply(c, pedido.cookie, nullptr));
    if (!reply || reply->type == XCB_ATOM_NONE)
        return result;
    result.type = reply->type;
    const int length = xcb_get_property_value_length(reply.get());
    result.bytes = QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())), length);
    return result;
}

// Top-level windows. A window manager keeps its own stacking list; without
// one the root's children are the top-level windows.
std::vector<xcb_window_t> ventanasPrincipales(xcb_connection_t* c, xcb_window_t root, const Atomos& a)
{
    std::vector<xcb_window_t> windows;
    const Propiedad stacking = leePropiedad(c, pidePropiedad(c, root, a.pila, XCB_ATOM_WINDOW));
    if (stacking.type == XCB_ATOM_WINDOW && !stacking.bytes.isEmpty()) {
        const auto* ids = reinterpret_cast<const xcb_window_t*>(stacking.bytes.constData());
        windows.assign(ids, ids + stacking.bytes.size() / sizeof(xcb_window_t));
    } else if (auto tree = tomaRespuesta(xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr))) {
        const xcb_window_t* ids = xcb_query_tree_children(tree.get());
        windows.assign(ids, ids + xcb_query_tree_children_length(tree.get()));
    }
    return windows;
}

// What the check reads of one window, asked for every window at once.
struct PedidoVentana {
    xcb_get_window_attributes_cookie_t atributos;
    PedidoPropiedad estado;
    PedidoPropiedad nombreUtf8;
    PedidoPropiedad nombre;
};

PedidoVentana pideVentana(xcb_connection_t* c, xcb_window_t w, const Atomos& a)
{
    return {xcb_get_window_attributes(c, w), pidePropiedad(c, w, a.estado, a.estado),
            pidePropiedad(c, w, a.nombre, a.utf8), pidePropiedad(c, w, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY)};
}

struct Ventana {
    bool visible = false;
    QString titulo;
};

// Mapped, or minimised by the window manager (iconic state), which still
// counts; its title from _NET_WM_NAME, else WM_NAME. Every reply is read,
// so none is left waiting on the connection.
Ventana leeVentana(xcb_connection_t* c, const PedidoVentana& pedido, const Atomos& a)
{
    Ventana v;
    auto attrs = tomaRespuesta(xcb_get_window_attributes_reply(c, pedido.atributos, nullptr));
    const Propiedad state = leePropiedad(c, pedido.estado);
    const Propiedad netName = leePropiedad(c, pedido.nombreUtf8);
    const Propiedad name = leePropiedad(c, pedido.nombre);
    if (!attrs)
        return v;   // the window went away meanwhile
    constexpr std::uint32_t kIconicState = 3;
    v.visible = attrs->map_state != XCB_MAP_STATE_UNMAPPED
                || (state.bytes.size() >= 4
                    && *reinterpret_cast<const std::uint32_t*>(state.bytes.constData()) == kIconicState);
    if (netName.type == a.utf8 && a.utf8 != XCB_ATOM_NONE && !netName.bytes.isEmpty())
        v.titulo = QString::fromUtf8(netName.bytes);
    else if (!name.bytes.isEmpty())
        v.titulo = name.type == a.utf8 ? QString::fromUtf8(name.bytes) : QString::fromLatin1(name.bytes);
    return v;
}

} // namespace

// Three round trips to the display whatever the number of windows: the
// names, the window list, then what every window shows.
bool cWindows::correAppBajo(xcb_connection_t* c, std::uint32_t root, const QString& sApp)
{
    const Atomos a = atomos(c);
    const std::vector<xcb_window_t> windows = ventanasPrincipales(c, root, a);
    std::vector<PedidoVentana> pedidos;
    pedidos.reserve(windows.size());
    for (const xcb_window_t w : windows)
        pedidos.push_back(pideVentana(c, w, a));
    bool found = false;
    for (const PedidoVentana& pedido : pedidos) {
        const Ventana v = leeVentana(c, pedido, a);
        found = found || (v.visible && !v.titulo.isEmpty() && v.titulo == sApp);
    }
    return found;
}

bool cWindows::CorreApp(const QString& sApp) const
{
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    bool found = false;
    if (!xcb_connection_has_error(c)) {
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
        for (int i = 0; it.rem && i < screenNumber; ++i)
            xcb_screen_next(&it);
        if (it.rem)
            found = correAppBajo(c, it.data->root, sApp);
    }
    xcb_disconnect(c);
    return found;
}
