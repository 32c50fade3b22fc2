#include "WindowManagerHints.h"

#include "X11Connection.h"

#include <QByteArray>
#include <QHash>

#include <array>
#include <cstdlib>
#include <memory>

namespace {
constexpr uint32_t kAllWorkspaces = 0xFFFFFFFF;

// Interned once a run: each lookup is a round trip to the X server.
xcb_atom_t atom(xcb_connection_t *connection, const QByteArray &name)
{
    static QHash<QByteArray, xcb_atom_t> interned;
    if (const auto known = interned.constFind(name); known != interned.cend())
        return *known;
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.constData()), nullptr),
        &std::free);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    interned.insert(name, atom);
    return atom;
}
} // namespace

void WindowManagerHints::keepOutOfTaskbar(WId window)
{
    setHints(window, false);
}

void WindowManagerHints::keepOutOfTaskbarOnAllWorkspaces(WId window)
{
    setHints(window, true);
}

void WindowManagerHints::setHints(WId window, bool onAllWorkspaces)
{
    xcb_connection_t *connection = x11Connection();
    if (connection == nullptr)
        return;
    const auto id = static_cast<xcb_window_t>(window);
    // Set on the window before it is mapped, the states are the ones the window manager starts
    // it with; Qt adds its own (above the others) to them.
    const std::array<xcb_atom_t, 3> states {atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
        atom(connection, "_NET_WM_STATE_SKIP_PAGER"), atom(connection, "_NET_WM_STATE_STICKY")};
    const uint32_t count = onAllWorkspaces ? states.size() : states.size() - 1;
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, atom(connection, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32,
        count, states.data());
    if (onAllWorkspaces)
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom(connection, "_NET_WM_DESKTOP"),
            XCB_ATOM_CARDINAL, 32, 1, &kAllWorkspaces);
    xcb_flush(connection);
}
