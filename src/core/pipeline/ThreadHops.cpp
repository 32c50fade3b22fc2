#include "ThreadHops.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <cmath>

namespace {

// Jobs wait on child processes and transfers rather than compute, so the pool's size bounds
// how many can wait at once, not how many cores they use.
constexpr int kMaximumBackgroundThreads = 256;
constexpr int kIdleThreadExpiryMs = 30 * 1000;

QThreadPool &backgroundPool()
{
    static QThreadPool *pool = [] {
        auto *made = new QThreadPool;
        made->setMaxThreadCount(kMaximumBackgroundThreads);
        made->setExpiryTimeout(kIdleThreadExpiryMs);
        return made;
    }();
    return *pool;
}

} // namespace

bool isMainThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

void runOnMainThread(std::function<void()> work, double afterDelay)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (app == nullptr)
        return;
    const auto delayMs = static_cast<int>(std::max(0.0, std::floor(afterDelay * 1000.0)));
    // The hop onto the GUI thread comes first; the timer is then started there, where it has an
    // event loop to fire in.
    QMetaObject::invokeMethod(
        app,
        [app, delayMs, work = std::move(work)]() mutable {
            if (delayMs == 0)
                work();
            else
                QTimer::singleShot(delayMs, Qt::PreciseTimer, app, std::move(work));
        },
        Qt::QueuedConnection);
}

void runOnMainThread(std::function<void()> work)
{
    if (isMainThread()) {
        work();
        return;
    }
    QCoreApplication *app = QCoreApplication::instance();
    if (app != nullptr)
        QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
}

void runOnMainThread(const QObject *receiver, std::function<void()> work, double afterDelay)
{
    const auto delayMs = static_cast<int>(std::max(0.0, std::floor(afterDelay * 1000.0)));
    // A timer bound to the receiver goes with it; a delay of 0 still waits for the event loop.
    QTimer::singleShot(delayMs, Qt::PreciseTimer, receiver, std::move(work));
}

void runInBackground(std::function<void()> work)
{
    backgroundPool().start(std::move(work));
}

bool waitForBackgroundWork(int milliseconds)
{
    return backgroundPool().waitForDone(milliseconds);
}
