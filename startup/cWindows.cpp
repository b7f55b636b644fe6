#include "cWindows.h"

#include <xcb/xcb.h>

#include <QByteArray>

#include <cstdlib>
#include <cstring>
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

xcb_atom_t atomo(xcb_connection_t* c, const char* name)
{
    auto reply = tomaRespuesta(xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, std::strlen(name), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

struct Propiedad {
    xcb_atom_t type = XCB_ATOM_NONE;
    QByteArray bytes;
};

Propiedad propiedad(xcb_connection_t* c, xcb_window_t w, xcb_atom_t prop, xcb_atom_t type)
{
    Propiedad result;
    if (prop == XCB_ATOM_NONE)
        return result;
    // Long enough for any title or window list a desktop holds.
    auto reply = tomaRespuesta(xcb_get_property_reply(c, xcb_get_property(c, 0, w, prop, type, 0, 1u << 20), nullptr));
    if (!reply || reply->type == XCB_ATOM_NONE)
        return result;
    result.type = reply->type;
    const int length = xcb_get_property_value_length(reply.get());
    result.bytes = QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())), length);
    return result;
}

// Top-level windows, topmost first. A window manager keeps its own stacking
// list (bottom to top); without one the root's children are the top-level
// windows, also bottom to top.
std::vector<xcb_window_t> ventanasPrincipales(xcb_connection_t* c, xcb_window_t root)
{
    std::vector<xcb_window_t> windows;
    const Propiedad stacking = propiedad(c, root, atomo(c, "_NET_CLIENT_LIST_STACKING"), XCB_ATOM_WINDOW);
    if (stacking.type == XCB_ATOM_WINDOW && !stacking.bytes.isEmpty()) {
        const auto* ids = reinterpret_cast<const xcb_window_t*>(stacking.bytes.constData());
        windows.assign(ids, ids + stacking.bytes.size() / sizeof(xcb_window_t));
    } else if (auto tree = tomaRespuesta(xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr))) {
        const xcb_window_t* ids = xcb_query_tree_children(tree.get());
        windows.assign(ids, ids + xcb_query_tree_children_length(tree.get()));
    }
    return {windows.rbegin(), windows.rend()};
}

// Mapped, or minimised by the window manager (iconic state), which still counts.
bool esVisible(xcb_connection_t* c, xcb_window_t w)
{
    auto attrs = tomaRespuesta(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr));
    if (!attrs)
        return false;   // the window went away meanwhile
    if (attrs->map_state != XCB_MAP_STATE_UNMAPPED)
        return true;
    const xcb_atom_t wmState = atomo(c, "WM_STATE");
    const Propiedad state = propiedad(c, w, wmState, wmState);
    constexpr std::uint32_t kIconicState = 3;
    return state.bytes.size() >= 4 && *reinterpret_cast<const std::uint32_t*>(state.bytes.constData()) == kIconicState;
}

} // namespace

QString cWindows::tituloVentana(xcb_connection_t* c, std::uint32_t window)
{
    const xcb_atom_t utf8 = atomo(c, "UTF8_STRING");
    const Propiedad netName = propiedad(c, window, atomo(c, "_NET_WM_NAME"), utf8);
    if (netName.type == utf8 && !netName.bytes.isEmpty())
        return QString::fromUtf8(netName.bytes);
    const Propiedad name = propiedad(c, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY);
    if (name.bytes.isEmpty())
        return {};
    return name.type == utf8 ? QString::fromUtf8(name.bytes) : QString::fromLatin1(name.bytes);
}

bool cWindows::correAppBajo(xcb_connection_t* c, std::uint32_t root, const QString& sApp)
{
    for (const xcb_window_t w : ventanasPrincipales(c, root)) {
        if (!esVisible(c, w))
            continue;
        const QString title = tituloVentana(c, w);
        if (title.isEmpty())
            continue;
        if (title == sApp)
            return true;
    }
    return false;
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
