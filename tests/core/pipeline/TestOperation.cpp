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

std::shared_ptr<ScriptedOperation> finishing(QVariant results = {}, Error error = {})
{
    auto operation = std::make_shared<ScriptedOperation>();
    operation->work
        = [results, error](ScriptedOperation &self) { self.noteOperationFinishedWithResults(results, error); };
    return operation;
}

// Work that waits until it is cancelled and then simply returns without noting a finish.
std::shared_ptr<ScriptedOperation> waitingForCancel()
{
    auto operation = std::make_shared<ScriptedOperation>();
    operation->work = [](ScriptedOperation &self) { self.cancelSignal.tryAcquire(1, 10000); };
    return operation;
}

// Everything an owner hears from an operation.
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
};

std::shared_ptr<Reports> attach(Operation &operation)
{
    auto reports = std::make_shared<Reports>();
    operation.setStartedBlock([reports] {
        reports->threads << QThread::currentThread();
        ++reports->started;
    });
    operation.setProgressBlock([reports](float progress) {
        reports->threads << QThread::currentThread();
        reports->progress << progress;
    });
    operation.setDescriptionBlock([reports](const QString &description) {
        reports->threads << QThread::currentThread();
        reports->descriptions << description;
    });
    operation.setCancelledBlock([reports] {
        reports->threads << QThread::currentThread();
        ++reports->cancelled;
    });
    operation.setFinishedBlock([reports](bool success, const QVariant &results, const Error &error) {
        reports->threads << QThread::currentThread();
        ++reports->finished;
        reports->success = success;
        reports->results = results;
        reports->error = error;
    });
    return reports;
}

} // namespace

class TestOperation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void blocksRunOnTheMainThread();
    void theOutcomeIsDecidedOnce_data();
    void theOutcomeIsDecidedOnce();
    void cancelWhileAChildsFinishIsOnItsWayStartsNoMore();
    void blockingJobsRunAtOnce();

    void multiOperationMapsProgressAndDescriptions();
    void failingChildEndsTheMultiOperation();
    void cancelEndsAfterOnePass_data();
    void cancelEndsAfterOnePass();
};

void TestOperation::blocksRunOnTheMainThread()
{
    auto operation = std::make_shared<ScriptedOperation>();
    operation->work = [](ScriptedOperation &self) {
        self.setOperationDescription(u"working"_s);
        self.setProgress(0.5F);
        self.noteOperationFinishedWithResults(u"done"_s, {});
    };
    const auto reports = attach(*operation);
    operation->startOnBackgroundThread();

    QTRY_COMPARE(reports->finished, 1);
    QVERIFY(operation->workThread.load() != QThread::currentThread());
    QCOMPARE(reports->started, 1);
    QCOMPARE(reports->threads.size(), 5); // started, description, two progress values, finished
    for (QThread *thread : std::as_const(reports->threads))
        QCOMPARE(thread, QThread::currentThread());
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
    const auto operation = waitingForCancel();
    operation->work = {};
    const auto reports = attach(*operation);
    operation->startOnMainThread();
    QTRY_COMPARE(operation->startCount.load(), 1);
    if (finishFirst) {
        operation->noteOperationFinishedWithResults(u"done"_s, {});
        operation->cancel();
    } else {
        operation->cancel();
        operation->noteOperationFinishedWithResults(u"done"_s, {});
    }
    QTRY_COMPARE(reports->finished + reports->cancelled, 1);
    QTest::qWait(400); // nothing more comes
    QCOMPARE(reports->finished, finishFirst ? 1 : 0);
    QCOMPARE(reports->cancelled, finishFirst ? 0 : 1);
    QVERIFY(!operation->finishedBlock() && !operation->cancelledBlock()); // nothing keeps the owner alive
}

void TestOperation::cancelWhileAChildsFinishIsOnItsWayStartsNoMore()
{
    const auto first = waitingForCancel();
    first->work = {};
    const auto second = finishing();
    const auto multi = std::make_shared<MultiOperation>();
    multi->addOperation(first);
    multi->addOperation(second);
    const auto reports = attach(*multi);
    multi->startOnMainThread();
    QTRY_COMPARE(first->startCount.load(), 1);
    first->noteOperationFinishedWithResults({}, {}); // its report to the parent is still queued
    multi->cancel();
    QTRY_COMPARE(reports->cancelled, 1);
    QTest::qWait(400);
    QCOMPARE(second->startCount.load(), 0);
    QCOMPARE(reports->finished, 0);
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
    auto zip = std::make_shared<ScriptedOperation>();
    zip->work = [](ScriptedOperation &self) {
        self.setOperationDescription(u"zipping"_s);
        self.setProgress(0.1F);
        self.noteOperationFinishedWithResults({}, {});
    };
    auto upload = std::make_shared<ScriptedOperation>();
    upload->work = [](ScriptedOperation &self) {
        self.setOperationDescription(u"uploading"_s);
        self.setProgress(0.5F);
        self.noteOperationFinishedWithResults({}, {});
    };
    int childStarts = 0;
    zip->setStartedBlock([&childStarts] { ++childStarts; });

    const auto multi = std::make_shared<MultiOperation>();
    multi->addOperation(zip);
    multi->addOperation(nullptr);
    multi->addOperation(upload);
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
    const auto third = finishing();
    const auto multi = std::make_shared<MultiOperation>();
    multi->addOperation(finishing(u"zip"_s));
    multi->addOperation(finishing({}, failure));
    multi->addOperation(third);
    const auto reports = attach(*multi);
    multi->startOnBackgroundThread();

    QTRY_COMPARE(reports->finished, 1);
    QTest::qWait(400);
    QVERIFY(!reports->success);
    QCOMPARE(reports->error, failure);
    QVERIFY(!reports->progress.isEmpty());
    QVERIFY(reports->progress.last() < 1.0F);
    QCOMPARE(third->startCount.load(), 0);
    const QVariantList results = reports->results.toList();
    QCOMPARE(results.size(), 3);
    QCOMPARE(results.at(0).toString(), u"zip"_s);
    QVERIFY(!results.at(1).isValid());
    QVERIFY(!results.at(2).isValid());
}

void TestOperation::cancelEndsAfterOnePass_data()
{
    QTest::addColumn<bool>("childFinishesOnCancel");
    QTest::newRow("child ends with an error") << true;
    QTest::newRow("child never ends") << false;
}

void TestOperation::cancelEndsAfterOnePass()
{
    QFETCH(bool, childFinishesOnCancel);
    const auto child = waitingForCancel();
    child->finishOnCancel = childFinishesOnCancel;
    const auto next = finishing();
    const auto multi = std::make_shared<MultiOperation>();
    multi->addOperation(child);
    multi->addOperation(next);
    const auto reports = attach(*multi);
    multi->startOnBackgroundThread();
    QTRY_COMPARE(child->startCount.load(), 1);

    multi->cancel();
    QTRY_COMPARE(reports->cancelled, 1);
    QTest::qWait(500);
    QCOMPARE(reports->cancelled, 1);
    QCOMPARE(reports->finished, 0);
    QCOMPARE(child->cancelCount.load(), 1);
    QCOMPARE(next->startCount.load(), 0);
}

QTEST_GUILESS_MAIN(TestOperation)
#include "TestOperation.moc"
