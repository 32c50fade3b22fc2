#pragma once

#include "core/destinations/Destination.h"

#include <QList>
#include <QObject>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>

class DestinationGrid;
class DestinationListModel;
class DropPad;
class QuickZipWindow;

// The quick-zip window as the user drives it. A drag held over the drop pad for half a second
// drops the window down from the pad, a tile for every Destination. A drop on a tile (there or in
// the Destinations window) asks for the quick zip of its files, 0.1 s later; a drop on the pad
// asks for the custom zip. The window goes once no mouse button is held down, wherever the drag
// went, and at once when the drag is given up. Without a drag, the same grid drops down for the
// keyboard, to choose a Destination for files copied or an archive made.
class QuickZipFlow final : public QObject
{
    Q_OBJECT

public:
    QuickZipFlow(DropPad *pad, DestinationListModel *destinations, QObject *parent = nullptr);
    ~QuickZipFlow() override;

    QuickZipWindow *quickZipWindow() const { return m_window.get(); }
    /// True from the moment the window is asked to show until its fade-out has ended.
    bool quickZipWindowShown() const { return m_shown; }
    bool isShowQuickZipWindowTimerActive() const { return m_showTimer.isActive(); }
    bool isHideQuickZipWindowTimerActive() const { return m_hideTimer.isActive(); }

    /// Loads the grid with the Destinations and shows the window under the pad, kept on its
    /// screen; then watches the mouse buttons. Nothing while the window is shown.
    void showQuickZipWindow();
    /// Fades the window out. Nothing while it is hidden or already fading.
    void hideQuickZipWindow();

    /// Where the flow reads the mouse buttons held down while the window is shown; by default the
    /// display server's (PointerButtons), which counts a drag another program holds.
    using ButtonsHeld = std::function<Qt::MouseButtons()>;
    void setButtonsHeld(ButtonsHeld buttonsHeld) { m_buttonsHeld = std::move(buttonsHeld); }

    /// Drops the grid down for the keyboard with a tile for each of the choices; 0.1 s after it
    /// went, the completion hears the Destination chosen, or null when there was none. A grid
    /// opened so before goes first, without a choice.
    using Choice = std::function<void(const DestinationPointer &destination)>;
    void chooseDestination(const DestinationList &choices, const Choice &chosen);
    /// The keyboard's quick zip: the files go to the Destination chosen in the grid.
    void quickZipByKeyboard(const QList<QUrl> &files);
    /// The window opened for the keyboard; null until chooseDestination().
    QuickZipWindow *keyboardWindow() const { return m_keyboardWindow.get(); }

    /// Lets the grid's tiles (the quick-zip window's, the Destinations window's) take drops,
    /// which ask for quick zips, and remove their Destinations from the list.
    void serve(DestinationGrid *grid);

Q_SIGNALS:
    /// The files dropped on a Destination's tile (only those of the file system).
    void quickZipRequested(const DestinationPointer &destination, const QList<QUrl> &files);
    /// The files dropped on the pad.
    void customZipRequested(const QList<QUrl> &files);

private:
    void padDragEntered();
    void padDragExited();
    void padDrop(const QList<QUrl> &urls);
    /// The drag was given up over the pad or the window.
    void dragGivenUp();
    /// Files dropped on a tile: their quick zip, once the drag has ended.
    void tileDrop(const DestinationPointer &destination, const QList<QUrl> &urls);
    void monitorMouseButton();
    /// The keyboard's window went, with the Destination chosen or none.
    void keyboardChoiceMade(const DestinationPointer &destination);

    DropPad *m_pad;
    DestinationListModel *m_destinations;
    std::unique_ptr<QuickZipWindow> m_window;
    std::unique_ptr<QuickZipWindow> m_keyboardWindow;
    Choice m_keyboardChoice;
    ButtonsHeld m_buttonsHeld;
    bool m_shown = false;
    bool m_fading = false;
    QTimer m_showTimer;
    QTimer m_hideTimer;
};
