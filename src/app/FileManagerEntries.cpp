#include "FileManagerEntries.h"

#include "core/destinations/DestinationListModel.h"
#include "core/settings/Settings.h"
#include "core/support/Log.h"
#include "platform/FileManagerMenus.h"

using namespace Qt::Literals::StringLiterals;

FileManagerEntries::FileManagerEntries(
    DestinationListModel &destinations, Settings &settings, QString program, QObject *parent)
    : QObject(parent)
    , m_destinations(destinations)
    , m_settings(settings)
    , m_program(std::move(program))
{
    m_pending.setSingleShot(true);
    m_pending.setInterval(0);
    connect(&m_pending, &QTimer::timeout, this, &FileManagerEntries::apply);
    connect(&destinations, &DestinationListModel::destinationAdded, this, &FileManagerEntries::follow);
    connect(&destinations, &DestinationListModel::destinationRemoved, this, &FileManagerEntries::update);
    for (const DestinationPointer &destination : destinations.destinations())
        follow(destination.get());
    update();
}

void FileManagerEntries::update()
{
    m_pending.start();
}

void FileManagerEntries::follow(Destination *destination)
{
    connect(destination, &Destination::destinationDidChange, this, &FileManagerEntries::update);
    update();
}

void FileManagerEntries::apply()
{
    if (!m_settings.fileManagerMenus()) {
        FileManagerMenus::remove();
        return;
    }
    QStringList names;
    for (const DestinationPointer &destination : m_destinations.zippableDestinations())
        names << destination->name();
    if (!FileManagerMenus::write(m_program, names))
        Log::handler()(u"File manager menus: some entries could not be written"_s);
}
