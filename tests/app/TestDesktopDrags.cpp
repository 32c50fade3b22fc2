// Drags as a user makes them, on a real X desktop with a window manager (run by
// helpers/with-x-desktop): Tessary runs as a program of its own, the files are dragged from a
// second program, and xdotool moves the pointer and presses the button.

#include "ArchiveReader.h"
#include "TemporaryHome.h"
#include "TestFiles.h"

#include <QtTest>

#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kQuickZipWindow = u"^Tessary Quick Zip$"_s;
const QString kDropPad = u"^Tessary Drop Pad$"_s;
const QString kDragSource = u"^Tessary Test Drag Source$"_s;
const QString kCustomZipWindow = u"^New Tessary Archive$"_s;
// Far from the pad and from every window.
const QPoint kEmptyDesktop(400, 500);
constexpr int kTile = 80;

QString xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(u"xdotool"_s, arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// The first visible window whose name matches; empty when there is none.
QString windowId(const QString &namePattern)
{
    return xdotool({u"search"_s, u"--onlyvisible"_s, u"--name"_s, namePattern}).section(u'\n', 0, 0);
}

QByteArray windowProperties(const QString &id, const QStringList &names)
{
    QProcess xprop;
    xprop.start(u"xprop"_s, QStringList {u"-id"_s, id} + names);
    xprop.waitForFinished();
    return xprop.readAllStandardOutput();
}

// The frame of the visible window whose name matches, if there is one.
std::optional<QRect> visibleWindow(const QString &namePattern)
{
    const QString id = windowId(namePattern);
    if (id.isEmpty())
        return std::nullopt;
    QMap<QString, int> values;
    const QStringList lines = xdotool({u"getwindowgeometry"_s, u"--shell"_s, id}).split(u'\n');
    for (const QString &line : lines)
        values.insert(line.section(u'=', 0, 0), line.section(u'=', 1).toInt());
    return QRect(values.value(u"X"_s), values.value(u"Y"_s), values.value(u"WIDTH"_s), values.value(u"HEIGHT"_s));
}

void moveTo(const QPoint &point)
{
    xdotool({u"mousemove"_s, QString::number(point.x()), QString::number(point.y())});
}

void button(const QString &action)
{
    xdotool({action, u"1"_s});
}
} // namespace

class TestDesktopDrags : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void aQuickPassOverThePadOpensNothing();
    void aHoldOpensTheWindowAndADropOnATileMakesTheArchive();
    void releasingAnywhereClosesTheWindow();
    void escapeGivesUpTheDragAndTheWindowGoes();
    void aDropOnThePadOpensTheCustomZipWindow();
    void thePadMovedHalfOffTheScreenComesBack();
    void aJobLeavesTheFocusWhereItIs();
    void anotherStartHandsOverToTheRunningCopy();
    void theDestinationsWindowOpensWhereItWasLeft();
    void copiedFilesGoByKeyboard();

private:
    /// Drags the test files from the drag source onto the pad, resting there for the time.
    void dragOntoPad(int restMs);
    QString dragResult();

    TemporaryHome m_home;
    QProcess m_tessary;
    QProcess m_dragSource;
    QRect m_pad;
};

void TestDesktopDrags::initTestCase()
{
    QVERIFY(m_home.isValid());
    QVERIFY(writeFile(m_home.filePath(u"Items/notes.txt"_s), "notes\n"));
    QVERIFY(writeFile(m_home.filePath(u"Items/Photos/beach.jpg"_s), "beach"));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    m_tessary.setProcessEnvironment(environment);
    m_dragSource.setProcessEnvironment(environment);
    m_tessary.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_tessary.start(QStringLiteral(TESSARY_EXECUTABLE));
    QTRY_VERIFY_WITH_TIMEOUT(visibleWindow(kDropPad).has_value(), 20000);
    m_pad = *visibleWindow(kDropPad);
    // With a display the system check passes, and a first launch adds Tessary to the session and
    // opens the introduction (closed here, out of the way of the drags).
    QTRY_VERIFY(QFileInfo::exists(m_home.filePath(u".config/autostart/tessary.desktop"_s)));
    QTRY_VERIFY(!windowId(u"^Welcome to Tessary$"_s).isEmpty());
    xdotool({u"windowclose"_s, windowId(u"^Welcome to Tessary$"_s)});
    QTRY_VERIFY(windowId(u"^Welcome to Tessary$"_s).isEmpty());
    QCOMPARE(m_pad.size(), QSize(40, 40));
    // Tessary's windows carry its icon.
    QVERIFY2(
        windowProperties(windowId(kDropPad), {u"_NET_WM_ICON"_s}).contains("_NET_WM_ICON(CARDINAL) = "), "no icon");
}

void TestDesktopDrags::cleanupTestCase()
{
    QCOMPARE(m_tessary.state(), QProcess::Running); // it never ended by itself
    m_tessary.kill();
    m_tessary.waitForFinished();
}

void TestDesktopDrags::init()
{
    m_dragSource.start(QStringLiteral(TESSARY_DRAG_SOURCE),
        {m_home.filePath(u"Items/notes.txt"_s), m_home.filePath(u"Items/Photos"_s)});
    QTRY_VERIFY_WITH_TIMEOUT(visibleWindow(kDragSource).has_value(), 10000);
}

void TestDesktopDrags::cleanup()
{
    button(u"mouseup"_s);
    m_dragSource.kill();
    m_dragSource.waitForFinished();
    xdotool({u"key"_s, u"--clearmodifiers"_s, u"Escape"_s}); // closes a dialog left open
    QTRY_VERIFY_WITH_TIMEOUT(!visibleWindow(kQuickZipWindow).has_value(), 5000);
}

void TestDesktopDrags::dragOntoPad(int restMs)
{
    moveTo(QPoint(200, 200));
    button(u"mousedown"_s);
    // The drag begins with the first moves.
    moveTo(QPoint(220, 220));
    QTest::qWait(100);
    moveTo(QPoint(260, 240));
    QTest::qWait(100);
    moveTo(m_pad.center());
    QTest::qWait(restMs);
    moveTo(m_pad.center() + QPoint(1, 1));
}

QString TestDesktopDrags::dragResult()
{
    m_dragSource.waitForReadyRead(5000);
    return QString::fromUtf8(m_dragSource.readAllStandardOutput()).trimmed();
}

void TestDesktopDrags::aQuickPassOverThePadOpensNothing()
{
    dragOntoPad(150);
    moveTo(kEmptyDesktop);
    QTest::qWait(1000);
    QVERIFY(!visibleWindow(kQuickZipWindow).has_value());
}

void TestDesktopDrags::aHoldOpensTheWindowAndADropOnATileMakesTheArchive()
{
    dragOntoPad(50);
    QTRY_VERIFY_WITH_TIMEOUT(visibleWindow(kQuickZipWindow).has_value(), 3000);
    const QRect window = *visibleWindow(kQuickZipWindow);
    // The default grid: four columns, "Place on the Desktop" second; under the pad, on the screen.
    QCOMPARE(window.width(), 4 * kTile);
    QCOMPARE(window.top(), m_pad.bottom() + 1);
    QVERIFY(window.right() < 1280);

    const QPoint desktopTile = window.topLeft() + QPoint(kTile + kTile / 2, kTile / 2);
    moveTo(desktopTile - QPoint(0, 10));
    QTest::qWait(300);
    QVERIFY2(visibleWindow(kQuickZipWindow).has_value(), "leaving the pad keeps the window");
    moveTo(desktopTile);
    QTest::qWait(300);
    button(u"mouseup"_s);
    QCOMPARE(dragResult(), u"dropped: copy"_s);

    const QString archive = m_home.desktopPath() + u"/Tessary Archive.zip"_s;
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(archive), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(
        ArchiveReader::listEntries(archive), QStringList({u"notes.txt"_s, u"Photos/"_s, u"Photos/beach.jpg"_s}), 10000);
    QVERIFY(QFileInfo::exists(m_home.filePath(u"Items/notes.txt"_s))); // never moved
}

void TestDesktopDrags::releasingAnywhereClosesTheWindow()
{
    // Each showing stays out of the task bar, the second as the first.
    for (int showing = 1; showing <= 2; ++showing) {
        dragOntoPad(50);
        QTRY_VERIFY_WITH_TIMEOUT(visibleWindow(kQuickZipWindow).has_value(), 3000);
        const QByteArray state = windowProperties(windowId(kQuickZipWindow), {u"_NET_WM_STATE"_s});
        QVERIFY2(state.contains("_NET_WM_STATE_SKIP_TASKBAR"),
            qPrintable(u"showing %1: "_s.arg(showing) + QString::fromUtf8(state)));
        moveTo(kEmptyDesktop);
        QTest::qWait(300);
        button(u"mouseup"_s);
        QCOMPARE(dragResult(), u"dropped: none"_s);
        // 0.1 s of polling and a 0.25 s fade, with room for a busy machine.
        QTRY_VERIFY_WITH_TIMEOUT(!visibleWindow(kQuickZipWindow).has_value(), 3000);
    }
}

void TestDesktopDrags::escapeGivesUpTheDragAndTheWindowGoes()
{
    dragOntoPad(50);
    QTRY_VERIFY_WITH_TIMEOUT(visibleWindow(kQuickZipWindow).has_value(), 3000);
    moveTo(visibleWindow(kQuickZipWindow)->center());
    QTest::qWait(300);
    xdotool({u"key"_s, u"Escape"_s});
    QCOMPARE(dragResult(), u"dropped: none"_s);
    // The button is still down: the window goes all the same.
    QTRY_VERIFY_WITH_TIMEOUT(!visibleWindow(kQuickZipWindow).has_value(), 2000);
    button(u"mouseup"_s);
}

void TestDesktopDrags::aDropOnThePadOpensTheCustomZipWindow()
{
    dragOntoPad(100);
    QTest::qWait(100);
    button(u"mouseup"_s);
    QCOMPARE(dragResult(), u"dropped: copy"_s);
    QTRY_VERIFY_WITH_TIMEOUT(visibleWindow(kCustomZipWindow).has_value(), 5000);
}

void TestDesktopDrags::thePadMovedHalfOffTheScreenComesBack()
{
    moveTo(m_pad.center());
    button(u"mousedown"_s);
    moveTo(m_pad.center() + QPoint(-20, 40));
    QTest::qWait(100);
    moveTo(QPoint(1275, 300));
    QTest::qWait(100);
    button(u"mouseup"_s);
    // Moved with the pointer, then back onto the screen at its right edge; and remembered.
    const QPoint expected(1280 - m_pad.width(), m_pad.top() + 300 - m_pad.center().y());
    QTRY_COMPARE(visibleWindow(kDropPad)->topLeft(), expected);
    QVERIFY(!visibleWindow(kQuickZipWindow).has_value());
    QVERIFY(readFile(m_home.filePath(u".config/Tessary/Tessary.conf"_s))
                .contains(u"Drop%20Pad%20Location=@Point(%1 %2)"_s.arg(expected.x()).arg(expected.y()).toUtf8()));
}

void TestDesktopDrags::aJobLeavesTheFocusWhereItIs()
{
    // A file that takes zip some seconds, so that the progress window comes up.
    const QString big = m_home.filePath(u"Items/big.bin"_s);
    QVERIFY(writeRandomFile(big, 160));

    const QString source = windowId(kDragSource);
    xdotool({u"windowactivate"_s, u"--sync"_s, source});
    QProcess job;
    job.setProcessEnvironment(m_tessary.processEnvironment());
    job.start(QStringLiteral(TESSARY_EXECUTABLE), {u"--destination"_s, u"Place on the Desktop"_s, big});
    QTRY_VERIFY_WITH_TIMEOUT(visibleWindow(u"^Tessary Archive$"_s).has_value(), 10000);
    QTest::qWait(300);
    // Out of the task bar, and nothing to maximise (a fixed size).
    const QByteArray properties
        = windowProperties(windowId(u"^Tessary Archive$"_s), {u"_NET_WM_STATE"_s, u"_NET_WM_ALLOWED_ACTIONS"_s});
    QVERIFY2(properties.contains("_NET_WM_STATE_SKIP_TASKBAR"), properties.constData());
    QVERIFY2(!properties.contains("MAXIMIZE"), properties.constData());
    QCOMPARE(xdotool({u"getactivewindow"_s}), source);
    xdotool({u"key"_s, u"space"_s}); // typed into the other program, never into the progress window
    QVERIFY(job.waitForFinished(60000));
    QCOMPARE(job.exitCode(), 0);
    const QString archive = QString::fromUtf8(job.readAllStandardOutput()).trimmed();
    QCOMPARE(QFileInfo(archive).path(), m_home.desktopPath());
    QCOMPARE(ArchiveReader::listEntries(archive), QStringList {u"big.bin"_s});
}

void TestDesktopDrags::anotherStartHandsOverToTheRunningCopy()
{
    // Started without a screen of its own, a custom zip still shows its window: the running
    // copy's, which tells it how the request ended.
    QProcessEnvironment screenless = m_tessary.processEnvironment();
    screenless.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    QProcess custom;
    custom.setProcessEnvironment(screenless);
    custom.start(QStringLiteral(TESSARY_EXECUTABLE), {m_home.filePath(u"Items/notes.txt"_s)});
    QTRY_VERIFY_WITH_TIMEOUT(visibleWindow(kCustomZipWindow).has_value(), 10000);
    xdotool({u"windowactivate"_s, u"--sync"_s, windowId(kCustomZipWindow), u"key"_s, u"Escape"_s});
    QVERIFY(custom.waitForFinished(10000));
    QCOMPARE(custom.exitCode(), 3); // cancelled

    // A bare start opens the running copy's menu, and ends.
    const auto visibleWindows = [] {
        return xdotool({u"search"_s, u"--onlyvisible"_s, u"--classname"_s, u"^tessary$"_s}).split(u'\n').size();
    };
    const qsizetype before = visibleWindows();
    QProcess bare;
    bare.setProcessEnvironment(m_tessary.processEnvironment());
    bare.start(QStringLiteral(TESSARY_EXECUTABLE));
    QVERIFY(bare.waitForFinished(10000));
    QCOMPARE(bare.exitCode(), 0);
    QTRY_COMPARE(visibleWindows(), before + 1);
    moveTo(QPoint(640, 700)); // a click away from it closes it
    button(u"click"_s);
    QTRY_COMPARE(visibleWindows(), before);
}

void TestDesktopDrags::theDestinationsWindowOpensWhereItWasLeft()
{
    const QString destinations = u"^Destinations$"_s;
    const auto open = [this, &destinations] {
        QProcess start;
        start.setProcessEnvironment(m_tessary.processEnvironment());
        start.start(QStringLiteral(TESSARY_EXECUTABLE), {u"--destinations"_s});
        QVERIFY(start.waitForFinished(10000));
        QCOMPARE(start.exitCode(), 0); // the running copy opens it
        QTRY_VERIFY_WITH_TIMEOUT(visibleWindow(destinations).has_value(), 5000);
        QTest::qWait(300); // placed by the window manager
    };
    // Centred on the screen the first time (above IceWM's task bar).
    open();
    const QRect first = *visibleWindow(destinations);
    QVERIFY2(qAbs(first.center().x() - 640) <= 2, qPrintable(u"%1"_s.arg(first.center().x())));
    QVERIFY2(qAbs(first.center().y() - 388) <= 16, qPrintable(u"%1"_s.arg(first.center().y())));

    // Moved by the user, closed and opened again, it comes back to the pixel where it was left.
    xdotool({u"windowmove"_s, u"--sync"_s, windowId(destinations), u"200"_s, u"150"_s});
    QTest::qWait(300);
    const QRect moved = *visibleWindow(destinations);
    QVERIFY(moved.topLeft() != first.topLeft());
    xdotool({u"windowclose"_s, windowId(destinations)});
    QTRY_VERIFY(!visibleWindow(destinations).has_value());
    open();
    QCOMPARE(visibleWindow(destinations)->topLeft(), moved.topLeft());
    xdotool({u"windowclose"_s, windowId(destinations)});
}

void TestDesktopDrags::copiedFilesGoByKeyboard()
{
    // Copied in a file manager; then a keyboard shortcut of the desktop runs the command.
    xdotool({u"windowactivate"_s, u"--sync"_s, windowId(kDragSource)});
    xdotool({u"key"_s, u"--clearmodifiers"_s, u"ctrl+c"_s});
    const QStringList before = entriesIn(m_home.desktopPath());
    QProcess shortcut;
    shortcut.setProcessEnvironment(m_tessary.processEnvironment());
    shortcut.start(QStringLiteral(TESSARY_EXECUTABLE), {u"--quick-zip-clipboard"_s});
    QVERIFY(shortcut.waitForFinished(10000));
    QCOMPARE(shortcut.exitCode(), 0); // the running copy shows the grid
    QTRY_VERIFY_WITH_TIMEOUT(visibleWindow(kQuickZipWindow).has_value(), 5000);
    // Under the pad, three by two: every Destination but the add tile.
    const QRect window = *visibleWindow(kQuickZipWindow);
    QCOMPARE(window.width(), 3 * kTile);
    QCOMPARE(window.top(), visibleWindow(kDropPad)->bottom() + 1);
    // The keys reach it without a click: the first tile has the focus, Right moves to the Desktop.
    xdotool({u"key"_s, u"Right"_s, u"Return"_s});
    QTRY_VERIFY_WITH_TIMEOUT(!visibleWindow(kQuickZipWindow).has_value(), 3000);
    QStringList added;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            added = entriesIn(m_home.desktopPath());
            added.removeIf([&before](const QString &entry) { return before.contains(entry); });
            return added.size() == 1;
        }(),
        20000);
    QTRY_COMPARE_WITH_TIMEOUT(ArchiveReader::listEntries(m_home.desktopPath() + u'/' + added.first()),
        QStringList({u"notes.txt"_s, u"Photos/"_s, u"Photos/beach.jpg"_s}), 10000);
}

QTEST_GUILESS_MAIN(TestDesktopDrags)
#include "TestDesktopDrags.moc"
