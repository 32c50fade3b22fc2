#pragma once

#include <Qt>

// The pointer's buttons as the display server sees them. Unlike Qt's own button state it counts
// presses that another program holds, as while the user drags files from a file manager.
class PointerButtons final
{
public:
    /// The buttons held down now. Where the display is not X11, Qt's own state.
    static Qt::MouseButtons pressed();
};
