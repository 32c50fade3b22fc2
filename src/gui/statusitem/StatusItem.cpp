#include "StatusItem.h"

#include "DropPad.h"
#include "gui/support/Alerts.h"
#include "gui/support/UtilitiesWindows.h"

#include <QCursor>
#include <QIcon>
#include <QMenu>
#include <QPointer>
#include <QSystemTrayIcon>

using namespace Qt::Literals::StringLiterals;

StatusItem::StatusItem()
    : m_menu(std::make_unique<QMenu>(u"Tessary"_s))
    , m_pad(std::make_unique<DropPad>())
{
    connect(m_pad.get(), &DropPad::clicked, this, &StatusItem::popUpMenuAtPad);
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_trayIcon = new QSystemTrayIcon(QIcon(u":/images/TessaryStatusItemImage.svg"_s), this);
    m_trayIcon->setToolTip(u"Tessary"_s);
    m_trayIcon->setContextMenu(m_menu.get());
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            m_menu->popup(QCursor::pos());
    });
    m_trayIcon->show();
    // Where the desktop has no notification service, its tray tells the user.
    Alerts::setSystemNotificationFallback(
        [tray = QPointer<QSystemTrayIcon>(m_trayIcon)](const QString &title, const QString &details) {
            if (tray)
                tray->showMessage(title, details);
        });
}

StatusItem::~StatusItem() = default;

void StatusItem::popUpMenuAtPad()
{
    m_menu->popup(m_pad->mapToGlobal(QPoint(0, m_pad->height())));
}
