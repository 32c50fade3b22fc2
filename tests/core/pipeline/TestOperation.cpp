#include "core/pipeline/MultiOperation.h"
#include "core/pipeline/Operation.h"
#include "core/support/Utilities.h"

#include <QSemaphore>
#include <QThread>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// An operation whose work the test scripts; it counts how often it was asked to stop.
class ScriptedOperation final : public Operation
{
public:
    using Operation::noteOperationFinishedWithResults;
    using Operation::setOperationDescription;
    using Operation::setProgress;

    std::function<void(ScriptedOperation &)> work;
    /// When set, a cancel ends the work with an error, as a job that stops a child process does.
    bool finishOnCancel = false;

    std::atomic<int> startCount {0};
    std::atomic<int> cancelCount {0};
    std::atomic<QThread *> workThread {nullptr};
    QSemaphore cancelSignal;

protected:
    void startOperating() override
    {
        Operation::startOperating();
        workThread = QThread::currentThread();
        ++startCount;
        if (work)
            work(*this);
    }

    void cancelOperating() override
    {
        Operation::cancelOperating();
        ++cancelCount;
        cancelSignal.release();
        if (finishOnCancel)
            noteOperationFinishedWithResults({}, Utilities::errorWithCode(1, u"stopped"_s));
    }
};

// Work that describes itself and reports its progress, when given those, and finishes.
std::shared_ptr<ScriptedOperation> working(
    const QString &description = {}, float progress = -1, const QVariant &results = {}, const Error &error = {})
{
    auto operation = std::make_shared<ScriptedOperation>();
    operation->work = [=](ScriptedOperation &self) {
        if (!description.isEmpty())
            self.setOperationDescription(description);
        if (progress >= 0)
            self.setProgress(progress);
        self.noteOperationFinishedWithResults(results, error);
    };
    return operation;
}

// Work that waits until it is cancelled and then simply returns without noting a finish.
std::shared_ptr<ScriptedOperation> waitingForCancel()
{
    auto operation = std::make_shared<ScriptedOperation>();
    operation->work = [](ScriptedOperation &self) { self.cancelSignal.tryAcquire(1, 10000); };
    return operation;
}

std::shared_ptr<MultiOperation> multiOf(const QList<std::shared_ptr<Operation>> &children)
{
    auto multi = std::make_shared<MultiOperation>();
    for (const auto &child : children)
        multi->addOperation(child);
    return multi;
}

// Everything an owner hears from an operation, and on which threads.
struct Reports
{
    int started = 0;
    QList<float> progress;
    QStringList descriptions;
    int cancelled = 0;
    int finished = 0;
    bool success = false;
    QVariant results;
    Error error;
    QList<QThread *> threads;

    /// Notes the thread of a report; the reports then note what they carry.
    Reports &heard()
    {
        threads << QThread::currentThread();
        return *this;
    }
};

std::shared_ptr<Reports> attach(Operation &operation)
{
    auto reports = std::make_shared<Reports>();
    operation.setStartedHandler([reports] { ++reports->heard().started; });
    operation.setProgressHandler([reports](float progress) { reports->heard().progress << progress; });
    operation.setDescriptionHandler([reports](const QString &text) { reports->heard().descriptions << text; });
    operation.setCancelledHandler([reports] { ++reports->heard().cancelled; });
    operation.setFinishedHandler([reports](bool success, const QVariant &results, const Error &error) {
        ++reports->heard().finished;
        reports->success = success;
        reports->results = results;
        reports->error = error;
    });
    return reports;
}

// What the running child does when its parent is cancelled.
enum ChildOnCancel { EndsWithAnError, NeverEnds, FinishAlreadyNoted };

} // namespace

class TestOperation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void blocksRunOnTheMainThread();
    void theOutcomeIsDecidedOnce_data();
    void theOutcomeIsDecidedOnce();
    void blockingJobsRunAtOnce();

    void multiOperationMapsProgressAndDescriptions();
    void failingChildEndsTheMultiOperation();
    void cancelEndsAfterOnePass_data();
    void cancelEndsAfterOnePass();
};

void TestOperation::blocksRunOnTheMainThread()
{
    const auto operation = working(u"working"_s, 0.5F, u"done"_s);
    const auto reports = attach(*operation);
    operation->startOnBackgroundThread();

    QTRY_COMPARE(reports->finished, 1);
    QVERIFY(operation->workThread.load() != QThread::currentThread());
    QCOMPARE(reports->started, 1);
    // Started, description, two progress values, finished: all heard on this thread.
    QCOMPARE(reports->threads, QList<QThread *>(5, QThread::currentThread()));
    QCOMPARE(reports->progress, (QList<float> {0.5F, 1.0F}));
    QCOMPARE(operation->progress(), 1.0F);
    QCOMPARE(operation->operationDescription(), u"working"_s);
    QCOMPARE(operation->threadType(), int(Operation::ThreadTypeBackground));
    QVERIFY(reports->success);
    QCOMPARE(reports->results.toString(), u"done"_s);
}

void TestOperation::theOutcomeIsDecidedOnce_data()
{
    QTest::addColumn<bool>("finishFirst");
    QTest::newRow("finish noted, then cancel (before the report has come)") << true;
    QTest::newRow("cancel, then the finish noted") << false;
}

void TestOperation::theOutcomeIsDecidedOnce()
{
    // The two orders are made by hand, on this thread: no timing decides them.
    QFETCH(bool, finishFirst);
    const auto operation = std::make_shared<ScriptedOperation>();
    const auto reports = attach(*operation);
    operation->startOnMainThread();
    QTRY_COMPARE(operation->startCount.load(), 1);
    if (!finishFirst)
        operation->cancel();
    operation->noteOperationFinishedWithResults(u"done"_s, {});
    if (finishFirst)
        operation->cancel();
    QTRY_COMPARE(reports->finished + reports->cancelled, 1);
    QTest::qWait(400); // nothing more comes
    QCOMPARE(reports->finished, finishFirst ? 1 : 0);
    QCOMPARE(reports->cancelled, finishFirst ? 0 : 1);
    QCOMPARE(reports.use_count(), 1); // no handler is left holding what its owner gave it
}

void TestOperation::blockingJobsRunAtOnce()
{
    // Each job waits for all the others to have started: jobs that queued behind each other
    // would never all arrive.
    constexpr int jobCount = 6;
    const auto arrived = std::make_shared<QSemaphore>();
    const auto proceed = std::make_shared<QSemaphore>();
    QList<std::shared_ptr<ScriptedOperation>> operations;
    QList<std::shared_ptr<Reports>> reports;
    for (int i = 0; i < jobCount; ++i) {
        auto operation = std::make_shared<ScriptedOperation>();
        operation->work = [arrived, proceed](ScriptedOperation &self) {
            arrived->release();
            proceed->tryAcquire(1, 10000);
            self.noteOperationFinishedWithResults({}, {});
        };
        reports << attach(*operation);
        operations << operation;
        operation->startOnBackgroundThread();
    }
    const bool allRunning = arrived->tryAcquire(jobCount, 5000);
    proceed->release(jobCount);
    QVERIFY(allRunning);
    for (const auto &report : std::as_const(reports))
        QTRY_COMPARE(report->finished, 1);
}

void TestOperation::multiOperationMapsProgressAndDescriptions()
{
    const auto zip = working(u"zipping"_s, 0.1F);
    int childStarts = 0;
    zip->setStartedHandler([&childStarts] { ++childStarts; });
    const auto multi = multiOf({zip, nullptr, working(u"uploading"_s, 0.5F)});
    QCOMPARE(multi->operations().size(), 2);
    const auto reports = attach(*multi);
    multi->startOnBackgroundThread();

    QTRY_COMPARE(reports->finished, 1);
    QCOMPARE(reports->progress, (QList<float> {0.05F, 0.5F, 0.75F, 1.0F}));
    QCOMPARE(reports->descriptions, (QStringList {u"zipping"_s, u"uploading"_s}));
    QCOMPARE(childStarts, 1); // the child's own started block is left in place
}

void TestOperation::failingChildEndsTheMultiOperation()
{
    const Error failure = Utilities::errorWithCode(6, u"upload failed"_s);
    const auto third = working();
    const auto multi = multiOf({working({}, -1, u"zip"_s), working({}, -1, {}, failure), third});
    const auto reports = attach(*multi);
    multi->startOnBackgroundThread();

    QTRY_COMPARE(reports->finished, 1);
    QTest::qWait(400);
    QVERIFY(!reports->success);
    QCOMPARE(reports->error, failure);
    QVERIFY(!reports->progress.isEmpty());
    QVERIFY(reports->progress.last() < 1.0F);
    QCOMPARE(third->startCount.load(), 0);
    QCOMPARE(reports->results.toList(), (QVariantList {u"zip"_s, QVariant(), QVariant()}));
}

void TestOperation::cancelEndsAfterOnePass_data()
{
    QTest::addColumn<int>("child");
    QTest::newRow("child ends with an error") << int(EndsWithAnError);
    QTest::newRow("child never ends") << int(NeverEnds);
    // The child's finish is noted but its report to the parent is still queued: the next child
    // must not start.
    QTest::newRow("child's finish on its way") << int(FinishAlreadyNoted);
}

void TestOperation::cancelEndsAfterOnePass()
{
    QFETCH(int, child);
    const bool finishNoted = child == FinishAlreadyNoted;
    const auto first = finishNoted ? std::make_shared<ScriptedOperation>() : waitingForCancel();
    first->finishOnCancel = child == EndsWithAnError;
    const auto next = working();
    const auto multi = multiOf({first, next});
    const auto reports = attach(*multi);
    if (finishNoted) // on this thread, so that nothing delivers the report before the cancel
        multi->startOnMainThread();
    else
        multi->startOnBackgroundThread();
    QTRY_COMPARE(first->startCount.load(), 1);
    if (finishNoted)
        first->noteOperationFinishedWithResults({}, {});

    multi->cancel();
    QTRY_COMPARE(reports->cancelled, 1);
    QTest::qWait(500);
    QCOMPARE(reports->cancelled, 1);
    QCOMPARE(reports->finished, 0);
    if (!finishNoted)
        QCOMPARE(first->cancelCount.load(), 1);
    QCOMPARE(next->startCount.load(), 0);
}

QTEST_GUILESS_MAIN(TestOperation)
#include "TestOperation.moc"
