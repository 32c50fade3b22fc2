#include "AddDestinationMenu.h"

#include "ZipRequests.h"

#include "core/destinations/DestinationAirDrop.h"
#include "core/destinations/DestinationAlongsideSource.h"
#include "core/destinations/DestinationDesktop.h"
#include "core/destinations/DestinationDropbox.h"
#include "core/destinations/DestinationEmail.h"
#include "core/destinations/DestinationFTP.h"
#include "core/destinations/DestinationFolder.h"
#include "core/destinations/DestinationICloud.h"
#include "core/destinations/DestinationListModel.h"
#include "core/destinations/DestinationMessages.h"
#include "core/pipeline/ThreadHops.h"
#include "core/support/Utilities.h"
#include "gui/support/Alerts.h"
#include "gui/support/ImageManager.h"
#include "gui/support/UtilitiesWindows.h"

#include <QCursor>
#include <QDir>
#include <QMenu>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr double kConfigureDelay = 0.5;
constexpr int kMenuRise = 20;
constexpr qreal kMenuIconSide = 22.0;

// A kind the menu offers: its item, and how a Destination of it is made.
struct Kind
{
    QString title;
    Destination::DestinationType type;
    QString icon;
    bool onlyOnce;
    std::function<DestinationPointer()> create; // null: made by its own command
};

const QList<Kind> &kinds()
{
    static const QList<Kind> list {
        {u"Alongside Source"_s, Destination::DestinationTypeAlongsideSource, u"AlongsideIcon"_s, true,
            [] { return std::make_shared<DestinationAlongsideSource>(u"Alongside Source"_s); }},
        {u"Desktop"_s, Destination::DestinationTypeDesktop, u"DesktopIcon"_s, true,
            [] { return std::make_shared<DestinationDesktop>(u"Desktop"_s); }},
        {u"Dropbox"_s, Destination::DestinationTypeDropbox, u"DropboxIcon"_s, true,
            [] { return std::make_shared<DestinationDropbox>(u"Dropbox"_s); }},
        {u"iCloud Drive..."_s, Destination::DestinationTypeICloud, u"iCloudIcon"_s, true,
            [] { return std::make_shared<DestinationICloud>(u"iCloud Drive"_s); }},
        {u"Nearby Device (KDE Connect)..."_s, Destination::DestinationTypeAirDrop, u"AirDropIcon"_s, true,
            [] { return std::make_shared<DestinationAirDrop>(u"Send to Nearby Device"_s); }},
        {u"Folder..."_s, Destination::DestinationTypeFolder, u"FolderIcon"_s, false, {}},
        {u"Attach to Email..."_s, Destination::DestinationTypeEmail, u"EmailIcon"_s, false,
            [] { return std::make_shared<DestinationEmail>(u"Attach to Email"_s); }},
        {u"Upload to FTP..."_s, Destination::DestinationTypeFTP, u"FTPIcon"_s, false,
            [] { return std::make_shared<DestinationFTP>(u"Upload to FTP"_s); }},
        {u"Send via Messages..."_s, Destination::DestinationTypeMessages, u"MessagesIcon"_s, false,
            [] { return std::make_shared<DestinationMessages>(u"Send via Messages"_s); }},
    };
    return list;
}

} // namespace

AddDestinationMenu::AddDestinationMenu(DestinationListModel &destinations, ZipRequests &requests)
    : m_destinations(destinations)
    , m_requests(requests)
{
}

void AddDestinationMenu::showPopUpMenuWithURLsToZip(const QList<QUrl> &urls, bool autoConfigureNewlyCreatedDestinations)
{
    m_urlsToZip = urls;
    m_autoConfigureNewlyCreatedDestinations = autoConfigureNewlyCreatedDestinations;
    if (m_menu)
        m_menu->close();

    auto *menu = new QMenu(u"Tessary"_s);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(u"Add New Destination"_s)->setData(HeadingTag);
    menu->addSeparator();
    for (const Kind &kind : kinds()) {
        if (kind.onlyOnce && m_destinations.hasDestinationOfType(kind.type))
            continue;
        QAction *item = menu->addAction(
            QIcon(QPixmap::fromImage(ImageManager::imageNamed(kind.icon, QSizeF(kMenuIconSide, kMenuIconSide)))),
            kind.title);
        item->setData(int(kind.type));
        // What the item does comes once the menu has finished with the click (the folder
        // chooser, a quick zip's questions).
        connect(
            item, &QAction::triggered, this,
            [this, create = kind.create] {
                if (create)
                    addDestination(create());
                else
                    folderDestinationSelected();
            },
            Qt::QueuedConnection);
    }
    UtilitiesWindows::convertHeadingMenuItemsWithTag(HeadingTag, menu);
    m_menu = menu;
    menu->popup(QCursor::pos() - QPoint(menu->sizeHint().width() / 2, kMenuRise));
}

QMenu *AddDestinationMenu::popUpMenu() const
{
    return m_menu;
}

void AddDestinationMenu::folderDestinationSelected()
{
    const QList<QUrl> picked = Alerts::runOpenPanel(false, true, {}, false, QUrl::fromLocalFile(QDir::homePath()));
    if (picked.isEmpty())
        return;
    const QString folder = picked.first().toLocalFile();
    addDestination(std::make_shared<DestinationFolder>(folder, Utilities::nameOfFileSystemItemAtPath(folder)));
}

void AddDestinationMenu::addDestination(const DestinationPointer &destination)
{
    m_destinations.add(destination);
    if (!m_urlsToZip.isEmpty())
        m_requests.quickZip(m_urlsToZip, destination);
    if (m_autoConfigureNewlyCreatedDestinations && destination->traits().testFlag(Destination::Configurable))
        runOnMainThread(
            destination.get(), [added = destination.get()] { added->configureWithCompletion([](bool) {}); },
            kConfigureDelay);
}
