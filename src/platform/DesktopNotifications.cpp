#include "DesktopNotifications.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QHash>

using namespace Qt::Literals::StringLiterals;

const QString DesktopNotifications::ServiceName = u"org.freedesktop.Notifications"_s;

namespace {
const QString kPath = u"/org/freedesktop/Notifications"_s;
const QString kActionKey = u"tessary-action"_s;

// Hears the service tell which notification's action the user chose, and runs it; forgets the
// actions of notifications that have closed.
class ActionListener final : public QObject
{
    Q_OBJECT

public:
    static ActionListener &instance(const QDBusConnection &bus)
    {
        static auto *listener = new ActionListener(bus);
        return *listener;
    }

    void expect(uint id, std::function<void()> action) { m_actions.insert(id, std::move(action)); }

private Q_SLOTS:
    void actionInvoked(uint id, const QString &key)
    {
        if (key == kActionKey)
            if (const std::function<void()> action = m_actions.value(id))
                action();
    }
    void notificationClosed(uint id, uint reason)
    {
        Q_UNUSED(reason);
        m_actions.remove(id);
    }

private:
    explicit ActionListener(QDBusConnection bus)
        : QObject(QCoreApplication::instance())
    {
        const QString service = DesktopNotifications::ServiceName;
        bus.connect(service, kPath, service, u"ActionInvoked"_s, this, SLOT(actionInvoked(uint, QString)));
        bus.connect(service, kPath, service, u"NotificationClosed"_s, this, SLOT(notificationClosed(uint, uint)));
    }

    QHash<uint, std::function<void()>> m_actions;
};
} // namespace

void DesktopNotifications::notify(
    const QString &title, const QString &details, std::function<void()> unanswered, const Action &action)
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        if (unanswered)
            unanswered();
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(ServiceName, kPath, ServiceName, u"Notify"_s);
    const QStringList actions
        = action.invoked ? QStringList {kActionKey, action.text} : QStringList {u"close"_s, u"Close"_s};
    const QVariantMap hints {{u"suppress-sound"_s, true}};
    call << u"Tessary"_s << uint(0) << u"tessary"_s << title << details << actions << hints << -1;
    if (action.invoked)
        ActionListener::instance(bus); // listening before the notification can be answered
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
        [bus, unanswered = std::move(unanswered), invoked = action.invoked](QDBusPendingCallWatcher *finished) {
            const QDBusPendingReply<uint> reply = *finished;
            if (reply.isError()) {
                if (unanswered)
                    unanswered();
            } else if (invoked) {
                ActionListener::instance(bus).expect(reply.value(), invoked);
            }
            finished->deleteLater();
        });
}

#include "DesktopNotifications.moc"
