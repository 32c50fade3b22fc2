#include "DestinationGrid.h"

#include "DestinationCell.h"
#include "DestinationTile.h"
#include "core/destinations/DestinationDummy.h"
#include "core/pipeline/ThreadHops.h"
#include "core/support/Utilities.h"
#include "gui/support/Alerts.h"
#include "gui/support/UtilitiesWindows.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr int kInteractionIntervalMs = 100;
constexpr double kReloadDelay = 0.01;
constexpr double kTimerRestartDelay = 0.2;
constexpr int kCaptionPadding = 6;
} // namespace

DestinationGrid::DestinationGrid(const QSizeF &iconSize, QWidget *parent)
    : QWidget(parent)
    , m_iconSize(iconSize)
    , m_grid(new QWidget(this))
    , m_currentDestinationNameLabel(new QLabel(this))
{
    m_grid->setGeometry(0, 0, 100, 100);
    m_currentDestinationNameLabel->setGeometry(0, 0, 100, 100);
    QPalette caption = m_currentDestinationNameLabel->palette();
    caption.setColor(QPalette::WindowText, captionColor());
    caption.setColor(QPalette::Window, UtilitiesWindows::interfaceBackgroundColor());
    m_currentDestinationNameLabel->setPalette(caption);
    m_currentDestinationNameLabel->setAutoFillBackground(true);
    m_currentDestinationNameLabel->setContentsMargins(kCaptionPadding, 0, kCaptionPadding, 0);
    m_interactionTimer.setInterval(kInteractionIntervalMs);
    connect(&m_interactionTimer, &QTimer::timeout, this, &DestinationGrid::trackPointer);
}

DestinationGrid::~DestinationGrid() = default;

QColor DestinationGrid::captionColor()
{
    return {90, 90, 90};
}

int DestinationGrid::columnCountForDestinations(qsizetype count)
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
    m_interactionTimer.stop();
    runOnMainThread(
        this, [this] { rebuildCells(); }, kReloadDelay);
    runOnMainThread(
        this, [this] { maintainInteractionTimer(); }, kTimerRestartDelay);
}

bool DestinationGrid::isBehindModalWindow() const
{
    const QWidget *modal = QApplication::activeModalWidget();
    return modal != nullptr && modal != window();
}

void DestinationGrid::rebuildCells()
{
    // While another window asks its question (a removal's confirmation, say), the tiles stay as
    // they are: one of them may be the one whose click asked it.
    if (isBehindModalWindow()) {
        runOnMainThread(
            this, [this] { rebuildCells(); }, kReloadDelay);
        return;
    }
    // The old tiles go once the call that asked for the rebuild (a tile's own, maybe) is over.
    for (DestinationCell *cell : std::as_const(m_cells)) {
        cell->hide();
        cell->deleteLater();
    }
    m_cells.clear();
    const QSize tile = m_iconSize.toSize();
    for (qsizetype i = 0; i < m_destinations.size(); ++i) {
        auto *cell = new DestinationCell(m_grid);
        cell->setGeometry(
            QRect(QPoint(int(i % m_columnCount) * tile.width(), int(i / m_columnCount) * tile.height()), tile));
        Destination *destination = m_destinations.at(i).get();
        cell->setDestination(destination);
        describeCell(cell);
        // A rename shows at once: on the tile, and in the caption while the tile is highlighted.
        connect(destination, &Destination::destinationDidChange, cell, [this, cell] { describeCell(cell); });
        cell->setOwningGrid(this);
        cell->destinationTile()->setAcceptDrops(m_takesDrops);
        cell->show();
        m_cells << cell;
    }
    showFocus();
}

void DestinationGrid::describeCell(DestinationCell *cell)
{
    const QString name = cell->destination()->name();
    cell->destinationTile()->setToolTip(name);
    cell->destinationTile()->setAccessibleName(name);
    if (cell == m_hilitedCell)
        m_currentDestinationNameLabel->setText(name);
}

void DestinationGrid::setTakesDrops(bool takesDrops)
{
    m_takesDrops = takesDrops;
    for (DestinationCell *cell : std::as_const(m_cells))
        cell->destinationTile()->setAcceptDrops(takesDrops);
}

void DestinationGrid::setInteractionOptions(int options)
{
    m_interactionOptions = options;
    // Reached with Tab; a click picks a tile without taking the keyboard from the name field.
    setFocusPolicy((options & InteractionClickHighlights) != 0 ? Qt::TabFocus : Qt::NoFocus);
    maintainInteractionTimer();
}

void DestinationGrid::maintainInteractionTimer()
{
    m_interactionTimer.stop();
    if ((m_interactionOptions & (InteractionHover | InteractionHoverAlternate)) != 0 && isVisible())
        m_interactionTimer.start();
}

void DestinationGrid::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    maintainInteractionTimer();
}

void DestinationGrid::hideEvent(QHideEvent *event)
{
    m_interactionTimer.stop();
    QWidget::hideEvent(event);
}

QString DestinationGrid::caption() const
{
    return m_currentDestinationNameLabel->text();
}

void DestinationGrid::setHilitedCell(DestinationCell *cell)
{
    if (cell == m_hilitedCell)
        return;
    const QPointer<DestinationCell> previous = m_hilitedCell;
    m_hilitedCell = cell;
    if (previous)
        previous->setHilite(false);
    m_currentDestinationNameLabel->setText(u""_s);
    if (cell != nullptr && cell == m_hilitedCell && cell->destination() != nullptr)
        m_currentDestinationNameLabel->setText(cell->destination()->name());
    showFocus();
}

void DestinationGrid::showFocus()
{
    // The chosen tile, or the first before any is chosen, is where the keys act.
    DestinationCell *inFocus = m_hilitedCell ? m_hilitedCell.data() : m_cells.value(0);
    for (DestinationCell *cell : std::as_const(m_cells))
        cell->destinationTile()->setShowsFocus(hasFocus() && cell == inFocus);
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

void DestinationGrid::setConfigurableCell(DestinationCell *cell)
{
    if (cell == m_configurableCell)
        return;
    if (m_configurableCell)
        m_configurableCell->showConfigureButtons(false);
    m_configurableCell = cell;
    if (cell != nullptr)
        cell->showConfigureButtons(true);
}

void DestinationGrid::destinationCellDidBecomeHilited(DestinationCell *cell)
{
    setHilitedCell(cell);
}

void DestinationGrid::destinationCellDidBecomeUnhilited(DestinationCell *cell)
{
    if (cell == m_hilitedCell)
        setHilitedCell(nullptr);
}

void DestinationGrid::destinationCellDidReceiveDrag(DestinationCell *cell, const QList<QUrl> &urls)
{
    if (!m_takesDrops)
        return;
    const auto dropped = std::find_if(m_destinations.cbegin(), m_destinations.cend(),
        [cell](const DestinationPointer &destination) { return destination.get() == cell->destination(); });
    if (dropped != m_destinations.cend())
        Q_EMIT filesDropped(*dropped, urls);
}

void DestinationGrid::destinationCellDidHaveDeleteSelected(DestinationCell *cell)
{
    const auto chosen = std::find_if(m_destinations.cbegin(), m_destinations.cend(),
        [cell](const DestinationPointer &destination) { return destination.get() == cell->destination(); });
    if (chosen == m_destinations.cend())
        return;
    // The question comes once the delete button has finished with its click.
    runOnMainThread(this, [this, destination = *chosen] { confirmRemoval(destination); });
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
    const auto tile = std::find_if(m_cells.cbegin(), m_cells.cend(),
        [&destination](const DestinationCell *cell) { return cell->destination() == destination.get(); });
    if (tile != m_cells.cend())
        (*tile)->prepareForDeletionWithCompletion([this] { reloadTiles(); });
    else
        reloadTiles();
}

void DestinationGrid::destinationCellDidReceiveMouseDown(DestinationCell *cell)
{
    Destination *destination = cell->destination();
    if (destination == nullptr || !destination->allowsUserInteraction())
        return;
    // The add tile acts; it is never the Destination chosen.
    if ((m_interactionOptions & InteractionClickHighlights) != 0
        && destination->type() != Destination::DestinationTypeAddDestination)
        cell->setHilite(true);
    if ((m_interactionOptions & InteractionClickActs) != 0)
        destination->handleClickAction();
}

void DestinationGrid::trackPointer()
{
    if (isBehindModalWindow())
        return;
    const QPoint pointer = m_grid->mapFromGlobal(QCursor::pos());
    DestinationCell *under = nullptr;
    for (DestinationCell *cell : std::as_const(m_cells))
        if (cell->geometry().contains(pointer))
            under = cell;
    setHilitedCell(under);
    setConfigurableCell(under);
}

void DestinationGrid::keyPressEvent(QKeyEvent *event)
{
    const qsizetype current = m_cells.indexOf(m_hilitedCell.data());
    qsizetype next = -1;
    switch (event->key()) {
    case Qt::Key_Left:
        next = current - 1;
        break;
    case Qt::Key_Right:
        next = current + 1;
        break;
    case Qt::Key_Up:
        next = current < 0 ? 0 : current - m_columnCount;
        break;
    case Qt::Key_Down:
        next = current < 0 ? 0 : current + m_columnCount;
        break;
    case Qt::Key_Space:
        next = current < 0 ? 0 : current;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The tile in focus is chosen, and the window's default button does the rest.
        if (current < 0)
            pickCellAt(0);
        event->ignore();
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    pickCellAt(std::max<qsizetype>(next, 0));
}

void DestinationGrid::pickCellAt(qsizetype index)
{
    if (index >= m_cells.size() || m_cells.at(index)->destination() == nullptr)
        return;
    destinationCellDidReceiveMouseDown(m_cells.at(index));
}

void DestinationGrid::paintEvent(QPaintEvent *event)
{
    QPainter(this).fillRect(event->rect(), UtilitiesWindows::interfaceBackgroundColor());
}
