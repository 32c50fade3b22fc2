#pragma once

#include <QString>

#include <functional>

class QObject;

// Opens files and folders in the user's own programs, as the desktop has them set (xdg-open).
class DesktopOpener final
{
public:
    /// Why opening failed, in a few plain words.
    using Failed = std::function<void(const QString &reason)>;

    /// Opens the file or folder. Returns at once; when no program could open it, `failed` runs on
    /// the GUI thread with the reason, unless the receiver has gone by then.
    static void open(const QString &path, const QObject *receiver, Failed failed);
};
