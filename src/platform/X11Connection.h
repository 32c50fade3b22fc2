#pragma once

#include <xcb/xcb.h>

/// The application's connection to the X server; null where the display is not X11 (Wayland
/// without XWayland, or the offscreen platform of the tests).
xcb_connection_t *x11Connection();
