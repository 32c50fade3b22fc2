#include "DesktopServiceStandIns.h"

#include <QDBusMessage>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kConnectionName = u"desktop service stand-ins"_s;
const QString kNotifications = u"org.freedesktop.Notifications"_s;
const QString kNotificationsPath = u"/org/freedesktop/Notifications"_s;
const QString kFileManager = u"org.freedesktop.FileManager1"_s;
constexpr uint kNotificationId = 7;
} // namespace

uint NotificationServiceStandIn::Notify(const QString &appName, uint, const QString &, const QString &summary,
    const QString &body, const QStringList &actions, const QVariantMap &hints, int)
{
    received << u"%1|%2|%3|%4|sound %5"_s.arg(
        appName, summary, body, actions.join(u','), hints.value(u"suppress-sound"_s).toBool() ? u"off"_s : u"on"_s);
    m_lastActions = actions;
    return kNotificationId;
}

void NotificationServiceStandIn::chooseButton(const QString &text)
{
    const qsizetype index = m_lastActions.indexOf(text);
    if (index < 1 || m_bus == nullptr)
        return;
    QDBusMessage signal = QDBusMessage::createSignal(kNotificationsPath, kNotifications, u"ActionInvoked"_s);
    signal << kNotificationId << m_lastActions.at(index - 1);
    m_bus->send(signal);
}

void FileManagerStandIn::ShowItems(const QStringList &uris, const QString &)
{
    shown << uris;
}

DesktopServiceStandIns::DesktopServiceStandIns()
    : m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, kConnectionName))
{
    notifications.m_bus = &m_bus;
    m_valid = m_bus.registerObject(kNotificationsPath, &notifications, QDBusConnection::ExportAllSlots)
        && m_bus.registerService(kNotifications)
        && m_bus.registerObject(u"/org/freedesktop/FileManager1"_s, &fileManager, QDBusConnection::ExportAllSlots)
        && m_bus.registerService(kFileManager);
}

DesktopServiceStandIns::~DesktopServiceStandIns()
{
    m_bus.unregisterService(kNotifications);
    m_bus.unregisterService(kFileManager);
    QDBusConnection::disconnectFromBus(kConnectionName);
}
