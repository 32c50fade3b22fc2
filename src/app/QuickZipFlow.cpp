#include "QuickZipFlow.h"

#include "core/destinations/DestinationListModel.h"
#include "core/pipeline/ArchiveNaming.h"
#include "core/pipeline/ThreadHops.h"
#include "gui/chooser/DestinationGrid.h"
#include "gui/chooser/DestinationTile.h"
#include "gui/statusitem/DropPad.h"
#include "gui/statusitem/QuickZipWindow.h"
#include "gui/statusitem/StatusItemPlacement.h"
#include "platform/PointerButtons.h"

#include <QScreen>

namespace {
constexpr int kShowAfterMs = 500;
constexpr int kMonitorMouseButtonIntervalMs = 100;
constexpr double kPlacementDelay = 0.02;
constexpr double kAfterDrop = 0.1;
} // namespace

QuickZipFlow::QuickZipFlow(DropPad *pad, DestinationListModel *destinations, QObject *parent)
    : QObject(parent)
    , m_pad(pad)
    , m_destinations(destinations)
    , m_window(std::make_unique<QuickZipWindow>())
    , m_buttonsHeld(&PointerButtons::pressed)
{
    connect(pad, &DropPad::dragEntered, this, &QuickZipFlow::padDragEntered);
    connect(pad, &DropPad::dragExited, this, &QuickZipFlow::padDragExited);
    connect(pad, &DropPad::dragCancelled, this, &QuickZipFlow::dragGivenUp);
    connect(pad, &DropPad::dropped, this, &QuickZipFlow::padDrop);
    serve(m_window->destinationGrid());
    connect(m_window.get(), &QuickZipWindow::dragCancelled, this, &QuickZipFlow::dragGivenUp);
    m_showTimer.setInterval(kShowAfterMs);
    connect(&m_showTimer, &QTimer::timeout, this, &QuickZipFlow::showQuickZipWindow);
    m_hideTimer.setInterval(kMonitorMouseButtonIntervalMs);
    connect(&m_hideTimer, &QTimer::timeout, this, &QuickZipFlow::monitorMouseButton);
}

QuickZipFlow::~QuickZipFlow() = default;

void QuickZipFlow::showQuickZipWindow()
{
    // One show per hold, even when the window is up already.
    m_showTimer.stop();
    if (m_shown)
        return;
    DestinationGrid *chooser = m_window->destinationGrid();
    chooser->setDestinations(m_destinations->destinations(), 0);
    const QRect frame = StatusItemPlacement::quickZipWindowFrame(
        m_pad->frameGeometry(), chooser->size(), m_pad->screen()->availableGeometry());
    runOnMainThread(
        this,
        [this, frame] {
            // A hide asked for meanwhile wins.
            if (m_shown && !m_fading)
                m_window->showWithFrame(frame);
        },
        kPlacementDelay);
    m_hideTimer.start();
    m_shown = true;
}

void QuickZipFlow::hideQuickZipWindow()
{
    if (!m_shown || m_fading)
        return;
    m_fading = true;
    m_window->fadeOut([this] {
        m_fading = false;
        m_shown = false;
    });
}

void QuickZipFlow::monitorMouseButton()
{
    if (m_buttonsHeld() != Qt::NoButton)
        return;
    hideQuickZipWindow();
    m_hideTimer.stop();
}

void QuickZipFlow::padDragEntered()
{
    m_pad->setHilited(true);
    m_showTimer.start();
}

void QuickZipFlow::padDragExited()
{
    m_pad->setHilited(false);
    m_showTimer.stop();
}

void QuickZipFlow::padDrop(const QList<QUrl> &urls)
{
    m_pad->setHilited(false);
    m_showTimer.stop();
    Q_EMIT customZipRequested(ArchiveNaming::getsFileURLSFromDragOperation(urls));
    hideQuickZipWindow();
}

void QuickZipFlow::dragGivenUp()
{
    m_showTimer.stop();
    m_hideTimer.stop();
    hideQuickZipWindow();
}

void QuickZipFlow::tileDrop(const DestinationPointer &destination, const QList<QUrl> &urls)
{
    // The drag ends and the window begins to close before any question of the naming policy.
    runOnMainThread(
        this,
        [this, destination, files = ArchiveNaming::getsFileURLSFromDragOperation(urls)] {
            Q_EMIT quickZipRequested(destination, files);
        },
        kAfterDrop);
}

void QuickZipFlow::chooseDestination(const DestinationList &choices, const Choice &chosen)
{
    if (!m_keyboardWindow) {
        m_keyboardWindow = std::make_unique<QuickZipWindow>(QuickZipWindow::Input::Keyboard);
        connect(m_keyboardWindow.get(), &QuickZipWindow::destinationChosen, this, &QuickZipFlow::keyboardChoiceMade);
        connect(m_keyboardWindow.get(), &QuickZipWindow::dismissed, this, [this] { keyboardChoiceMade(nullptr); });
    }
    m_keyboardWindow->hide();
    m_keyboardChoice = chosen;
    DestinationGrid *grid = m_keyboardWindow->destinationGrid();
    grid->setDestinations(choices, 0);
    m_keyboardWindow->showWithFrame(StatusItemPlacement::quickZipWindowFrame(
        m_pad->frameGeometry(), grid->size(), m_pad->screen()->availableGeometry()));
}

void QuickZipFlow::quickZipByKeyboard(const QList<QUrl> &files)
{
    chooseDestination(m_destinations->zippableDestinations(), [this, files](const DestinationPointer &destination) {
        if (destination)
            Q_EMIT quickZipRequested(destination, files);
    });
}

void QuickZipFlow::keyboardChoiceMade(const DestinationPointer &destination)
{
    m_keyboardWindow->fadeOut([] {});
    // The window begins to close before the request asks its questions.
    if (const Choice chosen = std::exchange(m_keyboardChoice, {}))
        runOnMainThread(
            this, [chosen, destination] { chosen(destination); }, kAfterDrop);
}

void QuickZipFlow::serve(DestinationGrid *grid)
{
    grid->setTakesDrops(true);
    grid->setRemover(
        [destinations = m_destinations](Destination *destination) { return destinations->remove(destination); });
    connect(grid, &DestinationGrid::filesDropped, this, &QuickZipFlow::tileDrop);
}
