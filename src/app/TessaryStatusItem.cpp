// The status item: drags over the drop pad, the quick-zip window that drops down from it, and
// drops on its tiles.

#include "Tessary.h"

#include "core/pipeline/ArchiveNaming.h"
#include "core/pipeline/ThreadHops.h"
#include "core/settings/Settings.h"
#include "gui/chooser/DestinationCell.h"
#include "gui/chooser/DestinationChooserView.h"
#include "gui/statusitem/DropPad.h"
#include "gui/statusitem/QuickZipWindow.h"
#include "gui/statusitem/StatusItem.h"
#include "gui/statusitem/StatusItemPlacement.h"
#include "platform/PointerButtons.h"

#include <QScreen>

namespace {
constexpr int kShowQuickZipWindowIntervalMs = 500;
constexpr int kMonitorMouseButtonIntervalMs = 100;
constexpr double kPlacementDelay = 0.02;
constexpr double kAfterDrop = 0.1;
} // namespace

void Tessary::setupStatusMenu()
{
    m_statusItem = std::make_unique<StatusItem>();
    DropPad *pad = m_statusItem->pad();
    connect(pad, &DropPad::dragEntered, this, &Tessary::draggingEnteredStatusButton);
    connect(pad, &DropPad::dragExited, this, &Tessary::draggingExitedStatusButton);
    connect(pad, &DropPad::dragCancelled, this, &Tessary::draggingCancelled);
    connect(pad, &DropPad::dropped, this, &Tessary::receiveDragOnStatusButton);
    connect(pad, &DropPad::moved, this, [this](const QPoint &place) { m_settings->setDropPadLocation(place); });
    pad->placeAt(m_settings->dropPadLocation());
    pad->show();

    m_quickZipWindow = std::make_unique<QuickZipWindow>();
    m_quickZipWindow->chooserView()->setDelegate(this);
    connect(m_quickZipWindow.get(), &QuickZipWindow::dragCancelled, this, &Tessary::draggingCancelled);
    m_showQuickZipWindowTimer.setInterval(kShowQuickZipWindowIntervalMs);
    connect(&m_showQuickZipWindowTimer, &QTimer::timeout, this, &Tessary::showQuickZipWindow);
    m_hideQuickZipWindowTimer.setInterval(kMonitorMouseButtonIntervalMs);
    connect(&m_hideQuickZipWindowTimer, &QTimer::timeout, this, &Tessary::monitorMouseButton);

    buildStatusMenu();
}

void Tessary::showQuickZipWindow()
{
    // One show per hold, even when the window is up already.
    cancelShowQuickZipWindowTimer();
    if (m_quickZipWindowShown)
        return;
    DestinationChooserView *chooser = m_quickZipWindow->chooserView();
    chooser->setDestinations(m_destinationList->destinations(), 0);
    const DropPad *pad = m_statusItem->pad();
    const QRect frame = StatusItemPlacement::quickZipWindowFrame(
        pad->frameGeometry(), chooser->size(), pad->screen()->availableGeometry());
    executeBlockOnMainThread(
        this,
        [this, frame] {
            // A hide asked for meanwhile wins.
            if (m_quickZipWindowShown && !m_quickZipWindowFading)
                m_quickZipWindow->showWithFrame(frame);
        },
        kPlacementDelay);
    startHideQuickZipWindowTimer();
    m_quickZipWindowShown = true;
}

void Tessary::hideQuickZipWindow()
{
    if (!m_quickZipWindowShown || m_quickZipWindowFading)
        return;
    m_quickZipWindowFading = true;
    m_quickZipWindow->fadeOut([this] {
        m_quickZipWindowFading = false;
        m_quickZipWindowShown = false;
    });
}

void Tessary::startShowQuickZipWindowTimer()
{
    m_showQuickZipWindowTimer.start();
}

void Tessary::cancelShowQuickZipWindowTimer()
{
    m_showQuickZipWindowTimer.stop();
}

void Tessary::startHideQuickZipWindowTimer()
{
    m_hideQuickZipWindowTimer.start();
}

void Tessary::cancelHideQuickZipWindowTimer()
{
    m_hideQuickZipWindowTimer.stop();
}

void Tessary::monitorMouseButton()
{
    if (PointerButtons::pressed() != Qt::NoButton)
        return;
    hideQuickZipWindow();
    cancelHideQuickZipWindowTimer();
}

void Tessary::draggingEnteredStatusButton()
{
    m_statusItem->pad()->setHilited(true);
    startShowQuickZipWindowTimer();
}

void Tessary::draggingExitedStatusButton()
{
    m_statusItem->pad()->setHilited(false);
    cancelShowQuickZipWindowTimer();
}

void Tessary::receiveDragOnStatusButton(const QList<QUrl> &urls)
{
    m_statusItem->pad()->setHilited(false);
    cancelShowQuickZipWindowTimer();
    performCustomZipWithURLs(ArchiveNaming::getsFileURLSFromDragOperation(urls));
    draggingEnded();
}

void Tessary::draggingEnded()
{
    hideQuickZipWindow();
}

void Tessary::draggingCancelled()
{
    cancelShowQuickZipWindowTimer();
    cancelHideQuickZipWindowTimer();
    hideQuickZipWindow();
}

void Tessary::destinationDidReceiveDragAndDrop(const DestinationPointer &destination, const QList<QUrl> &urls)
{
    // The drag ends and the window begins to close before any question of the naming policy.
    executeBlockOnMainThread(
        this,
        [this, destination, files = ArchiveNaming::getsFileURLSFromDragOperation(urls)] {
            performQuickZipWithURLs(files, destination);
        },
        kAfterDrop);
}

bool Tessary::removalOfDestinationRequested(Destination *destination)
{
    return m_destinationList->remove(destination);
}
