#include "TileButtons.h"

#include "core/destinations/Destination.h"
#include "gui/support/ImageManager.h"

#include <QCursor>
#include <QGraphicsOpacityEffect>
#include <QMenu>
#include <QPropertyAnimation>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr double kButtonOpacity = 0.5;
constexpr int kFadeInMs = 200;
} // namespace

TileButtons::TileButtons(QWidget *tile)
    : QObject(tile)
    , m_tile(tile)
{
}

void TileButtons::show(Destination *destination)
{
    m_destination = destination;
    if (destination == nullptr)
        return;
    if (destination->traits() & (Destination::Renamable | Destination::Configurable) && !m_configureButton) {
        m_configureButton = makeButton(u"ConfigureIcon"_s, m_tile->width() - ButtonSize - ButtonMargin);
        connect(m_configureButton, &QToolButton::clicked, this, &TileButtons::popUpConfigureMenu);
    }
    if (destination->traits().testFlag(Destination::Deletable) && !m_deleteButton) {
        m_deleteButton = makeButton(u"CloseIcon"_s, ButtonMargin);
        connect(m_deleteButton, &QToolButton::clicked, this, &TileButtons::deleteClicked);
    }
}

void TileButtons::hide()
{
    for (QPointer<QToolButton> *button : {&m_configureButton, &m_deleteButton}) {
        if (*button) {
            (*button)->hide();
            (*button)->deleteLater();
        }
        *button = nullptr;
    }
}

QToolButton *TileButtons::makeButton(const QString &imageName, int x)
{
    auto *button = new QToolButton(m_tile);
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

QMenu *TileButtons::createConfigureMenu(Destination *destination)
{
    auto *menu = new QMenu(u"Tessary"_s);
    if (destination == nullptr)
        return menu;
    // The dialogs open once the menu has finished with the click that chose them; a Destination
    // that has gone by then opens nothing.
    const auto item = [menu, destination](const QString &title, const std::function<void(Destination &)> &edit) {
        connect(
            menu->addAction(title), &QAction::triggered, destination, [destination, edit] { edit(*destination); },
            Qt::QueuedConnection);
    };
    if (destination->traits().testFlag(Destination::Configurable)) {
        item(u"Configure \"%1\"..."_s.arg(destination->name()),
            [](Destination &chosen) { chosen.configureWithCompletion({}); });
        menu->addSeparator();
    }
    item(u"Change Name..."_s, [](Destination &chosen) { chosen.rename(); });
    return menu;
}

void TileButtons::popUpConfigureMenu()
{
    QMenu *menu = createConfigureMenu(m_destination);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QPoint mouse = QCursor::pos();
    menu->popup(QPoint(mouse.x() - menu->sizeHint().width() / 2, mouse.y() - 20));
}
