#pragma once
// Top-level windows of the X display: whether an application whose main
// window carries a given title is running. Holds no state between calls.

#include <QString>

#include <cstdint>

struct xcb_connection_t;

class cWindows {
public:
    // True when a visible top-level window is titled exactly sApp (whole
    // title, case-sensitive). Windows with an empty title never match. No X
    // display means no host: false.
    bool CorreApp(const QString& sApp) const;

    // The same search below a given root window on an open connection (the
    // display's root in CorreApp; tests use a window of their own).
    static bool correAppBajo(xcb_connection_t* connection, std::uint32_t root, const QString& sApp);
};
