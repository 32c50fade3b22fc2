#pragma once

#include <QString>

// The user's file manager.
class FileManager final
{
public:
    /// Shows the item selected in its folder (org.freedesktop.FileManager1), or, where no file
    /// manager answers, opens the folder. Returns at once.
    static void reveal(const QString &path);
};
