// The status item: the drop pad, whose drags the quick-zip flow follows, and the status menu.

#include "Tessary.h"

#include "QuickZipFlow.h"

#include "core/settings/Settings.h"
#include "gui/statusitem/DropPad.h"
#include "gui/statusitem/StatusItem.h"

void Tessary::setupStatusMenu()
{
    m_statusItem = std::make_unique<StatusItem>();
    DropPad *pad = m_statusItem->pad();
    connect(pad, &DropPad::moved, this, [this](const QPoint &place) { m_settings->setDropPadLocation(place); });
    pad->placeAt(m_settings->dropPadLocation());
    pad->show();

    m_quickZipFlow = std::make_unique<QuickZipFlow>(pad, m_destinationList.get());
    connect(m_quickZipFlow.get(), &QuickZipFlow::quickZipRequested, this,
        [this](const DestinationPointer &destination, const QList<QUrl> &files) {
            performQuickZipWithURLs(files, destination);
        });
    connect(m_quickZipFlow.get(), &QuickZipFlow::customZipRequested, this,
        [this](const QList<QUrl> &files) { performCustomZipWithURLs(files); });

    buildStatusMenu();
}
