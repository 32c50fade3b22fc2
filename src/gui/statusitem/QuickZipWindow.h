#pragma once

#include "core/destinations/Destination.h"

#include <QPropertyAnimation>
#include <QWidget>

#include <functional>

class DestinationGrid;

// The window that drops down from the drop pad with the grid of Destination tiles at 80 points,
// above the other windows, frameless. While files are held over the pad it is shown without
// taking the focus from the program the drag comes from, and a drop on a tile chooses. Opened
// from the keyboard instead, it takes the keyboard itself: the arrows move, Return or a click
// chooses, and Escape or a click elsewhere closes it.
class QuickZipWindow final : public QWidget
{
    Q_OBJECT

public:
    /// The side of a tile.
    static constexpr qreal TileSide = 80.0;
    /// How long the window takes to fade out.
    static constexpr int FadeOutMs = 250;

    enum class Input {
        Drags, ///< takes drags and never the focus
        Keyboard, ///< a pop-up that takes the keyboard and clicks
    };

    explicit QuickZipWindow(Input input = Input::Drags);

    DestinationGrid *destinationGrid() const { return m_destinationGrid; }
    /// Shows the window at the frame, fully opaque; for drags without activating it, for the
    /// keyboard with the focus in the grid.
    void showWithFrame(const QRect &frame);
    /// Fades the window out, then hides it and runs the completion. Where there is no
    /// compositor the window simply stays until it goes.
    void fadeOut(const std::function<void()> &completion);

Q_SIGNALS:
    /// The drag over the window was given up (Escape) while the pointer stayed on it.
    void dragCancelled();
    /// Keyboard: the Destination was clicked, or in focus when Return was pressed.
    void destinationChosen(const DestinationPointer &destination);
    /// Keyboard: the window went without a choice (Escape, a click elsewhere).
    void dismissed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    /// Keyboard: ends the showing with the choice, or without one (null); once per showing.
    void end(const DestinationPointer &chosen);

    DestinationGrid *m_destinationGrid;
    QPropertyAnimation m_fade;
    const Input m_input;
    bool m_choosing = false;
};
