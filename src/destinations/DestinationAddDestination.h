#pragma once

#include "Destination.h"

#include <QPointer>

class QMenu;

// The "Add New Destination" tile at the end of the grid. A drop on it, or a click where the grid
// passes clicks on, opens a menu of the kinds of Destination: the chosen one is added before the
// tile; the items dropped are then zipped to it, and one added by a click opens its configuration.
class DestinationAddDestination final : public Destination
{
    Q_OBJECT

public:
    /// The menu's first item, a heading.
    static constexpr int HeadingTag = 9999;

    explicit DestinationAddDestination(const QString &name);
    explicit DestinationAddDestination(const KeyedCoder &coder);

    DestinationType type() const override { return DestinationTypeAddDestination; }
    bool canBeDeleted() const override { return false; }
    bool canBeRenamed() const override { return false; }
    void defineIcon() override;
    /// A drop: the menu opens with the dropped items, and the request the drop started stops.
    void destinationWillBeUsedWithURLsToZip(const QList<QUrl> &urls, const WillBeUsedCompletion &completion) override;
    /// A click: the menu opens with nothing to zip, and the new Destination's configuration
    /// opens once it is added.
    void handleClickAction() override;

    /// Opens the menu at the mouse, centred on it and 20 points up, kept on the screen. The
    /// kinds that may exist only once are offered while the list has none of theirs.
    void showPopUpMenuWithURLsToZip(const QList<QUrl> &urls, bool autoConfigureNewlyCreatedDestinations);
    /// The menu while it is open; null otherwise.
    QMenu *popUpMenu() const;
    /// Adds the Destination before this tile, zips the items waiting for it, and opens its
    /// configuration 0.5 s later where wanted and where it has one.
    void addDestination(const DestinationPointer &destination);

private:
    void folderDestinationSelected();

    QList<QUrl> m_urlsToZip;
    bool m_autoConfigureNewlyCreatedDestinations = false;
    QPointer<QMenu> m_menu;
};
