#pragma once

#include "Error.h"

#include <QDateTime>
#include <QList>
#include <QRectF>
#include <QSet>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

// Small services the whole system shares: error records, file names and folders, recipient
// lists, geometry, standard error. They hold no state and may be called from any thread.
class Utilities final
{
public:
    /// "TITLE: MESSAGE" (or the message alone for no title) as a line of standard error: the
    /// messages where nobody can see the screen.
    static void writeToStandardError(const QString &title, const QString &message);

    /// An error of the Tessary domain whose description and failure reason are the one text.
    static Error errorWithCode(qint64 code, const QString &description);

    /// A name that nothing in the folder has yet: fileName itself when it is free, otherwise
    /// "BASE #2.EXT", "BASE #3.EXT" and so on. *changed tells whether it had to be changed.
    /// Reserved paths (of archives still being made) and claimed names count as taken.
    static QString availableFileName(const QString &fileName, const QString &folderPath, bool *changed = nullptr,
        const QSet<QString> &reservedPaths = {});
    /// The same rule for a folder elsewhere (on a server), where `taken` tells the names in use.
    static QString availableFileName(const QString &fileName, const std::function<bool(const QString &name)> &taken);
    /// availableFileName(), with the name claimed on disk at once, so that no other process picks
    /// it meanwhile: a hidden empty file beside it (claimPath()) is created, never over anything.
    /// The name itself stays free until the archive takes it whole. Where the folder takes no
    /// file, the name is only chosen.
    static QString claimAvailableFileName(
        const QString &fileName, const QString &folderPath, const QSet<QString> &reservedPaths = {});
    /// The hidden file that claims the path's name: ".NAME.tessary-claim" beside it.
    static QString claimPath(const QString &path);
    /// Whether anything is at the path: a file, a folder, or a symbolic link (even a broken one).
    static bool fileExistsAtPath(const QString &path);
    /// "~/Backups", created with its parents first when create is true.
    static QString backupsFolderPathWithCreate(bool create);
    /// The user's folder of the kind; the Desktop falls back to the home folder when the user has
    /// none. Null when the platform knows no such folder.
    static QString filePathForSystemFolderWithID(QStandardPaths::StandardLocation folder);
    /// Removes every entry of the folder created before the limit, with its contents; a link is
    /// removed as a link, never followed. An entry's creation is the earlier of its birth time
    /// (where the file system records one) and its last change. Errors are silent. Any thread.
    static void removeEntriesCreatedBefore(const QString &folderPath, const QDateTime &limit);
    /// Creates the parent folder of the file, with its parents; errors are left to the caller's
    /// later use of the folder.
    static void ensureDirectoriesExistForFileAtPath(const QString &filePath);
    /// The last path component without its extension.
    static QString nameOfFileSystemItemAtPath(const QString &path);
    /// The last path component, without its extension unless keepExtension, with "%20" as spaces.
    static QString fileNameFromFullPath(const QString &path, bool keepExtension);
    /// The name without its extension: everything before the last "." (a leading "." of a
    /// hidden file does not start an extension).
    static QString stringByDeletingPathExtension(const QString &name);
    /// The extension of the name, without the "."; empty when it has none.
    static QString pathExtension(const QString &name);

    /// "anna, ben" from " anna , ,ben,": spaces removed, split at commas, empty pieces dropped.
    static QStringList recipientsStringToRecipientsArray(const QString &recipients);
    static QString recipientsArrayToRecipientsString(const QStringList &recipients);

    /// A rectangle of rect's size centred in outer.
    static QRectF centeredRect(const QRectF &rect, const QRectF &outer);
    /// The user's full name as the system knows it, else the login name.
    static QString fullUserName();
    /// The user's login name.
    static QString loginName();
    /// A new UUID, upper-case hexadecimal in groups of 8-4-4-4-12.
    static QString generateUUID();
};
