#include "ModalDriver.h"
#include "RefusingKeychain.h"
#include "TemporaryHome.h"
#include "TestFiles.h"

#include "app/Tessary.h"
#include "core/destinations/DestinationAirDrop.h"
#include "core/destinations/DestinationAlongsideSource.h"
#include "core/destinations/DestinationDesktop.h"
#include "core/destinations/DestinationDropbox.h"
#include "core/destinations/DestinationEmail.h"
#include "core/destinations/DestinationFTP.h"
#include "core/destinations/DestinationFolder.h"
#include "core/destinations/DestinationICloud.h"
#include "core/destinations/DestinationListModel.h"
#include "core/destinations/DestinationMessages.h"
#include "core/destinations/DestinationStore.h"
#include "core/settings/Keychain.h"
#include "core/support/KeyedCoder.h"
#include "gui/support/UtilitiesWindows.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const QStringList kBasicDefaultSet {u"Place Alongside Source"_s, u"Place on the Desktop"_s, u"Attach To Email"_s,
    u"Store in Backups Folder"_s, u"Send via Messages"_s, u"Send to Nearby Device"_s, u"Add New Destination"_s};

QStringList namesOf(const DestinationList &destinations)
{
    QStringList names;
    for (const DestinationPointer &destination : destinations)
        names << destination->name();
    return names;
}

// What a Destination keeps in the file, with its class: equal descriptions mean equal Destinations.
QVariantMap describe(const Destination &destination)
{
    KeyedCoder coder;
    destination.encodeWithCoder(coder);
    QVariantMap description = coder.values();
    description.insert(u"class"_s, QString::fromLatin1(destination.metaObject()->className()));
    return description;
}

QVariantList describeAll(const DestinationList &destinations)
{
    QVariantList descriptions;
    for (const DestinationPointer &destination : destinations)
        descriptions << describe(*destination);
    return descriptions;
}

// Whether the file holds the text, as the binary property list writes it (ASCII, or UTF-16BE).
bool holdsText(const QByteArray &file, const QString &text)
{
    QByteArray utf16;
    for (const QChar character : text)
        utf16 += char(character.unicode() >> 8) + QByteArray(1, char(character.unicode() & 0xff));
    return file.contains(text.toUtf8()) || file.contains(utf16);
}

QByteArray runFixture(const QStringList &arguments)
{
    QProcess python;
    python.start(
        u"/usr/bin/python3"_s, QStringList {QStringLiteral(TESSARY_FIXTURES_DIR "/keyed_archive.py")} + arguments);
    python.waitForFinished(30000);
    if (python.exitCode() != 0)
        qWarning() << python.readAllStandardError();
    return python.readAllStandardOutput();
}

} // namespace

class TestDestinationStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void defaultSet_data();
    void defaultSet();
    void everyKindKeepsEveryFieldAcrossARestart();
    void readsAKeyedArchiveMadeElsewhere();
    void damagedFileGivesTheDefaultSetAndIsKeptAside_data();
    void damagedFileGivesTheDefaultSetAndIsKeptAside();
    void aServerPasswordInTheFileMovesToTheKeyring_data();
    void aServerPasswordInTheFileMovesToTheKeyring();
    void failedSaveIsToldAndKeepsWhatWasThere();

private:
    /// Starts Tessary afresh, as at login.
    void relaunch();
    QString storePath() const { return m_home->filePath(u".local/share/Tessary/Destinations.data"_s); }

    std::unique_ptr<TemporaryHome> m_home;
    std::unique_ptr<Tessary> m_controller;
};

void TestDestinationStore::init()
{
    m_home = std::make_unique<TemporaryHome>();
}

void TestDestinationStore::cleanup()
{
    m_controller.reset();
    m_home.reset();
}

void TestDestinationStore::relaunch()
{
    m_controller.reset();
    m_controller = std::make_unique<Tessary>();
    m_controller->destinationList()->load();
}

void TestDestinationStore::defaultSet_data()
{
    QTest::addColumn<bool>("iCloud");
    QTest::addColumn<bool>("dropbox");
    QTest::addColumn<QStringList>("names");

    QStringList both = kBasicDefaultSet;
    both.insert(4, u"Upload to iCloud Drive"_s);
    both.insert(5, u"Share via Dropbox"_s);
    QStringList onlyDropbox = kBasicDefaultSet;
    onlyDropbox.insert(4, u"Share via Dropbox"_s);

    QTest::newRow("neither") << false << false << kBasicDefaultSet;
    QTest::newRow("both") << true << true << both;
    QTest::newRow("Dropbox only") << false << true << onlyDropbox;
}

void TestDestinationStore::defaultSet()
{
    QFETCH(bool, iCloud);
    QFETCH(bool, dropbox);
    QFETCH(QStringList, names);
    if (iCloud)
        QVERIFY(QDir().mkpath(m_home->filePath(u"iCloud Drive"_s)));
    if (dropbox)
        QVERIFY(QDir().mkpath(m_home->filePath(u".dropbox-dist"_s)));

    relaunch();
    QCOMPARE(namesOf(m_controller->destinationList()->destinations()), names);
    const auto backups
        = std::static_pointer_cast<DestinationFolder>(m_controller->destinationList()->destinations().at(3));
    QCOMPARE(backups->rootFolderPath(), m_home->filePath(u"Backups"_s));
    QVERIFY(QFileInfo(backups->rootFolderPath()).isDir());
    // The default set reaches the file only with the first change.
    QVERIFY(!QFileInfo::exists(storePath()));
}

void TestDestinationStore::everyKindKeepsEveryFieldAcrossARestart()
{
    QVERIFY(QDir().mkpath(m_home->filePath(u"Dropbox"_s)));
    relaunch();

    auto alongside = std::make_shared<DestinationAlongsideSource>(u"Beside"_s);
    alongside->setRootFolderPath(u"/home/someone/Documents/"_s);
    auto folder = std::make_shared<DestinationFolder>(u"/srv/archive"_s, u"Archive \u00e9t\u00e9"_s);
    folder->setRevealZipUponCreation(true);
    auto email = std::make_shared<DestinationEmail>(u"Mail"_s);
    email->setEmailAddresses({u"anna@example.org"_s, u"ben@example.org"_s});
    email->setSubject(u"Files"_s);
    email->setBody(u"Line one\r\nLine two"_s);
    email->setHasBeenConfigured(true);
    auto emptyEmail = std::make_shared<DestinationEmail>(u""_s);
    emptyEmail->setBody(u""_s);
    auto messages = std::make_shared<DestinationMessages>(u"Text"_s);
    messages->setSubject(u"Here you are"_s);
    messages->setRecipients({u"+15550100"_s});
    auto dropbox = std::make_shared<DestinationDropbox>(u"Box"_s);
    dropbox->setCreateShareLinks(false);
    dropbox->setSendShareLinks(true);
    dropbox->setSendLinkMethod(DestinationDropbox::SendLinkMethodMessages);
    dropbox->setRevealZipUponCreation(true);
    auto ftp = std::make_shared<DestinationFTP>(u"Server"_s);
    ftp->setServer(u"ftp.example.org"_s, 2121, ServerProtocolSFTP);
    ftp->setUserName(u"anna"_s);
    ftp->setUploadFolderPath(u"/incoming/zips"_s);
    ftp->setConfirmReplacementOfExistingFiles(true);
    auto plainFtp = std::make_shared<DestinationFTP>(u"Plain"_s);

    const DestinationList every {alongside, std::make_shared<DestinationDesktop>(u"Desk"_s), folder, email, emptyEmail,
        messages, std::make_shared<DestinationAirDrop>(u"Near"_s), std::make_shared<DestinationICloud>(u"Cloud"_s),
        dropbox, ftp, plainFtp};
    for (const DestinationPointer &destination : every)
        QVERIFY(m_controller->destinationList()->add(destination));
    const QVariantList before = describeAll(m_controller->destinationList()->destinations());

    relaunch();
    QCOMPARE(describeAll(m_controller->destinationList()->destinations()), before);
    QCOMPARE(dropbox->rootFolderPath(), m_home->filePath(u"Dropbox/Apps/Tessary"_s));
    // Replaced whole, so for the user's eyes only.
    QCOMPARE(QFileInfo(storePath()).permissions(),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser);
    QCOMPARE(QDir(QFileInfo(storePath()).path()).entryList(QDir::Files | QDir::Hidden),
        QStringList {u"Destinations.data"_s});
}

void TestDestinationStore::readsAKeyedArchiveMadeElsewhere()
{
    QDir().mkpath(QFileInfo(storePath()).path());
    runFixture({u"write"_s, storePath()});
    relaunch();

    const DestinationList &destinations = m_controller->destinationList()->destinations();
    QCOMPARE(
        namesOf(destinations), (QStringList {u"My Desktop"_s, u"Backups \u00e9t\u00e9"_s, u"Upload"_s, u"Mail"_s}));
    QCOMPARE(destinations.at(0)->type(), Destination::DestinationTypeDesktop);
    QCOMPARE(destinations.at(0)->rootFolderPath(), u"/home/someone/Desktop"_s);

    const auto folder = std::static_pointer_cast<DestinationFolder>(destinations.at(1));
    QVERIFY(folder->revealZipUponCreation());
    QCOMPARE(folder->tag(), 7);

    const auto ftp = std::static_pointer_cast<DestinationFTP>(destinations.at(2));
    QCOMPARE(ftp->tag(), -3);
    QCOMPARE(ftp->serverAddress(), u"ftp.example.org"_s);
    QCOMPARE(ftp->serverPort(), 2121);
    QCOMPARE(ftp->serverProtocol(), ServerProtocolFTP); // as the version that wrote it spoke
    QCOMPARE(ftp->userName(), u"anna"_s);
    QVERIFY(ftp->uploadFolderPath().isNull());
    QVERIFY(ftp->confirmReplacementOfExistingFiles());

    const auto email = std::static_pointer_cast<DestinationEmail>(destinations.at(3));
    QVERIFY(email->rootFolderPath().isNull());
    QCOMPARE(email->emailAddresses(), (QStringList {u"a@example.org"_s, u"b@example.org"_s}));
    QVERIFY(email->subject().isNull());
    QVERIFY(!email->body().isNull());
    QVERIFY(email->body().isEmpty());
    QVERIFY(!email->hasBeenConfigured());
}

namespace {
// A binary property list of the objects as given (each already encoded, referring to others by
// 4-byte index), with 4-byte offsets; the first object is the top.
QByteArray binaryPlist(const QList<QByteArray> &objects)
{
    const auto bigEndian = [](quint64 value, int size) {
        QByteArray bytes;
        for (int shift = (size - 1) * 8; shift >= 0; shift -= 8)
            bytes.append(char((value >> shift) & 0xFF));
        return bytes;
    };
    QByteArray data("bplist00");
    QByteArray offsets;
    for (const QByteArray &object : objects) {
        offsets += bigEndian(quint64(data.size()), 4);
        data += object;
    }
    const quint64 tableOffset = quint64(data.size());
    data += offsets;
    data += QByteArray(6, '\0') + char(4) + char(4) + bigEndian(quint64(objects.size()), 8) + bigEndian(0, 8)
        + bigEndian(tableOffset, 8);
    return data;
}

// A container object of fewer than 15 references: the marker's kind, then its references.
QByteArray container(char kind, const QList<quint32> &references)
{
    QByteArray object;
    object += char(kind | char(references.size()));
    for (const quint32 reference : references)
        object += char(reference >> 24) + QByteArray(1, char(reference >> 16)) + char(reference >> 8) + char(reference);
    return object;
}

QByteArray asciiString(const QByteArray &text)
{
    return char(0x50 | text.size()) + text;
}
} // namespace

void TestDestinationStore::damagedFileGivesTheDefaultSetAndIsKeptAside_data()
{
    QTest::addColumn<QByteArray>("content");

    const QByteArray valid
        = DestinationStore::archivedData({std::make_shared<DestinationDesktop>(u"Only the Desktop"_s)});
    QByteArray unknownClass = valid;
    unknownClass.replace("DestinationDesktop", "DestinationDeskTOP");

    QTest::newRow("truncated") << valid.left(valid.size() / 2);
    QTest::newRow("garbage") << QByteArray("\x00\x01 not a property list \xff", 24);
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("XML property list") << QByteArray(
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>x</string></array></plist>");
    QTest::newRow("unknown class") << unknownClass;

    QList<QByteArray> nested; // arrays in arrays, far deeper than any stack
    for (quint32 i = 0; i + 1 < 100000; ++i)
        nested << container(char(0xA0), {i + 1});
    nested << container(char(0xA0), {});
    QTest::newRow("deep nesting") << binaryPlist(nested);
    QList<QByteArray> bomb; // each level refers to the next 14 times: 14^12 nodes
    for (quint32 level = 0; level < 12; ++level)
        bomb << container(char(0xA0), QList<quint32>(14, level + 1));
    bomb << asciiString("x");
    QTest::newRow("reference bomb") << binaryPlist(bomb);
    QTest::newRow("cycle") << binaryPlist({container(char(0xA0), {1}), container(char(0xA0), {0})});
    QTest::newRow("wrong types") << binaryPlist({container(char(0xD0), {1, 2, 3, 4, 5, 6}), asciiString("$archiver"),
        asciiString("$objects"), asciiString("$top"), asciiString("NSKeyedArchiver"), asciiString("not objects"),
        asciiString("not a dictionary")});
}

void TestDestinationStore::damagedFileGivesTheDefaultSetAndIsKeptAside()
{
    QFETCH(QByteArray, content);
    QVERIFY(writeFile(storePath(), content));

    relaunch();
    QCOMPARE(namesOf(m_controller->destinationList()->destinations()), kBasicDefaultSet);
    QCOMPARE(readFile(storePath()), content); // loading changes nothing

    m_controller->destinationList()->add(std::make_shared<DestinationFTP>(u"FTP"_s));
    QCOMPARE(readFile(storePath() + u".unreadable"_s), content);
    m_controller->destinationList()->add(std::make_shared<DestinationFTP>(u"Another"_s));
    QVERIFY(!QFileInfo::exists(storePath().replace(u".data"_s, u".data #2.unreadable"_s)));

    relaunch();
    QCOMPARE(m_controller->destinationList()->destinations().size(), kBasicDefaultSet.size() + 2);
}

void TestDestinationStore::aServerPasswordInTheFileMovesToTheKeyring_data()
{
    QTest::addColumn<bool>("keyringTakesIt");
    QTest::newRow("a keyring that takes it") << true;
    QTest::newRow("a keyring that refuses") << false;
}

void TestDestinationStore::aServerPasswordInTheFileMovesToTheKeyring()
{
    QFETCH(bool, keyringTakesIt);
    // A Destinations file of an earlier version, with the server password in it.
    QDir().mkpath(QFileInfo(storePath()).path());
    runFixture({u"write"_s, storePath()});
    const QString password = u"pa\u00dfword"_s;
    QVERIFY(holdsText(readFile(storePath()), password));
    // Started afresh; the controller puts the desktop's keyring in place, this test its own.
    m_controller = std::make_unique<Tessary>();
    std::optional<RefusingKeychain> refusing;
    if (!keyringTakesIt)
        refusing.emplace();
    m_controller->destinationList()->load();
    const auto ftp = std::static_pointer_cast<DestinationFTP>(m_controller->destinationList()->destinations().at(2));
    const QString account = ftp->keychainAccount();
    QVERIFY(!account.isEmpty());
    if (keyringTakesIt) {
        // Once the keyring has it, the file no longer does; the upload finds it there.
        QTRY_COMPARE(ftp->passwordInFile(), QString());
        QTRY_VERIFY(!holdsText(readFile(storePath()), password));
        QCOMPARE(Keychain::passwordForService(DestinationFTP::KeychainService, account), u"pa\u00dfword"_s);
        relaunch();
        QCOMPARE(std::static_pointer_cast<DestinationFTP>(m_controller->destinationList()->destinations().at(2))
                     ->keychainAccount(),
            account);
    } else {
        // A keyring that cannot take it never costs the password.
        QTest::qWait(300);
        QCOMPARE(ftp->passwordInFile(), u"pa\u00dfword"_s);
        QVERIFY(holdsText(readFile(storePath()), password));
    }
    // Whichever holds it, the dialog and the upload read it.
    std::optional<QString> read;
    ftp->readPassword(this, [&read](const QString &found, const Error &) { read = found; });
    QTRY_COMPARE(read, std::optional(password));

    // Deleted, the Destination takes its password from the keyring with it.
    refusing.reset();
    QVERIFY(m_controller->destinationList()->remove(m_controller->destinationList()->destinations().at(2).get()));
    QTRY_VERIFY(Keychain::passwordForService(DestinationFTP::KeychainService, account).isNull());
}

void TestDestinationStore::failedSaveIsToldAndKeepsWhatWasThere()
{
    relaunch();
    // Something the file cannot replace stands where it goes.
    QVERIFY(writeFile(storePath() + u"/kept.txt"_s, "kept"));
    UtilitiesWindows::setNonInteractive(false);
    ModalDriver driver;
    driver.answerMessageBox();
    m_controller->destinationList()->add(std::make_shared<DestinationFTP>(u"Upload"_s));
    UtilitiesWindows::setNonInteractive(true);
    QCOMPARE(driver.messages,
        QStringList {u"Destinations Not Saved|Your change to the Destinations could not be saved in \"%1\". It holds "
                     "until Tessary quits; the file keeps the Destinations as they were before."_s.arg(storePath())});
    QCOMPARE(readFile(storePath() + u"/kept.txt"_s), QByteArray("kept"));
    const DestinationList &destinations = m_controller->destinationList()->destinations();
    QCOMPARE(destinations.at(destinations.size() - 2)->name(), u"Upload"_s); // before the add tile
}

QTEST_MAIN(TestDestinationStore)
#include "TestDestinationStore.moc"
