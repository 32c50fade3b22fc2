#pragma once

#include "Error.h"

#include <QColor>
#include <QRectF>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

// Small services the whole system shares: error records, file names and folders, recipient
// lists, geometry and the interface colours. The helpers here hold no state and may be called
// from any thread.
class Utilities final
{
public:
    /// An error of the Tessary domain whose description, failure reason and recovery suggestion
    /// are all the one text.
    static Error errorWithCode(qint64 code, const QString &description);

    /// A name that nothing in the folder has yet: fileName itself when it is free, otherwise
    /// "BASE #2.EXT", "BASE #3.EXT" and so on. *changed tells whether it had to be changed.
    static QString availableFileName(const QString &fileName, const QString &folderPath, bool *changed = nullptr);
    /// Whether anything is at the path: a file, a folder, or a symbolic link (even a broken one).
    static bool fileExistsAtPath(const QString &path);
    /// "~/Backups", created with its parents first when create is true.
    static QString backupsFolderPathWithCreate(bool create);
    /// The user's folder of the kind; the Desktop falls back to the home folder when the user has
    /// none. Null when the platform knows no such folder.
    static QString filePathForSystemFolderWithID(QStandardPaths::StandardLocation folder);
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
    /// A new UUID, upper-case hexadecimal in groups of 8-4-4-4-12.
    static QString generateUUID();

    /// The very light grey behind the interface's own views.
    static QColor interfaceBackgroundColor();
    /// The blue of highlighted tiles.
    static QColor interfaceHiliteColor();
};
