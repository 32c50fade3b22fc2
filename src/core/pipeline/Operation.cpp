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

void Operation::report(std::function<void()> handler)
{
    runOnMainThread(
        [self = shared_from_this(), handler = std::move(handler)] {
            if (!self->m_hasReceiver || self->m_receiver)
                handler();
        },
        0.0);
}

void Operation::startOperating()
{
    if (!handlerOf(m_startedHandler))
        return;
    report([self = shared_from_this()] {
        if (const StartedHandler handler = self->handlerOf(self->m_startedHandler))
            handler();
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
    if (!handlerOf(m_cancelledHandler))
        return;
    report([self = shared_from_this()] {
        if (const CancelledHandler handler = self->handlerOf(self->m_cancelledHandler)) {
            handler();
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
        if (const ProgressHandler handler = self->handlerOf(self->m_progressHandler))
            handler(progress);
    });
}

void Operation::setOperationDescription(const QString &description)
{
    report([self = shared_from_this(), description] {
        {
            QMutexLocker locker(&self->m_lock);
            self->m_operationDescription = description;
        }
        if (const DescriptionHandler handler = self->handlerOf(self->m_descriptionHandler))
            handler(description);
    });
}

void Operation::noteOperationFinishedWithResults(const QVariant &results, const Error &error)
{
    if (!decideOutcome(OutcomeFinished))
        return; // cancelled first: the cancel is reported
    setCancelledHandler({});
    if (error.isNull())
        setProgress(1.0F);
    if (!handlerOf(m_finishedHandler))
        return;
    report([self = shared_from_this(), results, error] {
        if (const FinishedHandler handler = self->handlerOf(self->m_finishedHandler)) {
            handler(error.isNull(), results, error);
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

#define TESSARY_HANDLER_SETTER(Type, setter, member)                                                                   \
    void Operation::setter(Type handler)                                                                               \
    {                                                                                                                  \
        QMutexLocker locker(&m_lock);                                                                                  \
        member = std::move(handler);                                                                                   \
    }

TESSARY_HANDLER_SETTER(StartedHandler, setStartedHandler, m_startedHandler)
TESSARY_HANDLER_SETTER(ProgressHandler, setProgressHandler, m_progressHandler)
TESSARY_HANDLER_SETTER(DescriptionHandler, setDescriptionHandler, m_descriptionHandler)
TESSARY_HANDLER_SETTER(CancelledHandler, setCancelledHandler, m_cancelledHandler)
TESSARY_HANDLER_SETTER(FinishedHandler, setFinishedHandler, m_finishedHandler)

#undef TESSARY_HANDLER_ACCESSORS
