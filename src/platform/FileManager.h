#pragma once

#include "DesktopOpener.h"

#include <QString>

class QObject;

// The user's file manager.
class FileManager final
{
public:
    /// Shows the item selected in its folder (org.freedesktop.FileManager1), or, where no file
    /// manager answers, opens the folder. Returns at once; when neither can be done, `failed`
    /// runs on the GUI thread with the reason, unless the receiver has gone by then.
    static void reveal(const QString &path, const QObject *receiver, DesktopOpener::Failed failed);
};
