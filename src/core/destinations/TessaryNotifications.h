#pragma once

#include <QObject>

#include <functional>

class Destination;

// Tells the objects that asked for it when a Destination was added to or deleted from the
// user's list. A receiver is any QObject with either or both of the invokable methods
//     Q_INVOKABLE void noteThatDestinationWasJustAdded(Destination *destination);
//     Q_INVOKABLE void noteThatDestinationWasJustDeleted(Destination *destination);
// Receivers are held weakly: a destroyed receiver hears nothing and leaves nothing behind.
// Everything happens on the GUI thread; a call from another thread is queued there.
class TessaryNotifications final
{
public:
    /// Adds the receiver at the end of the list (again, if it is already there), or removes its
    /// first entry.
    static void setWantsTessaryNotifications(QObject *receiver, bool wants);
    static void notifyThatDestinationWasJustAdded(Destination *destination);
    static void notifyThatDestinationWasJustDeleted(Destination *destination);
    /// Calls perform for every receiver, in list order, that has the method (a normalized
    /// signature such as "noteThatDestinationWasJustAdded(Destination*)").
    static void forReceiversThatRespondTo(const char *method, const std::function<void(QObject *)> &perform);
};
