#include "ArchiveReader.h"
#include "TemporaryHome.h"
#include "TestFiles.h"

#include "app/CommandLine.h"
#include "app/HandOver.h"
#include "app/Tessary.h"
#include "core/destinations/DestinationFolder.h"
#include "core/settings/Settings.h"
#include "platform/SingleInstance.h"

#include <QtTest>

#include <csignal>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {
// One run of a program, headless, in the temporary home.
struct Run
{
    int status = -1;
    QString out;
    QString err;
};

QProcessEnvironment headless()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.insert(u"TESSARY"_s, QStringLiteral(TESSARY_EXECUTABLE));
    return environment;
}

Run run(const QString &program, const QStringList &arguments, const QString &workingDirectory)
{
    QProcess process;
    process.setProcessEnvironment(headless());
    process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        process.kill();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

Run tessary(const QStringList &arguments, const QString &workingDirectory = {})
{
    return run(QStringLiteral(TESSARY_EXECUTABLE), arguments, workingDirectory);
}

// This process as the running copy: a controller that serves the requests of other starts.
class RunningCopy final
{
public:
    RunningCopy()
    {
        m_controller.createDestinations();
        if (!m_instance.becomeRunningCopy())
            return;
        m_instance.listen([this](const QByteArray &request, const SingleInstance::Reply &reply, const QObject *asker) {
            return HandOver::serve(m_controller, request, reply, asker);
        });
        m_listening = true;
    }
    bool isListening() const { return m_listening; }

private:
    Tessary m_controller;
    SingleInstance m_instance;
    bool m_listening = false;
};

// A bash command line, with the program as $TESSARY.
Run inShell(const QString &commandLine, const QString &workingDirectory = {})
{
    return run(u"/bin/bash"_s, {u"-c"_s, commandLine}, workingDirectory);
}
} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void twoRunsAtOnceZipToTheNamedDestination();
    void withoutAnX11DisplayTheProgramSaysSoAndEnds();
    void theSocketRefusesWhatIsNoRequest_data();
    void theSocketRefusesWhatIsNoRequest();
    void namesThatAreNotUtf8ZipAsThemselves();
    void failedJobOrDeliveryGivesStatusOne();
    void terminationStopsTheZipAndLeavesNoArchive();
    void aRequestHandedOverEndsWithItsCommandLine();
    void aClosedOutputDoesNotKillTheRun();
    void usageErrors_data();
    void usageErrors();

private:
    std::unique_ptr<TemporaryHome> m_home;
};

void TestCommandLine::init()
{
    m_home = std::make_unique<TemporaryHome>();
    QVERIFY(writeFile(m_home->filePath(u"work/report.txt"_s), "report"));
    QVERIFY(writeFile(m_home->filePath(u"work/Photos/one.jpg"_s), "one"));
}

void TestCommandLine::cleanup()
{
    m_home.reset();
}

void TestCommandLine::twoRunsAtOnceZipToTheNamedDestination()
{
    QVERIFY(writeRandomFile(m_home->filePath(u"work/Photos/big.bin"_s), 8)); // keeps the runs at it together
    const auto before = ArchiveReader::describeTree(m_home->filePath(u"work"_s));
    QList<std::shared_ptr<QProcess>> runs;
    for (int i = 0; i < 2; ++i) {
        runs << std::make_shared<QProcess>();
        runs.last()->setProcessEnvironment(headless());
        runs.last()->setWorkingDirectory(m_home->filePath(u"work"_s));
        runs.last()->start(QStringLiteral(TESSARY_EXECUTABLE),
            {u"--destination"_s, u"Place on the Desktop"_s, u"report.txt"_s, u"Photos"_s});
    }
    QStringList outputs;
    for (const auto &process : std::as_const(runs)) {
        QVERIFY(process->waitForFinished(60000));
        QCOMPARE(process->exitCode(), 0);
        outputs << QString::fromUtf8(process->readAllStandardOutput());
    }
    outputs.sort();
    const QString desktop = m_home->desktopPath();
    QCOMPARE(outputs, (QStringList {desktop + u"/Tessary Archive #2.zip\n"_s, desktop + u"/Tessary Archive.zip\n"_s}));
    for (const QString &output : std::as_const(outputs)) {
        ArchiveReader reader;
        QVERIFY(reader.extract(output.trimmed()));
        QCOMPARE(reader.entries(), before);
    }
    QCOMPARE(ArchiveReader::describeTree(m_home->filePath(u"work"_s)), before);
}

void TestCommandLine::withoutAnX11DisplayTheProgramSaysSoAndEnds()
{
    const Run run = tessary({});
    QCOMPARE(run.status, 1);
    QVERIFY2(
        run.err.contains(u"Tessary requires an X11 display, directly or through XWayland."_s), qPrintable(run.err));
    // The first launch's steps wait for a launch that can run.
    QVERIFY(!QFileInfo::exists(m_home->filePath(u".config/autostart/tessary.desktop"_s)));
    QVERIFY(!Settings().initialLaunchDone());

    // Killed while it holds the lock for its second, it leaves the lock for the next copy to take.
    QProcess copy;
    copy.setProcessEnvironment(headless());
    copy.start(QStringLiteral(TESSARY_EXECUTABLE));
    QTRY_VERIFY(SingleInstance::isLockHeld());
    copy.kill();
    QVERIFY(copy.waitForFinished());
    QVERIFY(QFileInfo::exists(SingleInstance::folder() + u"/tessary.lock"_s)); // left behind
    SingleInstance instance;
    QVERIFY(instance.becomeRunningCopy());
}

void TestCommandLine::theSocketRefusesWhatIsNoRequest_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("not JSON") << QByteArray("\x01\x02 garbage");
    QTest::newRow("unknown request") << QByteArray(R"({"request":"format the disk"})");
    QTest::newRow("items that are no paths") << QByteArray(
        R"({"request":"zip","custom":false,"destination":"Place on the Desktop","items":["bm90IGFic29sdXRl"]})");
    QTest::newRow("too long") << QByteArray(SingleInstance::MaximumMessageBytes + 1, '{');
}

void TestCommandLine::theSocketRefusesWhatIsNoRequest()
{
    QFETCH(QByteArray, message);
    RunningCopy copy;
    QVERIFY(copy.isListening());
    // Asked from another thread, as another copy would, while this one serves.
    const auto ask = [](const QByteArray &request) {
        std::optional<QByteArray> answer;
        QThread *client = QThread::create([&] { answer = SingleInstance::askRunningCopy(request); });
        client->start();
        if (QTest::qWaitFor([client] { return client->isFinished(); }))
            delete client;
        return answer; // none, when the client is still waiting
    };
    QCOMPARE(ask(message), std::optional(QByteArray())); // heard, and refused without an answer
    QCOMPARE(entriesIn(m_home->desktopPath()), QStringList());

    // A request, after all that, is served.
    const QList<QUrl> urls {QUrl::fromLocalFile(m_home->filePath(u"work/report.txt"_s))};
    const auto answer = ask(HandOver::zipRequest(CommandLine::ModeZip, u"Place on the Desktop"_s, urls));
    QCOMPARE(HandOver::resultFromMessage(answer.value_or(QByteArray()))->out,
        m_home->desktopPath() + u"/Tessary Archive.zip\n"_s);
}

void TestCommandLine::namesThatAreNotUtf8ZipAsThemselves()
{
    // Names in Latin-1, as an old disk or archive leaves them: the bytes are the names.
    const QByteArray work = QFile::encodeName(m_home->filePath(u"work"_s));
    QCOMPARE(::mkdir(QByteArray(work + "/d\xE9j\xE0").constData(), 0755), 0);
    for (const QByteArray &file : {QByteArray("/caf\xE9.txt"), QByteArray("/d\xE9j\xE0/na\xEFve.txt")}) {
        const int fd = ::open(QByteArray(work + file).constData(), O_WRONLY | O_CREAT, 0644);
        QVERIFY(fd >= 0 && ::write(fd, "latin", 5) == 5);
        ::close(fd);
    }
    const Run run = inShell(u"\"$TESSARY\" --destination 'Place on the Desktop' $'caf\\xe9.txt' $'d\\xe9j\\xe0'"_s,
        m_home->filePath(u"work"_s));
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QList<QByteArray> names = ArchiveReader::storedNames(m_home->desktopPath() + u"/Tessary Archive.zip"_s);
    std::sort(names.begin(), names.end());
    QCOMPARE(names,
        (QList<QByteArray> {
            QByteArray("caf\xE9.txt"), QByteArray("d\xE9j\xE0/"), QByteArray("d\xE9j\xE0/na\xEFve.txt")}));
    // The temporary home's removal reads names as UTF-8: these go by their bytes.
    ::unlink(QByteArray(work + "/d\xE9j\xE0/na\xEFve.txt").constData());
    ::rmdir(QByteArray(work + "/d\xE9j\xE0").constData());
    ::unlink(QByteArray(work + "/caf\xE9.txt").constData());
}

void TestCommandLine::failedJobOrDeliveryGivesStatusOne()
{
    {
        Tessary controller;
        controller.createDestinations();
        controller.addDestination(
            std::make_shared<DestinationFolder>(u"/proc"_s, u"Broken"_s)); // no archive goes there
    }
    const Run run = tessary({u"--destination"_s, u"Broken"_s, m_home->filePath(u"work/report.txt"_s)});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, QString());
    QVERIFY2(run.err.contains(u"Archive Creation Failure"_s), qPrintable(run.err));

    // A delivery that cannot be made (no KDE Connect here) fails too; the archive is kept where
    // the message says (see TestSharing).
    const Run undelivered
        = tessary({u"--destination"_s, u"Send via Messages"_s, m_home->filePath(u"work/report.txt"_s)});
    QCOMPARE(undelivered.status, 1);
    QCOMPARE(undelivered.out, QString());
    QVERIFY2(undelivered.err.contains(u"The archive was kept at \""_s), qPrintable(undelivered.err));
}

void TestCommandLine::terminationStopsTheZipAndLeavesNoArchive()
{
    const QString big = m_home->filePath(u"work/terminated-%1.bin"_s.arg(QCoreApplication::applicationPid()));
    QVERIFY(writeRandomFile(big, 300));
    const QString zipArgument = u"./"_s + QFileInfo(big).fileName();
    QProcess tessary;
    tessary.setProcessEnvironment(headless());
    const auto startZipping = [&] {
        tessary.start(QStringLiteral(TESSARY_EXECUTABLE), {u"--destination"_s, u"Place on the Desktop"_s, big});
        QTRY_VERIFY_WITH_TIMEOUT(!processesWhoseCommandLineHas(zipArgument).isEmpty(), 20000);
    };
    startZipping();
    tessary.terminate(); // SIGTERM
    QVERIFY(tessary.waitForFinished(5000));
    QCOMPARE(tessary.exitCode(), 128 + SIGTERM);
    QCOMPARE(processesWhoseCommandLineHas(zipArgument), QStringList()); // zip did not run on
    QCOMPARE(entriesIn(m_home->desktopPath()), QStringList());

    // Killed outright, Tessary can clean nothing up: zip ends with it and removes its own work.
    startZipping();
    tessary.kill(); // SIGKILL
    QVERIFY(tessary.waitForFinished(5000));
    QTRY_COMPARE_WITH_TIMEOUT(processesWhoseCommandLineHas(zipArgument), QStringList(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(entriesIn(m_home->desktopPath()), QStringList(), 5000);
}

void TestCommandLine::aRequestHandedOverEndsWithItsCommandLine()
{
    RunningCopy copy;
    QVERIFY(copy.isListening());
    const QString big = m_home->filePath(u"work/handed-%1.bin"_s.arg(QCoreApplication::applicationPid()));
    QVERIFY(writeRandomFile(big, 300));
    const QString zipArgument = u"./"_s + QFileInfo(big).fileName();
    QProcess tessary;
    tessary.setProcessEnvironment(headless());
    tessary.start(QStringLiteral(TESSARY_EXECUTABLE), {u"--destination"_s, u"Place on the Desktop"_s, big});
    // The running copy zips; the command line that asked is ended by a signal meanwhile.
    QTRY_VERIFY_WITH_TIMEOUT(!processesWhoseCommandLineHas(zipArgument).isEmpty(), 20000);
    tessary.terminate(); // SIGTERM
    QVERIFY(tessary.waitForFinished(5000));
    // The running copy stops the request and removes what was half-written; nothing comes later.
    QTRY_COMPARE_WITH_TIMEOUT(processesWhoseCommandLineHas(zipArgument), QStringList(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(entriesIn(m_home->desktopPath()), QStringList(), 5000);
    QTest::qWait(1000);
    QCOMPARE(entriesIn(m_home->desktopPath()), QStringList());
}

void TestCommandLine::aClosedOutputDoesNotKillTheRun()
{
    // The reader of the output is gone before the path is written.
    const Run run
        = inShell(u"\"$TESSARY\" --destination 'Place on the Desktop' report.txt | true; echo \"${PIPESTATUS[0]}\""_s,
            m_home->filePath(u"work"_s));
    QCOMPARE(run.out.trimmed(), u"0"_s);
    QVERIFY(run.err.contains(u"could not be written to standard output"_s));
    QVERIFY(QFileInfo::exists(m_home->desktopPath() + u"/Tessary Archive.zip"_s));
}

void TestCommandLine::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("no files") << QStringList {u"--destination"_s, u"Place on the Desktop"_s} << u"Nothing to zip"_s;
    QTest::newRow("missing file") << QStringList {u"--destination"_s, u"Place on the Desktop"_s, u"nope.txt"_s}
                                  << u"no such file or folder: nope.txt"_s;
    QTest::newRow("unknown Destination")
        << QStringList {u"--destination"_s, u"Nowhere"_s, u"report.txt"_s}
        << u"no Destination is named \"Nowhere\". Your Destinations:\n  Place Alongside Source\n  Place on the Desktop\n"_s;
    // The add tile is no place to zip to; it is not offered either.
    QTest::newRow("the add tile") << QStringList {u"--destination"_s, u"Add New Destination"_s, u"report.txt"_s}
                                  << u"  Share via Air Drop\n"_s;
    QTest::newRow("the Destinations window with a file")
        << QStringList {u"--destinations"_s, u"report.txt"_s} << u"--destinations takes no FILE"_s;
}

void TestCommandLine::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const Run run = tessary(arguments, m_home->filePath(u"work"_s));
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY(!run.err.contains(u"  Add New Destination"_s));
    QVERIFY(QDir(m_home->desktopPath()).isEmpty());
    QVERIFY(!QFileInfo::exists(Destination::internalFolderPath()));
}

QTEST_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
