#include "DestinationListModel.h"

#include "DestinationAddDestination.h"
#include "DestinationAirDrop.h"
#include "DestinationAlongsideSource.h"
#include "DestinationDesktop.h"
#include "DestinationDropbox.h"
#include "DestinationEmail.h"
#include "DestinationFTP.h"
#include "DestinationFolder.h"
#include "DestinationICloud.h"
#include "DestinationMessages.h"
#include "DestinationStore.h"
#include "DropboxManager.h"
#include "core/support/Log.h"
#include "core/support/Utilities.h"

using namespace Qt::Literals::StringLiterals;

DestinationListModel::DestinationListModel(QString storePath, QObject *parent)
    : QObject(parent)
    , m_store(std::make_unique<DestinationStore>(std::move(storePath)))
{
}

DestinationListModel::~DestinationListModel() = default;

QString DestinationListModel::defaultStorePath()
{
    return Utilities::filePathForSystemFolderWithID(QStandardPaths::GenericDataLocation)
        + u"/Tessary/Destinations.data"_s;
}

DestinationList DestinationListModel::defaultDestinations()
{
    DestinationList destinations {std::make_shared<DestinationAlongsideSource>(u"Place Alongside Source"_s),
        std::make_shared<DestinationDesktop>(u"Place on the Desktop"_s),
        std::make_shared<DestinationEmail>(u"Attach To Email"_s),
        std::make_shared<DestinationFolder>(
            Utilities::backupsFolderPathWithCreate(true), u"Store in Backups Folder"_s)};
    if (DestinationICloud::isICloudAvailable())
        destinations << std::make_shared<DestinationICloud>(u"Upload to iCloud Drive"_s);
    if (DropboxManager::isDropboxInstalled())
        destinations << std::make_shared<DestinationDropbox>(u"Share via Dropbox"_s);
    destinations << std::make_shared<DestinationMessages>(u"Send via Messages"_s)
                 << std::make_shared<DestinationAirDrop>(u"Send to Nearby Device"_s)
                 << std::make_shared<DestinationAddDestination>(u"Add New Destination"_s);
    return destinations;
}

QString DestinationListModel::storePath() const
{
    return m_store->path();
}

bool DestinationListModel::hasDestinationOfType(qint32 type) const
{
    return std::any_of(m_destinations.cbegin(), m_destinations.cend(),
        [type](const DestinationPointer &destination) { return destination->type() == type; });
}

DestinationList DestinationListModel::zippableDestinations() const
{
    DestinationList zippable = m_destinations;
    zippable.removeIf([](const DestinationPointer &destination) {
        return destination->type() == Destination::DestinationTypeAddDestination;
    });
    return zippable;
}

void DestinationListModel::load()
{
    m_destinations = m_store->load();
    if (m_destinations.isEmpty())
        m_destinations = defaultDestinations();
    for (const DestinationPointer &destination : std::as_const(m_destinations)) {
        adopt(destination);
        if (auto *ftp = qobject_cast<DestinationFTP *>(destination.get()))
            ftp->movePasswordToKeychain();
    }
}

void DestinationListModel::adopt(const DestinationPointer &destination)
{
    connect(
        destination.get(), &Destination::destinationDidChange, this, &DestinationListModel::save, Qt::UniqueConnection);
    Q_EMIT destinationAdded(destination.get());
}

bool DestinationListModel::add(const DestinationPointer &destination)
{
    if (!destination)
        return false;
    m_destinations.insert(m_destinations.isEmpty() ? 0 : m_destinations.size() - 1, destination);
    adopt(destination);
    save();
    return true;
}

bool DestinationListModel::remove(Destination *destination)
{
    // Kept alive until every receiver has heard of its removal.
    DestinationPointer removed;
    m_destinations.removeIf([destination, &removed](const DestinationPointer &element) {
        if (element.get() != destination)
            return false;
        removed = element;
        return true;
    });
    if (!removed)
        return false; // not one of the list (gone already): nothing to save or announce
    disconnect(destination, nullptr, this, nullptr);
    if (auto *ftp = qobject_cast<DestinationFTP *>(destination))
        ftp->forgetPassword();
    save();
    Q_EMIT destinationRemoved(destination);
    return true;
}

bool DestinationListModel::save()
{
    if (const Log::Handler log = Log::handler())
        log(u"Saving Destinations"_s);
    // The file is replaced whole or not at all: a failed save leaves the last good one.
    if (m_store->save(m_destinations))
        return true;
    Q_EMIT saveFailed(m_store->path());
    return false;
}
