#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

// How the layers without windows speak with the user: alerts, a passing notice, notifications of
// the desktop, a question, the file chooser. The windows install their way of doing it
// (Utilities::setUserInteraction()); until then, and in programs without windows, every message
// goes to standard error and every question is answered with its cancel button.
// Everything is called on the GUI thread.
class UserInteraction
{
public:
    enum class Kind { Information, Warning };

    virtual ~UserInteraction() = default;

    /// A modal alert: the title in bold, the message beneath, one "OK" button.
    virtual void alert(const QString &message, const QString &title, Kind kind) = 0;
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
