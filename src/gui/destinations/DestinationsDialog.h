#pragma once

#include "core/destinations/Destination.h"

#include <QObject>
#include <QPointF>

#include <functional>
#include <memory>

class DestinationGrid;
class DestinationListModel;
class QWidget;

// The window that shows every Destination for editing: the grid at 80-point tiles, where
// hovering a tile brings up its configure and delete buttons and a click runs its click action
// (the add tile's menu), and where a drop zips as on the quick-zip window. Its content is the
// grid, with as many columns as the quick-zip grid has for the same list: it grows when an
// addition needs a row and shrinks when a removal frees one. It opens
// where the user last left it (centred the first time) and tells its owner when it closes.
class DestinationsDialog final : public QObject
{
    Q_OBJECT

public:
    /// Where the window's content is (its top-left corner, inside the frame), read and written as
    /// the user moves it.
    using LocationStore = std::pair<std::function<QPointF()>, std::function<void(const QPointF &)>>;

    /// The list is the owner's; the window follows its additions and removals.
    DestinationsDialog(
        const DestinationListModel &destinations, LocationStore location, std::function<void()> completion);
    ~DestinationsDialog() override;

    void show();
    /// Lays the grid out again for the list as it stands and sizes the window to it.
    void setDestinations();
    QWidget *window() const { return m_window.get(); }
    DestinationGrid *destinationGrid() const { return m_chooser; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const DestinationListModel &m_destinations;
    LocationStore m_location;
    std::function<void()> m_completion;
    std::unique_ptr<QWidget> m_window;
    DestinationGrid *m_chooser;
    bool m_shown = false;
};
