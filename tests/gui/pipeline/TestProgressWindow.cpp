#include "gui/pipeline/ProgressDialog.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QWindow>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {
// Waits until the window is gone (the controller deletes itself then); the seconds it took.
double secondsUntilClosed(const QPointer<ProgressDialog> &controller, const QElapsedTimer &clock)
{
    while (controller && controller->window()->isVisible() && clock.elapsed() < 10000)
        QTest::qWait(20);
    return static_cast<double>(clock.elapsed()) / 1000.0;
}
} // namespace

class TestProgressWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsTheJobAndReportsCancel();
    void comesUpLateAndStaysUpItsMinimumTime_data();
    void comesUpLateAndStaysUpItsMinimumTime();
    void waitsWhileAQuestionIsOpen();
};

void TestProgressWindow::showsTheJobAndReportsCancel()
{
    int cancels = 0;
    // A job's own title and message are shown (see TestZipRequest); without them, these.
    auto *controller = new ProgressDialog(QString(), QString(), [&cancels] { ++cancels; });
    controller->setProgress(0.37F);
    controller->show();

    QWidget *window = controller->window();
    QCOMPARE(window->windowTitle(), u"Progress"_s);
    QCOMPARE(window->findChild<QLabel *>(u"messageTextField"_s)->text(), u"Processing..."_s);
    QCOMPARE(window->findChild<QProgressBar *>(u"progressIndicator"_s)->value(), 37);
    // Space and Return never reach Cancel by themselves; Escape cancels once the user is there.
    auto *cancel = window->findChild<QPushButton *>(u"cancelButton"_s);
    QVERIFY(!cancel->isDefault() && !cancel->autoDefault());
    QVERIFY(window->windowHandle()->flags().testFlag(Qt::WindowDoesNotAcceptFocus));
    QTest::keyClick(window, Qt::Key_Escape);
    QCOMPARE(cancels, 0);
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(4, 4));
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_Escape);
    QCOMPARE(cancels, 1); // the Cancel button itself: TestZipRequest
    QVERIFY(window->isVisible()); // the owner dismisses it once the cancel has taken effect
    window->setWindowState(Qt::WindowFullScreen); // as a window manager's menu would
    QTRY_COMPARE(window->windowState(), Qt::WindowNoState);

    const QPointer<ProgressDialog> alive(controller);
    controller->dismiss();
    QTRY_VERIFY_WITH_TIMEOUT(alive.isNull(), 5000);
}

void TestProgressWindow::comesUpLateAndStaysUpItsMinimumTime_data()
{
    QTest::addColumn<float>("showAfter");
    QTest::addColumn<int>("upForMs"); // how long it has been up when dismissed; quick: since showAfter
    QTest::addColumn<double>("earliest");
    QTest::addColumn<double>("latest");
    QTest::newRow("quick job, never shown") << 1.0F << 500 << 0.0 << 0.1;
    QTest::newRow("dismissed 0.2 s after it came up") << 0.1F << 200 << 1.2 << 3.0;
    QTest::newRow("dismissed 1.7 s after it came up") << 0.1F << 1700 << 0.0 << 0.5;
}

void TestProgressWindow::comesUpLateAndStaysUpItsMinimumTime()
{
    QFETCH(float, showAfter);
    QFETCH(int, upForMs);
    QFETCH(double, earliest);
    QFETCH(double, latest);
    const bool quick = showAfter * 1000 > upForMs;
    auto *controller = new ProgressDialog(u"Job"_s, u"Preparing..."_s, {});
    const QPointer<ProgressDialog> alive(controller);
    controller->showAfter(showAfter);
    if (!quick)
        QTRY_VERIFY(controller->wasShown());
    QTest::qWait(upForMs);
    QCOMPARE(controller->wasShown(), !quick);
    QCOMPARE(controller->window()->isVisible(), !quick);

    QElapsedTimer clock;
    clock.start();
    controller->dismiss();
    const double closedAfter = secondsUntilClosed(alive, clock);
    QVERIFY2(closedAfter >= earliest && closedAfter <= latest, qPrintable(QString::number(closedAfter)));
    QTRY_VERIFY(alive.isNull());
    if (quick)
        QTest::qWait(800); // past the moment it would have come up: its timer went with it
}

void TestProgressWindow::waitsWhileAQuestionIsOpen()
{
    // Staying on top, it would hide the question the job asks: it comes up once it is answered.
    auto *controller = new ProgressDialog(u"Job"_s, u"Uploading..."_s, {});
    const QPointer<ProgressDialog> alive(controller);
    controller->showAfter(0.1F);
    bool shownDuringQuestion = true;
    QTimer::singleShot(600, [&] {
        shownDuringQuestion = controller->wasShown();
        QApplication::activeModalWidget()->close();
    });
    QMessageBox question(QMessageBox::Warning, u"Unverified Certificate"_s, u"Trust it?"_s);
    question.exec();
    QVERIFY(!shownDuringQuestion);
    QTRY_VERIFY(controller->wasShown());
    controller->dismiss();
    QTRY_VERIFY_WITH_TIMEOUT(alive.isNull(), 5000);
}

QTEST_MAIN(TestProgressWindow)
#include "TestProgressWindow.moc"
