#pragma once

#include <qwindowdefs.h>

// Asks the window manager to keep Tessary's helper windows (the drop pad, the quick-zip window,
// notices, progress windows) out of the task bar and the window switcher, where the user looks
// for the programs he works with. Does nothing where the display is not X11. Call before the
// window is first shown (its id, QWidget::winId(), makes the native window); the hints stay with
// the window.
class WindowManagerHints final
{
public:
    static void keepOutOfTaskbar(WId window);
    /// The same, and on every workspace.
    static void keepOutOfTaskbarOnAllWorkspaces(WId window);

private:
    static void setHints(WId window, bool onAllWorkspaces);
};
