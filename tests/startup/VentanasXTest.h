#pragma once
// Real X windows for the tests of the host check: created on the display of
// DISPLAY (Xvfb under the test command), titled, mapped or not.

#include <QString>

#include <xcb/xcb.h>

#include <vector>

class VentanasXTest {
public:
    VentanasXTest();
    ~VentanasXTest();
    VentanasXTest(const VentanasXTest&) = delete;
    VentanasXTest& operator=(const VentanasXTest&) = delete;

    bool ok() const { return connection_ && !xcb_connection_has_error(connection_); }
    xcb_connection_t* connection() const { return connection_; }
    xcb_window_t root() const { return root_; }

    enum class Titulo { NombreNetWm, SoloNombreWm };
    // A window below parent (0: the root) with the given title.
    xcb_window_t create(const QString& title, bool mapped, xcb_window_t parent = 0, Titulo kind = Titulo::NombreNetWm);
    void fijaListaApilada(xcb_window_t onWindow, const std::vector<xcb_window_t>& bottomToTop);
    // Waits until the server has handled everything sent so far.
    void sync();

private:
    xcb_atom_t atom(const char* name);

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
    std::vector<xcb_window_t> windows_;
};
