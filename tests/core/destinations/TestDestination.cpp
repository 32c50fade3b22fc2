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
    QTest::addColumn<bool>("configurable");
    QTest::addColumn<bool>("createdNotice");

    const QString internal = Destination::internalFolderPath();
    const auto folder = std::make_shared<DestinationFolder>(u"/srv/x"_s, u"F"_s);
    QTest::newRow("Desktop") << named<DestinationDesktop>(u"D"_s) << QDir::homePath() + u"/Desktop"_s << false << false;
    QTest::newRow("Alongside") << named<DestinationAlongsideSource>(u"A"_s) << internal << false << false;
    QTest::newRow("Folder") << DestinationPointer(folder) << u"/srv/x"_s << false << true;
    QTest::newRow("Email") << named<DestinationEmail>(u"E"_s) << internal << true << false;
    QTest::newRow("Messages") << named<DestinationMessages>(u"M"_s) << internal << true << false;
    QTest::newRow("AirDrop") << named<DestinationAirDrop>(u"N"_s) << internal << false << false;
    QTest::newRow("iCloud") << named<DestinationICloud>(u"I"_s) << internal << false << false;
    QTest::newRow("Dropbox") << named<DestinationDropbox>(u"B"_s) << QString() << true << true;
    QTest::newRow("FTP") << named<DestinationFTP>(u"T"_s) << internal << true << false;
}

void TestDestination::kinds()
{
    QFETCH(DestinationPointer, destination);
    QFETCH(QString, root);
    QFETCH(bool, configurable);
    QFETCH(bool, createdNotice);
    QCOMPARE(destination->rootFolderPath(), root);
    QCOMPARE(destination->traits().testFlag(Destination::Configurable), configurable);
    QCOMPARE(destination->traits().testFlag(Destination::ShowsCreatedNotice), createdNotice);
    // Every kind the user adds, the user may also rename and delete.
    QVERIFY(
        destination->traits().testFlags(Destination::Deletable | Destination::Renamable | Destination::Interactive));
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
    QTest::addColumn<DestinationPointer>("destination");
    QTest::addColumn<QString>("title"); // empty: it goes on; "-": it stops without a word
    QTest::addColumn<QString>("text");
    const QString inTheWay = m_home.filePath(u"in the way"_s);
    QTest::newRow("ready") << DestinationPointer(std::make_shared<Destination>(m_home.filePath(u"Ready"_s), u"R"_s))
                           << QString() << QString();
    QTest::newRow("no folder set") << DestinationPointer(std::make_shared<Destination>(QString(), u"Blank"_s))
                                   << u"No Folder Set"_s
                                   << u"No folder is set for the Destination \"Blank\", so no archive was made. "
                                      "Choose its folder again."_s;
    QTest::newRow("folder cannot be made")
        << DestinationPointer(std::make_shared<Destination>(inTheWay + u"/Archives"_s, u"Blocked"_s))
        << u"Folder Not Made"_s
        << u"The folder \"%1/Archives\" of the Destination \"Blocked\" could not be made, so no archive was "
           "made. Check that you may write there."_s.arg(inTheWay);
    QTest::newRow("folder gone") << DestinationPointer(std::make_shared<DestinationFolder>(m_home.filePath(u"gone"_s),
        u"Gone"_s)) << u"Folder Not Found"_s
                                 << u"The folder \"%1\" of the Destination \"Gone\" could not be found, so no "
                                    "archive was made. It may have been moved or removed, or its disk may not be "
                                    "connected."_s.arg(m_home.filePath(u"gone"_s));
    QTest::newRow("the add tile") << DestinationPointer(std::make_shared<DestinationAddDestination>(u"Add"_s)) << u"-"_s
                                  << QString();
}

void TestDestination::aDestinationThatCannotTakeTheArchiveSaysWhy()
{
    QFETCH(DestinationPointer, destination);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFile blocker(m_home.filePath(u"in the way"_s));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    // The Destination tells its caller; it shows nothing itself.
    std::optional<Error> stop;
    destination->destinationWillBeUsedWithURLsToZip({}, [&stop](const Error &refusal) { stop = refusal; });
    QVERIFY(stop.has_value());
    if (title.isEmpty()) {
        QVERIFY2(stop->isNull(), qPrintable(stop->localizedFailureReason()));
    } else if (title == u"-"_s) {
        QVERIFY(stop->isCancellation());
        QVERIFY(stop->localizedFailureReason().isEmpty());
    } else {
        QVERIFY(!stop->isCancellation());
        QCOMPARE(stop->title(), title);
        QCOMPARE(stop->localizedFailureReason(), text);
    }
}

#include "TestDestination.moc"
