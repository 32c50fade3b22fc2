#include "Operation.h"

#include "ThreadHops.h"

void Operation::startOnBackgroundThread()
{
    m_threadType = ThreadTypeBackground;
    runInBackground([self = shared_from_this()] { self->startOperatingUnlessCancelled(); });
}

void Operation::startOnMainThread()
{
    m_threadType = ThreadTypeMain;
    runOnMainThread([self = shared_from_this()] { self->startOperatingUnlessCancelled(); }, 0.0);
}

void Operation::startOperatingUnlessCancelled()
{
    if (!isCancelled())
        startOperating();
}

void Operation::cancel()
{
    if (m_cancelled.exchange(true))
        return;
    cancelOperating();
}

void Operation::setReceiver(const QObject *receiver)
{
    m_receiver = receiver;
    m_hasReceiver = receiver != nullptr;
}

void Operation::report(std::function<void()> block)
{
    runOnMainThread(
        [self = shared_from_this(), block = std::move(block)] {
            if (!self->m_hasReceiver || self->m_receiver)
                block();
        },
        0.0);
}

void Operation::startOperating()
{
    if (!startedHandler())
        return;
    report([self = shared_from_this()] {
        if (const StartedHandler block = self->startedHandler())
            block();
    });
}

bool Operation::decideOutcome(Outcome outcome)
{
    int open = OutcomeOpen;
    return m_outcome.compare_exchange_strong(open, outcome);
}

void Operation::cancelOperating()
{
    if (!decideOutcome(OutcomeCancelled))
        return; // the finish was noted first: it is reported
    setFinishedHandler({});
    if (!cancelledHandler())
        return;
    report([self = shared_from_this()] {
        if (const CancelledHandler block = self->cancelledHandler()) {
            block();
            self->releaseHandlers();
        }
    });
}

void Operation::setProgress(float progress)
{
    if (m_reportedProgress.exchange(progress) == progress)
        return;
    report([self = shared_from_this(), progress] {
        self->m_progress = progress;
        if (const ProgressHandler block = self->progressHandler())
            block(progress);
    });
}

void Operation::setOperationDescription(const QString &description)
{
    report([self = shared_from_this(), description] {
        {
            QMutexLocker locker(&self->m_lock);
            self->m_operationDescription = description;
        }
        if (const DescriptionHandler block = self->descriptionHandler())
            block(description);
    });
}

void Operation::noteOperationFinishedWithResults(const QVariant &results, const Error &error)
{
    if (!decideOutcome(OutcomeFinished))
        return; // cancelled first: the cancel is reported
    setCancelledHandler({});
    if (error.isNull())
        setProgress(1.0F);
    if (!finishedHandler())
        return;
    report([self = shared_from_this(), results, error] {
        if (const FinishedHandler block = self->finishedHandler()) {
            block(error.isNull(), results, error);
            self->releaseHandlers();
        }
    });
}

void Operation::releaseHandlers()
{
    QMutexLocker locker(&m_lock);
    m_startedHandler = {};
    m_progressHandler = {};
    m_descriptionHandler = {};
    m_cancelledHandler = {};
    m_finishedHandler = {};
}

QString Operation::operationDescription() const
{
    QMutexLocker locker(&m_lock);
    return m_operationDescription;
}

#define TESSARY_BLOCK_ACCESSORS(Type, getter, setter, member)                                                          \
    Operation::Type Operation::getter() const                                                                          \
    {                                                                                                                  \
        QMutexLocker locker(&m_lock);                                                                                  \
        return member;                                                                                                 \
    }                                                                                                                  \
    void Operation::setter(Type block)                                                                                 \
    {                                                                                                                  \
        QMutexLocker locker(&m_lock);                                                                                  \
        member = std::move(block);                                                                                     \
    }

TESSARY_BLOCK_ACCESSORS(StartedHandler, startedHandler, setStartedHandler, m_startedHandler)
TESSARY_BLOCK_ACCESSORS(ProgressHandler, progressHandler, setProgressHandler, m_progressHandler)
TESSARY_BLOCK_ACCESSORS(DescriptionHandler, descriptionHandler, setDescriptionHandler, m_descriptionHandler)
TESSARY_BLOCK_ACCESSORS(CancelledHandler, cancelledHandler, setCancelledHandler, m_cancelledHandler)
TESSARY_BLOCK_ACCESSORS(FinishedHandler, finishedHandler, setFinishedHandler, m_finishedHandler)

#undef TESSARY_BLOCK_ACCESSORS
