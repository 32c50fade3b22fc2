#include "ArchiveReader.h"
#include "TestFiles.h"

#include "core/pipeline/AesPartWriter.h"
#include "core/pipeline/ZipMerger.h"
#include "core/pipeline/ZipPlan.h"
#include "core/pipeline/ZipRunner.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <memory>
#include <thread>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kPassword = u"pässwörd 1"_s;
const QByteArray kMarker = "NEVER IN THE CLEAR ";

int run(const QStringList &command, QByteArray *output = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(command.first(), command.mid(1));
    const bool finished = process.waitForFinished(120000);
    if (output != nullptr)
        *output = process.readAll();
    return finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// The item as dropped, cut as Zipper cuts it for that many parts.
QList<QList<ZipPlan::Unit>> partsOf(const QString &item, int parts)
{
    return ZipPlan::split({item}, {ZipPlan::sizeOfItem(item, QFileInfo(item).fileName())}, parts);
}

// Writes every part on its own thread and joins them, as Zipper does; false when one failed.
bool writeAes(const QList<QList<ZipPlan::Unit>> &parts, const QString &archive, qint64 &bytesRead,
    const AesPartWriter::Progressed &progressed = {})
{
    std::vector<std::unique_ptr<AesPartWriter>> writers;
    QStringList paths;
    for (const QList<ZipPlan::Unit> &part : parts) {
        paths << (parts.size() == 1 ? archive : archive + u".%1"_s.arg(paths.size()));
        writers.push_back(std::make_unique<AesPartWriter>(part, paths.last(), kPassword, progressed));
    }
    std::vector<int> statuses(writers.size());
    std::vector<std::thread> threads;
    for (size_t i = 0; i < writers.size(); ++i)
        threads.emplace_back([&statuses, &writers, i] { statuses[i] = writers[i]->run(); });
    for (std::thread &thread : threads)
        thread.join();
    for (const auto &writer : writers)
        bytesRead += writer->bytesRead();
    return std::all_of(statuses.cbegin(), statuses.cend(), [](int status) { return status == 0; })
        && (parts.size() == 1 || ZipMerger::merge(paths, archive).isEmpty());
}

// 7-Zip's account of every entry, in order: name, kind, size, exact time, attributes.
QStringList listing(const QString &archive)
{
    return ArchiveReader::sevenZipDetails(
        archive, kPassword, {u"Path"_s, u"Folder"_s, u"Size"_s, u"Modified"_s, u"Attributes"_s});
}

bool hasAesField(QByteArrayView extra)
{
    for (qsizetype at = 0; at + 4 <= extra.size(); at += 4 + qFromLittleEndian<quint16>(extra.data() + at + 2))
        if (qFromLittleEndian<quint16>(extra.data() + at) == 0x9901)
            return true;
    return false;
}

// Every file is AES: method 99 and the AES field in its central and its local header. Folders
// and links are not encrypted. No zip64 here.
void verifyAesOnFiles(const QString &archive)
{
    const QByteArray bytes = readFile(archive);
    QVERIFY(!bytes.contains(kMarker));
    const auto at16 = [&bytes](qint64 at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
    const auto at32 = [&bytes](qint64 at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    const qint64 end = bytes.lastIndexOf("PK\x05\x06");
    for (qint64 i = 0, record = at32(end + 16); i < at16(end + 10); ++i) {
        const qint64 local = at32(record + 42);
        const bool file = S_ISREG(at32(record + 38) >> 16);
        QCOMPARE(at16(record + 10), file ? 99 : 0);
        QCOMPARE(at16(local + 8), at16(record + 10));
        QCOMPARE(hasAesField(bytes.mid(record + 46 + at16(record + 28), at16(record + 30))), file);
        QCOMPARE(hasAesField(bytes.mid(local + 30 + at16(local + 26), at16(local + 28))), file);
        record += 46 + at16(record + 28) + at16(record + 30) + at16(record + 32);
    }
}
} // namespace

class TestAesPartWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    // rm, as QDir cannot remove a name that is not UTF-8.
    void cleanupTestCase() { QCOMPARE(run({u"rm"_s, u"-rf"_s, m_dir.path()}), 0); }
    void cleanup() { QVERIFY(run({u"rm"_s, u"-rf"_s, output()}) == 0 && QDir().mkpath(output())); }
    void storesWhatZipStores_data();
    void storesWhatZipStores();
    void opensWithItsPasswordOnly_data();
    void opensWithItsPasswordOnly();
    void leavesOutWhatCannotBeRead();
    void cancelLeavesNothing_data();
    void cancelLeavesNothing();
    void failureLeavesNothing();

private:
    QString source(const QString &name) const { return m_dir.filePath(u"source/"_s + name); }
    QString output(const QString &name = {}) const { return m_dir.filePath(u"output/"_s + name); }

    QTemporaryDir m_dir;
};

void TestAesPartWriter::initTestCase()
{
    QVERIFY(QDir().mkpath(output()) && QDir().mkpath(source(u"Top/empty"_s)));
    QVERIFY(writeRandomFile(source(u"Top/big.bin"_s), 1));
    QVERIFY(writeFile(source(u"Top/sub/text.txt"_s), QByteArray("a line that deflates well\n").repeated(20000)));
    QVERIFY(writeFile(source(u"Top/sub/deeper/d.txt"_s), "d"));
    QVERIFY(writeFile(source(u"Top/photo.jpg"_s), kMarker.repeated(1000))); // stored, not deflated
    QVERIFY(writeFile(source(u"Top/empty.txt"_s), {}));
    QVERIFY(writeFile(source(u"Top/naïve.txt"_s), "utf-8"));
    QVERIFY(writeFile(source(u"Top/run.sh"_s), "#!/bin/sh\n"));
    QVERIFY(writeFile(source(u"Top/read-only.txt"_s), "r"));
    QVERIFY(::chmod(QFile::encodeName(source(u"Top/run.sh"_s)).constData(), 0755) == 0);
    QVERIFY(::chmod(QFile::encodeName(source(u"Top/read-only.txt"_s)).constData(), 0444) == 0);
    const QByteArray latin1Name = QFile::encodeName(source(u"Top/caf"_s)) + '\xe9'; // not UTF-8
    const int latin1 = ::open(latin1Name.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    QVERIFY(latin1 >= 0 && ::write(latin1, "latin-1", 7) == 7 && ::close(latin1) == 0);
    QVERIFY(QFile::link(u"run.sh"_s, source(u"Top/link-to-file"_s)));
    QVERIFY(QFile::link(u"sub"_s, source(u"Top/link-to-dir"_s)));
    // An odd second: zip rounds the MS-DOS time up, and the exact time goes along.
    const timespec times[2] = {{0, UTIME_OMIT}, {1577934245, 0}};
    QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(source(u"Top/sub/text.txt"_s)).constData(), times, 0) == 0);
}

void TestAesPartWriter::storesWhatZipStores_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("recursive");
    QTest::addColumn<int>("parts");
    QTest::newRow("a dropped folder") << u"Top"_s << true << 1;
    QTest::newRow("a folder cut into three parts, joined") << u"Top"_s << true << 3;
    QTest::newRow("a folder's own entry") << u"Top"_s << false << 1;
    QTest::newRow("a file") << u"Top/sub/text.txt"_s << true << 1;
    QTest::newRow("a link to a folder") << u"Top/link-to-dir"_s << true << 1;
}

void TestAesPartWriter::storesWhatZipStores()
{
    QFETCH(QString, item);
    QFETCH(bool, recursive);
    QFETCH(int, parts);
    QList<QList<ZipPlan::Unit>> cut = partsOf(source(item), parts);
    QCOMPARE(cut.size(), parts);
    if (!recursive)
        cut.first().first().recursive = false;
    QList<ZipPlan::Unit> units;
    qint64 bytes = 0;
    for (const QList<ZipPlan::Unit> &part : std::as_const(cut))
        for (const ZipPlan::Unit &unit : part) {
            units << unit;
            bytes += unit.recursive ? unit.size.bytes : 0;
        }
    QCOMPARE(ZipRunner(ZipPlan::runsForUnits(units, output(u"plain.zip"_s), false), {}, {}, {}).run(), 0);

    std::atomic<qint64> reports {0};
    qint64 bytesRead = 0;
    QVERIFY(writeAes(cut, output(u"aes.zip"_s), bytesRead, [&reports] { ++reports; }));
    const QStringList entries = listing(output(u"aes.zip"_s));
    QCOMPARE(entries, listing(output(u"plain.zip"_s)));
    QCOMPARE(ArchiveReader::storedNames(output(u"aes.zip"_s)), ArchiveReader::storedNames(output(u"plain.zip"_s)));
    verifyAesOnFiles(output(u"aes.zip"_s));
    // Every byte read, told per 256 KB or per file, not more often.
    QCOMPARE(bytesRead, bytes);
    QVERIFY(reports <= bytes / ZipRunner::DotSize + entries.count(u"Folder = -"_s));
}

void TestAesPartWriter::opensWithItsPasswordOnly_data()
{
    QTest::addColumn<QStringList>("extraction");
    QTest::newRow("7-Zip") << QStringList {u"7zz"_s, u"x"_s, u"-p%PASSWORD"_s, u"-o%FOLDER"_s, u"%ARCHIVE"_s};
    QTest::newRow("libarchive") << QStringList {
        u"bsdtar"_s, u"-xf"_s, u"%ARCHIVE"_s, u"-C"_s, u"%FOLDER"_s, u"--passphrase"_s, u"%PASSWORD"_s};
}

void TestAesPartWriter::opensWithItsPasswordOnly()
{
    QFETCH(QStringList, extraction);
    qint64 bytesRead = 0;
    QVERIFY(writeAes(partsOf(source(u"Top"_s), 1), output(u"aes.zip"_s), bytesRead));
    QByteArray messages;
    for (const QString &password : {kPassword, u"passwörd 1"_s}) {
        const QString folder = output(password == kPassword ? u"right"_s : u"wrong"_s);
        QVERIFY(QDir().mkpath(folder));
        const QStringList command = QStringList(extraction)
                                        .replaceInStrings(u"%PASSWORD"_s, password)
                                        .replaceInStrings(u"%FOLDER"_s, folder)
                                        .replaceInStrings(u"%ARCHIVE"_s, output(u"aes.zip"_s));
        QCOMPARE(run(command, &messages) == 0, password == kPassword);
    }
    QCOMPARE(ArchiveReader::describeTree(output(u"right/Top"_s), u"Top/"_s),
        ArchiveReader::describeTree(source(u"Top"_s), u"Top/"_s));
    if (extraction.first() == u"7zz"_s) // another password: refused for every one of the nine files
        QCOMPARE(messages.count("Wrong password"), 9);
}

void TestAesPartWriter::leavesOutWhatCannotBeRead()
{
    QVERIFY(writeRandomFile(source(u"Odd/big.bin"_s), 2));
    QVERIFY(writeFile(source(u"later.txt"_s), "gone before its turn"));
    QVERIFY(::mkfifo(QFile::encodeName(source(u"Odd/pipe"_s)).constData(), 0644) == 0);
    sockaddr_un address {AF_UNIX, {}};
    qstrncpy(address.sun_path, QFile::encodeName(source(u"Odd/socket"_s)).constData(), sizeof address.sun_path);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(::bind(socket, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
    ::close(socket);

    // The second unit's file goes while the first unit is read.
    const QList<ZipPlan::Unit> units
        = partsOf(source(u"Odd"_s), 1).first() + partsOf(source(u"later.txt"_s), 1).first();
    AesPartWriter writer(units, output(u"aes.zip"_s), kPassword, [this] { QFile::remove(source(u"later.txt"_s)); });
    QCOMPARE(writer.run(), AesPartWriter::SomeFilesUnread);
    QCOMPARE(writer.unreadNames(), QStringList({u"Odd/socket"_s, u"later.txt"_s}));
    QCOMPARE(run({u"7zz"_s, u"t"_s, u"-p"_s + kPassword, output(u"aes.zip"_s)}), 0);
    QCOMPARE(
        listing(output(u"aes.zip"_s)).filter(u"Path = "_s), QStringList({u"Path = Odd"_s, u"Path = Odd/big.bin"_s}));
}

void TestAesPartWriter::cancelLeavesNothing_data()
{
    QTest::addColumn<bool>("fromAnotherThread");
    QTest::newRow("from the progress callback") << false;
    QTest::newRow("from another thread") << true;
}

void TestAesPartWriter::cancelLeavesNothing()
{
    QFETCH(bool, fromAnotherThread);
    QVERIFY(writeRandomFile(source(u"Large/large.bin"_s), 64));
    std::unique_ptr<AesPartWriter> writer;
    writer = std::make_unique<AesPartWriter>(
        partsOf(source(u"Large"_s), 1).first(), output(u"aes.zip"_s), kPassword, [&writer, fromAnotherThread] {
            if (!fromAnotherThread)
                writer->cancel();
        });
    int status = 0;
    std::thread running([&] { status = writer->run(); });
    if (fromAnotherThread) {
        QTRY_VERIFY(writer->bytesRead() > 0);
        writer->cancel();
    }
    running.join();
    QCOMPARE(status, -1);
    QVERIFY(writer->bytesRead() < 64 << 20);
    QCOMPARE(entriesIn(output()), QStringList());
}

void TestAesPartWriter::failureLeavesNothing()
{
    AesPartWriter writer(partsOf(source(u"Top"_s), 1).first(), output(u"missing/aes.zip"_s), kPassword, {});
    const int status = writer.run();
    QCOMPARE(status, AesPartWriter::Failed);
    // Named as the folder of the archive the part is for.
    QCOMPARE(writer.failure(status, u"/home/user/Desktop/aes.zip"_s),
        u"The archive could not be created in the folder \"/home/user/Desktop\" (No such file or directory)."_s);
    QCOMPARE(entriesIn(output()), QStringList());
}

QTEST_GUILESS_MAIN(TestAesPartWriter)
#include "TestAesPartWriter.moc"
