#pragma once

#include <QPointer>
#include <QPropertyAnimation>
#include <QWidget>

#include <functional>

class DestinationGrid;

// The window that drops down from the drop pad while files are held over it: the grid of
// Destination tiles at 80 points, above the other windows, frameless, shown without taking the
// focus from the program the drag comes from.
class QuickZipWindow final : public QWidget
{
    Q_OBJECT

public:
    /// The side of a tile.
    static constexpr qreal TileSide = 80.0;
    /// How long the window takes to fade out.
    static constexpr int FadeOutMs = 250;

    QuickZipWindow();

    DestinationGrid *destinationGrid() const { return m_destinationGrid; }
    /// Shows the window at the frame, fully opaque, without activating it.
    void showWithFrame(const QRect &frame);
    /// Fades the window out, then hides it and runs the completion. Where there is no
    /// compositor the window simply stays until it goes.
    void fadeOut(const std::function<void()> &completion);

Q_SIGNALS:
    /// The drag over the window was given up (Escape) while the pointer stayed on it.
    void dragCancelled();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DestinationGrid *m_destinationGrid;
    QPropertyAnimation m_fade;
};
