#pragma once

#include <QColor>
#include <QString>

#include <functional>

class QDialog;
class QMenu;
class QWidget;

// The part of the shared services that shows windows: the messages and questions of Utilities
// (once installUserInteraction() has run), menu headings, the login item and the interface
// colours.
//
// Every modal question of the system goes through here. In the non-interactive mode, which is on
// where nobody can see the screen (the offscreen and minimal platforms, a command without
// windows), every question is answered with its cancel button at once and every message goes to
// standard error, so that a run without a screen never waits for a person. Everything runs on
// the GUI thread.
class UtilitiesWindows final
{
public:
    /// Shows the messages and questions of Utilities in windows from now on.
    static void installUserInteraction();

    /// Whether questions are answered with cancel at once (see above).
    static bool isNonInteractive();
    /// Overrides the mode chosen from the platform (tests that drive dialogs turn it off).
    static void setNonInteractive(bool nonInteractive);

    /// The notice window of Utilities::displayNotification(), built but not shown; it deletes
    /// itself when closed.
    static QWidget *createNotification(const QString &message);
    /// Where the desktop's notification service does not answer, system notifications go to the
    /// fallback (the tray's balloon).
    static void setSystemNotificationFallback(
        std::function<void(const QString &title, const QString &details)> fallback);
    /// Runs the modal window to its answer, in front of the other windows. The window it stands
    /// over may go while it is open and take it along: then there is no answer (false) and nothing
    /// left to delete; otherwise the caller reads the answer and deletes the window. Never called
    /// from inside the handler of the menu, button or widget that asked for the window.
    static bool runModally(QDialog *dialog);
    /// Puts the window in front of the others and gives it the keyboard (once it is shown).
    static void bringForward(QWidget *window);
    /// Turns every item of the menu whose data is the tag into a centred grey heading.
    static void convertHeadingMenuItemsWithTag(int tag, QMenu *menu);
    /// Starts Tessary with the desktop session from now on (an autostart entry, made once); false
    /// when the entry could not be written.
    static bool addCurrentAppAsLoginItem();

    /// The very light grey behind the interface's own views.
    static QColor interfaceBackgroundColor();
    /// The blue of highlighted tiles.
    static QColor interfaceHiliteColor();
};
