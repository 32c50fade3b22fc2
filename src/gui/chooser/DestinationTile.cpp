#include "DestinationTile.h"

#include "TileButtons.h"
#include "core/destinations/Destination.h"
#include "gui/support/DropAction.h"
#include "gui/support/ImageManager.h"
#include "gui/support/UtilitiesWindows.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>

using namespace Qt::Literals::StringLiterals;

namespace {
// The picture shrinks to a fifth of its size, faster towards the end.
constexpr float kRemovalEnd = 0.2F;
constexpr int kRemovalMs = 300;
constexpr float kInsetFraction = 0.12F;
constexpr qreal kFocusRingWidth = 2.0;
constexpr qreal kFocusRingInset = 3.0;
} // namespace

DestinationTile::DestinationTile(QWidget *parent)
    : QWidget(parent)
    , m_buttons(new TileButtons(this))
{
    connect(m_buttons, &TileButtons::deleteClicked, this, [this] { Q_EMIT removalRequested(this); });
    setAcceptDrops(true);
    setGeometry(0, 0, 30, 30);
    m_removal.setStartValue(1.0F);
    m_removal.setEndValue(kRemovalEnd);
    m_removal.setDuration(kRemovalMs);
    m_removal.setEasingCurve(QEasingCurve::InQuad);
}

float DestinationTile::iconInset(float width, float scale)
{
    return kInsetFraction * width / scale;
}

void DestinationTile::setDestination(Destination *destination)
{
    m_destination = destination;
    m_pictureSize = QSizeF();
    update();
}

bool DestinationTile::allowsUserInteraction() const
{
    return m_destination && m_destination->traits().testFlag(Destination::Interactive);
}

void DestinationTile::setHilite(bool hilite)
{
    if (hilite == m_hilited)
        return;
    m_hilited = hilite;
    Q_EMIT hiliteChanged(this, hilite);
    update();
}

void DestinationTile::setShowsFocus(bool shows)
{
    if (shows == m_showsFocus)
        return;
    m_showsFocus = shows;
    update();
}

void DestinationTile::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(),
        m_hilited ? UtilitiesWindows::interfaceHiliteColor() : UtilitiesWindows::interfaceBackgroundColor());
    painter.setPen(QPen(m_hilited ? UtilitiesWindows::interfaceHiliteColor() : QColor(Qt::lightGray), 1));
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    if (m_showsFocus) {
        painter.setPen(QPen(m_hilited ? QColor(Qt::white) : UtilitiesWindows::interfaceHiliteColor(), kFocusRingWidth));
        painter.drawRect(QRectF(rect()).adjusted(kFocusRingInset, kFocusRingInset, -kFocusRingInset, -kFocusRingInset));
    }

    if (!m_destination)
        return;
    const float inset = iconInset(static_cast<float>(width()), m_iconScale);
    const QRectF target = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    if (target.width() <= 0 || target.height() <= 0)
        return;
    const QImage &picture = currentPicture();
    if (picture.isNull())
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture);
}

const QImage &DestinationTile::currentPicture()
{
    // Rendered once for the tile's size; the removal animation only draws it smaller.
    const float inset = iconInset(static_cast<float>(width()), 1.0F);
    const QSizeF size = QRectF(rect()).adjusted(inset, inset, -inset, -inset).size();
    if (m_pictureSize != size) {
        m_pictureSize = size;
        m_picture = m_destination ? ImageManager::iconForDestination(*m_destination, size) : QImage();
        m_hilitedPicture = m_picture.isNull() ? QImage() : ImageManager::tintedImage(m_picture, Qt::white, 1.0);
    }
    return m_hilited ? m_hilitedPicture : m_picture;
}

void DestinationTile::showConfigureButtons(bool show)
{
    if (show)
        m_buttons->show(m_destination);
    else
        m_buttons->hide();
}

void DestinationTile::prepareForDeletionWithCompletion(const std::function<void()> &completion)
{
    m_removal.stop();
    m_removal.disconnect(this);
    connect(&m_removal, &QVariantAnimation::valueChanged, this, [this](const QVariant &scale) {
        m_iconScale = scale.toFloat();
        update();
    });
    connect(&m_removal, &QVariantAnimation::finished, this, [this, completion] {
        m_iconScale = 1.0F;
        if (completion)
            completion();
    });
    m_removal.start();
}

void DestinationTile::dragEnterEvent(QDragEnterEvent *event)
{
    // Only files are zipped: anything else is refused while it is dragged.
    if (acceptDragOfFiles(event) && allowsUserInteraction())
        setHilite(true);
}

void DestinationTile::dragMoveEvent(QDragMoveEvent *event)
{
    acceptDragOfFiles(event);
}

void DestinationTile::dragLeaveEvent(QDragLeaveEvent *)
{
    if (allowsUserInteraction())
        setHilite(false);
}

void DestinationTile::dropEvent(QDropEvent *event)
{
    if (!acceptDropAsCopy(event))
        return;
    if (allowsUserInteraction()) {
        Q_EMIT filesDropped(this, event->mimeData()->urls());
        setHilite(false);
    }
}

void DestinationTile::mousePressEvent(QMouseEvent *)
{
    Q_EMIT pressed(this);
}
