#pragma once

#include "core/destinations/Destination.h"

#include <QObject>
#include <QPointer>

class DestinationListModel;
class QMenu;
class ZipRequests;

// The menu of the add tile: a heading and the kinds of Destination. The chosen one is added
// before the tile; the items dropped on the tile are then zipped to it, and, after a click, its
// configuration opens 0.5 s later where it has one.
class AddDestinationMenu final : public QObject
{
    Q_OBJECT

public:
    /// The menu's first item, a heading.
    static constexpr int HeadingTag = 9999;

    AddDestinationMenu(DestinationListModel &destinations, ZipRequests &requests);

    /// Opens the menu at the mouse, centred on it and 20 points up, kept on the screen. The
    /// kinds that may exist only once are offered while the list has none of theirs.
    void showPopUpMenuWithURLsToZip(const QList<QUrl> &urls, bool autoConfigureNewlyCreatedDestinations);
    /// The menu while it is open; null otherwise.
    QMenu *popUpMenu() const;
    /// Adds the Destination before the add tile, zips the items waiting for it, and opens its
    /// configuration 0.5 s later where wanted and where it has one.
    void addDestination(const DestinationPointer &destination);

private:
    void folderDestinationSelected();

    DestinationListModel &m_destinations;
    ZipRequests &m_requests;
    QList<QUrl> m_urlsToZip;
    bool m_autoConfigureNewlyCreatedDestinations = false;
    QPointer<QMenu> m_menu;
};
