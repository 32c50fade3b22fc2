#pragma once

#include <QString>

#include <functional>

// The desktop's notification service (org.freedesktop.Notifications on the session bus).
class DesktopNotifications final
{
public:
    static const QString ServiceName;

    /// What the user can do from a notification: its button's text, and what it does.
    struct Action
    {
        QString text;
        std::function<void()> invoked;
    };

    /// Shows a notification without sound, with the action's button (or else a "Close" one).
    /// Returns at once; when no service takes the notification, `unanswered` runs on the GUI
    /// thread. The action runs on the GUI thread when the user chooses it.
    static void notify(
        const QString &title, const QString &details, std::function<void()> unanswered, const Action &action = {});
};
