#pragma once

#include "core/support/Error.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QWidget;
class UserInteraction;

// The messages and questions of the system, in windows: alerts, the floating notice, the
// desktop's notifications, confirmations and the file chooser. Where nobody can see the screen
// (UtilitiesWindows::isNonInteractive()), messages go to standard error and every question is
// answered with its cancel button at once. Everything runs on the GUI thread.
class Alerts final
{
public:
    /// The same, as the engine's way to speak with the user: the application hands it to the
    /// Destinations, their uploads and the Dropbox manager.
    static UserInteraction &userInteraction();

    /// A modal alert: the title in bold, the message beneath, one "OK" button.
    static void displayMessage(const QString &message, const QString &title);
    /// Shows the error's failure reason under "Something Went Wrong..."; nothing for no error.
    static void reportError(const Error &error);
    /// A floating notice with the message, shown `after` seconds from now and gone at
    /// duration + after + 1 second.
    static void displayNotification(const QString &message, double duration, double after = 0.0);
    /// The notice window of displayNotification(), built but not shown; it deletes itself when
    /// closed.
    static QWidget *createNotification(const QString &message);
    /// A notification of the desktop's notification service; with an action, a button of that
    /// text runs it (where the service offers buttons).
    static void displaySystemNotification(const QString &title, const QString &details, const QString &actionText = {},
        const std::function<void()> &action = {});
    /// Where the desktop's notification service does not answer, system notifications go to the
    /// fallback (the tray's balloon).
    static void setSystemNotificationFallback(
        std::function<void(const QString &title, const QString &details)> fallback);
    /// A modal question with the action button and "Cancel"; true for the action.
    static bool getConfirmation(const QString &title, const QString &message, const QString &actionButtonText);
    /// A modal question with a button for each action, the first the default, and "Cancel"; the
    /// index of the action chosen, or -1 for Cancel.
    static int getChoice(const QString &title, const QString &message, const QStringList &actionButtonTexts);
    /// A modal file chooser; the chosen items, or none when the user cancelled.
    static QList<QUrl> runOpenPanel(bool allowFiles, bool allowDirectories, const QStringList &allowedFileTypes,
        bool allowMultipleSelection, const QUrl &directoryURL);
};
