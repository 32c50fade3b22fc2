#pragma once

#include <QObject>
#include <QString>

// Knows where the user's Dropbox folder is. One per process, owned by the controller.
class DropboxManager final : public QObject
{
    Q_OBJECT

public:
    /// Finds the Dropbox folder (setDefaultDropboxFolderPath()).
    DropboxManager();

    /// The folder remembered from the last run when it still exists, otherwise "~/Dropbox" when
    /// that exists.
    void setDefaultDropboxFolderPath();

    /// The Dropbox folder in use; null while none is known.
    QString dropboxFolderPath() const { return m_dropboxFolderPath; }
    /// Also remembers the folder for the next run.
    void setDropboxFolderPath(const QString &path);

    /// Whether the Dropbox client is installed: "dropbox" on the PATH, or "~/.dropbox-dist".
    static bool isDropboxInstalled();

private:
    QString m_dropboxFolderPath;
};
