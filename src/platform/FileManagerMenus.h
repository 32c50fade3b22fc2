#pragma once

#include <QString>
#include <QStringList>

// Tessary in the context menus of the file managers: "Send with Tessary" with an item for each
// Destination, each running `tessary --destination NAME -- FILE…` (which hands the request to
// the running copy), and "Zip with Tessary…", which opens the custom zip window for the files.
// The entries are the user's own, in each file manager's folder for them: a service menu for
// Dolphin, scripts for Nautilus and Caja, actions for Nemo. Thunar keeps its actions in one file
// with the user's own, which is left alone.
class FileManagerMenus final
{
public:
    /// The submenu's title and the other item's.
    static const QString SendTitle;
    static const QString ZipTitle;

    /// Writes the entries for the program and the Destinations named, in order, in place of those
    /// written before; false when one could not be written.
    static bool write(const QString &program, const QStringList &destinationNames);
    /// Removes every entry written before.
    static void remove();

    /// Dolphin's service menus: the submenu's and the other item's.
    static QString dolphinSendPath();
    static QString dolphinZipPath();
    /// The folders of Nautilus's and Caja's scripts, and Nemo's actions.
    static QString nautilusScriptsPath();
    static QString cajaScriptsPath();
    static QString nemoActionsPath();
};
