#include "Tessary.h"

#include "QuickZipWindow.h"
#include "StatusItem.h"
#include "destinations/DestinationStore.h"
#include "destinations/DropboxManager.h"
#include "settings/Settings.h"

Tessary *gTessary = nullptr;

Tessary::Tessary()
{
    gTessary = this;
    m_settings = std::make_unique<Settings>();
    m_dropboxManager = std::make_unique<DropboxManager>();
}

Tessary::~Tessary()
{
    endCapturingLogging();
    if (gTessary == this)
        gTessary = nullptr;
}
