#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

// How the engine speaks with the user: alerts, a passing notice, notifications of the desktop, a
// question, the file chooser. The application hands its windows' way of doing it to the objects
// that need it (a Destination, an upload, the Dropbox manager); until then, and in programs
// without windows, they use standardError(). Everything is called on the GUI thread.
class UserInteraction
{
public:
    enum class Kind { Information, Warning };

    virtual ~UserInteraction() = default;

    /// Every message to standard error, and every question answered with its cancel button.
    static UserInteraction &standardError();

    /// A modal alert: the title in bold, the message beneath, one "OK" button.
    virtual void alert(const QString &message, const QString &title, Kind kind) = 0;
    /// An alert of the information kind.
    void message(const QString &message, const QString &title) { alert(message, title, Kind::Information); }
    /// A floating notice with the message, shown `after` seconds from now for about duration.
    virtual void notice(const QString &message, double duration, double after) = 0;
    /// A notification of the desktop's notification service; with an action, a button of that
    /// text runs it (where the service offers buttons).
    virtual void systemNotification(
        const QString &title, const QString &details, const QString &actionText, const std::function<void()> &action)
        = 0;
    /// A modal question with the action button and "Cancel"; true for the action.
    virtual bool confirm(const QString &title, const QString &message, const QString &actionButtonText) = 0;
    /// A modal file chooser; the chosen items, or none when the user cancelled.
    virtual QList<QUrl> openPanel(bool allowFiles, bool allowDirectories, const QStringList &allowedFileTypes,
        bool allowMultipleSelection, const QUrl &directoryURL)
        = 0;
};
