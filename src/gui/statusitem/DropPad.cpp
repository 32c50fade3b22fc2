#include "DropPad.h"

#include "StatusItemPlacement.h"
#include "gui/support/DropAction.h"
#include "gui/support/ImageManager.h"
#include "gui/support/UtilitiesWindows.h"
#include "platform/WindowManagerHints.h"

#include <QApplication>
#include <QCursor>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr qreal kImageSide = 26.0;
constexpr qreal kCornerRadius = 8.0;
} // namespace

DropPad::DropPad()
    : QWidget(nullptr,
        Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus
            | Qt::NoDropShadowWindowHint)
{
    setObjectName(u"TessaryDropPad"_s);
    setWindowTitle(u"Tessary Drop Pad"_s);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setAcceptDrops(true);
    setFixedSize(Side, Side);
    // A shape rather than a translucent background: it needs no compositor.
    setMask(QRegion(outline().toFillPolygon().toPolygon()));
    setToolTip(u"Drop files here to zip them; click for the menu"_s);
    WindowManagerHints::keepOutOfTaskbarOnAllWorkspaces(winId());
    // A monitor unplugged must not take the pad with it.
    connect(qApp, &QGuiApplication::screenRemoved, this, [this] { placeAt(pos()); });
}

void DropPad::setHilited(bool hilited)
{
    if (hilited == m_hilited)
        return;
    m_hilited = hilited;
    update();
}

void DropPad::placeAt(const std::optional<QPoint> &place)
{
    const QScreen *primary = QGuiApplication::primaryScreen();
    const QRect primaryArea = primary != nullptr ? primary->availableGeometry() : QRect();
    QList<QRect> areas;
    for (const QScreen *screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    move(place ? StatusItemPlacement::padPlace(*place, size(), areas, primaryArea)
               : StatusItemPlacement::firstPadPlace(size(), primaryArea));
}

void DropPad::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = outline();
    painter.fillPath(
        shape, m_hilited ? UtilitiesWindows::interfaceHiliteColor() : UtilitiesWindows::interfaceBackgroundColor());
    painter.setPen(QPen(QColor(0, 0, 0, 60), 1.0));
    painter.drawPath(shape);
    const QRectF target((width() - kImageSide) / 2.0, (height() - kImageSide) / 2.0, kImageSide, kImageSide);
    painter.drawImage(target, currentImage());
}

QPainterPath DropPad::outline() const
{
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius, kCornerRadius);
    return path;
}

const QImage &DropPad::currentImage()
{
    if (m_imageRatio != devicePixelRatioF()) {
        m_imageRatio = devicePixelRatioF();
        m_image = ImageManager::imageNamed(u"TessaryStatusItemImage"_s, QSizeF(kImageSide, kImageSide));
        m_hilitedImage = ImageManager::tintedImage(m_image, Qt::white, 1.0);
    }
    return m_hilited ? m_hilitedImage : m_image;
}

void DropPad::dragEnterEvent(QDragEnterEvent *event)
{
    // Only files are zipped: anything else is refused while it is dragged. A drop that gets
    // through anyway is looked at when it is dropped.
    if (acceptDragOfFiles(event))
        Q_EMIT dragEntered();
}

void DropPad::dragMoveEvent(QDragMoveEvent *event)
{
    acceptDragOfFiles(event);
}

void DropPad::dragLeaveEvent(QDragLeaveEvent *)
{
    Q_EMIT dragExited();
    // A drag leaves a window that is still under the pointer only when it was given up.
    if (rect().contains(mapFromGlobal(QCursor::pos())))
        Q_EMIT dragCancelled();
}

void DropPad::dropEvent(QDropEvent *event)
{
    if (acceptDropAsCopy(event))
        Q_EMIT dropped(event->mimeData()->urls());
}

void DropPad::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    m_pressPosition = event->globalPosition().toPoint();
    m_placeAtPress = pos();
    m_moving = false;
}

void DropPad::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressPosition || !event->buttons().testFlag(Qt::LeftButton))
        return;
    const QPoint distance = event->globalPosition().toPoint() - *m_pressPosition;
    if (!m_moving && distance.manhattanLength() < QApplication::startDragDistance())
        return;
    m_moving = true;
    move(m_placeAtPress + distance);
}

void DropPad::mouseReleaseEvent(QMouseEvent *)
{
    if (!m_pressPosition)
        return;
    m_pressPosition.reset();
    if (!m_moving) {
        Q_EMIT clicked();
        return;
    }
    m_moving = false;
    placeAt(pos());
    Q_EMIT moved(pos());
}
