#include "Tessary.h"

#include "AddDestinationMenu.h"
#include "core/destinations/DestinationAddDestination.h"
#include "core/destinations/DestinationAirDrop.h"
#include "core/destinations/DestinationAlongsideSource.h"
#include "core/destinations/DestinationDesktop.h"
#include "core/destinations/DestinationDropbox.h"
#include "core/destinations/DestinationEmail.h"
#include "core/destinations/DestinationFTP.h"
#include "core/destinations/DestinationFolder.h"
#include "core/destinations/DestinationICloud.h"
#include "core/destinations/DestinationMessages.h"
#include "core/destinations/DestinationStore.h"
#include "core/destinations/DropboxManager.h"
#include "core/destinations/TessaryNotifications.h"
#include "core/settings/Settings.h"
#include "core/support/Utilities.h"
#include "gui/destinations/DestinationEditor.h"
#include "gui/destinations/DestinationsConfigureWindowController.h"

#include <QWidget>

using namespace Qt::Literals::StringLiterals;

void Tessary::createDestinations()
{
    m_destinationStore = std::make_unique<DestinationStore>(destinationsStorePath());
    m_destinations = m_destinationStore->load();
    if (m_destinations.isEmpty())
        createDefaultDestinations();
    for (const DestinationPointer &destination : std::as_const(m_destinations))
        adoptDestination(destination);
}

void Tessary::adoptDestination(const DestinationPointer &destination)
{
    destination->setConfigurator(&DestinationEditor::configure);
    // A server password an earlier version kept in the Destinations file moves to the keyring.
    if (auto *ftp = qobject_cast<DestinationFTP *>(destination.get()))
        ftp->movePasswordToKeychain();
    if (auto *dropbox = qobject_cast<DestinationDropbox *>(destination.get()))
        dropbox->setDropboxManager(m_dropboxManager.get());
    if (auto *addTile = qobject_cast<DestinationAddDestination *>(destination.get()))
        addTile->setMenuOpener([menu = m_addDestinationMenu.get()](const QList<QUrl> &urls, bool autoConfigure) {
            menu->showPopUpMenuWithURLsToZip(urls, autoConfigure);
        });
    connect(destination.get(), &Destination::destinationDidChange, this, &Tessary::destinationHasChanged,
        Qt::UniqueConnection);
}

void Tessary::createDefaultDestinations()
{
    m_destinations << std::make_shared<DestinationAlongsideSource>(u"Place Alongside Source"_s)
                   << std::make_shared<DestinationDesktop>(u"Place on the Desktop"_s)
                   << std::make_shared<DestinationEmail>(u"Attach To Email"_s)
                   << std::make_shared<DestinationFolder>(
                          Utilities::backupsFolderPathWithCreate(true), u"Store in Backups Folder"_s);
    if (DestinationICloud::isICloudAvailable())
        m_destinations << std::make_shared<DestinationICloud>(u"Upload to iCloud Drive"_s);
    if (DropboxManager::isDropboxInstalled())
        m_destinations << std::make_shared<DestinationDropbox>(u"Share via Dropbox"_s);
    m_destinations << std::make_shared<DestinationMessages>(u"Send via Messages"_s)
                   << std::make_shared<DestinationAirDrop>(u"Send to Nearby Device"_s)
                   << std::make_shared<DestinationAddDestination>(u"Add New Destination"_s);
}

void Tessary::saveDestinations()
{
    log()(u"Saving Destinations"_s);
    if (!m_destinationStore)
        m_destinationStore = std::make_unique<DestinationStore>(destinationsStorePath());
    // The file is replaced whole or not at all: a failed save leaves the last good one.
    if (!m_destinationStore->save(m_destinations))
        Utilities::displayMessage(
            u"Your change to the Destinations could not be saved in \"%1\". It holds until Tessary quits; the "
            "file keeps the Destinations as they were before."_s.arg(destinationsStorePath()),
            u"Destinations Not Saved"_s);
}

QString Tessary::destinationsStorePath() const
{
    return Utilities::filePathForSystemFolderWithID(QStandardPaths::GenericDataLocation)
        + u"/Tessary/Destinations.data"_s;
}

bool Tessary::hasDestinationOfType(qint32 type) const
{
    return std::any_of(m_destinations.cbegin(), m_destinations.cend(),
        [type](const DestinationPointer &destination) { return destination->type() == type; });
}

bool Tessary::addDestination(const DestinationPointer &destination)
{
    if (!destination)
        return false;
    m_destinations.insert(m_destinations.isEmpty() ? 0 : m_destinations.size() - 1, destination);
    adoptDestination(destination);
    saveDestinations();
    TessaryNotifications::notifyThatDestinationWasJustAdded(destination.get());
    return true;
}

bool Tessary::deleteDestination(Destination *destination)
{
    // Keep it alive until every receiver has heard of its deletion.
    DestinationPointer deleted;
    m_destinations.removeIf([destination, &deleted](const DestinationPointer &element) {
        if (element.get() != destination)
            return false;
        deleted = element;
        return true;
    });
    if (!deleted)
        return false; // not one of the list (gone already): nothing to save or announce
    if (auto *ftp = qobject_cast<DestinationFTP *>(destination))
        ftp->forgetPassword();
    saveDestinations();
    TessaryNotifications::notifyThatDestinationWasJustDeleted(destination);
    return true;
}

void Tessary::destinationHasChanged(Destination *destination)
{
    Q_UNUSED(destination);
    saveDestinations();
}

DestinationsConfigureWindowController *Tessary::destinationsConfigureDialog() const
{
    return m_destinationsConfigureDialog;
}

void Tessary::configureDestinationsSelected()
{
    if (m_destinationsConfigureDialog)
        m_destinationsConfigureDialog->window()->close();
    const DestinationsConfigureWindowController::LocationStore location {
        [this] { return m_settings->preferredDestinationsWindowLocation(); },
        [this](const QPointF &place) { m_settings->setPreferredDestinationsWindowLocation(place); }};
    m_destinationsConfigureDialog = new DestinationsConfigureWindowController(m_destinations, this, location, [this] {
        // Let go of the window that closed, once its close is over.
        if (m_destinationsConfigureDialog)
            m_destinationsConfigureDialog->deleteLater();
        m_destinationsConfigureDialog = nullptr;
    });
    m_destinationsConfigureDialog->setParent(this);
    m_destinationsConfigureDialog->show();
}
