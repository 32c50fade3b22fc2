#include "Tessary.h"

#include "AddDestinationMenu.h"
#include "QuickZipFlow.h"
#include "QuickZipPolicies.h"
#include "core/destinations/DestinationListModel.h"
#include "core/destinations/DropboxManager.h"
#include "core/pipeline/Housekeeping.h"
#include "core/settings/Settings.h"
#include "core/support/LogCapture.h"
#include "gui/destinations/DestinationEditor.h"
#include "gui/statusitem/StatusItem.h"
#include "gui/support/UtilitiesWindows.h"
#include "platform/DesktopServices.h"

Tessary::Tessary()
{
    DesktopServices::install();
    UtilitiesWindows::installUserInteraction();
    m_settings = std::make_unique<Settings>();
    m_logCapture = std::make_unique<LogCapture>();
    m_quickZipPolicies = std::make_unique<QuickZipPolicies>(*m_settings);
    m_housekeeping = std::make_unique<Housekeeping>();
    m_dropboxManager = std::make_unique<DropboxManager>();
    m_addDestinationMenu = std::make_unique<AddDestinationMenu>(*this);
    m_destinationEditor = std::make_unique<DestinationEditor>();
    m_destinationList = std::make_unique<DestinationListModel>(DestinationListModel::defaultStorePath());
    connect(m_destinationList.get(), &DestinationListModel::destinationAdded, this, &Tessary::adoptDestination);
    connect(m_destinationList.get(), &DestinationListModel::saveFailed, this, &Tessary::destinationsNotSaved);
}

Tessary::~Tessary()
{
    m_logCapture->end();
}
