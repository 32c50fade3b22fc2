// The user's list of Destinations, kept in its file, without the application around it.

#include "TemporaryHome.h"
#include "TestFiles.h"

#include "core/destinations/DestinationAddDestination.h"
#include "core/destinations/DestinationDesktop.h"
#include "core/destinations/DestinationEmail.h"
#include "core/destinations/DestinationListModel.h"

#include <QSignalSpy>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {
QStringList namesOf(const DestinationList &destinations)
{
    QStringList names;
    for (const DestinationPointer &destination : destinations)
        names << destination->name();
    return names;
}

// What a second start of the program reads.
QStringList namesInFile(const QString &path)
{
    DestinationListModel again(path);
    again.load();
    return namesOf(again.destinations());
}
} // namespace

class TestDestinationListModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aFirstStartGetsTheDefaultSetAndWritesItWithTheFirstSave();
    void additionsRemovalsAndChangesAreToldAndSaved();

private:
    QString storePath() const { return m_home.filePath(u".local/share/Tessary/Destinations.data"_s); }

    TemporaryHome m_home;
};

void TestDestinationListModel::aFirstStartGetsTheDefaultSetAndWritesItWithTheFirstSave()
{
    QFile::remove(storePath());
    DestinationListModel list(storePath());
    QCOMPARE(list.storePath(), DestinationListModel::defaultStorePath());
    QSignalSpy added(&list, &DestinationListModel::destinationAdded);
    list.load();
    QCOMPARE(namesOf(list.destinations()), namesOf(DestinationListModel::defaultDestinations()));
    QCOMPARE(added.size(), list.destinations().size()); // each is announced, for its owner to wire it
    QVERIFY(list.hasDestinationOfType(Destination::DestinationTypeAddDestination));
    QVERIFY(!QFileInfo::exists(storePath()));
    QVERIFY(list.save());
    QCOMPARE(namesInFile(storePath()), namesOf(list.destinations()));
}

void TestDestinationListModel::additionsRemovalsAndChangesAreToldAndSaved()
{
    QFile::remove(storePath());
    DestinationListModel list(storePath());
    list.load();
    QSignalSpy added(&list, &DestinationListModel::destinationAdded);
    QSignalSpy removed(&list, &DestinationListModel::destinationRemoved);

    // A new one goes before the add tile, and the file has it at once.
    auto mail = std::make_shared<DestinationEmail>(u"Mail Anna"_s);
    QVERIFY(list.add(mail));
    QVERIFY(!list.add(nullptr));
    QCOMPARE(added.size(), 1);
    QCOMPARE(list.destinations().at(list.destinations().size() - 2), mail);
    QCOMPARE(namesInFile(storePath()), namesOf(list.destinations()));

    // A change the Destination reports is saved.
    mail->setName(u"Mail Ben"_s);
    mail->noteChange();
    QVERIFY(namesInFile(storePath()).contains(u"Mail Ben"_s));

    // One that is not in the list is not removed; nothing is told or written.
    DestinationDesktop stranger(u"Stranger"_s);
    const QByteArray stored = readFile(storePath());
    QVERIFY(!list.remove(&stranger));
    QVERIFY(!list.remove(nullptr));
    QCOMPARE(removed.size(), 0);
    QCOMPARE(readFile(storePath()), stored);

    // A removal is told while the Destination still lives, and saved; it reports to nobody after.
    const QPointer<Destination> alive(mail.get());
    QVERIFY(list.remove(mail.get()));
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed.first().first().value<Destination *>(), mail.get());
    QVERIFY(!namesInFile(storePath()).contains(u"Mail Ben"_s));
    const QByteArray afterRemoval = readFile(storePath());
    mail->setName(u"Gone"_s);
    mail->noteChange();
    QCOMPARE(readFile(storePath()), afterRemoval);
    QVERIFY(alive); // still ours to hold
}

QTEST_GUILESS_MAIN(TestDestinationListModel)
#include "TestDestinationListModel.moc"
