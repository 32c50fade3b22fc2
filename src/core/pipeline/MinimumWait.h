#pragma once

#include <QElapsedTimer>

#include <functional>

class QObject;

// Makes something last at least a given time from the moment this object was made.
class MinimumWait final
{
public:
    MinimumWait() { m_start.start(); }

    /// Runs the work once the seconds have passed since creation: later on the GUI thread
    /// (unless the receiver has gone by then), or at once on the caller's thread when they have
    /// passed already.
    void waitAtLeast(const QObject *receiver, double seconds, std::function<void()> work) const;

private:
    QElapsedTimer m_start;
};
