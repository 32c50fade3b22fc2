#pragma once

class QWidget;

// Asks the window manager to treat one of Tessary's small helper windows (the drop pad, the
// quick-zip window, notices) as part of the desktop: out of the task bar and the window switcher,
// and on every workspace. Does nothing where the display is not X11.
class WindowManagerHints final
{
public:
    /// Call before the window is first shown; the hints stay with the window.
    static void keepOutOfTaskbarOnAllWorkspaces(QWidget *window);
};
