#include "MultiOperation.h"

void MultiOperation::addOperation(const std::shared_ptr<Operation> &operation)
{
    if (!operation)
        return;
    {
        QMutexLocker locker(&m_childrenLock);
        m_operations.append(operation);
    }
    const std::weak_ptr<MultiOperation> weakSelf = std::static_pointer_cast<MultiOperation>(shared_from_this());
    operation->setProgressHandler([weakSelf](float progress) {
        if (const auto self = weakSelf.lock())
            self->childProgressed(progress);
    });
    operation->setDescriptionHandler([weakSelf](const QString &description) {
        if (const auto self = weakSelf.lock())
            self->setOperationDescription(description);
    });
    operation->setCancelledHandler([weakSelf] {
        if (const auto self = weakSelf.lock())
            self->cancel();
    });
    operation->setFinishedHandler([weakSelf](bool, const QVariant &childResults, const Error &error) {
        if (const auto self = weakSelf.lock())
            self->childFinished(childResults, error);
    });
}

void MultiOperation::startOperating()
{
    std::shared_ptr<Operation> first;
    {
        QMutexLocker locker(&m_childrenLock);
        for (qsizetype i = m_results.size(); i < m_operations.size(); ++i)
            m_results.append(QVariant());
        first = m_operations.value(0);
        m_currentOperation = first;
        m_indexOfCurrentOperation = 0;
    }
    if (first)
        first->startOperatingUnlessCancelled();
    else
        noteOperationFinishedWithResults(results(), Error());
}

void MultiOperation::cancelOperating()
{
    Operation::cancelOperating();
    if (const auto current = currentOperation())
        current->cancel();
}

void MultiOperation::childProgressed(float progress)
{
    float index = 0;
    float count = 1;
    {
        QMutexLocker locker(&m_childrenLock);
        index = static_cast<float>(m_indexOfCurrentOperation);
        count = static_cast<float>(m_operations.size());
    }
    setProgress((index + progress) / count);
}

void MultiOperation::childFinished(const QVariant &childResults, const Error &error)
{
    // A cancel that came while the child's finish was on its way ends the sequence here.
    if (isCancelled())
        return;
    if (!error.isNull()) {
        noteOperationFinishedWithResults(results(), error);
        return;
    }

    std::shared_ptr<Operation> next;
    int finishedThreadType = ThreadTypeNotStarted;
    {
        QMutexLocker locker(&m_childrenLock);
        if (childResults.isValid())
            m_results[m_indexOfCurrentOperation] = childResults;
        ++m_indexOfCurrentOperation;
        if (m_indexOfCurrentOperation < m_operations.size()) {
            if (const auto finished = m_currentOperation.lock())
                finishedThreadType = finished->threadType();
            next = m_operations.at(m_indexOfCurrentOperation);
            m_currentOperation = next;
        }
    }

    if (!next)
        noteOperationFinishedWithResults(results(), Error());
    else if (finishedThreadType == ThreadTypeMain)
        next->startOnMainThread();
    else
        next->startOnBackgroundThread();
}

QList<std::shared_ptr<Operation>> MultiOperation::operations() const
{
    QMutexLocker locker(&m_childrenLock);
    return m_operations;
}

QVariantList MultiOperation::results() const
{
    QMutexLocker locker(&m_childrenLock);
    return m_results;
}

std::shared_ptr<Operation> MultiOperation::currentOperation() const
{
    QMutexLocker locker(&m_childrenLock);
    return m_currentOperation.lock();
}

qsizetype MultiOperation::indexOfCurrentOperation() const
{
    QMutexLocker locker(&m_childrenLock);
    return m_indexOfCurrentOperation;
}
