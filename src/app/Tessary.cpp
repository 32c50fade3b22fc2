#include "Tessary.h"

#include "AddDestinationMenu.h"
#include "FileManagerEntries.h"
#include "Launcher.h"
#include "QuickZipFlow.h"
#include "QuickZipPolicies.h"
#include "StatusMenu.h"
#include "ZipRequests.h"

#include "core/destinations/DestinationAddDestination.h"
#include "core/destinations/DestinationDropbox.h"
#include "core/destinations/DestinationListModel.h"
#include "core/destinations/DropboxManager.h"
#include "core/pipeline/Housekeeping.h"
#include "core/settings/Settings.h"
#include "core/support/LogCapture.h"
#include "core/support/Utilities.h"
#include "gui/destinations/DestinationEditor.h"
#include "gui/destinations/DestinationsDialog.h"
#include "gui/statusitem/DropPad.h"
#include "gui/statusitem/StatusItem.h"
#include "gui/support/Alerts.h"
#include "gui/support/CopiedFiles.h"
#include "gui/support/UtilitiesWindows.h"
#include "platform/DesktopServices.h"

#include <QCoreApplication>
#include <QWidget>

using namespace Qt::Literals::StringLiterals;

Tessary::Tessary()
{
    DesktopServices::install();
    m_settings = std::make_unique<Settings>();
    m_logCapture = std::make_unique<LogCapture>();
    m_housekeeping = std::make_unique<Housekeeping>();
    m_destinationList = std::make_unique<DestinationListModel>(DestinationListModel::defaultStorePath());
    m_destinationEditor = std::make_unique<DestinationEditor>();
    m_dropboxManager = std::make_unique<DropboxManager>(Alerts::userInteraction());
    m_quickZipPolicies = std::make_unique<QuickZipPolicies>(*m_settings);
    m_zipRequests = std::make_unique<ZipRequests>(*m_settings, *m_quickZipPolicies, *m_destinationList);
    m_addDestinationMenu = std::make_unique<AddDestinationMenu>(*m_destinationList, *m_zipRequests);
    m_launcher = std::make_unique<Launcher>(*m_settings);
    connect(m_destinationList.get(), &DestinationListModel::destinationAdded, this, &Tessary::adoptDestination);
    connect(m_destinationList.get(), &DestinationListModel::saveFailed, this, &Tessary::destinationsNotSaved);
}

Tessary::~Tessary()
{
    m_logCapture->end();
}

bool Tessary::launch()
{
    m_housekeeping->start();
    setupStatusItem();
    m_destinationList->load();
    if (!m_launcher->performSystemVersionCheck())
        return false;
    m_launcher->performFirstLaunchSetup();
    return true;
}

void Tessary::stopRunningJobs()
{
    m_dropboxManager->cancelRequests();
    m_zipRequests->stopRunningJobs();
}

void Tessary::setupStatusItem()
{
    m_statusItem = std::make_unique<StatusItem>();
    DropPad *pad = m_statusItem->pad();
    connect(pad, &DropPad::moved, this, [this](const QPoint &place) { m_settings->setDropPadLocation(place); });
    pad->placeAt(m_settings->dropPadLocation());
    pad->show();

    m_quickZipFlow = std::make_unique<QuickZipFlow>(pad, m_destinationList.get());
    connect(m_quickZipFlow.get(), &QuickZipFlow::quickZipRequested, this,
        [this](const DestinationPointer &destination, const QList<QUrl> &files) {
            m_zipRequests->quickZip(files, destination);
        });
    connect(m_quickZipFlow.get(), &QuickZipFlow::customZipRequested, this,
        [this](const QList<QUrl> &files) { m_zipRequests->customZip(files); });
    m_zipRequests->setDestinationChooser(
        [flow = m_quickZipFlow.get()](const DestinationList &choices, const QuickZipFlow::Choice &completion) {
            flow->chooseDestination(choices, completion);
        });

    m_statusMenu = std::make_unique<StatusMenu>(
        m_statusItem->menu(), *m_settings, *m_quickZipPolicies, *m_zipRequests, *m_logCapture);
    connect(
        m_statusMenu.get(), &StatusMenu::destinationsWindowRequested, this, &Tessary::configureDestinationsSelected);
    connect(
        m_statusMenu.get(), &StatusMenu::introductionRequested, this, [this] { m_launcher->showIntroduction(false); });

    // The running program keeps its entries in the file managers' menus.
    m_fileManagerEntries = std::make_unique<FileManagerEntries>(
        *m_destinationList, *m_settings, QCoreApplication::applicationFilePath());
    connect(m_statusMenu.get(), &StatusMenu::fileManagerMenusToggled, m_fileManagerEntries.get(),
        &FileManagerEntries::update);
}

void Tessary::quickZipCopiedFiles()
{
    const QList<QUrl> files = CopiedFiles::onClipboard();
    if (files.isEmpty())
        m_zipRequests->showNoFilesToZip();
    else if (m_quickZipFlow)
        m_quickZipFlow->quickZipByKeyboard(files);
}

void Tessary::adoptDestination(Destination *destination)
{
    destination->setEditing(m_destinationEditor.get());
    destination->setUserInteraction(&Alerts::userInteraction());
    if (auto *dropbox = qobject_cast<DestinationDropbox *>(destination))
        dropbox->setDropboxManager(m_dropboxManager.get());
    if (auto *addTile = qobject_cast<DestinationAddDestination *>(destination))
        addTile->setMenuOpener([menu = m_addDestinationMenu.get()](const QList<QUrl> &urls, bool autoConfigure) {
            menu->showPopUpMenuWithURLsToZip(urls, autoConfigure);
        });
}

void Tessary::destinationsNotSaved(const QString &storePath)
{
    Alerts::displayMessage(u"Your change to the Destinations could not be saved in \"%1\". It holds until Tessary "
                           "quits; the file keeps the Destinations as they were before."_s.arg(storePath),
        u"Destinations Not Saved"_s);
}

DestinationsDialog *Tessary::destinationsConfigureDialog() const
{
    return m_destinationsConfigureDialog;
}

void Tessary::configureDestinationsSelected()
{
    if (m_destinationsConfigureDialog)
        m_destinationsConfigureDialog->window()->close();
    const DestinationsDialog::LocationStore location {
        [this] { return m_settings->preferredWindowLocation(Settings::Window::Destinations); },
        [this](
            const QPointF &place) { m_settings->setPreferredWindowLocation(Settings::Window::Destinations, place); }};
    m_destinationsConfigureDialog = new DestinationsDialog(*m_destinationList, location, [this] {
        // Let go of the window that closed, once its close is over.
        if (m_destinationsConfigureDialog)
            m_destinationsConfigureDialog->deleteLater();
        m_destinationsConfigureDialog = nullptr;
    });
    // Its tiles take drops as the quick-zip window's do.
    if (m_quickZipFlow)
        m_quickZipFlow->serve(m_destinationsConfigureDialog->destinationGrid());
    m_destinationsConfigureDialog->setParent(this);
    m_destinationsConfigureDialog->show();
}
