#include "PointerButtons.h"

#include "X11Connection.h"

#include <QGuiApplication>

#include <cstdlib>
#include <memory>

namespace {
Qt::MouseButtons buttonsOfMask(uint16_t mask)
{
    Qt::MouseButtons buttons;
    if ((mask & XCB_BUTTON_MASK_1) != 0)
        buttons |= Qt::LeftButton;
    if ((mask & XCB_BUTTON_MASK_2) != 0)
        buttons |= Qt::MiddleButton;
    if ((mask & XCB_BUTTON_MASK_3) != 0)
        buttons |= Qt::RightButton;
    return buttons;
}
} // namespace

Qt::MouseButtons PointerButtons::pressed()
{
    xcb_connection_t *connection = x11Connection();
    if (connection == nullptr)
        return QGuiApplication::mouseButtons();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const std::unique_ptr<xcb_query_pointer_reply_t, decltype(&std::free)> reply(
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr), &std::free);
    return reply ? buttonsOfMask(reply->mask) : QGuiApplication::mouseButtons();
}
