#include "app/TessaryNotifications.h"
#include "destinations/DestinationAirDrop.h"
#include "pipeline/ThreadHops.h"

#include <QThread>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// Everything the receivers heard, in order: "NAME added DESTINATION" or "NAME deleted ...".
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

// Listens to additions only.
class AdditionsReceiver : public QObject
{
    Q_OBJECT

public:
    AdditionsReceiver() { TessaryNotifications::setWantsTessaryNotifications(this, true); }
    Q_INVOKABLE void noteThatDestinationWasJustAdded(Destination *destination)
    {
        heard << u"additions added "_s + destination->name();
    }
};

} // namespace

class TestNotifications : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { heard.clear(); }

    void receiversHearInOrderAsOftenAsTheyOptedIn();
    void destroyedReceiversHearNothing();
    void broadcastFromAnotherThreadArrivesOnTheMainThread();

private:
    DestinationAirDrop m_destination {u"Nearby"_s};
};

void TestNotifications::receiversHearInOrderAsOftenAsTheyOptedIn()
{
    Receiver first(u"first"_s);
    Receiver second(u"second"_s);
    TessaryNotifications::setWantsTessaryNotifications(&first, true); // a second entry
    TessaryNotifications::notifyThatDestinationWasJustAdded(&m_destination);
    QCOMPARE(heard, (QStringList {u"first added Nearby"_s, u"second added Nearby"_s, u"first added Nearby"_s}));

    heard.clear();
    TessaryNotifications::setWantsTessaryNotifications(&first, false); // removes one of the two
    TessaryNotifications::notifyThatDestinationWasJustDeleted(&m_destination);
    QCOMPARE(heard, (QStringList {u"second deleted Nearby"_s, u"first deleted Nearby"_s}));
    TessaryNotifications::setWantsTessaryNotifications(&first, false);
}

void TestNotifications::destroyedReceiversHearNothing()
{
    auto gone = std::make_unique<Receiver>(u"gone"_s);
    Receiver stays(u"stays"_s);
    gone.reset();
    TessaryNotifications::notifyThatDestinationWasJustAdded(&m_destination);
    QCOMPARE(heard, QStringList {u"stays added Nearby"_s});
}

void TestNotifications::broadcastFromAnotherThreadArrivesOnTheMainThread()
{
    Receiver first(u"first"_s);
    Receiver second(u"second"_s);
    QSemaphore sent;
    executeBlockInBackground([this, &sent] {
        TessaryNotifications::notifyThatDestinationWasJustAdded(&m_destination);
        sent.release();
    });
    QVERIFY(sent.tryAcquire(1, 10000));
    QVERIFY(heard.isEmpty()); // queued until the main thread gets to it
    QTRY_COMPARE(heard, (QStringList {u"first added Nearby"_s, u"second added Nearby"_s}));
}

QTEST_GUILESS_MAIN(TestNotifications)
#include "TestNotifications.moc"
