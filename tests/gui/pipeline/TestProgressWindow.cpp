#include "core/support/Utilities.h"
#include "gui/pipeline/ProgressWindowController.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QWindow>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {
// Waits until the window is gone (the controller deletes itself then); the seconds it took.
double secondsUntilClosed(const QPointer<ProgressWindowController> &controller, const QElapsedTimer &clock)
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
    void quickJobNeverShowsAWindow();
    void shownWindowStaysUpAtLeastItsMinimumTime_data();
    void shownWindowStaysUpAtLeastItsMinimumTime();
};

void TestProgressWindow::showsTheJobAndReportsCancel()
{
    int cancels = 0;
    // A job's own title and message are shown (see TestZipRequest); without them, these.
    auto *controller = new ProgressWindowController(QString(), QString(), [&cancels] { ++cancels; });
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
    QCOMPARE(cancels, 1);
    cancel->click();
    QCOMPARE(cancels, 2);
    QVERIFY(window->isVisible()); // the owner dismisses it once the cancel has taken effect
    window->setWindowState(Qt::WindowFullScreen); // as a window manager's menu would
    QTRY_COMPARE(window->windowState(), Qt::WindowNoState);

    const QPointer<ProgressWindowController> alive(controller);
    controller->dismiss();
    QTRY_VERIFY_WITH_TIMEOUT(alive.isNull(), 5000);
}

void TestProgressWindow::quickJobNeverShowsAWindow()
{
    auto *controller = new ProgressWindowController(u"Quick"_s, u"Preparing..."_s, {});
    const QPointer<ProgressWindowController> alive(controller);
    QSignalSpy shown(controller, &QObject::destroyed);
    controller->showAfter(1.0F);
    QTest::qWait(500);
    QVERIFY(!controller->wasShown());
    QWidget *window = controller->window();
    controller->dismiss();
    QVERIFY(!window->isVisible());
    QTRY_VERIFY(alive.isNull());
    QTest::qWait(800); // past the moment it would have come up
    QCOMPARE(shown.count(), 1);
}

void TestProgressWindow::shownWindowStaysUpAtLeastItsMinimumTime_data()
{
    QTest::addColumn<int>("upForMs");
    QTest::addColumn<double>("earliest");
    QTest::addColumn<double>("latest");
    QTest::newRow("dismissed 0.2 s after it came up") << 200 << 1.2 << 3.0;
    QTest::newRow("dismissed 1.7 s after it came up") << 1700 << 0.0 << 0.5;
}

void TestProgressWindow::shownWindowStaysUpAtLeastItsMinimumTime()
{
    QFETCH(int, upForMs);
    QFETCH(double, earliest);
    QFETCH(double, latest);
    auto *controller = new ProgressWindowController(u"Job"_s, u"Preparing..."_s, {});
    const QPointer<ProgressWindowController> alive(controller);
    controller->showAfter(0.1F);
    QTRY_VERIFY(controller->wasShown());
    QVERIFY(controller->window()->isVisible());
    QTest::qWait(upForMs);

    QElapsedTimer clock;
    clock.start();
    controller->dismiss();
    const double closedAfter = secondsUntilClosed(alive, clock);
    QVERIFY2(closedAfter >= earliest && closedAfter <= latest, qPrintable(QString::number(closedAfter)));
    QTRY_VERIFY(alive.isNull());
}

QTEST_MAIN(TestProgressWindow)
#include "TestProgressWindow.moc"
