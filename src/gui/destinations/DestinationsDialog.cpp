#include "DestinationsDialog.h"

#include "core/destinations/DestinationListModel.h"
#include "core/pipeline/ThreadHops.h"
#include "core/support/Utilities.h"
#include "gui/chooser/DestinationTile.h"
#include "gui/chooser/DestinationGrid.h"
#include "gui/support/UtilitiesWindows.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr qreal kTileSide = 80.0;
// The grid is laid out again once a removed tile has shrunk away.
constexpr double kAfterRemoval = 0.5;
} // namespace

DestinationsDialog::DestinationsDialog(
    const DestinationListModel &destinations, LocationStore location, std::function<void()> completion)
    : m_destinations(destinations)
    , m_location(std::move(location))
    , m_completion(std::move(completion))
    , m_window(std::make_unique<QWidget>(nullptr,
          Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
              | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)) // sized by its grid: nothing to maximise
    , m_chooser(new DestinationGrid(QSizeF(kTileSide, kTileSide), m_window.get()))
{
    m_window->setWindowTitle(u"Destinations"_s);
    m_window->setObjectName(u"DestinationsWindow"_s);
    m_chooser->setInteractionOptions(
        DestinationGrid::InteractionHoverAlternate | DestinationGrid::InteractionClickActs);
    m_chooser->installEventFilter(this);
    m_window->installEventFilter(this);
    connect(&destinations, &DestinationListModel::destinationAdded, this, [this] { setDestinations(); });
    // A removed tile shrinks away first.
    connect(&destinations, &DestinationListModel::destinationRemoved, this, [this] {
        runOnMainThread(
            this, [this] { setDestinations(); }, kAfterRemoval);
    });
    setDestinations();
}

DestinationsDialog::~DestinationsDialog() = default;

void DestinationsDialog::show()
{
    // The window takes its grid's size before it is placed. Its place is that of its content,
    // which stays the same whatever frame the window manager gives it.
    m_window->setFixedSize(m_chooser->size());
    const QPointF preferred = m_location.first();
    const QRect content = preferred.isNull() ? Utilities::centeredRect(QRectF(QPointF(), m_window->size()),
                              QRectF(QGuiApplication::primaryScreen()->availableGeometry()))
                                                   .toRect()
                                             : QRect(preferred.toPoint(), m_window->size());
    m_window->setGeometry(content);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    m_shown = true;
}

void DestinationsDialog::setDestinations()
{
    // As many columns as the quick-zip grid has for the same list: the user meets one shape.
    m_chooser->setDestinations(m_destinations.destinations(), 0);
}

bool DestinationsDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_chooser && event->type() == QEvent::Resize) {
        m_window->setFixedSize(m_chooser->size());
    } else if (watched == m_window.get() && event->type() == QEvent::Move && m_shown) {
        m_location.second(m_window->geometry().topLeft());
    } else if (watched == m_window.get() && event->type() == QEvent::Close) {
        disconnect(&m_destinations, nullptr, this, nullptr);
        if (m_completion)
            m_completion();
    }
    return false;
}
