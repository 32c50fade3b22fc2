#pragma once

#include "core/support/Error.h"

#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <atomic>
#include <functional>
#include <memory>

class MultiOperation;

// A unit of background work: it runs on a worker thread, reports a progress between 0 and 1
// and a description, and tells its owner through five handlers, always called on the GUI thread,
// that it started, progressed, changed its description, was cancelled, or finished.
//
// Operations are shared objects: create them with std::make_shared. The owner sets the handlers
// it wants (and the object they report to), starts the operation once and may cancel it. The outcome is decided once:
// whichever comes first of the finish being noted and the cancel wins, and exactly that one is reported (a cancel that
// comes after the finish was noted is ignored).
class Operation : public std::enable_shared_from_this<Operation>
{
public:
    using StartedHandler = std::function<void()>;
    using ProgressHandler = std::function<void(float progress)>;
    using DescriptionHandler = std::function<void(const QString &description)>;
    using CancelledHandler = std::function<void()>;
    using FinishedHandler = std::function<void(bool success, const QVariant &results, const Error &error)>;

    /// How an operation was started.
    enum ThreadType { ThreadTypeNotStarted = 0, ThreadTypeMain = 1, ThreadTypeBackground = 2 };

    virtual ~Operation() = default;
    Q_DISABLE_COPY(Operation)

    /// Starts the work on a background worker and returns at once.
    void startOnBackgroundThread();
    /// Starts the work on the GUI thread, always later, never inside this call.
    void startOnMainThread();
    /// Stops the work; the owner hears of it through the cancelled handler, unless the work had
    /// already noted its finish, which is then reported. Cancelling an operation a second time
    /// does nothing. Safe to call from the GUI thread while the work runs.
    void cancel();
    bool isCancelled() const { return m_cancelled.load(); }

    /// The last progress delivered on the GUI thread; 0 at creation.
    float progress() const { return m_progress.load(); }
    QString operationDescription() const;
    int threadType() const { return m_threadType.load(); }

    void setStartedHandler(StartedHandler handler);
    void setProgressHandler(ProgressHandler handler);
    void setDescriptionHandler(DescriptionHandler handler);
    void setCancelledHandler(CancelledHandler handler);
    void setFinishedHandler(FinishedHandler handler);
    /// The object the handlers report to: once it has gone, no handler runs. Set on the GUI thread
    /// before the start; without one, the handlers run for as long as the operation lives.
    void setReceiver(const QObject *receiver);

protected:
    Operation() = default;

    /// The work. An override calls this base first (it schedules the started report), then
    /// works, and may block its thread while it does.
    virtual void startOperating();
    /// Stops the work. An override calls this base first (it decides the outcome for the cancel,
    /// where the finish has not been noted, and schedules the cancelled report), then stops its
    /// work (a child process, a transfer).
    virtual void cancelOperating();

    /// Reports a progress (0..1) from any thread; a value equal to the last one is not reported.
    void setProgress(float progress);
    /// Reports a description from any thread; every call is reported.
    void setOperationDescription(const QString &description);
    /// Ends the work, exactly once, from any thread. A null error means success; the owner hears
    /// of it on the main thread, after a last progress of 1.0 for a success. Nothing once
    /// cancelled.
    void noteOperationFinishedWithResults(const QVariant &results, const Error &error);

private:
    friend class MultiOperation;

    enum Outcome { OutcomeOpen, OutcomeFinished, OutcomeCancelled };
    /// Decides the outcome, unless it is decided already; true when this call decided it.
    bool decideOutcome(Outcome outcome);

    /// The handler as it is set now.
    template <typename Handler> Handler handlerOf(const Handler &member) const
    {
        QMutexLocker locker(&m_lock);
        return member;
    }
    /// Runs the report on the GUI thread, unless the receiver has gone by then.
    void report(std::function<void()> handler);
    /// The work, unless a cancel came before the worker got to it.
    void startOperatingUnlessCancelled();
    /// Drops every handler once the owner has had its last report, so that handlers which hold
    /// their owner do not keep it alive.
    void releaseHandlers();

    mutable QMutex m_lock;
    StartedHandler m_startedHandler;
    ProgressHandler m_progressHandler;
    DescriptionHandler m_descriptionHandler;
    CancelledHandler m_cancelledHandler;
    FinishedHandler m_finishedHandler;
    QString m_operationDescription;
    QPointer<const QObject> m_receiver; // read and written on the GUI thread only
    bool m_hasReceiver = false;

    std::atomic<float> m_progress {0.0F};
    std::atomic<float> m_reportedProgress {0.0F};
    std::atomic<int> m_threadType {ThreadTypeNotStarted};
    std::atomic<bool> m_cancelled {false};
    std::atomic<int> m_outcome {OutcomeOpen};
};
