#pragma once

#include "core/support/UserInteraction.h"

#include <QStringList>

// The user as the engine's tests see him, handed to what speaks with him in place of the windows:
// every alert, notice and notification is recorded ("TITLE|MESSAGE", a notice as its message), and
// every question is answered as told (cancel, unless confirmations says otherwise).
class UserInteractionStandIn final : public UserInteraction
{
public:
    void alert(const QString &message, const QString &title, Kind kind) override;
    void notice(const QString &message, double duration, double after) override;
    void systemNotification(const QString &title, const QString &details, const QString &actionText,
        const std::function<void()> &action) override;
    bool confirm(const QString &title, const QString &message, const QString &actionButtonText) override;
    QList<QUrl> openPanel(bool allowFiles, bool allowDirectories, const QStringList &allowedFileTypes,
        bool allowMultipleSelection, const QUrl &directoryURL) override;

    QStringList alerts;
    QStringList notices;
    QStringList systemNotifications;
    /// The questions asked ("TITLE|MESSAGE"), and the answers they get in turn; once they run out,
    /// every question is cancelled.
    QStringList questions;
    QList<bool> confirmations;
    /// What the file chooser answers.
    QList<QUrl> chosenItems;
};
