#include "Tessary.h"

#include "AddDestinationMenu.h"
#include "QuickZipFlow.h"
#include "core/destinations/DestinationAddDestination.h"
#include "core/destinations/DestinationDropbox.h"
#include "core/destinations/DestinationListModel.h"
#include "core/destinations/DropboxManager.h"
#include "core/settings/Settings.h"
#include "core/support/Utilities.h"
#include "gui/destinations/DestinationEditor.h"
#include "gui/destinations/DestinationsConfigureWindowController.h"

#include <QWidget>

using namespace Qt::Literals::StringLiterals;

void Tessary::adoptDestination(Destination *destination)
{
    destination->setEditing(m_destinationEditor.get());
    if (auto *dropbox = qobject_cast<DestinationDropbox *>(destination))
        dropbox->setDropboxManager(m_dropboxManager.get());
    if (auto *addTile = qobject_cast<DestinationAddDestination *>(destination))
        addTile->setMenuOpener([menu = m_addDestinationMenu.get()](const QList<QUrl> &urls, bool autoConfigure) {
            menu->showPopUpMenuWithURLsToZip(urls, autoConfigure);
        });
}

void Tessary::destinationsNotSaved(const QString &storePath)
{
    Utilities::displayMessage(u"Your change to the Destinations could not be saved in \"%1\". It holds until Tessary "
                              "quits; the file keeps the Destinations as they were before."_s.arg(storePath),
        u"Destinations Not Saved"_s);
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
    m_destinationsConfigureDialog
        = new DestinationsConfigureWindowController(*m_destinationList, m_quickZipFlow.get(), location, [this] {
              // Let go of the window that closed, once its close is over.
              if (m_destinationsConfigureDialog)
                  m_destinationsConfigureDialog->deleteLater();
              m_destinationsConfigureDialog = nullptr;
          });
    m_destinationsConfigureDialog->setParent(this);
    m_destinationsConfigureDialog->show();
}
