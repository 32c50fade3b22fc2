#include "ArchiveReader.h"
#include "TemporaryHome.h"
#include "TestFiles.h"

#include "core/pipeline/ZipPlan.h"
#include "core/pipeline/ZipRunner.h"
#include "core/pipeline/Zipper.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <climits>
#include <csignal>
#include <cstring>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct ZipOutcome
{
    bool completed = false;
    Error error;
    QString path;
};

ZipOutcome runZipper(Zipper &zipper, const QStringList &items, const QString &output, const QString &password = {},
    ZipEncryption encryption = ZipEncryptionCompatible)
{
    ZipOutcome outcome {false, Error(u"never completed"_s, 0, {}), {}};
    zipper.setCompletion([&outcome](const Error &error, const QString &path) {
        QVERIFY(!outcome.completed);
        outcome.completed = true;
        outcome.error = error;
        outcome.path = path;
    });
    QList<QUrl> urls;
    for (const QString &item : items)
        urls << QUrl::fromLocalFile(item);
    zipper.createZipArchiveWithItems(urls, output, password, encryption);
    return outcome;
}

// With at most that many runs at once (0: as many as the Zipper picks).
ZipOutcome zip(const QStringList &items, const QString &output, int parts = 0, const QString &password = {},
    const Zipper::ProgressHandler &progress = {}, ZipEncryption encryption = ZipEncryptionCompatible)
{
    Zipper zipper;
    if (parts > 0)
        zipper.setMaximumParallelRuns(parts);
    zipper.setProgressHandler(progress);
    return runZipper(zipper, items, output, password, encryption);
}

// Folders of 200 "d"s, one in the other, under the folder (those there are kept), and the file at the bottom.
bool makeDeepTree(const QString &folder, int levels, const QString &fileName)
{
    return QProcess::execute(u"python3"_s,
               {u"-c"_s,
                   u"import os, sys\nos.chdir(sys.argv[1])\nfor _ in range(int(sys.argv[2])):\n"
                   "    os.makedirs('d' * 200, exist_ok=True)\n    os.chdir('d' * 200)\n"
                   "open(sys.argv[3], 'w').write('deep')\n"_s,
                   folder, QString::number(levels), fileName})
        == 0;
}

// Removes a tree too deep for the temporary folder's own clean-up.
bool removeDeepTree(const QString &folder)
{
    return QProcess::execute(u"python3"_s, {u"-c"_s, u"import shutil, sys\nshutil.rmtree(sys.argv[1])"_s, folder}) == 0;
}

} // namespace

class TestZipper : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void passwordStaysOffEveryCommandLine();
    void zipsHostileNamesAsThemselves_data();
    void zipsHostileNamesAsThemselves();

    void reportsErrors_data();
    void reportsErrors();
    void explainsTheToolsFailures_data();
    void explainsTheToolsFailures();
    void namesWhatWasLeftOut_data();
    void namesWhatWasLeftOut();

    void progressMovesWithTheWork_data();
    void progressMovesWithTheWork();

    void zipsTheTreeAsItIsInOneRunOrInParts_data();
    void zipsTheTreeAsItIsInOneRunOrInParts(); // and encrypts it
    void aFailedOrCancelledPartEndsEveryPart_data();
    void aFailedOrCancelledPartEndsEveryPart();
    void zipsDeeperThanPathsReachAndNamesWhatItCannotStore();
    void aFailedJoinNamesTheArchivesFolder();
    void aFileGoneMeanwhileIsNamedOrFailsTheArchive_data();
    void aFileGoneMeanwhileIsNamedOrFailsTheArchive();
    void runsReadTheirNamesFromAList();
    void passesOverPipesDevicesAndSocketsAsZipDoes_data() { onePartOrFour(); }
    void passesOverPipesDevicesAndSocketsAsZipDoes();
    void theArchiveNeverHoldsItsOwnWork_data() { onePartOrFour(); }
    void theArchiveNeverHoldsItsOwnWork();

private:
    static void onePartOrFour();
    std::optional<TemporaryHome> m_home;
    std::optional<QTemporaryDir> m_work;
    QString source(const QString &relative) const { return m_work->filePath(u"src/"_s + relative); }
    QString output(const QString &name = u"Archive.zip"_s) const { return m_work->filePath(u"out/"_s + name); }
};

void TestZipper::init()
{
    m_home.emplace(); // the previous test's home and folder go first
    m_work.emplace();
    QVERIFY(m_work->isValid());
    QDir(m_work->path()).mkpath(u"out"_s);
}

void TestZipper::passwordStaysOffEveryCommandLine()
{
    // A file that keeps zip busy long enough to look at every process of the machine.
    QVERIFY(writeRandomFile(source(u"big.bin"_s), 120));
    const QString password = u"never-on-a-command-line-%1"_s.arg(QCoreApplication::applicationPid());
    std::atomic<bool> done {false};
    QStringList seen;
    bool zipSeen = false;
    const std::unique_ptr<QThread> watcher(QThread::create([&] {
        for (int i = 0; i < 400 && !done; ++i) {
            seen << processesWhoseCommandLineHas(password);
            // zip names the part it writes in the archive's folder.
            zipSeen = zipSeen || !processesWhoseCommandLineHas(u"-@ "_s + output(u""_s)).isEmpty();
            QThread::msleep(10);
        }
    }));
    watcher->start();
    const ZipOutcome outcome = zip({source(u"big.bin"_s)}, output(), 0, password);
    done = true;
    watcher->wait();
    QVERIFY(outcome.error.isNull());
    QVERIFY(zipSeen);
    QCOMPARE(seen, QStringList());
}

void TestZipper::zipsHostileNamesAsThemselves_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("move option") << u"-m"_s;
    QTest::newRow("help option") << u"--help"_s;
    QTest::newRow("names from input") << u"-@"_s;
    QTest::newRow("standard input") << u"-"_s;
    QTest::newRow("bracket wildcard") << u"[ab].txt"_s;
    QTest::newRow("star") << u"*"_s;
    QTest::newRow("question mark") << u"?.txt"_s;
    QTest::newRow("spaces and quotes") << u"My \"quoted\" 'file' .txt"_s;
    QTest::newRow("non-ASCII") << u"Ünïcödé ß 日本.txt"_s;
    QTest::newRow("line break") << u"new\nline.txt"_s;
    QTest::newRow("carriage return at the end") << u"return\r"_s;
    QTest::newRow("spaces around") << u" spaced .txt "_s;
}

void TestZipper::zipsHostileNamesAsThemselves()
{
    QFETCH(QString, name);
    // Neighbours that a wildcard or an option would drag in or harm.
    QVERIFY(writeFile(source(u"A/a.txt"_s), "decoy a"));
    QVERIFY(writeFile(source(u"A/b.txt"_s), "decoy b"));
    QVERIFY(writeFile(source(u"A/x"_s), "decoy x"));
    const QByteArray content = "content of " + name.toUtf8();
    QVERIFY(writeFile(source(u"A/"_s + name), content));
    const auto before = ArchiveReader::describeTree(source(u"A"_s));

    const ZipOutcome outcome = zip({source(u"A/"_s + name)}, output());
    QVERIFY2(outcome.error.isNull(), qPrintable(outcome.error.localizedFailureReason()));
    QCOMPARE(ArchiveReader::storedNames(output()), QList<QByteArray> {name.toUtf8()});
    QCOMPARE(ArchiveReader::printedContent(output()), content);
    QCOMPARE(ArchiveReader::describeTree(source(u"A"_s)), before);
}

void TestZipper::reportsErrors_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message");

    QTest::newRow("no items") << QStringList() << u"out/A.zip"_s << QString()
                              << u"No files were identified to add to the Tessary Archive."_s;
    QTest::newRow("no output path") << QStringList {u"src/file"_s} << QString() << QString()
                                    << u"No suitable destination was specified for the Tessary Archive."_s;
    QTest::newRow("missing item")
        << QStringList {u"src/missing"_s} << u"out/A.zip"_s << QString()
        << u"Archive Creation Failure: \"missing\" could not be found. It may have been moved or deleted."_s;
    QTest::newRow("output folder missing") << QStringList {u"src/file"_s} << u"out/nowhere/A.zip"_s << QString()
                                           << u"Archive Creation Failure: The archive could not be created in the "
                                              "folder \"WORK/out/nowhere\" (No such file or directory)."_s;
    QTest::newRow("two items of one name")
        << QStringList {u"src/file"_s, u"src/again/file"_s} << u"out/A.zip"_s << QString()
        << u"Two of the items are named \"file\". A Tessary Archive keeps every item under its own name, so one "
           "would replace the other. Rename one of them and try again."_s;
    QTest::newRow("no path") << QStringList {QString()} << u"out/A.zip"_s << QString()
                             << u"\"\" cannot be added to a Tessary Archive: only files and folders can."_s;
    QTest::newRow("password too long")
        << QStringList {u"src/file"_s} << u"out/A.zip"_s << QString(Zipper::MaximumPasswordBytes + 1, u'x')
        << u"The password is too long: a Tessary Archive takes a password of at most 80 characters (accented letters "
           "and symbols count as two or three). Please choose a shorter one."_s;
    // Pasted, or kept in the keyring by another program: the tool would read the first line alone.
    for (const QString &password : {u"first\nsecond"_s, u"first\r\n"_s})
        QTest::newRow(qPrintable(u"password with a line break %1"_s.arg(password.size())))
            << QStringList {u"src/file"_s} << u"out/A.zip"_s << password
            << u"The password has a line break in it, which a Tessary Archive cannot keep: the archive would open "
               "with the part before it alone. Please choose a password on one line."_s;
    QTest::newRow("nothing but a pipe") << QStringList {u"src/pipe"_s} << u"out/A.zip"_s << QString()
                                        << u"Archive Creation Failure: There is nothing to put into the archive: "
                                           "pipes, sockets and devices cannot be zipped."_s;
    // Another program put a file under the name while the archive was made: it is never replaced.
    QTest::newRow("a file took the name") << QStringList {u"src/file"_s} << u"out/Taken.zip"_s << QString()
                                          << u"Archive Creation Failure: The archive could not take the name "
                                             "\"WORK/out/Taken.zip\": another file of that name was put in its "
                                             "folder meanwhile."_s;
}

void TestZipper::reportsErrors()
{
    QFETCH(QStringList, items);
    QFETCH(QString, output);
    QFETCH(QString, password);
    QFETCH(QString, message);
    message.replace(u"WORK"_s, m_work->path());
    QVERIFY(writeFile(source(u"file"_s), "data"));
    QVERIFY(writeFile(source(u"again/file"_s), "other data"));
    QCOMPARE(::mkfifo(QFile::encodeName(source(u"pipe"_s)).constData(), 0600), 0);
    QStringList paths;
    for (const QString &item : std::as_const(items))
        paths << (item.isEmpty() ? item : m_work->filePath(item));
    const QString outputPath = output.isEmpty() ? QString() : m_work->filePath(output);
    const bool taken = output.endsWith(u"Taken.zip"_s);
    if (taken)
        QVERIFY(writeFile(outputPath, "another program's"));

    const ZipOutcome outcome = zip(paths, outputPath, 0, password);
    QVERIFY(outcome.completed);
    QCOMPARE(outcome.error.code(), Zipper::ErrorCode);
    QCOMPARE(outcome.error.localizedFailureReason(), message);
    QVERIFY(outcome.path.isNull());
    if (taken)
        QCOMPARE(readFile(outputPath), QByteArray("another program's"));
    else
        QVERIFY(outputPath.isEmpty() || !QFileInfo::exists(outputPath));
}

void TestZipper::progressMovesWithTheWork_data()
{
    QTest::addColumn<bool>("aes");
    QTest::addColumn<int>("steps");
    QTest::newRow("a step for every megabyte read") << false << 20;
    // With AES-256 each file costs a key derivation of its own, as long as reading many bytes.
    QTest::newRow("AES-256, a step for every file") << true << 50;
}

void TestZipper::progressMovesWithTheWork()
{
    QFETCH(bool, aes);
    QFETCH(int, steps);
    QVERIFY(writeRandomFile(source(u"F/big.bin"_s), aes ? 2 : 24));
    for (int i = 0; aes && i < 150; ++i)
        QVERIFY(writeFile(source(u"F/small %1.txt"_s.arg(i)), "s"));
    QList<float> progress;
    const ZipOutcome outcome = zip(
        {source(u"F"_s)}, output(), 1, aes ? u"secret"_s : QString(), [&progress](float value) { progress << value; },
        aes ? ZipEncryptionAES256 : ZipEncryptionCompatible);
    QVERIFY2(outcome.error.isNull(), qPrintable(outcome.error.localizedFailureReason()));
    // Never full before the work has ended.
    const auto whileRunning
        = std::count_if(progress.cbegin(), progress.cend(), [](float value) { return value > 0.1F && value <= 0.99F; });
    QVERIFY2(whileRunning >= steps, qPrintable(QString::number(whileRunning)));
    QVERIFY(std::is_sorted(progress.cbegin(), progress.cend()));
    QCOMPARE(progress.last(), 1.0F);
}

void TestZipper::explainsTheToolsFailures_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QString>("reason");
    QTest::newRow("disk full") << 14
                               << QByteArray("zip I/O error: No space left on device\nzip error: Output file write "
                                             "failure (write error on zip file)\n")
                               << u"The archive could not be written in the folder \"/media/stick\" (No space left on "
                                  "device)."_s;
    QTest::newRow("read-only folder") << 15
                                      << QByteArray("zip I/O error: Permission denied\nzip error: Could not create "
                                                    "output file (/media/stick/A.zip)\n")
                                      << u"The archive could not be created in the folder \"/media/stick\" "
                                         "(Permission denied)."_s;
    QTest::newRow("other error") << 5 << QByteArray("zip error: Zip file structure invalid (A.zip)\n")
                                 << u"zip stopped: Zip file structure invalid (A.zip)"_s;
    QTest::newRow("no message") << 9 << QByteArray() << u"zip stopped with status 9."_s;
}

void TestZipper::explainsTheToolsFailures()
{
    QFETCH(int, status);
    QFETCH(QByteArray, output);
    QFETCH(QString, reason);
    QCOMPARE(ZipRunner::describeFailure(status, output, u"/media/stick/A.zip"_s), reason);
}

void TestZipper::namesWhatWasLeftOut_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("message");
    const QString check = u" Check that you are allowed to read them and that their paths are not too long. The "
                          "archive, without them, was kept at \"/media/stick/A.zip\"."_s;
    QTest::newRow("none known") << QStringList()
                                << u"Archive Creation Failure: Some files could not be read and are not in the "
                                   "archive. Check that you are allowed to read them. The archive, without them, was "
                                   "kept at \"/media/stick/A.zip\"."_s;
    QTest::newRow("one") << QStringList {u"a"_s}
                         << u"Archive Creation Failure: 1 item could not be added to the archive: \"a\"."_s + check;
    QTest::newRow("five") << QStringList {u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s}
                          << u"Archive Creation Failure: 5 items could not be added to the archive: \"a\", \"b\", "
                             "\"c\", \"d\", \"e\"."_s
            + check;
    QTest::newRow("seven") << QStringList {u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s, u"g"_s}
                           << u"Archive Creation Failure: 7 items could not be added to the archive: \"a\", \"b\", "
                              "\"c\", \"d\", \"e\" and 2 more."_s
            + check;
}

// What the archive could not hold is named as this says (checked on the archives zipped below).
void TestZipper::namesWhatWasLeftOut()
{
    QFETCH(QStringList, names);
    QFETCH(QString, message);
    QCOMPARE(Zipper::describeLeftOut(names, u"/media/stick/A.zip"_s), message);
}

void TestZipper::zipsTheTreeAsItIsInOneRunOrInParts_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("plain") << QString();
    QTest::newRow("password with quotes") << u"\"it's\" `x` $HOME"_s;
    QTest::newRow("non-ASCII password") << u"Grüße, señor €"_s;
    QTest::newRow("keys a terminal knows") << u"a\tb\u0003c\u0015d\u007f"_s; // tab, ^C, ^U, delete
    QTest::newRow("the longest password") << QString(Zipper::MaximumPasswordBytes, u'x');
}

void TestZipper::zipsTheTreeAsItIsInOneRunOrInParts()
{
    QFETCH(QString, password);
    QVERIFY(writeFile(source(u"Album/2024/notes.txt"_s), QByteArray(50000, 'n')));
    QVERIFY(writeFile(source(u"Album/2025/more.txt"_s), QByteArray(70000, 'm')));
    QVERIFY(writeFile(source(u"Album/a/b/c/deep.bin"_s), QByteArray(100000, '\x07')));
    QVERIFY(writeFile(source(u"Album/a/.hidden"_s), "h"));
    QVERIFY(writeFile(source(u"Album/scan.jpg"_s), QByteArray(100000, '\0'))); // compressed already: stored
    QVERIFY(writeRandomFile(source(u"Album/movie.MP4"_s), 1));
    QVERIFY(QDir().mkpath(source(u"Album/empty"_s)));
    // Links stay links: zip never follows them out of the tree.
    QVERIFY(QFile::link(u"2025"_s, source(u"Album/latest"_s)));
    QVERIFY(QFile::link(u".."_s, source(u"Album/up"_s)));
    QVERIFY(writeFile(m_work->filePath(u"elsewhere/private.txt"_s), "not for the archive"));
    QVERIFY(QFile::link(m_work->filePath(u"elsewhere/private.txt"_s), source(u"Album/absolute"_s)));
    QVERIFY(writeFile(source(u"readme.txt"_s), "read me"));
    const QStringList items {source(u"Album"_s), source(u"readme.txt"_s)};
    const auto tree = ArchiveReader::describeTree(m_work->filePath(u"src"_s));

    QVERIFY(zip(items, output(u"one.zip"_s), 1, password).error.isNull());
    QVERIFY(zip(items, output(u"parts.zip"_s), 4, password).error.isNull());

    QCOMPARE(ArchiveReader::listEntries(output(u"parts.zip"_s)), ArchiveReader::listEntries(output(u"one.zip"_s)));
    for (const QString &archive : {output(u"one.zip"_s), output(u"parts.zip"_s)}) {
        ArchiveReader reader;
        QVERIFY(reader.extract(archive, password));
        QCOMPARE(reader.entries(), tree);
        if (!password.isEmpty()) {
            QVERIFY(!ArchiveReader().extract(archive));
            QVERIFY(!ArchiveReader().extract(archive, u"guess"_s));
        }
    }
    QVERIFY(QFileInfo(output(u"parts.zip"_s)).size() > 100000); // the zeros were not deflated
    // Nothing of the parts is left beside the archive.
    QCOMPARE(entriesIn(output({})), (QStringList {u"one.zip"_s, u"parts.zip"_s}));
}

void TestZipper::aFailedOrCancelledPartEndsEveryPart_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("message");
    QTest::newRow("a part's zip killed") << false
                                         << u"Archive Creation Failure: zip was stopped before it could finish."_s;
    QTest::newRow("cancelled") << true << u"User Cancelled"_s;
}

void TestZipper::aFailedOrCancelledPartEndsEveryPart()
{
    QFETCH(bool, cancel);
    QFETCH(QString, message);
    QVERIFY(writeRandomFile(source(u"Big/one.bin"_s), 80));
    QVERIFY(writeRandomFile(source(u"Big/two.bin"_s), 80));
    Zipper zipper;
    zipper.setMaximumParallelRuns(2);
    std::atomic<float> progress {0.0F};
    zipper.setProgressHandler([&progress](float value) { progress = value; });
    ZipOutcome outcome;
    const std::unique_ptr<QThread> job(
        QThread::create([&] { outcome = runZipper(zipper, {source(u"Big"_s)}, output()); }));
    job->start();
    QTRY_VERIFY_WITH_TIMEOUT(progress > 0.15F, 20000);
    if (cancel)
        zipper.cancel();
    else
        QCOMPARE(QProcess::execute(u"pkill"_s, {u"-KILL"_s, u"-f"_s, output({}) + u"\\.tessary-.*/1\\.zip"_s}), 0);
    QVERIFY(job->wait(20000));
    QCOMPARE(outcome.error.localizedFailureReason(), message);
    QCOMPARE(processesWhoseCommandLineHas(u".tessary-"_s), QStringList());
    QCOMPARE(entriesIn(output({})), QStringList());
}

void TestZipper::zipsDeeperThanPathsReachAndNamesWhatItCannotStore()
{
    // At 20 levels the file is stored as 4,091 bytes, which zip takes, while on disk its path is
    // more than 4,096, which no path call takes. The 21st level is too long to store: zip would
    // leave it out silently.
    QVERIFY(writeFile(source(u"Deep/kept.txt"_s), "kept"));
    const QString fileName = QString(66, u'f');
    QVERIFY(makeDeepTree(source(u"Deep"_s), 20, fileName));
    QVERIFY(makeDeepTree(source(u"Deep"_s), 21, u"lost.txt"_s));
    const QString stored = u"Deep/"_s + QStringList(20, QString(200, u'd')).join(u'/') + u'/' + fileName;
    QVERIFY(stored.size() <= ZipPlan::MaximumStoredNameBytes);
    QVERIFY(source(stored).toUtf8().size() > PATH_MAX);
    const QString tooDeep = u"Deep/"_s + QStringList(21, QString(200, u'd')).join(u'/');
    for (const int parts : {1, 4}) {
        const QString archive = output(u"%1.zip"_s.arg(parts));
        const ZipOutcome outcome = zip({source(u"Deep"_s)}, archive, parts);
        QCOMPARE(outcome.error.code(), Zipper::ErrorCode);
        QCOMPARE(outcome.error.localizedFailureReason(), Zipper::describeLeftOut({tooDeep}, archive));
        const QStringList entries = ArchiveReader::listEntries(archive);
        QVERIFY(entries.contains(stored));
        QVERIFY(entries.contains(u"Deep/kept.txt"_s));
    }
    QVERIFY(removeDeepTree(source(u"Deep"_s)));
}

void TestZipper::aFailedJoinNamesTheArchivesFolder()
{
    // Each part fits under the limit on a file's size, the joined archive does not: the join's
    // write fails as on a full disk.
    QVERIFY(writeRandomFile(source(u"one.bin"_s), 1));
    QVERIFY(writeRandomFile(source(u"two.bin"_s), 1));
    rlimit limit {};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = limit;
    small.rlim_cur = 1536 * 1024;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto restore = qScopeGuard([limit, previousSignal] {
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, previousSignal);
    });
    const ZipOutcome outcome = zip({source(u"one.bin"_s), source(u"two.bin"_s)}, output(), 2);
    QVERIFY2(outcome.error.localizedFailureReason().startsWith(
                 u"Archive Creation Failure: The archive could not be written in the folder \"%1\" ("_s.arg(
                     QFileInfo(output()).path())),
        qPrintable(outcome.error.localizedFailureReason()));
    QVERIFY(!QFileInfo::exists(output()));
    QCOMPARE(entriesIn(QFileInfo(output()).path()), QStringList());
}

void TestZipper::aFileGoneMeanwhileIsNamedOrFailsTheArchive_data()
{
    QTest::addColumn<QString>("gone");
    // Its run has listed it before reading the big file, during which it goes.
    QTest::newRow("listed by the running tool") << u"X/late.txt"_s;
    // Told to add a name that is not on disk, zip would take it as a pattern for the entries
    // already in the archive, and put a file of its folder under one of them.
    QTest::newRow("before its run, star") << u"Y/a*.txt"_s;
    QTest::newRow("before its run, brackets") << u"Y/[ab].txt"_s;
}

void TestZipper::aFileGoneMeanwhileIsNamedOrFailsTheArchive()
{
    QFETCH(QString, gone);
    QVERIFY(writeRandomFile(source(u"X/big.bin"_s), 2));
    QVERIFY(writeFile(source(u"X/a.txt"_s), "dropped"));
    QVERIFY(writeFile(source(u"Y/a.txt"_s), "not dropped"));
    const QString goes = source(gone);
    QVERIFY(writeFile(goes, "goes"));
    // One run at a time: the run in X, then the one in Y.
    const ZipOutcome outcome
        = zip({source(u"X/big.bin"_s), source(u"X/a.txt"_s), goes}, output(), 1, {}, [goes](float progress) {
              if (progress > 0.2F) // the run in X is reading
                  QFile::remove(goes);
          });
    QVERIFY(!QFileInfo::exists(goes));
    if (gone.startsWith(u'X')) {
        QCOMPARE(outcome.error.localizedFailureReason(), Zipper::describeLeftOut({u"late.txt"_s}, output()));
        QCOMPARE(ArchiveReader::listEntries(output()), (QStringList {u"big.bin"_s, u"a.txt"_s}));
    } else {
        QVERIFY(outcome.error.localizedFailureReason().startsWith(u"Archive Creation Failure: "_s));
        QCOMPARE(entriesIn(output({})), QStringList());
        QCOMPARE(readFile(source(u"Y/a.txt"_s)), QByteArray("not dropped"));
    }
}

void TestZipper::runsReadTheirNamesFromAList()
{
    // 4,000 names of 200 bytes in one folder, more than one command line should carry, and two
    // with line breaks, which a list of lines cannot hold.
    QList<ZipPlan::Unit> units;
    QStringList names;
    for (int i = 0; i < 4000; ++i) {
        QString name = u"F/%1"_s.arg(i, 198, 10, QChar(u'0'));
        if (i == 1000 || i == 1001)
            name += i == 1000 ? u"\n"_s : u"\r"_s;
        units << ZipPlan::Unit {u"/data/"_s + name, name, false, {}};
        names << u"./"_s + name;
    }
    const QList<ZipPlan::Run> runs = ZipPlan::runsForUnits(units, u"/out/A.zip"_s, false);
    QCOMPARE(runs.size(), 4); // the names before, each name with a line break, the names after
    QStringList given;
    for (qsizetype i = 0; i < runs.size(); ++i) {
        const QStringList &arguments = runs.at(i).arguments;
        QCOMPARE(runs.at(i).workingDirectory, u"/data/"_s);
        QCOMPARE(arguments.contains(u"-g"_s), i > 0); // every run after the first adds to the archive
        const bool listed = !runs.at(i).nameList.isEmpty();
        QCOMPARE(arguments.contains(u"-@"_s), listed);
        const QStringList onCommandLine = arguments.mid(arguments.indexOf(u"/out/A.zip"_s) + 1);
        QCOMPARE(onCommandLine.size(), listed ? 0 : 1);
        given << onCommandLine;
        if (listed)
            given << QString::fromUtf8(runs.at(i).nameList).split(u'\n', Qt::SkipEmptyParts);
    }
    QCOMPARE(given, names); // all of them, in order
}

void TestZipper::onePartOrFour()
{
    QTest::addColumn<int>("parts");
    QTest::newRow("one part") << 1;
    QTest::newRow("four parts") << 4;
}

void TestZipper::passesOverPipesDevicesAndSocketsAsZipDoes()
{
    QFETCH(int, parts);
    QVERIFY(writeFile(source(u"Folder/a.txt"_s), "a"));
    QVERIFY(writeFile(source(u"Folder/inner/b.txt"_s), "b"));
    QCOMPARE(::mkfifo(QFile::encodeName(source(u"Folder/pipe"_s)).constData(), 0600), 0);
    QCOMPARE(::mkfifo(QFile::encodeName(source(u"Folder/inner/pipe"_s)).constData(), 0600), 0);
    // A device where the test may make one (as root).
    ::mknod(QFile::encodeName(source(u"Folder/null"_s)).constData(), S_IFCHR | 0600, makedev(1, 3));
    const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(listening >= 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(source(u"Folder/sock"_s));
    QVERIFY(size_t(path.size()) < sizeof address.sun_path);
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    QCOMPARE(::bind(listening, reinterpret_cast<const sockaddr *>(&address), sizeof address), 0);
    // What zip itself makes of the folder.
    QProcess reference;
    reference.setWorkingDirectory(m_work->filePath(u"src"_s));
    reference.start(u"zip"_s, {u"-r"_s, u"-y"_s, u"-q"_s, output(u"reference.zip"_s), u"Folder"_s});
    QVERIFY(reference.waitForFinished());
    QCOMPARE(reference.exitCode(), 18); // "not all files were readable": the socket

    const ZipOutcome outcome = zip({source(u"Folder"_s)}, output(), parts);
    ::close(listening);
    // The socket alone is named: pipes and devices are passed over in silence.
    QCOMPARE(outcome.error.localizedFailureReason(), Zipper::describeLeftOut({u"Folder/sock"_s}, output()));
    QStringList made = ArchiveReader::listEntries(output());
    QStringList expected = ArchiveReader::listEntries(output(u"reference.zip"_s));
    made.sort();
    expected.sort();
    QCOMPARE(made, expected);
    QVERIFY(made.contains(u"Folder/inner/b.txt"_s));
}

void TestZipper::theArchiveNeverHoldsItsOwnWork()
{
    QFETCH(int, parts);
    // The user zips his home onto his Desktop: the archive is made inside what it holds.
    QVERIFY(writeFile(source(u"Home/notes.txt"_s), "notes"));
    QVERIFY(writeFile(source(u"Home/Desktop/old.txt"_s), "on the desktop before"));
    QVERIFY(writeRandomFile(source(u"Home/Desktop/big.bin"_s), 2));
    QVERIFY(writeFile(source(u"Home/Documents/report.txt"_s), "report"));
    const QString archive = source(u"Home/Desktop/Home.zip"_s);
    QVERIFY(writeFile(source(u"Home/Desktop/.Home.zip.tessary-claim"_s), {})); // as a zip request claims it

    const ZipOutcome outcome = zip({source(u"Home"_s)}, archive, parts);
    QVERIFY2(outcome.error.isNull(), qPrintable(outcome.error.localizedFailureReason()));
    QStringList entries = ArchiveReader::listEntries(archive);
    entries.sort();
    QCOMPARE(entries,
        (QStringList {u"Home/"_s, u"Home/Desktop/"_s, u"Home/Desktop/big.bin"_s, u"Home/Desktop/old.txt"_s,
            u"Home/Documents/"_s, u"Home/Documents/report.txt"_s, u"Home/notes.txt"_s}));
}

QTEST_GUILESS_MAIN(TestZipper)
#include "TestZipper.moc"
