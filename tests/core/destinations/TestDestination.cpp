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
#include "core/destinations/TessaryNotifications.h"
#include "core/pipeline/ThreadHops.h"

#include <QDir>
#include <QThread>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(DestinationPointer)

namespace {

// Everything the receivers of the broadcasts heard, in order: "NAME added DESTINATION" or "NAME
// deleted ...".
QStringList heard;

class Receiver : public QObject
{
    Q_OBJECT

public:
    explicit Receiver(const QString &name)
    {
        setObjectName(name);
        TessaryNotifications::setWantsTessaryNotifications(this, true);
    }

    Q_INVOKABLE void noteThatDestinationWasJustAdded(Destination *destination)
    {
        QCOMPARE(QThread::currentThread(), QCoreApplication::instance()->thread());
        heard << objectName() + u" added "_s + destination->name();
    }
    Q_INVOKABLE void noteThatDestinationWasJustDeleted(Destination *destination)
    {
        heard << objectName() + u" deleted "_s + destination->name();
    }
};

} // namespace

class TestDestination : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init() { heard.clear(); }

    void kinds_data();
    void kinds();
    void internalRootGivesAFreshJobFolderEveryTime();
    void preparationRecreatesAMissingFolder();

    void receiversHearInOrderAsOftenAsTheyOptedIn();
    void destroyedReceiversHearNothing();
    void broadcastFromAnotherThreadArrivesOnTheMainThread();

private:
    std::unique_ptr<TemporaryHome> m_home;
    DestinationAirDrop m_nearby {u"Nearby"_s};
};

void TestDestination::initTestCase()
{
    m_home = std::make_unique<TemporaryHome>();
}

void TestDestination::cleanupTestCase()
{
    m_home.reset();
}

void TestDestination::kinds_data()
{
    QTest::addColumn<DestinationPointer>("destination");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("root");
    QTest::addColumn<bool>("configurable");
    QTest::addColumn<bool>("createdNotice");
    QTest::addColumn<bool>("userControls"); // delete, rename and interaction

    const QString internal = Destination::internalFolderPath();
    const QString desktop = QDir::homePath() + u"/Desktop"_s;
    QTest::newRow("Desktop") << DestinationPointer(std::make_shared<DestinationDesktop>(u"D"_s))
                             << int(Destination::DestinationTypeDesktop) << desktop << false << false << true;
    QTest::newRow("Alongside") << DestinationPointer(std::make_shared<DestinationAlongsideSource>(u"A"_s))
                               << int(Destination::DestinationTypeAlongsideSource) << internal << false << false
                               << true;
    QTest::newRow("Folder") << DestinationPointer(std::make_shared<DestinationFolder>(u"/srv/x"_s, u"F"_s))
                            << int(Destination::DestinationTypeFolder) << u"/srv/x"_s << false << true << true;
    QTest::newRow("Email") << DestinationPointer(std::make_shared<DestinationEmail>(u"E"_s))
                           << int(Destination::DestinationTypeEmail) << internal << true << false << true;
    QTest::newRow("Messages") << DestinationPointer(std::make_shared<DestinationMessages>(u"M"_s))
                              << int(Destination::DestinationTypeMessages) << internal << true << false << true;
    QTest::newRow("AirDrop") << DestinationPointer(std::make_shared<DestinationAirDrop>(u"N"_s))
                             << int(Destination::DestinationTypeAirDrop) << internal << false << false << true;
    QTest::newRow("iCloud") << DestinationPointer(std::make_shared<DestinationICloud>(u"I"_s))
                            << int(Destination::DestinationTypeICloud) << internal << false << false << true;
    QTest::newRow("Dropbox") << DestinationPointer(std::make_shared<DestinationDropbox>(u"B"_s))
                             << int(Destination::DestinationTypeDropbox) << QString() << true << true << true;
    QTest::newRow("FTP") << DestinationPointer(std::make_shared<DestinationFTP>(u"T"_s))
                         << int(Destination::DestinationTypeFTP) << internal << true << false << true;
}

void TestDestination::kinds()
{
    QFETCH(DestinationPointer, destination);
    QFETCH(int, type);
    QFETCH(QString, root);
    QFETCH(bool, configurable);
    QFETCH(bool, createdNotice);
    QFETCH(bool, userControls);

    QCOMPARE(int(destination->type()), type);
    QCOMPARE(destination->rootFolderPath(), root);
    QCOMPARE(destination->canBeConfigured(), configurable);
    QCOMPARE(destination->shouldDisplayArchiveCreatedNotification(), createdNotice);
    QCOMPARE(destination->canBeDeleted(), userControls);
    QCOMPARE(destination->canBeRenamed(), userControls);
    QCOMPARE(destination->allowsUserInteraction(), userControls);
    QCOMPARE(destination->shouldRevealZipUponCreation(), false);
    // Only the FTP kind adds a step after the zip: its upload.
    QCOMPARE(destination->postZipOperationWithPathToCreatedZipArchive(u"/tmp/a.zip"_s) != nullptr,
        type == Destination::DestinationTypeFTP);
    // The tile's picture is named; the grid's test draws every one.
    QVERIFY(!destination->iconName().isEmpty());
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
    QCOMPARE(Destination::internalFolderPath(), m_home->filePath(u".local/share/Tessary/Archives"_s));

    // A job prepares, then asks for its final folder once: one job, one folder.
    QDir internal(Destination::internalFolderPath());
    QVERIFY(internal.removeRecursively());
    QVERIFY(email.ensureFinalFolderExists());
    QVERIFY(internal.exists());
    QCOMPARE(internal.entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 0);
    email.finalFolderPath();
    QCOMPARE(internal.entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 1);
}

void TestDestination::preparationRecreatesAMissingFolder()
{
    QVERIFY(QDir(Destination::internalFolderPath()).removeRecursively());
    DestinationEmail email(u"Email"_s);
    std::optional<bool> answer;
    email.destinationWillBeUsedWithURLsToZip(
        {QUrl::fromLocalFile(u"/etc/hostname"_s)}, [&answer](bool cancel) { answer = cancel; });
    QCOMPARE(answer, std::optional<bool>(false));
    QVERIFY(QFileInfo(Destination::internalFolderPath()).isDir());
}

void TestDestination::receiversHearInOrderAsOftenAsTheyOptedIn()
{
    Receiver first(u"first"_s);
    Receiver second(u"second"_s);
    TessaryNotifications::setWantsTessaryNotifications(&first, true); // a second entry
    TessaryNotifications::notifyThatDestinationWasJustAdded(&m_nearby);
    QCOMPARE(heard, (QStringList {u"first added Nearby"_s, u"second added Nearby"_s, u"first added Nearby"_s}));

    heard.clear();
    TessaryNotifications::setWantsTessaryNotifications(&first, false); // removes one of the two
    TessaryNotifications::notifyThatDestinationWasJustDeleted(&m_nearby);
    QCOMPARE(heard, (QStringList {u"second deleted Nearby"_s, u"first deleted Nearby"_s}));
    TessaryNotifications::setWantsTessaryNotifications(&first, false);
}

void TestDestination::destroyedReceiversHearNothing()
{
    auto gone = std::make_unique<Receiver>(u"gone"_s);
    Receiver stays(u"stays"_s);
    gone.reset();
    TessaryNotifications::notifyThatDestinationWasJustAdded(&m_nearby);
    QCOMPARE(heard, QStringList {u"stays added Nearby"_s});
}

void TestDestination::broadcastFromAnotherThreadArrivesOnTheMainThread()
{
    Receiver first(u"first"_s);
    QSemaphore sent;
    executeBlockInBackground([this, &sent] {
        TessaryNotifications::notifyThatDestinationWasJustAdded(&m_nearby);
        sent.release();
    });
    QVERIFY(sent.tryAcquire(1, 10000));
    QVERIFY(heard.isEmpty()); // queued until the main thread gets to it
    QTRY_COMPARE(heard, QStringList {u"first added Nearby"_s});
}

QTEST_GUILESS_MAIN(TestDestination)
#include "TestDestination.moc"
