#pragma once

#include "core/settings/Keychain.h"
#include "core/support/Error.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class Operation;
class UserInteraction;

// Knows where the user's Dropbox folder is and asks Dropbox for share links with the user's own
// access token (kept in the keychain). One per process, owned by the controller.
class DropboxManager final : public QObject
{
    Q_OBJECT

public:
    /// Finds the Dropbox folder (setDefaultDropboxFolderPath()); speaks with the user through the
    /// interaction, which outlives it.
    explicit DropboxManager(UserInteraction &user);

    /// The folder remembered from the last run when it still exists, otherwise "~/Dropbox" when
    /// that exists.
    void setDefaultDropboxFolderPath();

    /// The Dropbox folder in use; null while none is known.
    QString dropboxFolderPath() const { return m_dropboxFolderPath; }
    /// Also remembers the folder for the next run.
    void setDropboxFolderPath(const QString &path);

    /// Whether the Dropbox client is installed: "dropbox" on the PATH, or "~/.dropbox-dist".
    static bool isDropboxInstalled();

    /// Lets the user pick the Dropbox folder (asking when it is not named "Dropbox"); whether a
    /// folder is known afterwards.
    bool locateDropboxFolder();

    /// (link, error): the link, or the error "Could not generate share link".
    using ShareLinkCompletion = std::function<void(const QString &link, const Error &error)>;
    /// Asks Dropbox for a link to the file (path relative to the Dropbox folder); explains the
    /// access once first. Without an access token nothing is asked and the user is told how to get
    /// one; the completion then gets an error too.
    void createShareLinkToFileInDropboxAtPath(const QString &relativePath, const ShareLinkCompletion &completion);
    /// Cancels the share-link requests still under way (when Tessary quits).
    void cancelRequests();
    /// Shows, once per user, why Dropbox may ask for permission; then calls the handler.
    void explainToUserWhyWeWantDropboxAccessWithCompletion(const std::function<void()> &handler);

    /// Reads the user's Dropbox access token from the keychain off the GUI thread (null when none
    /// is stored) and answers on the GUI thread, unless the receiver has gone by then.
    static void readAccessToken(const QObject *receiver, Keychain::ReadCompletion completion);
    /// Stores the token in the keychain off the GUI thread (an empty one removes it), and answers
    /// like readAccessToken().
    static void storeAccessToken(const QObject *receiver, const QString &token, Keychain::WriteCompletion completion);

private:
    UserInteraction &m_user;
    QString m_dropboxFolderPath;
    QList<std::weak_ptr<Operation>> m_requests;
};
