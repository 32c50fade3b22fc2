#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <utility>

// The ways work crosses between threads. Every piece of work that reaches the user interface travels
// through the GUI-thread hops; every job body runs through runInBackground(). A reply
// that belongs to an object (a window, the controller) is bound to it: once that receiver has
// gone, the reply is dropped instead of reaching into freed memory.

/// Runs the work on the GUI thread once the delay (seconds) has passed. Always asynchronous,
/// also for a delay of 0 and also when called on the GUI thread.
void runOnMainThread(std::function<void()> work, double afterDelay);

/// Runs the work on the GUI thread: at once when the caller is on it, otherwise as soon as
/// the GUI thread's event loop gets to it.
void runOnMainThread(std::function<void()> work);

/// Runs the work on the GUI thread once the delay (seconds) has passed, unless the receiver (an
/// object of the GUI thread) has gone by then. Always asynchronous. Called from any thread while
/// the receiver lives.
void runOnMainThread(const QObject *receiver, std::function<void()> work, double afterDelay = 0.0);

/// Runs the work on a worker thread of the background pool. Jobs may block their worker while
/// they wait for a child process or a transfer, so the pool is large enough that many jobs run
/// at once without waiting for each other.
void runInBackground(std::function<void()> work);

/// Waits at most the time for the background work to end; true when it has. The pool is never
/// destroyed, so that a job that does not end cannot hold the process at its exit.
bool waitForBackgroundWork(int milliseconds);

/// Whether the caller runs on the GUI thread (the thread of the application object).
bool isMainThread();

/// The callback bound to its receiver: called on the GUI thread once the receiver has gone, it
/// does nothing. Made on the GUI thread, for callbacks that another object keeps and calls later
/// there (a Destination's delivery, a keychain reply).
template <typename Callback> auto boundTo(const QObject *receiver, Callback callback)
{
    return [guard = QPointer<const QObject>(receiver), callback = std::move(callback)](auto &&...arguments) {
        if (guard)
            callback(std::forward<decltype(arguments)>(arguments)...);
    };
}

/// A bound callback sent back to the GUI thread from any thread: the callback runs there, with
/// the arguments it is called with, unless its receiver has gone by then. Made on the GUI thread.
template <typename Callback> auto boundToMainThread(const QObject *receiver, Callback callback)
{
    return [bound = boundTo(receiver, std::move(callback))](
               auto... arguments) { runOnMainThread([bound, arguments...]() mutable { bound(arguments...); }); };
}
