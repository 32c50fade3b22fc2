#include "MinimumWait.h"

#include "ThreadHops.h"

void MinimumWait::waitAtLeast(const QObject *receiver, double seconds, std::function<void()> work) const
{
    const double remaining = seconds - static_cast<double>(m_start.elapsed()) / 1000.0;
    if (remaining > 0)
        runOnMainThread(receiver, std::move(work), remaining);
    else
        work();
}
