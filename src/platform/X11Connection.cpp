#include "X11Connection.h"

#include <QGuiApplication>

xcb_connection_t *x11Connection()
{
    const auto *x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}
