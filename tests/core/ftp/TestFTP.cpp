// The FTP client and the upload step against a real FTP server on 127.0.0.1.

#include "FtpServer.h"
#include "TemporaryHome.h"
#include "TestFiles.h"
#include "UploadStep.h"
#include "UserInteractionStandIn.h"

#include "core/ftp/FTPListingParser.h"
#include "core/ftp/FTPManager.h"
#include "core/ftp/FTPOperation.h"
#include "core/settings/KeychainBackend.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {
FTPServerInfo serverAt(const FtpServer &ftp, const QString &folder = {}, const QString &user = u"anna"_s)
{
    FTPServerInfo server = FTPServerInfo::serverWithDestination(
        u"ftp://@127.0.0.1"_s + (folder.isEmpty() ? u""_s : u'/' + folder), user, u"secret"_s);
    server.port = ftp.port();
    return server;
}

// A keyring in memory that holds the password "secret" of one account.
struct OnePasswordKeychain final : KeychainBackend
{
    Status find(const Attributes &attributes, bool, bool, QList<Item> &items) override
    {
        if (attributes != Attributes {{u"service"_s, u"Tessary FTP"_s}, {u"account"_s, u"account-1"_s}})
            return {StatusItemNotFound, {}};
        items = {Item {attributes, {}, "secret", {}, {}}};
        return {};
    }
    Status create(const Attributes &, const QString &, const QByteArray &) override { return {StatusNotAvailable, {}}; }
    Status replaceSecret(const Attributes &, const QByteArray &) override { return {StatusNotAvailable, {}}; }
    Status remove(const Attributes &) override { return {StatusNotAvailable, {}}; }
};

// A port of the loopback that was free a moment ago.
int portNobodyListensOn()
{
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(socket, reinterpret_cast<sockaddr *>(&address), sizeof address);
    ::getsockname(socket, reinterpret_cast<sockaddr *>(&address), &length);
    ::close(socket);
    return ntohs(address.sin_port);
}

std::shared_ptr<FTPOperation> ftpUpload(const QString &path, const QString &folder, int port,
    const QString &user = u"anna"_s, const QString &password = u"secret"_s, bool confirm = true)
{
    return std::make_shared<FTPOperation>(path, folder, confirm, u"127.0.0.1"_s, port, user, password);
}

std::shared_ptr<StepOutcome> runStep(const std::shared_ptr<FTPOperation> &upload)
{
    return runUploadStep(upload, 3, 5);
}
} // namespace

class TestFTP : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void listings_data();
    void listings();
    void clientAgainstAServer();
    void uploadStepMakesTheFoldersAndUploads();
    void existingArchive_data();
    void existingArchive();
    void twoUploadsOfOneNameKeepBoth();
    void thePasswordIsReadFromTheKeyring();
    void failuresAreNamed_data();
    void failuresAreNamed();

private:
    /// Writes an archive to upload, and gives its path.
    QString archive(const QString &name, const QByteArray &content)
    {
        const QString path = m_home.filePath(u"job/"_s + name);
        return writeFile(path, content) ? path : QString();
    }

    std::unique_ptr<FtpServer> m_ftp;
    TemporaryHome m_home;
};

void TestFTP::initTestCase()
{
    m_ftp = std::make_unique<FtpServer>();
    QVERIFY2(m_ftp->isRunning(), "pyftpdlib did not start");
}

void TestFTP::listings_data()
{
    QTest::addColumn<QByteArray>("listing");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("unix") << QByteArray(
        "total 8\r\n"
        "-rw-r--r--   1 anna     staff        1234 Dec 06 09:33 Report Q3.zip\r\n"
        "drwxr-xr-x   2 1000     1000         4096 Jan  1  2025 Old stuff\r\n"
        "lrwxrwxrwx   1 anna     staff           3 Dec 06 09:33 latest -> Report Q3.zip\r\n")
                          << QStringList {u"Report Q3.zip"_s, u"Old stuff"_s, u"latest"_s};
    QTest::newRow("dos") << QByteArray("12-06-26  09:33AM       <DIR>          Archives\r\n"
                                       "12-06-26  09:34AM                 1234 Résumé.zip\r\n")
                         << QStringList {u"Archives"_s, u"Résumé.zip"_s};
    QTest::newRow("empty folder") << QByteArray() << QStringList();
    QTest::newRow("an odd line among them") << QByteArray("-rw-r--r-- 1 a b 1 Dec 06 09:33 first.zip\r\n"
                                                          "a line in no known form\r\n"
                                                          "-rw-r--r-- 1 a b 1 Dec 06 09:33 second.zip\r\n")
                                            << QStringList {u"first.zip"_s, u"second.zip"_s};
    QTest::newRow("no known form") << QByteArray("this is no listing\r\n") << QStringList {u"(no listing)"_s};
    QTest::newRow("name not in UTF-8") << QByteArray("-rw-r--r-- 1 a b 1 Dec 06 09:33 caf\xe9.zip\n")
                                       << QStringList {u"(no name)"_s};
}

void TestFTP::listings()
{
    QFETCH(QByteArray, listing);
    QFETCH(QStringList, names);
    const auto entries = FTPListingParser::parse(listing);
    QStringList parsed = entries ? QStringList() : QStringList {u"(no listing)"_s};
    for (const QVariantMap &entry : entries.value_or(QList<QVariantMap>()))
        parsed << entry.value(FTPListingParser::NameKey, u"(no name)"_s).toString();
    QCOMPARE(parsed, names);
}

void TestFTP::clientAgainstAServer()
{
    // The login, listing and upload that the upload step uses are checked through it, below.
    FTPManager manager;
    const FTPServerInfo root = serverAt(*m_ftp);
    QVERIFY(manager.createNewFolder(u"in box"_s, root));
    const FTPServerInfo inBox = serverAt(*m_ftp, u"in box"_s);
    QVERIFY(manager.uploadData("from memory", u"a.zip"_s, inBox));
    QVERIFY(writeFile(m_home.filePath(u"local/big.zip"_s), QByteArray(100000, 'z')));
    QVERIFY(manager.uploadFile(QUrl::fromLocalFile(m_home.filePath(u"local/big.zip"_s)), inBox));
    QVERIFY(manager.createNewFolder(u"sub"_s, inBox));
    QCOMPARE(readFile(m_ftp->filePath(u"in box/a.zip"_s)), QByteArray("from memory"));
    QCOMPARE(readFile(m_ftp->filePath(u"in box/big.zip"_s)), QByteArray(100000, 'z'));
    QVERIFY(!manager.progress().has_value()); // nothing runs

    QVERIFY(manager.downloadFile(u"big.zip"_s, QUrl::fromLocalFile(m_home.filePath(u"local"_s)), inBox));
    QVERIFY(!manager.downloadFile(u"missing.zip"_s, QUrl::fromLocalFile(m_home.filePath(u"local"_s)), inBox));
    QVERIFY(!QFileInfo::exists(m_home.filePath(u"local/missing.zip"_s))); // no partial file left

    QVERIFY(manager.chmodFileNamed(u"a.zip"_s, 644, inBox));
    QVERIFY(!manager.deleteFileNamed(u"a.zip"_s, serverAt(*m_ftp, u"in box"_s, u"reader"_s)));
    QVERIFY(manager.deleteFileNamed(u"a.zip"_s, inBox)); // DELE for a name with a dot
    QVERIFY(manager.deleteFile(u"sub"_s, inBox)); // RMD otherwise
    QVERIFY(!QFileInfo::exists(m_ftp->filePath(u"in box/a.zip"_s)));
    QVERIFY(!QFileInfo::exists(m_ftp->filePath(u"in box/sub"_s)));
    QVERIFY(!manager.deleteFileNamed(u"gone.zip"_s, inBox));
}

void TestFTP::uploadStepMakesTheFoldersAndUploads()
{
    const QString report = archive(u"Report.zip"_s, "report archive");
    for (const QString &user : {u"anna"_s, u""_s}) { // a named and an anonymous login
        const QString folder = user.isEmpty() ? u"anonymous/drop"_s : u"one/two/three"_s;
        const auto outcome
            = runStep(ftpUpload(report, folder, m_ftp->port(), user, user.isEmpty() ? u""_s : u"secret"_s));
        QTRY_COMPARE_WITH_TIMEOUT(outcome->finished, 1, 15000);
        QVERIFY2(outcome->error.isNull(), qPrintable(outcome->error.localizedDescription()));
        QCOMPARE(readFile(m_ftp->filePath(folder + u"/Report.zip"_s)), QByteArray("report archive"));
        QCOMPARE(entriesIn(m_ftp->filePath(folder)), QStringList {u"Report.zip"_s});
    }
}

void TestFTP::existingArchive_data()
{
    QTest::addColumn<QString>("answer"); // the button pressed; none: the upload is told not to ask
    QTest::addColumn<QString>("user");
    QTest::addColumn<QByteArray>("onServer");
    QTest::addColumn<int>("code"); // -1: cancelled
    QTest::addColumn<bool>("copyStays"); // the hidden copy sent first stays, as the server removes nothing
    QTest::newRow("replaced without a question") << QString() << u"anna"_s << QByteArray("new") << 0 << false;
    QTest::newRow("declined") << u"Cancel"_s << u"anna"_s << QByteArray("old") << -1 << false;
    QTest::newRow("confirmed") << u"Replace"_s << u"anna"_s << QByteArray("new") << 0 << false;
    QTest::newRow("replaced by a rename") << QString() << u"reader"_s << QByteArray("new") << 0 << false;
    // Where the server renames nothing, the old archive is never removed before the new one is stored.
    QTest::newRow("no rename, removal") << QString() << u"renamer-less"_s << QByteArray("new") << 0 << false;
    QTest::newRow("neither rename nor removal") << QString() << u"keeper"_s << QByteArray("new") << 0 << true;
    QTest::newRow("upload refused") << QString() << u"viewer"_s << QByteArray("old") << 11 << false;
}

void TestFTP::existingArchive()
{
    QFETCH(QString, answer);
    const bool confirm = !answer.isEmpty();
    QFETCH(QString, user);
    QFETCH(int, code);
    QFETCH(bool, copyStays);
    QDir(m_ftp->filePath(u"existing"_s)).removeRecursively();
    QVERIFY(writeFile(m_ftp->filePath(u"existing/Same.zip"_s), "old"));
    QVERIFY(writeFile(m_ftp->filePath(u"existing/same.ZIP"_s), "other case"));
    QVERIFY(writeFile(m_ftp->filePath(u"existing/odd\nname"_s), "a name that breaks its listing line"));

    UserInteractionStandIn person;
    if (confirm)
        person.confirmations << (answer == u"Replace"_s);
    const auto upload
        = ftpUpload(archive(u"Same.zip"_s, "new"), u"existing"_s, m_ftp->port(), user, u"secret"_s, confirm);
    upload->setUserInteraction(&person);
    const auto outcome = runStep(upload);
    QTRY_COMPARE_WITH_TIMEOUT(outcome->finished + outcome->cancelled, 1, 15000);
    QCOMPARE(outcome->cancelled, code == -1 ? 1 : 0);
    if (code > 0)
        QCOMPARE(outcome->error.code(), code);
    if (code == FTPOperation::ErrorUploadFailed) // with the server's own words
        QVERIFY2(outcome->error.localizedFailureReason().startsWith(
                     u"Could not upload the Tessary Archive to the FTP Server: the server refused to store it (550 "_s),
            qPrintable(outcome->error.localizedFailureReason()));
    else if (code == 0)
        QVERIFY(outcome->error.isNull());
    QTEST(readFile(m_ftp->filePath(u"existing/Same.zip"_s)), "onServer");
    QCOMPARE(readFile(m_ftp->filePath(u"existing/same.ZIP"_s)), QByteArray("other case"));
    QStringList hidden = entriesIn(m_ftp->filePath(u"existing"_s)).filter(QRegularExpression(u"^\\."_s));
    QCOMPARE(hidden.size(), copyStays ? 1 : 0);
    if (copyStays)
        QVERIFY2(QRegularExpression(u"^\\.Same\\.zip\\.[0-9a-f]{8}\\.part$"_s).match(hidden.first()).hasMatch(),
            qPrintable(hidden.first()));
    QCOMPARE(person.questions.size(), confirm ? 1 : 0);
    if (confirm)
        QCOMPARE(person.questions.value(0).section(u'|', 0, 0), u"Replace Existing?"_s);
}

void TestFTP::twoUploadsOfOneNameKeepBoth()
{
    // Three uploads of one name, a little after one another, to a server that takes its time.
    FtpServer slow(FtpServer::Slow);
    QVERIFY(slow.isRunning());
    QList<std::shared_ptr<StepOutcome>> outcomes;
    QSet<QByteArray> sent;
    for (int i = 0; i < 3; ++i) {
        sent << QByteArray(8 << 20, char('a' + i));
        const QString job = m_home.filePath(u"job%1/Big.zip"_s.arg(i));
        QVERIFY(writeFile(job, QByteArray(8 << 20, char('a' + i))));
        // The server drains what the loopback holds at its own pace before it answers: a patient client.
        outcomes << runUploadStep(ftpUpload(job, u"drop"_s, slow.port(), u"anna"_s, u"secret"_s, false), 20, 20);
        QTest::qWait(300);
    }
    for (const auto &outcome : std::as_const(outcomes)) {
        QTRY_COMPARE_WITH_TIMEOUT(outcome->finished, 1, 30000);
        QVERIFY2(outcome->error.isNull(), qPrintable(outcome->error.localizedFailureReason()));
    }
    // Each arrived whole under a name of its own; no copy of one is left.
    const QStringList names {u"Big #2.zip"_s, u"Big #3.zip"_s, u"Big.zip"_s};
    QCOMPARE(entriesIn(slow.filePath(u"drop"_s)), names);
    QSet<QByteArray> stored;
    for (const QString &name : names)
        stored << readFile(slow.filePath(u"drop/"_s + name));
    QCOMPARE(stored, sent);
}

void TestFTP::thePasswordIsReadFromTheKeyring()
{
    const QString keyed = archive(u"Keyed.zip"_s, "keyed");
    const auto upload = [&] {
        auto step = ftpUpload(keyed, u"keyed"_s, m_ftp->port(), u"anna"_s, QString(), false);
        step->setPasswordInKeychain(u"Tessary FTP"_s, u"account-1"_s);
        return runStep(step);
    };
    // Without a keyring to read it from, the upload says so.
    const auto unread = upload();
    QTRY_COMPARE_WITH_TIMEOUT(unread->finished, 1, 15000);
    QCOMPARE(unread->error.code(), FTPOperation::ErrorPasswordUnreadable);
    QVERIFY2(unread->error.localizedFailureReason().startsWith(
                 u"The password of the FTP Server could not be read from your keyring"_s),
        qPrintable(unread->error.localizedFailureReason()));

    OnePasswordKeychain keyring;
    KeychainBackend::setSystem(&keyring);
    const auto read = upload();
    QTRY_COMPARE_WITH_TIMEOUT(read->finished, 1, 15000);
    KeychainBackend::setSystem(nullptr);
    QVERIFY2(read->error.isNull(), qPrintable(read->error.localizedFailureReason()));
    QCOMPARE(readFile(m_ftp->filePath(u"keyed/Keyed.zip"_s)), QByteArray("keyed"));
}

void TestFTP::failuresAreNamed_data()
{
    QTest::addColumn<int>("kind"); // of FtpServer; -1: nothing listens
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("port"); // 0: the server's
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message"); // how the reason begins, or all of it if it ends a sentence; %1: the port
    QTest::addColumn<int>("protocol");
    const QString refused = u"Could not connect to the FTP Server 127.0.0.1:%1 ("_s;
    const int ftp = ServerProtocolFTP;
    QTest::newRow("nothing listens") << -1 << u"127.0.0.1"_s << 0 << u"secret"_s << refused << ftp;
    QTest::newRow("IPv6 address without brackets")
        << -1 << u"::1"_s << 0 << u"secret"_s << u"Could not connect to the FTP Server [::1]:%1 ("_s << ftp;
    QTest::newRow("port out of range") << int(FtpServer::Normal) << u"127.0.0.1"_s << 70000 << u"secret"_s
                                       << u"Could not connect to the FTP Server 127.0.0.1:70000 (the port must be "
                                          "from 1 to 65535)"_s
                                       << ftp;
    // A server that takes the connection and never says a word, whichever protocol waits for it.
    for (const auto &[name, protocol] : {std::pair {"silent server", ftp},
             {"silent server, FTPS", int(ServerProtocolFTPS)}, {"silent server, SFTP", int(ServerProtocolSFTP)}})
        QTest::newRow(name) << int(FtpServer::Silent) << u"127.0.0.1"_s << 0 << u"secret"_s << refused << protocol;
    // Nothing, not even the password, goes to a server without TLS when TLS was asked for.
    QTest::newRow("no TLS") << int(FtpServer::Normal) << u"127.0.0.1"_s << 0 << u"secret"_s
                            << u"The FTP Server 127.0.0.1:%1 does not offer encryption (TLS), so Tessary sent it "
                               "neither your password nor the archive. To upload to it unencrypted anyway, choose "
                               "\"FTP\" as the protocol in the settings of this Destination."_s
                            << int(ServerProtocolFTPS);
    QTest::newRow("login refused") << int(FtpServer::Normal) << u"127.0.0.1"_s << 0 << u"wrong"_s
                                   << u"Invalid FTP Server Credentials"_s << ftp;
    QTest::newRow("endless listing") << int(FtpServer::EndlessListing) << u"127.0.0.1"_s << 0 << u"secret"_s
                                     << u"Could not read the folder on the FTP Server: the folder's listing is "
                                        "longer than 8 MB"_s
                                     << ftp;
}

void TestFTP::failuresAreNamed()
{
    QFETCH(int, kind);
    QFETCH(QString, address);
    QFETCH(int, port);
    QFETCH(QString, password);
    QFETCH(QString, message);
    QFETCH(int, protocol);
    std::unique_ptr<FtpServer> server;
    if (kind >= 0) {
        server = std::make_unique<FtpServer>(FtpServer::Kind(kind));
        QVERIFY(server->isRunning());
    }
    if (port == 0)
        port = server ? server->port() : portNobodyListensOn();
    const auto upload = std::make_shared<FTPOperation>(
        archive(u"Report.zip"_s, "report archive"), u"drop"_s, true, address, port, u"anna"_s, password);
    upload->setProtocol(ServerProtocol(protocol));
    const auto outcome = runStep(upload);
    QTRY_COMPARE_WITH_TIMEOUT(outcome->finished, 1, 20000);
    const QString reason = outcome->error.localizedFailureReason();
    QVERIFY2(message.endsWith(u'.') ? reason == message.arg(port) : reason.startsWith(message.arg(port)),
        qPrintable(reason));
    if (server && kind != FtpServer::EndlessListing) // it got no further than the login
        QVERIFY(!QFileInfo::exists(server->filePath(u"drop"_s)));
}

QTEST_GUILESS_MAIN(TestFTP)
#include "TestFTP.moc"
