#pragma once

#include <QColor>
#include <QString>

class QDialog;
class QMenu;
class QWidget;

// The part of the shared services that concerns windows: whether anyone can see them, running a
// modal one, menu headings, the login item and the interface colours.
//
// In the non-interactive mode, which is on where nobody can see the screen (the offscreen and
// minimal platforms, a command without windows), every question is answered with its cancel
// button at once and every message goes to standard error, so that a run without a screen never
// waits for a person. Everything runs on the GUI thread.
class UtilitiesWindows final
{
public:
    /// Whether questions are answered with cancel at once (see above).
    static bool isNonInteractive();
    /// Overrides the mode chosen from the platform (tests that drive dialogs turn it off).
    static void setNonInteractive(bool nonInteractive);

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
    /// The grey of captions, dark enough to read on the interface's background.
    static QColor interfaceCaptionColor();
};
