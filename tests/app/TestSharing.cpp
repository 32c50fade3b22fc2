// Delivery by e-mail, message, nearby share, iCloud Drive and Dropbox. Runs in a private desktop
// session (tests/helpers/with-desktop-session): the Dropbox token lives in its keychain.

#include "ArchiveReader.h"
#include "FixtureServer.h"
#include "FtpServer.h"
#include "ModalDriver.h"
#include "PresetPassword.h"
#include "RefusingKeychain.h"
#include "TemporaryHome.h"
#include "TestFiles.h"

#include "app/Tessary.h"
#include "app/ZipRequests.h"
#include "core/destinations/CreateShareLinkOperation.h"
#include "core/destinations/DestinationDropbox.h"
#include "core/destinations/DestinationEmail.h"
#include "core/destinations/DestinationFTP.h"
#include "core/destinations/DestinationICloud.h"
#include "core/destinations/DestinationListModel.h"
#include "core/destinations/DestinationMessages.h"
#include "core/destinations/DropboxManager.h"
#include "core/destinations/SharingServices.h"
#include "core/settings/SettingsFile.h"
#include "core/support/LogCapture.h"
#include "core/support/Utilities.h"
#include "gui/destinations/DestinationEditor.h"
#include "gui/destinations/DropboxSettingsDialog.h"
#include "gui/destinations/FTPSettingsDialog.h"
#include "gui/support/Alerts.h"
#include "gui/support/UtilitiesWindows.h"
#include "platform/DesktopServices.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QtTest>

#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

// Stands in for the desktop's services and records what it is handed.
class RecordingSharing final : public SharingServices
{
public:
    QStringList calls;
    QString clipboard;
    QString problem;

    void composeEmail(const QString &subject, const QString &body, const QStringList &recipients,
        const QString &attachmentPath, const Completion &completion) override
    {
        calls << u"email|%1|%2|%3|%4"_s.arg(subject, body, recipients.join(u','), attachmentPath);
        completion(problem);
    }
    void composeMessage(const QString &text, const QStringList &recipients, const QString &attachmentPath,
        const Completion &completion) override
    {
        calls << u"message|%1|%2|%3"_s.arg(text, recipients.join(u','), attachmentPath);
        completion(problem);
    }
    void shareNearby(const QString &filePath, const Completion &completion) override
    {
        calls << u"nearby|"_s + filePath;
        completion(problem);
    }
    void copyToClipboard(const QString &text) override { clipboard = text; }
};

// Runs a delivery and waits until it has ended: its problem, empty when it succeeded.
QString deliver(Destination &destination, const QString &archivePath)
{
    std::optional<QString> problem;
    destination.destinationWasUsedWithArchivePath(
        archivePath, [&problem](const QString &reported) { problem = reported; });
    [&problem] { QTRY_VERIFY_WITH_TIMEOUT(problem.has_value(), 10000); }();
    return problem.value_or(u"(never ended)"_s);
}

// Sends share-link requests to the server on this port; the endpoint, to find curl by.
QString useShareLinkServer(quint16 port)
{
    const QString endpoint = u"http://127.0.0.1:%1/2/sharing/create_shared_link"_s.arg(port);
    CreateShareLinkOperation::setEndpoint(endpoint);
    return endpoint;
}

} // namespace

class TestSharing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void emailTexts_data();
    void emailTexts();
    void aFailedDeliveryNamesTheKeptArchive_data();
    void aFailedDeliveryNamesTheKeptArchive();
    void iCloudMove_data();
    void iCloudMove();
    void shareLinkRequest_data();
    void shareLinkRequest();
    void dropboxDelivery();
    void shareLinkRequestKeepsItsTokenAndCanBeCancelled();
    void settingsDialogs();
    void ftpSettingsFollowTheProtocol();
    void aTokenTheKeyringRefusesIsTold();
    void largeAttachmentsAreQuestioned_data();
    void largeAttachmentsAreQuestioned();

private:
    QString archive(const QString &name = u"Report.zip"_s);

    std::unique_ptr<TemporaryHome> m_home;
    std::unique_ptr<Tessary> m_controller;
    RecordingSharing m_sharing;
    QString m_fullName;
};

void TestSharing::initTestCase()
{
    m_fullName = Utilities::fullUserName();
    QVERIFY(!m_fullName.isEmpty());
}

void TestSharing::init()
{
    UtilitiesWindows::setNonInteractive(false);
    m_home = std::make_unique<TemporaryHome>();
    m_controller = std::make_unique<Tessary>();
    m_controller->destinationList()->load();
    m_controller->logCapture()->begin();
    m_sharing.calls.clear();
    m_sharing.problem.clear();
    SharingServices::setInstance(&m_sharing);
}

void TestSharing::cleanup()
{
    DesktopServices::install();
    CreateShareLinkOperation::setEndpoint(CreateShareLinkOperation::DefaultEndpoint);
    QVERIFY(setDropboxToken(QString()));
    m_controller.reset();
    m_home.reset();
}

QString TestSharing::archive(const QString &name)
{
    const QString path = m_home->filePath(u"job/"_s + name);
    writeFile(path, "archive " + name.toUtf8());
    return path;
}

void TestSharing::emailTexts_data()
{
    QTest::addColumn<QStringList>("addresses");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("expected");
    QTest::newRow("never configured") << QStringList() << QString() << QString()
                                      << u"email|A Tessary Archive for You|Hi, here is a Tessary Archive for you: "
                                         "Report\r\n\r\nThanks,\r\n{name}\r\n\r\n||{path}"_s;
    QTest::newRow("addresses, empty subject")
        << QStringList {u"anna@example.org"_s, u"ben@example.org"_s} << u""_s << u"See attached."_s
        << u"email|A Tessary Archive for You|See attached.|anna@example.org,ben@example.org|{path}"_s;
}

void TestSharing::emailTexts()
{
    QFETCH(QStringList, addresses);
    QFETCH(QString, subject);
    QFETCH(QString, body);
    QFETCH(QString, expected);
    DestinationEmail email(u"Mail"_s);
    email.setEmailAddresses(addresses);
    email.setSubject(subject);
    email.setBody(body);
    const QString path = archive();
    QCOMPARE(deliver(email, path), QString());
    QCOMPARE(m_sharing.calls, QStringList {expected.replace(u"{name}"_s, m_fullName).replace(u"{path}"_s, path)});
}

void TestSharing::aFailedDeliveryNamesTheKeptArchive_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("problem");
    QTest::newRow("nearby share without KDE Connect") << u"message"_s << u"KDE Connect is not running."_s;
    QTest::newRow("an FTP server that is down") << u"ftp"_s << u"Could not connect to the FTP Server 127.0.0.1:"_s;
}

void TestSharing::aFailedDeliveryNamesTheKeptArchive()
{
    QFETCH(QString, kind);
    QFETCH(QString, problem);
    DestinationPointer destination;
    if (kind == u"ftp"_s) {
        QTcpServer listener; // a port that was free a moment ago: nothing answers there
        QVERIFY(listener.listen(QHostAddress::LocalHost));
        const quint16 closedPort = listener.serverPort();
        listener.close();
        const auto ftp = std::make_shared<DestinationFTP>(u"Uploads"_s);
        ftp->setServer(u"127.0.0.1"_s, closedPort, ServerProtocolFTP);
        destination = ftp;
    } else {
        m_sharing.problem = problem;
        destination = std::make_shared<DestinationMessages>(u"Text"_s);
    }
    // The request fails, whoever asked hears of it before the alert is answered, and the user
    // learns where the archive is.
    std::optional<ZipRequests::Outcome> outcome;
    bool endedBeforeTheAlert = false;
    ModalDriver driver;
    driver.answerMessageBox({}, [&](QWidget *) { endedBeforeTheAlert = outcome.has_value(); });
    QString archivePath;
    m_controller->zipRequests()->zip({QUrl::fromLocalFile(archive(u"notes.txt"_s))}, destination, u"Notes"_s, QString(),
        ZipEncryptionCompatible, [&](ZipRequests::Outcome ended, const QString &path, const Error &) {
            outcome = ended;
            archivePath = path;
        });
    QTRY_COMPARE_WITH_TIMEOUT(driver.messages.size(), 1, 20000);
    QVERIFY(endedBeforeTheAlert);
    QCOMPARE(outcome, std::optional(ZipRequests::Outcome::Failed));
    QCOMPARE(ArchiveReader::listEntries(archivePath), QStringList {u"notes.txt"_s});
    const QString message = driver.messages.first();
    QVERIFY2(message.startsWith(u"Something Went Wrong...|"_s + problem), qPrintable(message));
    QVERIFY2(message.endsWith(u" The archive was kept at \"%1\"."_s.arg(archivePath)), qPrintable(message));
}

void TestSharing::iCloudMove_data()
{
    QTest::addColumn<bool>("signedIn");
    QTest::addColumn<bool>("clash");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QByteArray>("inICloud");
    const QString moved = u"OK|\"Report.zip\" has been successfully set to upload to your iCloud Drive."_s;
    const QString question = u"Replace Existing?|A file with the name \"Report.zip\" already exists in your iCloud "
                             "Drive.  Would you like to replace it?"_s;
    QTest::newRow("not signed in") << false << false << QString() << QStringList()
                                   << u"Unable to upload the Tessary Archive to your iCloud Drive..."_s << QByteArray();
    QTest::newRow("moved") << true << false << QString() << QStringList {moved} << QString()
                           << QByteArray("archive Report.zip");
    QTest::newRow("clash declined") << true << true << u"Cancel"_s << QStringList {question} << QString()
                                    << QByteArray("older");
    QTest::newRow("clash replaced") << true << true << u"Replace Existing"_s << QStringList {question, moved}
                                    << QString() << QByteArray("archive Report.zip");
}

void TestSharing::iCloudMove()
{
    QFETCH(bool, signedIn);
    QFETCH(bool, clash);
    QFETCH(QString, answer);
    QFETCH(QStringList, messages);
    QFETCH(QString, problem);
    QFETCH(QByteArray, inICloud);
    if (signedIn)
        QVERIFY(QDir().mkpath(DestinationICloud::iCloudDrivePath()));
    const QString inDrive = DestinationICloud::documentsPath() + u"/Report.zip"_s;
    if (clash)
        QVERIFY(writeFile(inDrive, "older"));
    const QString path = archive();

    ModalDriver driver;
    driver.answerMessageBox(answer).answerMessageBox();
    DestinationICloud iCloud(u"Cloud"_s);
    iCloud.setUserInteraction(&Alerts::userInteraction());
    QCOMPARE(deliver(iCloud, path), problem);
    QCOMPARE(driver.messages, messages);
    QCOMPARE(readFile(inDrive), inICloud);
    QCOMPARE(QFileInfo::exists(path), inICloud != "archive Report.zip"); // moved out of its job folder, or still there
}

void TestSharing::shareLinkRequest_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("link");
    QTest::newRow("link") << u"Report \"Q3\".zip"_s << u"test-token"_s
                          << u"https://www.dropbox.com/s/abc/Report%20%22Q3%22.zip?dl=0"_s;
    QTest::newRow("wrong token") << u"Report.zip"_s << u"other"_s << QString();
    QTest::newRow("error object") << u"error.zip"_s << u"test-token"_s << QString();
    QTest::newRow("empty answer") << u"silent.zip"_s << u"test-token"_s << QString();
}

void TestSharing::shareLinkRequest()
{
    QFETCH(QString, file);
    QFETCH(QString, token);
    QFETCH(QString, link);
    FixtureServer server(u"share_link_server.py"_s, {u"test-token"_s});
    QVERIFY(server.isRunning());
    useShareLinkServer(server.port());
    // The server answers a request of any other form with an error object.
    const auto request = std::make_shared<CreateShareLinkOperation>(u"Apps/Tessary/"_s + file, token);
    bool finished = false;
    QVariant results;
    Error error;
    request->setFinishedHandler([&](bool, const QVariant &value, const Error &failure) {
        finished = true;
        results = value;
        error = failure;
    });
    request->startOnBackgroundThread();
    QTRY_VERIFY_WITH_TIMEOUT(finished, 15000);
    QCOMPARE(results.toString(), link);
    QCOMPARE(error.localizedFailureReason(), link.isNull() ? u"Could not generate share link"_s : QString());
    QVERIFY(!readFile(m_controller->logCapture()->logFilePath()).contains(token.toUtf8()));
}

void TestSharing::shareLinkRequestKeepsItsTokenAndCanBeCancelled()
{
    // A server that takes the request and never answers keeps curl running.
    FtpServer silent(FtpServer::Silent);
    QVERIFY(silent.isRunning());
    const QString endpoint = useShareLinkServer(silent.port());
    const QString token = u"sl.secret-token-4711"_s;
    const auto request = std::make_shared<CreateShareLinkOperation>(u"Apps/Tessary/Report.zip"_s, token);
    bool cancelled = false;
    request->setCancelledHandler([&cancelled] { cancelled = true; });
    request->startOnBackgroundThread();

    QTRY_VERIFY_WITH_TIMEOUT(!processesWhoseCommandLineHas(endpoint).isEmpty(), 10000);
    QCOMPARE(processesWhoseCommandLineHas(token), QStringList()); // on no command line of this machine
    request->cancel();
    QTRY_VERIFY(cancelled);
    QTRY_VERIFY_WITH_TIMEOUT(processesWhoseCommandLineHas(endpoint).isEmpty(), 5000); // curl has ended

    // Quitting with a request stuck on the silent server takes no longer than its wait, and ends it.
    SettingsFile().setValue(u"DropboxAccessHasBeenExplained"_s, true);
    QVERIFY(setDropboxToken(token));
    m_controller->dropboxManager()->createShareLinkToFileInDropboxAtPath(
        u"Apps/Tessary/Report.zip"_s, [](const QString &, const Error &) {});
    QTRY_VERIFY_WITH_TIMEOUT(!processesWhoseCommandLineHas(endpoint).isEmpty(), 10000);
    QElapsedTimer quitting;
    quitting.start();
    m_controller->stopRunningJobs();
    QVERIFY2(quitting.elapsed() < 3000, qPrintable(QString::number(quitting.elapsed())));
    QTRY_VERIFY_WITH_TIMEOUT(processesWhoseCommandLineHas(endpoint).isEmpty(), 5000);
}

void TestSharing::dropboxDelivery()
{
    // Without a Dropbox folder the user is asked for it, with the reason.
    ModalDriver locate;
    QString asked;
    locate.answerMessageBox().then([&asked](QWidget *panel) {
        asked = QString::fromLatin1(panel->metaObject()->className());
        ModalDriver::press(panel, Qt::Key_Escape);
    });
    QVERIFY(!m_controller->dropboxManager()->locateDropboxFolder()); // the picker was cancelled
    QCOMPARE(locate.messages.size(), 1);
    QVERIFY(locate.messages.first().startsWith(
        u"Where Is Your Dropbox Folder?|Tessary could not find your Dropbox folder"_s));
    QCOMPARE(asked, u"QFileDialog"_s);

    QVERIFY(QDir().mkpath(m_home->filePath(u"Dropbox"_s)));
    m_controller->dropboxManager()->setDefaultDropboxFolderPath();
    DestinationDropbox dropbox(u"Box"_s);
    dropbox.setDropboxManager(m_controller->dropboxManager());
    QVERIFY(!QFileInfo::exists(m_home->filePath(u"Dropbox/Apps/Tessary"_s))); // not made before it is used
    std::optional<Error> stop;
    dropbox.destinationWillBeUsedWithURLsToZip({}, [&stop](const Error &refusal) { stop = refusal; });
    QCOMPARE(stop, std::optional<Error>(Error()));
    QVERIFY(QFileInfo(m_home->filePath(u"Dropbox/Apps/Tessary"_s)).isDir());
    const QString path = m_home->filePath(u"Dropbox/Apps/Tessary/Report.zip"_s);

    // Without a token of the user's own nothing is asked of Dropbox.
    QVERIFY(setDropboxToken(QString()));
    ModalDriver noToken;
    noToken.answerMessageBox();
    QCOMPARE(deliver(dropbox, path), u"Tessary was unable to generate a link to 'Report.zip'"_s);
    QCOMPARE(noToken.messages.size(), 1);
    QVERIFY(noToken.messages.at(0).startsWith(u"Dropbox Access Token Required|"_s));

    FixtureServer server(u"share_link_server.py"_s, {u"test-token"_s});
    useShareLinkServer(server.port());
    QVERIFY(setDropboxToken(u"test-token"_s));
    dropbox.setSendShareLinks(true);
    dropbox.setSendLinkMethod(DestinationDropbox::SendLinkMethodMessages);
    ModalDriver explained;
    explained.answerMessageBox();
    QCOMPARE(deliver(dropbox, path), QString());
    QCOMPARE(deliver(dropbox, path), QString()); // the explanation comes once only
    QCOMPARE(explained.messages.size(), 1);
    QVERIFY(explained.messages.first().startsWith(u"Dropbox Access Explanation|Dropbox may request"_s));
    const QString link = u"https://www.dropbox.com/s/abc/Report.zip?dl=0"_s;
    QCOMPARE(m_sharing.clipboard, link);
    QCOMPARE(m_sharing.calls.size(), 2);
    QCOMPARE(m_sharing.calls.first(),
        u"message|Hi, here is a Tessary Archive for You: Report.zip.\r\rAnd here is a link you can use to download "
        "it:\r\r   \u2022 %1\r\rThanks,\r\n%2\r\n\r\n||"_s.arg(link, m_fullName));
}

void TestSharing::settingsDialogs()
{
    DestinationEmail email(u"Mail"_s);
    ModalDriver emailDriver;
    int oneLineHeight = 0;
    int twoLinesHeight = 0;
    int dialogHeight = 0;
    emailDriver.then([&](QWidget *modal) {
        auto *recipients = modal->findChild<QPlainTextEdit *>(u"recipientsTextField"_s);
        recipients->setFocus();
        QTest::keyClicks(recipients, u" anna@example.org , ,ben@example.org,"_s);
        auto *subject = modal->findChild<QPlainTextEdit *>(u"subjectTextField"_s);
        subject->setFocus();
        QTest::keyClicks(subject, u"Two"_s);
        oneLineHeight = subject->height();
        dialogHeight = modal->height();
        QTest::keyClick(subject, Qt::Key_Return); // a line break, not OK
        QTest::keyClicks(subject, u"lines"_s);
        twoLinesHeight = subject->height();
        modal->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    });
    bool cancelled = true;
    DestinationEditor().configure(email, [&cancelled](bool wasCancelled) { cancelled = wasCancelled; });
    QVERIFY(!cancelled);
    QCOMPARE(email.emailAddresses(), (QStringList {u"anna@example.org"_s, u"ben@example.org"_s}));
    QCOMPARE(email.subject(), u"Two\nlines"_s);
    // Fields as tall as their lines, growing with them; the dialog no taller than it needs.
    QVERIFY(twoLinesHeight > oneLineHeight);
    QVERIFY2(oneLineHeight < 2 * QFontMetrics(QApplication::font()).lineSpacing() + 12,
        qPrintable(QString::number(oneLineHeight)));
    QVERIFY2(dialogHeight < 420, qPrintable(QString::number(dialogHeight)));
    QVERIFY(email.hasBeenConfigured());

    QList<bool> sends;
    QString token;
    DropboxSettingsDialog dropbox(true, true, 1, QString(), [&](bool, bool, bool send, qint32, const QString &typed) {
        sends << send;
        token = typed;
    });
    auto *create = dropbox.findChild<QCheckBox *>(u"createShareLinkCheckBox"_s);
    auto *send = dropbox.findChild<QCheckBox *>(u"sendShareLinkCheckBox"_s);
    QCOMPARE(dropbox.findChild<QComboBox *>(u"sendLinkMethodButton"_s)->currentText(), u"Messages"_s);
    QVERIFY(send->isEnabled());
    create->click();
    QVERIFY(!send->isEnabled());
    ModalDriver dropboxDriver;
    dropboxDriver.then([](QWidget *modal) {
        ModalDriver::type(modal, "accessTokenTextField", u"my-token"_s);
        ModalDriver::press(modal, Qt::Key_Return);
    });
    dropbox.runModal();
    QCOMPARE(sends, QList<bool> {true}); // reported although disabled
    QCOMPARE(token, u"my-token"_s);
}

void TestSharing::ftpSettingsFollowTheProtocol()
{
    QStringList answer;
    FTPSettingsDialog dialog(u"old.example.org"_s, 21, ServerProtocolFTPS, QString(), QString(), QString(), false,
        [&](bool cancelled, const QString &address, qint64 port, ServerProtocol protocol, const QString &user,
            const QString &, const QString &folder, bool) {
            answer
                = {QString::number(cancelled), address, QString::number(port), QString::number(protocol), user, folder};
        });
    auto *protocol = dialog.findChild<QComboBox *>(u"protocolPopUp"_s);
    auto *address = dialog.findChild<QLineEdit *>(u"serverAddressTextField"_s);
    auto *port = dialog.findChild<QLineEdit *>(u"serverPortTextField"_s);
    QCOMPARE(protocol->currentText(), u"FTP with TLS (FTPS)"_s);

    // The port at the protocol's own follows the protocol; one of the user's stays.
    protocol->setCurrentIndex(protocol->findText(u"SFTP (SSH)"_s));
    QCOMPARE(port->text(), u"22"_s);
    port->setText(u"2222"_s);
    protocol->setCurrentIndex(protocol->findText(u"FTP (unencrypted)"_s));
    QCOMPARE(port->text(), u"2222"_s);

    // An address written as a URL is spread over the fields, and OK takes them.
    ModalDriver driver;
    driver.then([&](QWidget *modal) {
        address->selectAll();
        QTest::keyClicks(address, u"sftp://anna@files.example.org/~/in/box"_s);
        ModalDriver::press(modal, Qt::Key_Return);
    });
    dialog.runModal();
    QCOMPARE(answer,
        (QStringList {
            u"0"_s, u"files.example.org"_s, u"22"_s, QString::number(ServerProtocolSFTP), u"anna"_s, u"in/box"_s}));
}

void TestSharing::aTokenTheKeyringRefusesIsTold()
{
    DestinationDropbox dropbox(u"Dropbox"_s);
    const RefusingKeychain refusing;
    ModalDriver driver;
    driver
        .then([](QWidget *modal) {
            ModalDriver::type(modal, "accessTokenTextField", u"my-token"_s);
            ModalDriver::press(modal, Qt::Key_Return);
        })
        .answerMessageBox();
    std::optional<bool> cancelled;
    DestinationEditor().configure(dropbox, [&cancelled](bool wasCancelled) { cancelled = wasCancelled; });
    QTRY_COMPARE(cancelled, std::optional(false));
    QTRY_COMPARE(driver.messages.size(), 1);
    QVERIFY2(driver.messages.first().startsWith(u"Dropbox Access Token Not Saved|Your Dropbox access token could "
                                                "not be kept in your keyring"_s),
        qPrintable(driver.messages.first()));
}

void TestSharing::largeAttachmentsAreQuestioned_data()
{
    QTest::addColumn<QString>("limit"); // as the user wrote it into the settings file
    QTest::addColumn<int>("sizeKB"); // of incompressible data
    QTest::addColumn<bool>("withChooser"); // the running program's grid is there to choose from
    QTest::addColumn<QString>("answer"); // the button pressed; none for no question
    QTest::addColumn<QString>("ending"); // "email", "Backups" or "cancelled"
    QTest::newRow("under the limit") << u"1"_s << 900 << true << QString() << u"email"_s;
    QTest::newRow("attached anyway") << u"1"_s << 1200 << true << u"Attach Anyway"_s << u"email"_s;
    QTest::newRow("another Destination") << u"1"_s << 1200 << true << u"Choose Another Destination"_s << u"Backups"_s;
    QTest::newRow("cancelled") << u"1"_s << 1200 << true << u"Cancel"_s << u"cancelled"_s;
    QTest::newRow("no screen: cancelled") << u"1"_s << 1200 << true << u"(no screen)"_s << u"cancelled"_s;
    QTest::newRow("no grid to choose from") << u"1"_s << 1200 << false << u"Cancel"_s << u"cancelled"_s;
    QTest::newRow("question turned off") << u"0"_s << 1200 << true << QString() << u"email"_s;
    QTest::newRow("damaged limit keeps 25 MB") << u"lots"_s << 1200 << true << QString() << u"email"_s;
}

void TestSharing::largeAttachmentsAreQuestioned()
{
    QFETCH(QString, limit);
    QFETCH(int, sizeKB);
    QFETCH(bool, withChooser);
    QFETCH(QString, answer);
    QFETCH(QString, ending);
    SettingsFile().setValue(u"Email Size Limit"_s, limit);
    m_controller = std::make_unique<Tessary>();
    m_controller->destinationList()->load();
    SharingServices::setInstance(&m_sharing); // the new controller put the desktop's in place
    const DestinationPointer email = m_controller->destinationList()->destinations().at(2);
    const DestinationPointer backups = m_controller->destinationList()->destinations().at(3);
    QStringList offered;
    if (withChooser)
        m_controller->zipRequests()->setDestinationChooser(
            [&](const DestinationList &choices, const std::function<void(const DestinationPointer &)> &chosen) {
                for (const DestinationPointer &choice : choices)
                    offered << choice->name();
                chosen(backups);
            });
    QByteArray noise(sizeKB * 1024, Qt::Uninitialized);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    const QString item = m_home->filePath(u"items/scan.raw"_s);
    QVERIFY(writeFile(item, noise));

    const bool asked = !answer.isEmpty() && answer != u"(no screen)"_s;
    UtilitiesWindows::setNonInteractive(answer == u"(no screen)"_s);
    ModalDriver driver;
    QStringList buttons;
    if (asked)
        driver.answerMessageBox(answer, [&buttons](QWidget *box) {
            for (const QAbstractButton *button : box->findChildren<QAbstractButton *>())
                buttons << button->text();
        });
    std::optional<ZipRequests::Outcome> outcome;
    QString archivePath;
    m_controller->zipRequests()->zip({QUrl::fromLocalFile(item)}, email, u"Scans"_s, QString(), ZipEncryptionCompatible,
        [&](ZipRequests::Outcome ended, const QString &path, const Error &) {
            outcome = ended;
            archivePath = path;
        });
    QTRY_VERIFY_WITH_TIMEOUT(outcome.has_value(), 20000);
    QCOMPARE(driver.remainingSteps(), 0);
    QCOMPARE(driver.messages,
        asked ? QStringList {u"Large Attachment|\"Scans.zip\" is 1.2 MB. Most mail servers refuse attachments "
                             "larger than 1 MB, so this e-mail may never arrive."_s}
              : QStringList());
    QStringList expected {u"Attach Anyway"_s, u"Cancel"_s};
    if (withChooser)
        expected << u"Choose Another Destination"_s;
    buttons.sort();
    QCOMPARE(buttons, asked ? expected : QStringList());
    QCOMPARE(outcome,
        std::optional(ending == u"cancelled"_s ? ZipRequests::Outcome::Cancelled : ZipRequests::Outcome::Finished));
    const QString mailed = Destination::internalFolderPath();
    if (ending == u"email"_s) {
        QCOMPARE(m_sharing.calls.size(), 1);
        QVERIFY2(m_sharing.calls.first().endsWith(u'|' + archivePath), qPrintable(m_sharing.calls.first()));
        QVERIFY(archivePath.startsWith(mailed));
        QCOMPARE(ArchiveReader::listEntries(archivePath), QStringList {u"scan.raw"_s});
        return;
    }
    // No e-mail, and no archive left behind where it was made for one.
    QVERIFY(m_sharing.calls.isEmpty());
    QDirIterator left(mailed, {u"*.zip"_s}, QDir::Files, QDirIterator::Subdirectories);
    QVERIFY2(!left.hasNext(), qPrintable(left.hasNext() ? left.next() : QString()));
    if (ending == u"Backups"_s) {
        // Zipped again, with the same name, for the Destination chosen, offered with the others but the e-mail.
        QCOMPARE(archivePath, backups->rootFolderPath() + u"/Scans.zip"_s);
        QCOMPARE(ArchiveReader::listEntries(archivePath), QStringList {u"scan.raw"_s});
        QVERIFY(offered.contains(backups->name()) && !offered.contains(email->name()));
        QCOMPARE(offered.size(), m_controller->destinationList()->zippableDestinations().size() - 1);
    }
}

QTEST_MAIN(TestSharing)
#include "TestSharing.moc"
