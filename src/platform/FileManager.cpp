#include "FileManager.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QFileInfo>
#include <QPointer>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

void FileManager::reveal(const QString &path, const QObject *receiver, DesktopOpener::Failed failed)
{
    const QString folder = QFileInfo(path).path();
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        DesktopOpener::open(folder, receiver, std::move(failed));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(u"org.freedesktop.FileManager1"_s,
        u"/org/freedesktop/FileManager1"_s, u"org.freedesktop.FileManager1"_s, u"ShowItems"_s);
    call << QStringList {QUrl::fromLocalFile(path).toString()} << QString();
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
        [folder, receiver = QPointer<const QObject>(receiver), failed = std::move(failed)](
            QDBusPendingCallWatcher *done) {
            if (done->isError() && receiver)
                DesktopOpener::open(folder, receiver, failed);
            done->deleteLater();
        });
}
