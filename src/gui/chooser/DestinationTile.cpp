#include "DestinationTile.h"

#include "core/destinations/Destination.h"
#include "gui/support/DropAction.h"
#include "gui/support/ImageManager.h"
#include "gui/support/UtilitiesWindows.h"

#include <QCursor>
#include <QDragEnterEvent>
#include <QGraphicsOpacityEffect>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPropertyAnimation>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr double kButtonOpacity = 0.5;
constexpr int kFadeInMs = 200;
// The picture shrinks to a fifth of its size, faster towards the end.
constexpr float kRemovalEnd = 0.2F;
constexpr int kRemovalMs = 300;
constexpr float kInsetFraction = 0.12F;
constexpr qreal kFocusRingWidth = 2.0;
constexpr qreal kFocusRingInset = 3.0;
} // namespace

DestinationTile::DestinationTile(QWidget *parent)
    : QWidget(parent)
{
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
    return m_destination && m_destination->allowsUserInteraction();
}

void DestinationTile::setHilite(bool hilite)
{
    if (hilite == m_hilited)
        return;
    m_hilited = hilite;
    if (hilite)
        Q_EMIT tileDidBecomeHilited(this);
    else
        Q_EMIT tileDidBecomeUnhilited(this);
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

QToolButton *DestinationTile::makeButton(const QString &imageName, int x)
{
    auto *button = new QToolButton(this);
    button->setGeometry(x, ButtonMargin, ButtonSize, ButtonSize);
    button->setAutoRaise(true);
    button->setStyleSheet(u"QToolButton { border: none; background: transparent; }"_s);
    button->setIconSize(QSize(ButtonSize, ButtonSize));
    button->setIcon(QIcon(QPixmap::fromImage(ImageManager::imageNamed(imageName, QSizeF(ButtonSize, ButtonSize)))));
    auto *opacity = new QGraphicsOpacityEffect(button);
    opacity->setOpacity(0.0);
    button->setGraphicsEffect(opacity);
    auto *fadeIn = new QPropertyAnimation(opacity, "opacity", button);
    fadeIn->setDuration(kFadeInMs);
    fadeIn->setEndValue(kButtonOpacity);
    fadeIn->start(QAbstractAnimation::DeleteWhenStopped);
    button->show();
    return button;
}

void DestinationTile::showConfigureButtons(bool show)
{
    if (!show) {
        // A button may be in the middle of its own click: it goes once that is over.
        for (QPointer<QToolButton> *button : {&m_configureButton, &m_deleteButton}) {
            if (*button) {
                (*button)->hide();
                (*button)->deleteLater();
            }
            *button = nullptr;
        }
        return;
    }
    if (!m_destination)
        return;
    if ((m_destination->canBeRenamed() || m_destination->canBeConfigured()) && !m_configureButton) {
        m_configureButton = makeButton(u"ConfigureIcon"_s, width() - ButtonSize - ButtonMargin);
        connect(m_configureButton, &QToolButton::clicked, this, &DestinationTile::configureButtonPressed);
    }
    if (m_destination->canBeDeleted() && !m_deleteButton) {
        m_deleteButton = makeButton(u"CloseIcon"_s, ButtonMargin);
        connect(m_deleteButton, &QToolButton::clicked, this, [this] { Q_EMIT tileDidHaveDeleteSelected(this); });
    }
}

QMenu *DestinationTile::createConfigureMenu()
{
    auto *menu = new QMenu(u"Tessary"_s);
    Destination *destination = m_destination;
    if (destination == nullptr)
        return menu;
    // The dialogs open once the menu has finished with the click that chose them; a Destination
    // that has gone by then opens nothing.
    const auto item = [menu, destination](const QString &title, const std::function<void(Destination &)> &edit) {
        connect(
            menu->addAction(title), &QAction::triggered, destination, [destination, edit] { edit(*destination); },
            Qt::QueuedConnection);
    };
    if (destination->canBeConfigured()) {
        item(u"Configure \"%1\"..."_s.arg(destination->name()),
            [](Destination &chosen) { chosen.configureWithCompletion({}); });
        menu->addSeparator();
    }
    item(u"Change Name..."_s, [](Destination &chosen) { chosen.rename(); });
    return menu;
}

void DestinationTile::configureButtonPressed()
{
    QMenu *menu = createConfigureMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QPoint mouse = QCursor::pos();
    menu->popup(QPoint(mouse.x() - menu->sizeHint().width() / 2, mouse.y() - 20));
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
        Q_EMIT tileDidReceiveDrag(this, event->mimeData()->urls());
        setHilite(false);
    }
}

void DestinationTile::mousePressEvent(QMouseEvent *)
{
    Q_EMIT tileDidReceiveMouseDown(this);
}
