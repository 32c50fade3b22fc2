#include "Operation.h"

#include "ThreadHops.h"

void Operation::startOnBackgroundThread()
{
    m_threadType = ThreadTypeBackground;
    executeBlockInBackground([self = shared_from_this()] { self->startOperatingUnlessCancelled(); });
}

void Operation::startOnMainThread()
{
    m_threadType = ThreadTypeMain;
    executeBlockOnMainThread([self = shared_from_this()] { self->startOperatingUnlessCancelled(); }, 0.0);
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
    executeBlockOnMainThread(
        [self = shared_from_this(), block = std::move(block)] {
            if (!self->m_hasReceiver || self->m_receiver)
                block();
        },
        0.0);
}

void Operation::startOperating()
{
    if (!startedBlock())
        return;
    report([self = shared_from_this()] {
        if (const StartedBlock block = self->startedBlock())
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
    setFinishedBlock({});
    if (!cancelledBlock())
        return;
    report([self = shared_from_this()] {
        if (const CancelledBlock block = self->cancelledBlock()) {
            block();
            self->releaseBlocks();
        }
    });
}

void Operation::setProgress(float progress)
{
    if (m_reportedProgress.exchange(progress) == progress)
        return;
    report([self = shared_from_this(), progress] {
        self->m_progress = progress;
        if (const ProgressBlock block = self->progressBlock())
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
        if (const DescriptionBlock block = self->descriptionBlock())
            block(description);
    });
}

void Operation::noteOperationFinishedWithResults(const QVariant &results, const Error &error)
{
    if (!decideOutcome(OutcomeFinished))
        return; // cancelled first: the cancel is reported
    setCancelledBlock({});
    if (error.isNull())
        setProgress(1.0F);
    if (!finishedBlock())
        return;
    report([self = shared_from_this(), results, error] {
        if (const FinishedBlock block = self->finishedBlock()) {
            block(error.isNull(), results, error);
            self->releaseBlocks();
        }
    });
}

void Operation::releaseBlocks()
{
    QMutexLocker locker(&m_lock);
    m_startedBlock = {};
    m_progressBlock = {};
    m_descriptionBlock = {};
    m_cancelledBlock = {};
    m_finishedBlock = {};
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

TESSARY_BLOCK_ACCESSORS(StartedBlock, startedBlock, setStartedBlock, m_startedBlock)
TESSARY_BLOCK_ACCESSORS(ProgressBlock, progressBlock, setProgressBlock, m_progressBlock)
TESSARY_BLOCK_ACCESSORS(DescriptionBlock, descriptionBlock, setDescriptionBlock, m_descriptionBlock)
TESSARY_BLOCK_ACCESSORS(CancelledBlock, cancelledBlock, setCancelledBlock, m_cancelledBlock)
TESSARY_BLOCK_ACCESSORS(FinishedBlock, finishedBlock, setFinishedBlock, m_finishedBlock)

#undef TESSARY_BLOCK_ACCESSORS
