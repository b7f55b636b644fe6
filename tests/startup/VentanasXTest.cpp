#include "VentanasXTest.h"

#include <cstdlib>
#include <cstring>

VentanasXTest::VentanasXTest()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    int screen = 0;
    connection_ = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(connection_))
        return;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; it.rem && i < screen; ++i)
        xcb_screen_next(&it);
    root_ = it.data->root;
}

VentanasXTest::~VentanasXTest()
{
    if (!connection_)
        return;
    if (ok()) {
        for (xcb_window_t w : windows_)
            xcb_destroy_window(connection_, w);
        sync();
    }
    xcb_disconnect(connection_);
}

xcb_atom_t VentanasXTest::atom(const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

xcb_window_t VentanasXTest::create(const QString& title, bool mapped, xcb_window_t parent, Titulo kind)
{
    const xcb_window_t w = xcb_generate_id(connection_);
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, w, parent ? parent : root_, 0, 0, 50, 50, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    windows_.push_back(w);
    if (kind == Titulo::NombreNetWm) {
        const QByteArray utf8 = title.toUtf8();
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, w, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8,
                            utf8.size(), utf8.constData());
        // The old name says something else: the UTF-8 name is the one that counts.
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 5, "other");
    } else {
        const QByteArray latin1 = title.toLatin1();
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            latin1.size(), latin1.constData());
    }
    if (mapped)
        xcb_map_window(connection_, w);
    sync();
    return w;
}

void VentanasXTest::fijaListaApilada(xcb_window_t onWindow, const std::vector<xcb_window_t>& bottomToTop)
{
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, onWindow, atom("_NET_CLIENT_LIST_STACKING"),
                        XCB_ATOM_WINDOW, 32, bottomToTop.size(), bottomToTop.data());
    sync();
}

void VentanasXTest::sync()
{
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}
