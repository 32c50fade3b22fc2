#pragma once

#include <QString>

#include <functional>

// The desktop's notification service (org.freedesktop.Notifications on the session bus).
class DesktopNotifications final
{
public:
    static const QString ServiceName;

    /// Shows a notification with a "Close" action and no sound. Returns at once; when no service
    /// takes the notification, `unanswered` runs on the GUI thread.
    static void notify(const QString &title, const QString &details, std::function<void()> unanswered);
};
