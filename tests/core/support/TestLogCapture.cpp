#include "TemporaryHome.h"
#include "TestFiles.h"

#include "core/pipeline/ThreadHops.h"
#include "core/support/Log.h"
#include "core/support/LogCapture.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;

class TestLogCapture : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void onlyLinesWhileCapturingEndInTheFile();
    void deletedLogFileTurnsLoggingOff();
    void linesFromManyThreadsStayWhole();

private:
    std::unique_ptr<TemporaryHome> m_home;
    std::unique_ptr<LogCapture> m_capture;
};

void TestLogCapture::init()
{
    m_home = std::make_unique<TemporaryHome>();
    m_capture = std::make_unique<LogCapture>();
}

void TestLogCapture::cleanup()
{
    m_capture.reset();
    m_home.reset();
}

void TestLogCapture::onlyLinesWhileCapturingEndInTheFile()
{
    QVERIFY(!m_capture->isCapturing());
    Log::handler()(u"before any capture"_s);
    m_capture->toggle();
    QVERIFY(m_capture->isCapturing());
    const QString path = m_capture->logFilePath();
    static const QRegularExpression name(u"^Tessary Log - \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d \\+0000\\.txt$"_s);
    QCOMPARE(QFileInfo(path).path(), m_home->desktopPath());
    QVERIFY2(name.match(QFileInfo(path).fileName()).hasMatch(), qPrintable(path));

    // Each line ends in a line feed; a line break inside a line stays.
    Log::handler()(u"first\nstill first"_s);
    Log::handler()(u"Ünïcödé"_s);
    m_capture->toggle();
    QVERIFY(!m_capture->isCapturing());
    Log::handler()(u"after the capture"_s);
    QCOMPARE(readFile(path), u"first\nstill first\nÜnïcödé\n"_s.toUtf8());
    // For the user's eyes only.
    QCOMPARE(QFileInfo(path).permissions(),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser);
}

void TestLogCapture::deletedLogFileTurnsLoggingOff()
{
    m_capture->begin();
    QVERIFY(QFile::remove(m_capture->logFilePath()));
    Log::handler()(u"lost line"_s);
    QTRY_VERIFY(!m_capture->isCapturing());
    QVERIFY(QDir(m_home->desktopPath()).entryList(QDir::Files).isEmpty());
}

void TestLogCapture::linesFromManyThreadsStayWhole()
{
    m_capture->begin();
    constexpr int threads = 8;
    constexpr int linesPerThread = 200;
    const auto done = std::make_shared<QSemaphore>();
    for (int t = 0; t < threads; ++t) {
        runInBackground([t, done] {
            for (int i = 0; i < linesPerThread; ++i)
                Log::handler()(u"thread %1 line %2 "_s.arg(t).arg(i) + QString(40, u'x'));
            done->release();
        });
    }
    QVERIFY(done->tryAcquire(threads, 30000));

    const QList<QByteArray> lines = readFile(m_capture->logFilePath()).split('\n');
    QCOMPARE(lines.size(), threads * linesPerThread + 1);
    QVERIFY(lines.last().isEmpty());
    static const QRegularExpression whole(u"^thread \\d line \\d+ x{40}$"_s);
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        QVERIFY2(whole.match(QString::fromUtf8(lines.at(i))).hasMatch(), lines.at(i).constData());
}

QTEST_GUILESS_MAIN(TestLogCapture)
#include "TestLogCapture.moc"
