#include "TemporaryHome.h"

#include "core/destinations/DestinationAddDestination.h"
#include "core/destinations/DestinationAirDrop.h"
#include "core/destinations/DestinationAlongsideSource.h"
#include "core/destinations/DestinationDesktop.h"
#include "core/destinations/DestinationDropbox.h"
#include "core/destinations/DestinationDummy.h"
#include "core/destinations/DestinationEmail.h"
#include "core/destinations/DestinationFTP.h"
#include "core/destinations/DestinationFolder.h"
#include "core/destinations/DestinationICloud.h"
#include "core/destinations/DestinationMessages.h"
#include "core/support/KeyedCoder.h"

#include <QDir>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(DestinationPointer)

class TestDestination : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void kinds_data();
    void kinds();
    void internalRootGivesAFreshJobFolderEveryTime();
    void aDestinationThatCannotTakeTheArchiveSaysWhy_data();
    void aDestinationThatCannotTakeTheArchiveSaysWhy();
    void ftpProtocolOfAStoredDestination_data();
    void ftpProtocolOfAStoredDestination();
    void ftpTrustedCertificateBelongsToItsServer();

private:
    TemporaryHome m_home;
};

template <typename Kind> DestinationPointer named(const QString &name)
{
    return std::make_shared<Kind>(name);
}

void TestDestination::kinds_data()
{
    QTest::addColumn<DestinationPointer>("destination");
    QTest::addColumn<QString>("root");
    const QString internal = Destination::internalFolderPath();
    QTest::newRow("Desktop") << named<DestinationDesktop>(u"D"_s) << QDir::homePath() + u"/Desktop"_s;
    QTest::newRow("Alongside") << named<DestinationAlongsideSource>(u"A"_s) << internal;
    QTest::newRow("Folder") << DestinationPointer(std::make_shared<DestinationFolder>(u"/srv/x"_s, u"F"_s))
                            << u"/srv/x"_s;
    QTest::newRow("Email") << named<DestinationEmail>(u"E"_s) << internal;
    QTest::newRow("Messages") << named<DestinationMessages>(u"M"_s) << internal;
    QTest::newRow("AirDrop") << named<DestinationAirDrop>(u"N"_s) << internal;
    QTest::newRow("iCloud") << named<DestinationICloud>(u"I"_s) << internal;
    QTest::newRow("Dropbox") << named<DestinationDropbox>(u"B"_s) << QString();
    QTest::newRow("FTP") << named<DestinationFTP>(u"T"_s) << internal;
}

void TestDestination::kinds()
{
    QFETCH(DestinationPointer, destination);
    QFETCH(QString, root);
    QCOMPARE(destination->rootFolderPath(), root);
    QVERIFY(!destination->shouldRevealZipUponCreation());
    // Only the FTP kind adds a step after the zip: its upload.
    QCOMPARE(destination->postZipOperationWithPathToCreatedZipArchive(u"/tmp/a.zip"_s) != nullptr,
        destination->type() == Destination::DestinationTypeFTP);
}

void TestDestination::ftpProtocolOfAStoredDestination_data()
{
    QTest::addColumn<QVariantMap>("stored");
    QTest::addColumn<int>("protocol");
    QTest::addColumn<qint64>("port");
    const auto stored = [](const QString &address, qint64 port) {
        return QVariantMap {{u"Server Address"_s, address}, {u"Server Port"_s, port}};
    };
    QTest::newRow("earlier version") << stored(u"ftp.example.org"_s, 21) << int(ServerProtocolFTP) << qint64(21);
    QTest::newRow("earlier version on port 22")
        << stored(u"ftp.example.org"_s, 22) << int(ServerProtocolFTP) << qint64(22);
    QTest::newRow("sftp address, port left at FTP's")
        << stored(u"sftp://example.org"_s, 21) << int(ServerProtocolSFTP) << qint64(22);
    QTest::newRow("sftp address, own port")
        << stored(u"sftp://example.org"_s, 2222) << int(ServerProtocolSFTP) << qint64(2222);
    QTest::newRow("ftps address, no port")
        << stored(u"ftps://example.org/up"_s, 0) << int(ServerProtocolFTPS) << qint64(21);
    QVariantMap chosen = stored(u"sftp://example.org"_s, 2121);
    chosen.insert(u"Server Protocol"_s, qint64(ServerProtocolFTPS));
    QTest::newRow("protocol stored") << chosen << int(ServerProtocolFTPS) << qint64(2121);
    chosen.insert(u"Server Protocol"_s, qint64(7));
    QTest::newRow("unknown protocol stored") << chosen << int(ServerProtocolFTP) << qint64(2121);
}

void TestDestination::ftpProtocolOfAStoredDestination()
{
    QFETCH(QVariantMap, stored);
    const DestinationFTP ftp {KeyedCoder(stored)};
    QTEST(int(ftp.serverProtocol()), "protocol");
    QTEST(ftp.serverPort(), "port");

    // What is read is what is written: the next start reads the same.
    KeyedCoder coder;
    ftp.encodeWithCoder(coder);
    const DestinationFTP again(coder);
    QCOMPARE(again.serverProtocol(), ftp.serverProtocol());
    QCOMPARE(again.serverPort(), ftp.serverPort());
}

void TestDestination::ftpTrustedCertificateBelongsToItsServer()
{
    // A new Destination speaks FTP with TLS.
    DestinationFTP ftp(u"T"_s);
    QCOMPARE(ftp.serverProtocol(), ServerProtocolFTPS);
    QCOMPARE(ftp.serverPort(), 21);

    // The key of the certificate the user trusted stays while the server does, and goes with it.
    KeyedCoder withPin(QVariantMap {{u"Server Address"_s, u"example.org"_s}, {u"Server Port"_s, qint64(21)},
        {u"Server Protocol"_s, qint64(ServerProtocolFTPS)}, {u"Server Certificate Key"_s, u"sha256//abc="_s}});
    DestinationFTP stored(withPin);
    QCOMPARE(stored.pinnedPublicKey(), QByteArray("sha256//abc="));
    stored.setServer(u"example.org"_s, 21, ServerProtocolFTPS);
    QCOMPARE(stored.pinnedPublicKey(), QByteArray("sha256//abc="));
    stored.setServer(u"example.org"_s, 990, ServerProtocolFTPS);
    QVERIFY(stored.pinnedPublicKey().isEmpty());
    KeyedCoder coder;
    stored.encodeWithCoder(coder);
    QVERIFY(!coder.containsKey(u"Server Certificate Key"_s));
}

void TestDestination::internalRootGivesAFreshJobFolderEveryTime()
{
    DestinationEmail email(u"E"_s);
    const QString first = email.finalFolderPath();
    const QString second = email.finalFolderPath();
    QVERIFY(first != second);
    for (const QString &jobFolder : {first, second}) {
        QCOMPARE(QFileInfo(jobFolder).path(), Destination::internalFolderPath());
        QVERIFY(QFileInfo(jobFolder).isDir());
    }
    QCOMPARE(Destination::internalFolderPath(), m_home.filePath(u".local/share/Tessary/Archives"_s));

    // A job prepares, recreating the folder if it went, then asks for its final folder once: one
    // job, one folder.
    QDir internal(Destination::internalFolderPath());
    QVERIFY(internal.removeRecursively());
    std::optional<Error> stop;
    email.destinationWillBeUsedWithURLsToZip(
        {QUrl::fromLocalFile(u"/etc/hostname"_s)}, [&stop](const Error &refusal) { stop = refusal; });
    QCOMPARE(stop, std::optional<Error>(Error()));
    QVERIFY(internal.exists());
    QCOMPARE(internal.entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 0);
    email.finalFolderPath();
    QCOMPARE(internal.entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 1);
}

QTEST_GUILESS_MAIN(TestDestination)
void TestDestination::aDestinationThatCannotTakeTheArchiveSaysWhy_data()
{
    // The refusals with their texts, as the user sees them: TestZipRequest.
    QTest::addColumn<DestinationPointer>("destination");
    QTest::addColumn<bool>("goesOn"); // false: it stops without a word
    QTest::newRow("ready") << DestinationPointer(std::make_shared<Destination>(m_home.filePath(u"Ready"_s), u"R"_s))
                           << true;
    QTest::newRow("the add tile") << DestinationPointer(std::make_shared<DestinationAddDestination>(u"Add"_s)) << false;
}

void TestDestination::aDestinationThatCannotTakeTheArchiveSaysWhy()
{
    QFETCH(DestinationPointer, destination);
    QFETCH(bool, goesOn);
    std::optional<Error> stop;
    destination->destinationWillBeUsedWithURLsToZip({}, [&stop](const Error &refusal) { stop = refusal; });
    QVERIFY(stop.has_value());
    if (goesOn) {
        QVERIFY2(stop->isNull(), qPrintable(stop->localizedFailureReason()));
        QVERIFY(QFileInfo(destination->rootFolderPath()).isDir()); // made for the archive
    } else {
        QVERIFY(stop->isCancellation());
        QVERIFY(stop->localizedFailureReason().isEmpty());
    }
}

#include "TestDestination.moc"
