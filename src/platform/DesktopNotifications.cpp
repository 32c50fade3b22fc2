#include "DesktopNotifications.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

using namespace Qt::Literals::StringLiterals;

const QString DesktopNotifications::ServiceName = u"org.freedesktop.Notifications"_s;

void DesktopNotifications::notify(const QString &title, const QString &details, std::function<void()> unanswered)
{
    QDBusMessage call
        = QDBusMessage::createMethodCall(ServiceName, u"/org/freedesktop/Notifications"_s, ServiceName, u"Notify"_s);
    const QStringList actions {u"close"_s, u"Close"_s};
    const QVariantMap hints {{u"suppress-sound"_s, true}};
    call << u"Tessary"_s << uint(0) << u"tessary"_s << title << details << actions << hints << -1;

    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        if (unanswered)
            unanswered();
        return;
    }
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
        [unanswered = std::move(unanswered)](QDBusPendingCallWatcher *finished) {
            if (finished->isError() && unanswered)
                unanswered();
            finished->deleteLater();
        });
}
