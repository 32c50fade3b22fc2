#include "ArchiveReader.h"
#include "TemporaryHome.h"
#include "TestFiles.h"

#include "app/CommandLine.h"
#include "app/HandOver.h"
#include "app/Tessary.h"
#include "core/destinations/DestinationFolder.h"
#include "core/destinations/DestinationListModel.h"
#include "core/settings/Settings.h"
#include "platform/SingleInstance.h"

#include <QtTest>

#include <csignal>

#include <fcntl.h>
#include <sys/resource.h>
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

void start(QProcess &process, const QString &program, const QStringList &arguments,
    const QString &workingDirectory = {}, const QProcessEnvironment &environment = headless())
{
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
}

Run run(const QString &program, const QStringList &arguments, const QString &workingDirectory,
    const QProcessEnvironment &environment = headless())
{
    QProcess process;
    start(process, program, arguments, workingDirectory, environment);
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
        m_controller.destinationList()->load();
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

// Asks the running copy from another thread, as another copy would; none: still waiting.
std::optional<QByteArray> ask(const QByteArray &request)
{
    // Shared with the client, which may outlive the wait.
    const auto answer = std::make_shared<std::optional<QByteArray>>();
    QThread *client = QThread::create([answer, request] { *answer = SingleInstance::askRunningCopy(request); });
    client->start();
    if (!QTest::qWaitFor([client] { return client->isFinished(); }, 10000))
        return {};
    delete client;
    return *answer;
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
    void theSocketOutlivesAFloodOfIdleConnections();
    void theSocketsFolderMustBeTheUsersAlone_data();
    void theSocketsFolderMustBeTheUsersAlone();
    void namesThatAreNotUtf8ZipAsThemselvesEvenWithTheOutputClosed();
    void failedJobOrDeliveryGivesStatusOne();
    void terminationStopsTheZipAndLeavesNoArchive();
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
        start(*runs.last(), QStringLiteral(TESSARY_EXECUTABLE),
            {u"--destination"_s, u"Place on the Desktop"_s, u"report.txt"_s, u"Photos"_s}, m_home->filePath(u"work"_s));
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
    start(copy, QStringLiteral(TESSARY_EXECUTABLE), {});
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
    QCOMPARE(ask(message), std::optional(QByteArray())); // heard, and refused without an answer
    QCOMPARE(entriesIn(m_home->desktopPath()), QStringList());

    // A request, after all that, is served.
    const QList<QUrl> urls {QUrl::fromLocalFile(m_home->filePath(u"work/report.txt"_s))};
    const auto answer = ask(HandOver::zipRequest(CommandLine::ModeZip, u"Place on the Desktop"_s, urls));
    QCOMPARE(HandOver::resultFromMessage(answer.value_or(QByteArray()))->out,
        m_home->desktopPath() + u"/Tessary Archive.zip\n"_s);
}

void TestCommandLine::theSocketOutlivesAFloodOfIdleConnections()
{
    // A copy that may open few files, so that the flood below exhausts them.
    rlimit limit {};
    QCOMPARE(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    const rlimit few {256, limit.rlim_max};
    QCOMPARE(::setrlimit(RLIMIT_NOFILE, &few), 0);
    const auto restore = qScopeGuard([limit] { ::setrlimit(RLIMIT_NOFILE, &limit); });
    RunningCopy copy;
    QVERIFY(copy.isListening());
    // More idle connections than the running copy has file descriptors for, held open by another
    // process: the copy's accepts fail, and the idle ones are dropped.
    QProcess flood;
    flood.start(u"/usr/bin/python3"_s,
        {u"-c"_s,
            u"import resource, socket, sys, time\n"
            "soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)\n"
            "resource.setrlimit(resource.RLIMIT_NOFILE, (min(hard, 4096), hard))\n"
            "held = []\n"
            "for _ in range(1500):\n"
            "    s = socket.socket(socket.AF_UNIX)\n"
            "    try:\n"
            "        s.connect(sys.argv[1])\n"
            "    except OSError:\n"
            "        break\n"
            "    held.append(s)\n"
            "print(len(held), flush=True)\n"
            "time.sleep(60)\n"_s,
            SingleInstance::folder() + u"/tessary.socket"_s});
    // The copy goes on accepting meanwhile, as far as it can.
    QByteArray connected;
    QTRY_VERIFY_WITH_TIMEOUT(!(connected += flood.readAllStandardOutput()).isEmpty(), 30000);
    QVERIFY2(connected.trimmed().toInt() > 100, connected.constData());
    QTest::qWait(SingleInstance::RequestTimeoutMs + 2000);
    // The copy listens again and serves the next request.
    const auto answer
        = ask(HandOver::zipRequest(CommandLine::ModeZip, u"Nowhere"_s, {QUrl::fromLocalFile(u"/etc/hostname"_s)}));
    flood.kill();
    flood.waitForFinished();
    QVERIFY(answer.has_value());
    QCOMPARE(HandOver::resultFromMessage(*answer)->status, CommandLine::ExitUsageError); // no such Destination
}

void TestCommandLine::theSocketsFolderMustBeTheUsersAlone_data()
{
    QTest::addColumn<QString>("folder"); // what stands where the folder goes
    QTest::addColumn<QString>("message"); // null: used, after it was closed to others
    QTest::newRow("a folder open to everybody") << u"open"_s << QString();
    QTest::newRow("a link to elsewhere") << u"link"_s << u"is not a folder"_s;
    QTest::newRow("another user's folder") << u"foreign"_s << u"belongs to another user"_s;
}

void TestCommandLine::theSocketsFolderMustBeTheUsersAlone()
{
    QFETCH(QString, folder);
    QFETCH(QString, message);
    // Without XDG_RUNTIME_DIR, the folder is made in the temporary folder, where anybody may
    // have put something first.
    const QString temporary = m_home->filePath(u"tmp"_s);
    const QString fallback = temporary + u"/tessary-%1"_s.arg(::getuid());
    QVERIFY(QDir().mkpath(temporary));
    if (folder == u"open"_s) {
        QVERIFY(QDir().mkpath(fallback));
        QVERIFY(QFile::setPermissions(fallback, QFileDevice::Permissions(0x7777)));
    } else if (folder == u"link"_s) {
        QVERIFY(QDir().mkpath(m_home->filePath(u"elsewhere"_s)));
        QVERIFY(QFile::link(m_home->filePath(u"elsewhere"_s), fallback));
    } else {
        if (::getuid() != 0)
            QSKIP("making another user's folder needs root");
        QVERIFY(QDir().mkpath(fallback));
        QCOMPARE(::chown(QFile::encodeName(fallback).constData(), 65534, 65534), 0);
    }
    QProcessEnvironment environment = headless();
    environment.remove(u"XDG_RUNTIME_DIR"_s);
    environment.insert(u"TMPDIR"_s, temporary);
    const Run result = run(QStringLiteral(TESSARY_EXECUTABLE),
        {u"--destination"_s, u"Place on the Desktop"_s, u"report.txt"_s}, m_home->filePath(u"work"_s), environment);
    if (message.isNull()) {
        QCOMPARE(result.status, 0);
        QCOMPARE(QFileInfo(fallback).permissions() & QFileDevice::Permissions(0x0077), QFileDevice::Permissions());
        return;
    }
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.contains(message) && result.err.contains(u"XDG_RUNTIME_DIR"_s), qPrintable(result.err));
    QCOMPARE(entriesIn(m_home->filePath(u"elsewhere"_s)), QStringList());
    QCOMPARE(entriesIn(m_home->desktopPath()), QStringList());
}

void TestCommandLine::namesThatAreNotUtf8ZipAsThemselvesEvenWithTheOutputClosed()
{
    // Names in Latin-1, as an old disk or archive leaves them: the bytes are the names.
    const QByteArray work = QFile::encodeName(m_home->filePath(u"work"_s));
    QCOMPARE(::mkdir(QByteArray(work + "/d\xE9j\xE0").constData(), 0755), 0);
    for (const QByteArray &file : {QByteArray("/caf\xE9.txt"), QByteArray("/d\xE9j\xE0/na\xEFve.txt")}) {
        const int fd = ::open(QByteArray(work + file).constData(), O_WRONLY | O_CREAT, 0644);
        QVERIFY(fd >= 0 && ::write(fd, "latin", 5) == 5);
        ::close(fd);
    }
    // And the reader of the output is gone before the path is written: the run goes on.
    const Run run = inShell(u"\"$TESSARY\" --destination 'Place on the Desktop' $'caf\\xe9.txt' $'d\\xe9j\\xe0' "
                            "| true; echo \"${PIPESTATUS[0]}\""_s,
        m_home->filePath(u"work"_s));
    QVERIFY2(run.out.trimmed() == u"0"_s, qPrintable(run.err));
    QVERIFY(run.err.contains(u"could not be written to standard output"_s));
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
        controller.destinationList()->load();
        controller.destinationList()->add(
            std::make_shared<DestinationFolder>(u"/proc"_s, u"Broken"_s)); // no archive goes there
    }
    // A delivery that cannot be made (no KDE Connect here) fails too, and keeps the archive.
    for (const auto &[destination, message] : {std::pair {u"Broken"_s, u"Archive Creation Failure"_s},
             {u"Send via Messages"_s, u"The archive was kept at \""_s}}) {
        const Run run = tessary({u"--destination"_s, destination, m_home->filePath(u"work/report.txt"_s)});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
    }
}

void TestCommandLine::terminationStopsTheZipAndLeavesNoArchive()
{
    const QString big = m_home->filePath(u"work/terminated-%1.bin"_s.arg(QCoreApplication::applicationPid()));
    QVERIFY(writeRandomFile(big, 300));
    // zip names the part it writes beside the archive, in a hidden folder on the Desktop.
    const QString zipArgument = u"-@ "_s + m_home->desktopPath() + u"/."_s;
    // Killed outright, Tessary can clean nothing up: zip ends with it and removes its own work. Handed
    // over, the running copy zips, and stops the request when the command line that asked ends.
    for (const auto &[killed, handedOver] : {std::pair {false, false}, {true, false}, {false, true}}) {
        std::optional<RunningCopy> copy;
        if (handedOver)
            QVERIFY(copy.emplace().isListening());
        QProcess tessary;
        start(tessary, QStringLiteral(TESSARY_EXECUTABLE), {u"--destination"_s, u"Place on the Desktop"_s, big});
        QTRY_VERIFY_WITH_TIMEOUT(!processesWhoseCommandLineHas(zipArgument).isEmpty(), 20000);
        if (killed)
            tessary.kill();
        else
            tessary.terminate();
        QVERIFY(tessary.waitForFinished(5000));
        if (!killed && !handedOver) { // it stopped zip and cleaned up before it ended
            QCOMPARE(tessary.exitCode(), 128 + SIGTERM);
            QCOMPARE(processesWhoseCommandLineHas(zipArgument), QStringList());
            QCOMPARE(entriesIn(m_home->desktopPath()), QStringList());
        }
        QTRY_COMPARE_WITH_TIMEOUT(processesWhoseCommandLineHas(zipArgument), QStringList(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(entriesIn(m_home->desktopPath()), QStringList(), 5000);
        if (handedOver) { // nothing comes later
            QTest::qWait(1000);
            QCOMPARE(entriesIn(m_home->desktopPath()), QStringList());
        }
    }
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
                                  << u"  Send to Nearby Device\n"_s;
    QTest::newRow("the Destinations window with a file")
        << QStringList {u"--destinations"_s, u"report.txt"_s} << u"--destinations takes no FILE"_s;
    QTest::newRow("the keyboard's grid with a file")
        << QStringList {u"--quick-zip-clipboard"_s, u"report.txt"_s} << u"--quick-zip-clipboard takes no FILE"_s;
    QTest::newRow("the keyboard's grid and the Destinations window")
        << QStringList {u"--quick-zip-clipboard"_s, u"--destinations"_s} << u"--destinations takes no FILE"_s;
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
