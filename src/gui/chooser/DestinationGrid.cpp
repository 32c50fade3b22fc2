#include "DestinationGrid.h"

#include "DestinationTile.h"
#include "PointerHover.h"
#include "core/destinations/DestinationDummy.h"
#include "core/pipeline/ThreadHops.h"
#include "core/support/Utilities.h"
#include "gui/support/Alerts.h"
#include "gui/support/UtilitiesWindows.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr double kReloadDelay = 0.01;
constexpr double kTimerRestartDelay = 0.2;
constexpr int kCaptionPadding = 6;

// The number of columns for n Destinations when the owner gives none.
int columnCountForDestinations(qsizetype count)
{
    switch (count) {
    case 0:
        return 3;
    case 1:
    case 2:
    case 4:
        return 2;
    case 3:
    case 5:
    case 6:
        return 3;
    default:
        return count % 3 == 0 ? 3 : 4;
    }
}
} // namespace

DestinationGrid::DestinationGrid(const QSizeF &iconSize, QWidget *parent)
    : QWidget(parent)
    , m_iconSize(iconSize)
    , m_grid(new QWidget(this))
    , m_currentDestinationNameLabel(new QLabel(this))
    , m_hover(new PointerHover(this))
{
    m_grid->setGeometry(0, 0, 100, 100);
    m_currentDestinationNameLabel->setGeometry(0, 0, 100, 100);
    QPalette caption = m_currentDestinationNameLabel->palette();
    caption.setColor(QPalette::WindowText, UtilitiesWindows::interfaceCaptionColor());
    caption.setColor(QPalette::Window, UtilitiesWindows::interfaceBackgroundColor());
    m_currentDestinationNameLabel->setPalette(caption);
    m_currentDestinationNameLabel->setAutoFillBackground(true);
    m_currentDestinationNameLabel->setContentsMargins(kCaptionPadding, 0, kCaptionPadding, 0);
    connect(m_hover, &PointerHover::pointerAt, this, &DestinationGrid::hoverAt);
}

DestinationGrid::~DestinationGrid() = default;

void DestinationGrid::setDestinations(const DestinationList &destinations, int columnCount)
{
    m_destinations = destinations;
    const int columns = columnCount != 0 ? columnCount : columnCountForDestinations(destinations.size());
    while (m_destinations.size() % columns != 0)
        m_destinations.append(std::make_shared<DestinationDummy>());
    m_columnCount = columns;
    m_rowCount = m_destinations.size() / columns;

    const int width = qRound(static_cast<double>(m_columnCount) * m_iconSize.width());
    const int height = qRound(static_cast<double>(m_rowCount) * m_iconSize.height());
    m_grid->setGeometry(0, 0, width, height);
    m_currentDestinationNameLabel->setGeometry(0, height, width, CaptionHeight);
    setFixedSize(width, height + CaptionHeight);
    reloadTiles();
}

void DestinationGrid::reloadTiles()
{
    m_hover->pause();
    runOnMainThread(
        this, [this] { rebuildTiles(); }, kReloadDelay);
    runOnMainThread(
        this, [this] { m_hover->resume(); }, kTimerRestartDelay);
}

void DestinationGrid::rebuildTiles()
{
    // While another window asks its question (a removal's confirmation, say), the tiles stay as
    // they are: one of them may be the one whose click asked it.
    if (PointerHover::isBehindModalWindow(this)) {
        runOnMainThread(
            this, [this] { rebuildTiles(); }, kReloadDelay);
        return;
    }
    // The old tiles go once the call that asked for the rebuild (a tile's own, maybe) is over;
    // none of the new ones is chosen yet.
    setHilitedTile(nullptr);
    for (DestinationTile *tile : std::as_const(m_tiles)) {
        tile->hide();
        tile->deleteLater();
    }
    m_tiles.clear();
    const QSize side = m_iconSize.toSize();
    for (qsizetype i = 0; i < m_destinations.size(); ++i) {
        auto *tile = new DestinationTile(m_grid);
        tile->setGeometry(
            QRect(QPoint(int(i % m_columnCount) * side.width(), int(i / m_columnCount) * side.height()), side));
        Destination *destination = m_destinations.at(i).get();
        tile->setDestination(destination);
        describeTile(tile);
        // A rename shows at once: on the tile, and in the caption while the tile is highlighted.
        connect(destination, &Destination::destinationDidChange, tile, [this, tile] { describeTile(tile); });
        connect(tile, &DestinationTile::hiliteChanged, this, [this](DestinationTile *changed, bool hilited) {
            if (hilited)
                setHilitedTile(changed);
            else if (changed == m_hilitedTile)
                setHilitedTile(nullptr);
        });
        connect(tile, &DestinationTile::filesDropped, this,
            [this, destination = m_destinations.at(i)](DestinationTile *, const QList<QUrl> &urls) {
                if (m_takesDrops)
                    Q_EMIT filesDropped(destination, urls);
            });
        // The question comes once the delete button has finished with its click.
        connect(tile, &DestinationTile::removalRequested, this, [this, destination = m_destinations.at(i)] {
            runOnMainThread(this, [this, destination] { confirmRemoval(destination); });
        });
        connect(tile, &DestinationTile::pressed, this,
            [this, destination = m_destinations.at(i)](DestinationTile *pressed) {
                pressTile(pressed);
                if (pressed == m_hilitedTile)
                    Q_EMIT tileClicked(destination);
            });
        tile->setAcceptDrops(m_takesDrops);
        tile->show();
        m_tiles << tile;
    }
    showFocus();
}

void DestinationGrid::describeTile(DestinationTile *tile)
{
    const QString name = tile->destination()->name();
    tile->setToolTip(name);
    tile->setAccessibleName(name);
    if (tile == m_hilitedTile)
        m_currentDestinationNameLabel->setText(name);
}

void DestinationGrid::setTakesDrops(bool takesDrops)
{
    m_takesDrops = takesDrops;
    for (DestinationTile *tile : std::as_const(m_tiles))
        tile->setAcceptDrops(takesDrops);
}

void DestinationGrid::setInteractionOptions(int options)
{
    m_interactionOptions = options;
    // Reached with Tab; a click picks a tile without taking the keyboard from the name field.
    setFocusPolicy((options & InteractionClickHighlights) != 0 ? Qt::TabFocus : Qt::NoFocus);
    m_hover->setEnabled((options & (InteractionHover | InteractionHoverAlternate)) != 0);
}

DestinationPointer DestinationGrid::hilitedDestination() const
{
    if (!m_hilitedTile)
        return nullptr;
    const Destination *hilited = m_hilitedTile->destination();
    const auto found = std::find_if(m_destinations.cbegin(), m_destinations.cend(),
        [hilited](const DestinationPointer &destination) { return destination.get() == hilited; });
    return found != m_destinations.cend() ? *found : nullptr;
}

QString DestinationGrid::caption() const
{
    return m_currentDestinationNameLabel->text();
}

void DestinationGrid::setHilitedTile(DestinationTile *tile)
{
    if (tile == m_hilitedTile)
        return;
    const QPointer<DestinationTile> previous = m_hilitedTile;
    m_hilitedTile = tile;
    if (previous)
        previous->setHilite(false);
    m_currentDestinationNameLabel->setText(u""_s);
    if (tile != nullptr && tile == m_hilitedTile && tile->destination() != nullptr)
        m_currentDestinationNameLabel->setText(tile->destination()->name());
    showFocus();
}

void DestinationGrid::showFocus()
{
    // The chosen tile, or the first before any is chosen, is where the keys act.
    DestinationTile *inFocus = m_hilitedTile ? m_hilitedTile.data() : m_tiles.value(0);
    for (DestinationTile *tile : std::as_const(m_tiles))
        tile->setShowsFocus(hasFocus() && tile == inFocus);
}

void DestinationGrid::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    showFocus();
}

void DestinationGrid::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    showFocus();
}

void DestinationGrid::confirmRemoval(const DestinationPointer &destination)
{
    if (!Alerts::getConfirmation(u"Remove Destination?"_s,
            u"Are you sure you wish to remove this \"%1\" Destination?"_s.arg(destination->name()), u"Remove"_s))
        return;
    if (!m_remover || !m_remover(destination.get()))
        return;
    // Gone from the grid at once, so that a rebuild meanwhile leaves it out too; its tile shrinks
    // away before the others close up (the grid's tiles are its own: the animation ends with the
    // grid at the latest).
    if (m_destinations.removeIf([&destination](const DestinationPointer &element) { return element == destination; })
        > 0)
        m_destinations.append(std::make_shared<DestinationDummy>());
    const auto going = std::find_if(m_tiles.cbegin(), m_tiles.cend(),
        [&destination](const DestinationTile *tile) { return tile->destination() == destination.get(); });
    if (going != m_tiles.cend())
        (*going)->prepareForDeletionWithCompletion([this] { reloadTiles(); });
    else
        reloadTiles();
}

void DestinationGrid::pressTile(DestinationTile *tile)
{
    Destination *destination = tile->destination();
    if (destination == nullptr || !destination->traits().testFlag(Destination::Interactive))
        return;
    // The add tile acts; it is never the Destination chosen.
    if ((m_interactionOptions & InteractionClickHighlights) != 0
        && destination->type() != Destination::DestinationTypeAddDestination)
        tile->setHilite(true);
    if ((m_interactionOptions & InteractionClickActs) != 0)
        destination->handleClickAction();
}

void DestinationGrid::hoverAt(const QPoint &globalPosition)
{
    const QPoint pointer = m_grid->mapFromGlobal(globalPosition);
    DestinationTile *under = nullptr;
    for (DestinationTile *tile : std::as_const(m_tiles))
        if (tile->geometry().contains(pointer))
            under = tile;
    setHilitedTile(under);
    if (under == m_configurableTile)
        return;
    if (m_configurableTile)
        m_configurableTile->showConfigureButtons(false);
    m_configurableTile = under;
    if (under != nullptr)
        under->showConfigureButtons(true);
}

void DestinationGrid::keyPressEvent(QKeyEvent *event)
{
    const qsizetype chosen = m_tiles.indexOf(m_hilitedTile.data());
    // Until a tile is chosen, the keys act from the first, which shows the focus.
    const qsizetype current = std::max<qsizetype>(chosen, 0);
    qsizetype next = -1;
    switch (event->key()) {
    case Qt::Key_Left:
        next = current - 1;
        break;
    case Qt::Key_Right:
        next = current + 1;
        break;
    case Qt::Key_Up:
        next = current - m_columnCount;
        break;
    case Qt::Key_Down:
        next = current + m_columnCount;
        break;
    case Qt::Key_Space:
        next = current;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The tile in focus is chosen, and the window does the rest.
        if (chosen < 0 && !m_tiles.isEmpty())
            pressTile(m_tiles.first());
        event->ignore();
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    // As a click would, where there is a tile that can be picked; off the grid, the choice stays.
    if (next < 0 || next >= m_tiles.size())
        next = chosen < 0 ? 0 : chosen;
    if (next < m_tiles.size())
        pressTile(m_tiles.at(next));
}

void DestinationGrid::paintEvent(QPaintEvent *event)
{
    QPainter(this).fillRect(event->rect(), UtilitiesWindows::interfaceBackgroundColor());
}
