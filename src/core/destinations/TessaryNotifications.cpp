#include "TessaryNotifications.h"

#include "Destination.h"
#include "core/pipeline/ThreadHops.h"

#include <QList>
#include <QPointer>
#include <QRecursiveMutex>

namespace {

// The receivers, guarded by a recursive lock so that a receiver may opt in or out from inside
// its note handler.
struct ReceiverList
{
    QRecursiveMutex lock;
    QList<QPointer<QObject>> receivers;

    void compact()
    {
        receivers.removeIf([](const QPointer<QObject> &receiver) { return receiver.isNull(); });
    }
};

ReceiverList &receiverList()
{
    static ReceiverList list;
    return list;
}

void notify(const char *method, const char *name, Destination *destination)
{
    executeBlockOnMainThread([method, name, destination = QPointer<Destination>(destination)] {
        if (destination.isNull())
            return;
        TessaryNotifications::forReceiversThatRespondTo(method, [name, &destination](QObject *receiver) {
            QMetaObject::invokeMethod(receiver, name, Qt::DirectConnection, Q_ARG(Destination *, destination.data()));
        });
    });
}

} // namespace

void TessaryNotifications::setWantsTessaryNotifications(QObject *receiver, bool wants)
{
    executeBlockOnMainThread([receiver = QPointer<QObject>(receiver), wants] {
        ReceiverList &list = receiverList();
        QMutexLocker locker(&list.lock);
        list.compact();
        if (receiver.isNull())
            return;
        if (wants)
            list.receivers.append(receiver);
        else
            list.receivers.removeOne(receiver);
    });
}

void TessaryNotifications::notifyThatDestinationWasJustAdded(Destination *destination)
{
    notify("noteThatDestinationWasJustAdded(Destination*)", "noteThatDestinationWasJustAdded", destination);
}

void TessaryNotifications::notifyThatDestinationWasJustDeleted(Destination *destination)
{
    notify("noteThatDestinationWasJustDeleted(Destination*)", "noteThatDestinationWasJustDeleted", destination);
}

void TessaryNotifications::forReceiversThatRespondTo(const char *method, const std::function<void(QObject *)> &perform)
{
    executeBlockOnMainThread([method, perform] {
        ReceiverList &list = receiverList();
        QMutexLocker locker(&list.lock);
        list.compact();
        const QList<QPointer<QObject>> receivers = list.receivers;
        for (const QPointer<QObject> &receiver : receivers) {
            if (!receiver.isNull() && receiver->metaObject()->indexOfMethod(method) >= 0)
                perform(receiver.data());
        }
    });
}
