#pragma once

#include "Operation.h"

#include <QList>
#include <QVariantList>

// Runs its children strictly one after another and shows them to its owner as one job: one
// progress (child k of N at p shows as (k + p) / N), the current child's description, one
// cancelled or finished report. The first child's error ends the whole job with that error.
//
// Children are added before the MultiOperation starts; it replaces their progress, description,
// cancelled and finished handlers with its own, which hold the MultiOperation weakly.
class MultiOperation final : public Operation
{
public:
    MultiOperation() = default;

    /// Appends a child; a null operation is ignored.
    void addOperation(const std::shared_ptr<Operation> &operation);

    QList<std::shared_ptr<Operation>> operations() const;
    /// One slot per child once started: the child's results, or an invalid QVariant.
    QVariantList results() const;
    /// The child that runs now (null before the start and once the MultiOperation is gone).
    std::shared_ptr<Operation> currentOperation() const;
    qsizetype indexOfCurrentOperation() const;

protected:
    void startOperating() override;
    void cancelOperating() override;

private:
    void childProgressed(float progress);
    void childFinished(const QVariant &childResults, const Error &error);

    mutable QMutex m_childrenLock;
    QList<std::shared_ptr<Operation>> m_operations;
    QVariantList m_results;
    std::weak_ptr<Operation> m_currentOperation;
    qsizetype m_indexOfCurrentOperation = 0;
};
