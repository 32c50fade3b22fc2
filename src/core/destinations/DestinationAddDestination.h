#pragma once

#include "Destination.h"

// The "Add New Destination" tile at the end of the grid. A drop on it, or a click where the grid
// passes clicks on, opens the menu of the kinds of Destination, which its owner installs (the
// menu is a window): the chosen one is added before the tile; the items dropped are then zipped
// to it, and one added by a click opens its configuration.
class DestinationAddDestination final : public Destination
{
    Q_OBJECT

public:
    /// Opens the menu with the items to zip to the new Destination, and whether the new
    /// Destination's configuration opens once it is added.
    using MenuOpener = std::function<void(const QList<QUrl> &urlsToZip, bool autoConfigureNewlyCreatedDestinations)>;

    explicit DestinationAddDestination(const QString &name);
    explicit DestinationAddDestination(const KeyedCoder &coder);

    DestinationType type() const override { return DestinationTypeAddDestination; }
    Traits traits() const override { return {Interactive, ShowsCreatedNotice}; }
    QString iconName() const override;
    /// A drop: the menu opens with the dropped items, and the request the drop started stops.
    void destinationWillBeUsedWithURLsToZip(const QList<QUrl> &urls, const WillBeUsedCompletion &completion) override;
    /// A click: the menu opens with nothing to zip, and the new Destination's configuration
    /// opens once it is added.
    void handleClickAction() override;

    void setMenuOpener(const MenuOpener &opener) { m_menuOpener = opener; }

private:
    void openMenu(const QList<QUrl> &urls, bool autoConfigureNewlyCreatedDestinations) const;

    MenuOpener m_menuOpener;
};
