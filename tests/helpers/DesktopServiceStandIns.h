#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// Stand-ins for the desktop's notification service and file manager on the session bus of a
// private desktop session (tests/helpers/with-desktop-session). They record what they are asked,
// and a notification's button can be chosen as a user would. Registered for the object's life.
class NotificationServiceStandIn final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    /// Each notification: "APP|TITLE|DETAILS|ACTION KEY,BUTTON TEXT,...|sound on or off".
    QStringList received;

    /// Chooses the button of the last notification whose text is given, as a user clicks it.
    void chooseButton(const QString &text);

public Q_SLOTS:
    uint Notify(const QString &appName, uint replacesId, const QString &icon, const QString &summary,
        const QString &body, const QStringList &actions, const QVariantMap &hints, int timeout);

private:
    friend class DesktopServiceStandIns;
    QDBusConnection *m_bus = nullptr;
    QStringList m_lastActions;
};

class FileManagerStandIn final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    /// The items it was asked to show, as URLs.
    QStringList shown;

public Q_SLOTS:
    void ShowItems(const QStringList &uris, const QString &startupId);
};

class DesktopServiceStandIns final
{
public:
    DesktopServiceStandIns();
    ~DesktopServiceStandIns();
    DesktopServiceStandIns(const DesktopServiceStandIns &) = delete;
    DesktopServiceStandIns &operator=(const DesktopServiceStandIns &) = delete;

    /// Whether both took their names on the bus.
    bool isValid() const { return m_valid; }

    NotificationServiceStandIn notifications;
    FileManagerStandIn fileManager;

private:
    QDBusConnection m_bus;
    bool m_valid = false;
};
