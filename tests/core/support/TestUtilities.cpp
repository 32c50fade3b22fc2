#include "TemporaryHome.h"
#include "TestFiles.h"

#include "core/destinations/Destination.h"
#include "core/pipeline/Housekeeping.h"
#include "core/support/ChildProcess.h"
#include "core/support/FileNames.h"
#include "core/support/Utilities.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

class TestUtilities : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void availableFileName_data();
    void availableFileName();
    void fileNames_data();
    void fileNames();
    void namesKeepEveryByte_data();
    void namesKeepEveryByte();
    void recipients_data();
    void recipients();
    void housekeepingRemovesStaleEntriesAndFollowsNoLink();
    void aChildReadsAnInputOfAnyLength();
};

void TestUtilities::availableFileName_data()
{
    QTest::addColumn<QStringList>("existing"); // "NAME/": a folder, "NAME@": a broken link
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<QString>("expected");

    QTest::newRow("free") << QStringList() << u"A.zip"_s << u"A.zip"_s;
    QTest::newRow("taken twice") << QStringList {u"A.zip"_s, u"A #2.zip"_s} << u"A.zip"_s << u"A #3.zip"_s;
    QTest::newRow("gap is not filled") << QStringList {u"A.zip"_s, u"A #3.zip"_s} << u"A.zip"_s << u"A #2.zip"_s;
    QTest::newRow("taken by a folder") << QStringList {u"Report.zip/"_s} << u"Report.zip"_s << u"Report #2.zip"_s;
    QTest::newRow("dots and percent signs")
        << QStringList {u"Q3.final 50%1.zip"_s} << u"Q3.final 50%1.zip"_s << u"Q3.final 50%1 #2.zip"_s;
    QTest::newRow("no extension") << QStringList {u"Archive"_s} << u"Archive"_s << u"Archive #2"_s;
    // A broken link is never replaced by an archive of its name.
    QTest::newRow("taken by a broken link") << QStringList {u"A.zip@"_s} << u"A.zip"_s << u"A #2.zip"_s;
}

void TestUtilities::availableFileName()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, wanted);
    QFETCH(QString, expected);
    QTemporaryDir folder;
    for (const QString &name : std::as_const(existing)) {
        if (name.endsWith(u'/'))
            QVERIFY(QDir(folder.path()).mkdir(name));
        else if (name.endsWith(u'@'))
            QVERIFY(QFile::link(folder.filePath(u"gone"_s), folder.filePath(name.chopped(1))));
        else
            QVERIFY(writeFile(folder.filePath(name), {}));
    }
    const bool changed = expected != wanted;
    bool didChange = !changed;
    QCOMPARE(Utilities::availableFileName(wanted, folder.path(), &didChange), expected);
    QCOMPARE(didChange, changed);
}

void TestUtilities::fileNames_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("withoutExtension");
    QTest::addColumn<QString>("withExtension");

    QTest::newRow("escaped spaces") << u"/p/My%20File.zip"_s << u"My File"_s << u"My File.zip"_s;
    QTest::newRow("several dots") << u"/p/archive.tar.gz"_s << u"archive.tar"_s << u"archive.tar.gz"_s;
    QTest::newRow("no extension") << u"/p/README"_s << u"README"_s << u"README"_s;
    QTest::newRow("hidden file") << u"/p/.profile"_s << u".profile"_s << u".profile"_s;
}

void TestUtilities::fileNames()
{
    QFETCH(QString, path);
    QFETCH(QString, withoutExtension);
    QFETCH(QString, withExtension);
    QCOMPARE(Utilities::fileNameFromFullPath(path, false), withoutExtension);
    QCOMPARE(Utilities::fileNameFromFullPath(path, true), withExtension);
    QCOMPARE(Utilities::nameOfFileSystemItemAtPath(path.replace(u"%20"_s, u" "_s)), withoutExtension);
}

void TestUtilities::recipients_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("array");
    QTest::addColumn<QString>("joined");

    QTest::newRow("spaces and empty pieces")
        << u" anna , ,ben,"_s << QStringList {u"anna"_s, u"ben"_s} << u"anna, ben"_s;
    QTest::newRow("empty") << QString() << QStringList() << u""_s;
    QTest::newRow("one") << u"+1 555 0100"_s << QStringList {u"+15550100"_s} << u"+15550100"_s;
}

void TestUtilities::recipients()
{
    QFETCH(QString, text);
    QFETCH(QStringList, array);
    QFETCH(QString, joined);
    QCOMPARE(Utilities::recipientsStringToRecipientsArray(text), array);
    const QString back = Utilities::recipientsArrayToRecipientsString(array);
    QCOMPARE(back, joined);
    QVERIFY(!back.isNull()); // an empty list gives an empty text, not none
}

void TestUtilities::housekeepingRemovesStaleEntriesAndFollowsNoLink()
{
    const TemporaryHome home;
    QTemporaryDir dir;
    const QString internal = Destination::internalFolderPath();
    QVERIFY(writeFile(dir.filePath(u"outside/keep.txt"_s), "keep"));
    QVERIFY(writeFile(internal + u"/job-73/Report.zip"_s, "old"));
    QVERIFY(QFile::link(dir.filePath(u"outside"_s), internal + u"/job-73/link-to-outside"_s));
    QVERIFY(writeFile(internal + u"/job-71/Report.zip"_s, "younger"));
    QVERIFY(writeFile(internal + u"/file-73.zip"_s, "old"));
    QVERIFY(QFile::link(dir.filePath(u"outside"_s), internal + u"/link-73"_s));
    // Times carried over from elsewhere, as `touch -d` sets them (-h: a link's own time).
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const auto age = [&](const QString &entry, int hours) {
        QProcess touch;
        touch.start(u"touch"_s, {u"-h"_s, u"-d"_s, u"@%1"_s.arg(now - qint64(hours) * 3600), internal + u'/' + entry});
        return touch.waitForFinished() && touch.exitCode() == 0;
    };
    QVERIFY(age(u"job-73/Report.zip"_s, 73) && age(u"job-73"_s, 73) && age(u"job-71"_s, 71));
    QVERIFY(age(u"file-73.zip"_s, 73) && age(u"link-73"_s, 73));

    Housekeeping housekeeping;
    housekeeping.start(); // collects at once, off this thread
    QTRY_COMPARE(
        QDir(internal).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System), QStringList {u"job-71"_s});
    QCOMPARE(readFile(internal + u"/job-71/Report.zip"_s), QByteArray("younger"));
    QCOMPARE(readFile(dir.filePath(u"outside/keep.txt"_s)), QByteArray("keep")); // never followed
}

void TestUtilities::namesKeepEveryByte_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("utf8");
    QTest::newRow("ASCII") << QByteArray("report 2026.txt") << true;
    QTest::newRow("accents and CJK") << QByteArray("Résumé 日本.txt") << true;
    QTest::newRow("beyond the basic plane") << QByteArray("\xF0\x9F\x93\xA6 box") << true;
    QTest::newRow("Latin-1 byte") << QByteArray("caf\xE9.txt") << false;
    // A lone continuation byte, an overlong slash, an encoded surrogate.
    QTest::newRow("invalid sequences") << QByteArray("a\x80") + "b\xC0\xAF\xED\xA0\x80" << false;
    QTest::newRow("cut sequence at the end") << QByteArray("ok\xE2\x82") << false;
    QTest::newRow("odd byte after a wide character") << QByteArray("\xF0\x90\x82\x80\x80") << false;
}

void TestUtilities::namesKeepEveryByte()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, utf8);
    const QString name = FileNames::decode(bytes);
    QCOMPARE(FileNames::encode(name), bytes);
    if (utf8)
        QCOMPARE(name, QString::fromUtf8(bytes));
    const QString path = u"/tmp/"_s + name;
    QCOMPARE(FileNames::localPath(FileNames::fileURL(path)), path);
}

void TestUtilities::aChildReadsAnInputOfAnyLength()
{
    // Far more than a pipe holds, and given back as it is read: the child is never kept waiting
    // to write while its input is still being handed over.
    const QByteArray input = QByteArray("0123456789abcdef").repeated(256 * 1024);
    ChildProcess child(u"/bin/cat"_s, {});
    child.setStandardInput(input);
    QVERIFY(child.start());
    QByteArray output;
    for (QByteArray chunk = child.readChunk(); !chunk.isEmpty(); chunk = child.readChunk())
        output += chunk;
    QCOMPARE(child.waitForExit(), 0);
    QCOMPARE(output.size(), input.size());
    QVERIFY(output == input);
}

QTEST_GUILESS_MAIN(TestUtilities)
#include "TestUtilities.moc"
