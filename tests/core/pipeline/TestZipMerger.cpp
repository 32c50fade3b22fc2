#include "ArchiveReader.h"
#include "TestFiles.h"

#include "core/pipeline/ZipMerger.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {
// An archive of no entries: the end record alone.
const QByteArray kEmptyArchive = QByteArray("PK\x05\x06") + QByteArray(18, '\0');

// The part, spoilt; null: no part at all.
using Damage = QByteArray (*)(QByteArray part);

int run(const QString &program, const QStringList &arguments, const QString &folder = {}, QByteArray *output = nullptr)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    const bool finished = process.waitForFinished(120000);
    if (output != nullptr)
        *output = process.readAllStandardOutput();
    return finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// Zips the items of the folder, each given as "./NAME", into the part; links are followed unless the
// options have "-y".
bool zipPart(const QString &folder, const QStringList &items, const QString &part, const QStringList &options = {})
{
    QStringList arguments = QStringList {u"-r"_s, u"-q"_s} + options + QStringList {part};
    for (const QString &item : items)
        arguments << u"./"_s + item;
    return run(u"/usr/bin/zip"_s, arguments, folder) == 0;
}

bool passesUnzipTest(const QString &archive, const QString &password = {})
{
    return run(u"/usr/bin/unzip"_s, {u"-tq"_s, u"-P"_s, password.isEmpty() ? u"none"_s : password, archive}) == 0;
}

// zipinfo's line for every entry of the archives: mode, version, sizes, type, method, date, time
// and name.
QStringList entryLines(const QStringList &archives)
{
    QStringList entries;
    for (const QString &archive : archives) {
        QByteArray listing;
        run(u"/usr/bin/unzip"_s, {u"-Z"_s, u"-l"_s, archive}, {}, &listing);
        const QStringList lines = QString::fromUtf8(listing).split(u'\n', Qt::SkipEmptyParts);
        entries << lines.mid(2, lines.size() - 3); // without the header lines and the totals
    }
    return entries;
}

void put32(QByteArray &bytes, qsizetype at, quint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
}
quint32 directoryOffset(const QByteArray &zip)
{
    return qFromLittleEndian<quint32>(zip.constData() + zip.size() - 6);
}
} // namespace

Q_DECLARE_METATYPE(Damage)

class TestZipMerger : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void joinsEveryEntryAsZipWroteIt_data();
    void joinsEveryEntryAsZipWroteIt();
    void writesZip64EndRecordsForManyEntries_data();
    void writesZip64EndRecordsForManyEntries();
    void failsWithoutLeavingAnything_data();
    void failsWithoutLeavingAnything();

private:
    std::unique_ptr<QTemporaryDir> m_work;
    // "a" with 35,000 empty files, and "b" a link to it: 70,000 names when zip follows the link.
    std::unique_ptr<QTemporaryDir> m_many;
    QString path(const QString &relative) const { return m_work->filePath(relative); }
};

void TestZipMerger::initTestCase()
{
    m_many = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_many->path()).mkpath(u"a"_s));
    for (int i = 0; i < 35000; ++i)
        QVERIFY(QFile(m_many->filePath(u"a/%1"_s.arg(i))).open(QIODevice::WriteOnly));
    QVERIFY(QFile::link(u"a"_s, m_many->filePath(u"b"_s)));
}

void TestZipMerger::init()
{
    m_work = std::make_unique<QTemporaryDir>();
    QVERIFY(m_work->isValid());
    QVERIFY(QDir(m_work->path()).mkpath(u"out"_s));
}

void TestZipMerger::joinsEveryEntryAsZipWroteIt_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("password");
    QTest::newRow("plain") << QStringList() << QString();
    QTest::newRow("zip64 extra fields") << QStringList {u"-fz"_s} << QString();
    QTest::newRow("encrypted") << QStringList {u"-P"_s, u"secret"_s} << u"secret"_s;
}

void TestZipMerger::joinsEveryEntryAsZipWroteIt()
{
    QFETCH(QStringList, options);
    QFETCH(QString, password);
    const QStringList linksStay = QStringList {u"-y"_s} + options;
    QVERIFY(writeFile(path(u"one/Docs/readme.txt"_s), "read me"));
    QVERIFY(QDir().mkpath(path(u"one/Docs/empty"_s)));
    QVERIFY(writeFile(path(u"one/notes.txt"_s), QByteArray(5000, 'n')));
    QVERIFY(QFile::link(u"notes.txt"_s, path(u"one/link"_s)));
    QVERIFY(writeRandomFile(path(u"two/Photos/big.bin"_s), 3)); // copied in several blocks
    QVERIFY(writeFile(path(u"two/Photos/sub/small.txt"_s), "small"));
    QVERIFY(writeFile(path(u"three/last.txt"_s), "last"));
    const QStringList parts {path(u"1.zip"_s), path(u"empty.zip"_s), path(u"2.zip"_s), path(u"3.zip"_s)};
    QVERIFY(zipPart(path(u"one"_s), {u"Docs"_s, u"notes.txt"_s, u"link"_s}, parts[0], linksStay));
    QVERIFY(writeFile(parts[1], kEmptyArchive));
    QVERIFY(zipPart(path(u"two"_s), {u"Photos"_s}, parts[2], linksStay));
    QVERIFY(zipPart(path(u"three"_s), {u"last.txt"_s}, parts[3], linksStay));
    const QString joined = path(u"out/Joined.zip"_s);
    QVERIFY(writeFile(joined, {})); // the placeholder that claims the name

    QCOMPARE(ZipMerger::merge(parts, joined), QString());
    QVERIFY(passesUnzipTest(joined, password));
    const QStringList lines = entryLines({joined});
    QCOMPARE(lines, entryLines(parts));
    QCOMPARE(lines.size(), 10);
    ArchiveReader archive;
    QVERIFY(archive.extract(joined, password));
    auto expected = ArchiveReader::describeTree(path(u"one"_s));
    expected.insert(ArchiveReader::describeTree(path(u"two"_s)));
    expected.insert(ArchiveReader::describeTree(path(u"three"_s)));
    QCOMPARE(archive.entries(), expected); // the link as a link, too
}

void TestZipMerger::writesZip64EndRecordsForManyEntries_data()
{
    QTest::addColumn<bool>("halves");
    QTest::newRow("two parts under the count each") << true;
    QTest::newRow("a part over the count, already zip64") << false;
}

void TestZipMerger::writesZip64EndRecordsForManyEntries()
{
    QFETCH(bool, halves);
    const QString many = m_many->path();
    QVERIFY(writeFile(path(u"small/tail.txt"_s), "tail"));
    QStringList parts;
    if (halves) {
        parts = {path(u"a.zip"_s), path(u"b.zip"_s)};
        QVERIFY(zipPart(many, {u"a"_s}, parts[0], {u"-0"_s}));
        QVERIFY(zipPart(many, {u"b"_s}, parts[1], {u"-0"_s}));
    } else {
        parts = {path(u"ab.zip"_s), path(u"small.zip"_s)};
        QVERIFY(zipPart(many, {u"a"_s, u"b"_s}, parts[0], {u"-0"_s}));
        QVERIFY(zipPart(path(u"small"_s), {u"tail.txt"_s}, parts[1]));
    }
    const QString joined = path(u"out/Joined.zip"_s);

    QCOMPARE(ZipMerger::merge(parts, joined), QString());
    QVERIFY(passesUnzipTest(joined));
    QList<QByteArray> expected;
    for (const QString &part : std::as_const(parts))
        expected << ArchiveReader::storedNames(part);
    QCOMPARE(ArchiveReader::storedNames(joined), expected);
    // The end record defers its count to the zip64 end record, found through the locator.
    const QByteArray zip = readFile(joined);
    const qsizetype locator = zip.size() - 22 - 20;
    QCOMPARE(qFromLittleEndian<quint16>(zip.constData() + zip.size() - 12), quint16(0xFFFF));
    QCOMPARE(zip.mid(locator, 4), QByteArray("PK\x06\x07"));
    const auto record = qFromLittleEndian<quint64>(zip.constData() + locator + 8);
    QCOMPARE(zip.mid(qsizetype(record), 4), QByteArray("PK\x06\x06"));
    QCOMPARE(qFromLittleEndian<quint64>(zip.constData() + record + 32), quint64(expected.size()));
}

void TestZipMerger::failsWithoutLeavingAnything_data()
{
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("cancelled");
    QTest::addColumn<QString>("message");
    const auto damagedPart = [](const char *name, Damage damage) {
        QTest::newRow(name) << damage << u"out/J.zip"_s << false << u"The temporary archive \"2.zip\" is damaged."_s;
    };
    const Damage none = [](QByteArray zip) { return zip; };
    QTest::newRow("missing part") << Damage(nullptr) << u"out/J.zip"_s << false
                                  << u"The temporary archive \"2.zip\" could not be read."_s;
    damagedPart("not a zip", [](QByteArray) { return QByteArray(300, 'x'); });
    damagedPart("truncated", [](QByteArray zip) { return zip.left(zip.size() / 2); });
    damagedPart("directory beyond the end", [](QByteArray zip) {
        put32(zip, zip.size() - 6, quint32(zip.size() + 100));
        return zip;
    });
    damagedPart("not a central record", [](QByteArray zip) {
        put32(zip, directoryOffset(zip), 0x04034b50);
        return zip;
    });
    damagedPart("local header outside the part", [](QByteArray zip) {
        put32(zip, directoryOffset(zip) + 42, directoryOffset(zip));
        return zip;
    });
    QTest::newRow("output folder missing") << none << u"out/nowhere/J.zip"_s << false
                                           << u"The archive could not be written in the folder \"WORK/out/nowhere\" "
                                              "(No such file or directory)."_s;
    QTest::newRow("cancelled") << none << u"out/J.zip"_s << true
                               << u"The archive was cancelled before it was finished."_s;
}

void TestZipMerger::failsWithoutLeavingAnything()
{
    QFETCH(Damage, damage);
    QFETCH(QString, output);
    QFETCH(bool, cancelled);
    QFETCH(QString, message);
    QVERIFY(writeFile(path(u"one/a.txt"_s), "a"));
    QVERIFY(writeFile(path(u"two/b.txt"_s), "b"));
    QVERIFY(zipPart(path(u"one"_s), {u"a.txt"_s}, path(u"1.zip"_s)));
    QVERIFY(zipPart(path(u"two"_s), {u"b.txt"_s}, path(u"good.zip"_s)));
    if (damage != nullptr)
        QVERIFY(writeFile(path(u"2.zip"_s), damage(readFile(path(u"good.zip"_s)))));
    if (QFileInfo(path(output)).dir().exists())
        QVERIFY(writeFile(path(output), {}));

    const std::atomic<bool> cancel {cancelled};
    QCOMPARE(ZipMerger::merge({path(u"1.zip"_s), path(u"2.zip"_s)}, path(output), &cancel),
        message.replace(u"WORK"_s, m_work->path()));
    QCOMPARE(entriesIn(path(u"out"_s)), QStringList());
}

QTEST_GUILESS_MAIN(TestZipMerger)
#include "TestZipMerger.moc"
