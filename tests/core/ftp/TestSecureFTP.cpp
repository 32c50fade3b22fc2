// Uploads over FTP with TLS (vsftpd) and SFTP (OpenSSH's sshd) on 127.0.0.1, and the decisions
// about trusting a server: a certificate that is not verified, an unknown or changed host key.

#include "FtpServer.h"
#include "FtpsServer.h"
#include "SftpServer.h"
#include "TemporaryHome.h"
#include "TestFiles.h"
#include "UploadStep.h"
#include "UserInteractionStandIn.h"

#include "core/ftp/FTPAddress.h"
#include "core/ftp/FTPManager.h"
#include "core/ftp/FTPOperation.h"
#include "core/ftp/SSHHostKey.h"
#include "core/ftp/ServerCertificate.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {

std::shared_ptr<StepOutcome> runStep(const std::shared_ptr<FTPOperation> &upload)
{
    return runUploadStep(upload, 5, 10);
}

// Waits for the step to end, either way.
bool ended(const std::shared_ptr<StepOutcome> &outcome)
{
    return QTest::qWaitFor([&] { return outcome->finished + outcome->cancelled > 0; }, 30000);
}

QString reasonOf(const std::shared_ptr<StepOutcome> &outcome)
{
    return outcome->error.localizedFailureReason();
}

} // namespace

class TestSecureFTP : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void addresses_data();
    void addresses();
    void certificateAndHostKeyReadings();

    void certificate_data();
    void certificate();

    void unknownHostKey_data();
    void unknownHostKey();
    void aChangedHostKeyIsNeverAccepted();
    void sftpDoesWhatFTPDoes();
    void sftpSignsInThroughTheAgentOnly();
    void aCancelledUploadLeavesNothing_data();
    void aCancelledUploadLeavesNothing();

private:
    /// An upload of a new archive NAME into FOLDER, that asks m_person.
    std::shared_ptr<FTPOperation> upload(ServerProtocol protocol, int port, const QString &name, const QString &folder,
        const QString &user = {}, const QString &password = {}, bool confirm = false) const;
    std::shared_ptr<FTPOperation> ftpsUpload(const QString &name, const QString &folder, const QByteArray &pin,
        FTPOperation::CertificateTrusted trusted = {}) const
    {
        auto ftps = upload(ServerProtocolFTPS, m_ftps->port(), name, folder);
        ftps->setCertificateTrust(pin, std::move(trusted));
        return ftps;
    }
    std::shared_ptr<FTPOperation> sftpUpload(const SftpServer &server, const QString &name, const QString &folder,
        bool confirm = false, const QString &password = {}) const
    {
        return upload(ServerProtocolSFTP, server.port(), name, folder, SftpServer::userName(), password, confirm);
    }

    TemporaryHome m_home;
    /// The user every upload of the test at hand asks; init() makes him afresh.
    std::unique_ptr<UserInteractionStandIn> m_person;
    std::unique_ptr<FtpsServer> m_ftps;
    std::unique_ptr<SftpServer> m_sftp;
};

void TestSecureFTP::init()
{
    m_person = std::make_unique<UserInteractionStandIn>();
}

void TestSecureFTP::initTestCase()
{
    QVERIFY(m_home.isValid());
    m_ftps = std::make_unique<FtpsServer>();
    QVERIFY2(m_ftps->isRunning(), "vsftpd did not start");
    m_sftp = std::make_unique<SftpServer>(m_home.path());
    QVERIFY2(m_sftp->isRunning(), "sshd did not start");
}

std::shared_ptr<FTPOperation> TestSecureFTP::upload(ServerProtocol protocol, int port, const QString &name,
    const QString &folder, const QString &user, const QString &password, bool confirm) const
{
    const QString path = m_home.filePath(u"job/"_s + name);
    writeFile(path, "archive " + name.toUtf8());
    auto upload = std::make_shared<FTPOperation>(path, folder, confirm, u"127.0.0.1"_s, port, user, password);
    upload->setProtocol(protocol);
    upload->setUserInteraction(m_person.get());
    return upload;
}

void TestSecureFTP::addresses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("protocol"); // -1: none given
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("folder");
    QTest::newRow("bare host") << u" ftp.example.com "_s << -1 << u""_s << u"ftp.example.com"_s << 0 << u""_s;
    QTest::newRow("ftp") << u"ftp://example.com"_s << int(ServerProtocolFTP) << u""_s << u"example.com"_s << 0 << u""_s;
    QTest::newRow("ftps, port, folder") << u"FTPS://example.com:2121/up/zips/"_s << int(ServerProtocolFTPS) << u""_s
                                        << u"example.com"_s << 2121 << u"up/zips"_s;
    QTest::newRow("sftp with user, home folder") << u"sftp://anna@example.com/~/in%20box"_s << int(ServerProtocolSFTP)
                                                 << u"anna"_s << u"example.com"_s << 0 << u"in box"_s;
    QTest::newRow("IPv6") << u"sftp://[::1]:2222"_s << int(ServerProtocolSFTP) << u""_s << u"[::1]"_s << 2222 << u""_s;
    QTest::newRow("other scheme stays an address")
        << u"http://example.com"_s << -1 << u""_s << u"http://example.com"_s << 0 << u""_s;
}

void TestSecureFTP::addresses()
{
    QFETCH(QString, text);
    QFETCH(int, protocol);
    const FTPAddress address = FTPAddress::parse(text);
    QCOMPARE(address.protocol.has_value() ? int(*address.protocol) : -1, protocol);
    QTEST(address.userName, "user");
    QTEST(address.host, "host");
    QTEST(int(address.port), "port");
    QTEST(address.folder, "folder");
}

void TestSecureFTP::certificateAndHostKeyReadings()
{
    // What the user is shown and what is pinned, as openssl and ssh-keygen read them.
    const QByteArray pem = readFile(m_ftps->certificatePath());
    QCOMPARE(ServerCertificate::fromPem("Cert:" + pem).fingerprint(), m_ftps->certificateFingerprint());
    QVERIFY(ServerCertificate::fromPem(pem.left(pem.size() / 2)).isNull());
    QVERIFY(ServerCertificate::fromPem(QByteArray(pem).replace("MI", "M!")).publicKeyPin().isEmpty());

    const QStringList line = m_sftp->hostKeyLine().split(u' ');
    const SSHHostKey key(QByteArray::fromBase64(line.value(1).toLatin1()));
    QCOMPARE(key.type(), u"ssh-ed25519"_s);
    QCOMPARE(SSHHostKey::hostEntry(u"[::1]"_s, 22), u"::1"_s);

    // Added to a file that lacks its last line break, the line begins a line of its own.
    const QString knownHosts = m_home.filePath(u"elsewhere/.ssh/known_hosts"_s);
    QVERIFY(writeFile(knownHosts, "example.com ssh-ed25519 AAAA"));
    QVERIFY(key.addToKnownHosts(knownHosts, u"127.0.0.1"_s, 22).isNull());
    QCOMPARE(
        readFile(knownHosts), "example.com ssh-ed25519 AAAA\n127.0.0.1 " + m_sftp->hostKeyLine().toLatin1() + '\n');
}

void TestSecureFTP::certificate_data()
{
    QTest::addColumn<bool>("trust"); // the answer to the question
    QTest::addColumn<int>("pinned"); // before: 0 no pin, 1 the pin of another certificate, 2 the server's
    QTest::newRow("unverified, trusted") << true << 0;
    QTest::newRow("unverified, declined") << false << 0;
    QTest::newRow("changed, trusted anew") << true << 1;
    QTest::newRow("pinned, no question") << false << 2;
}

void TestSecureFTP::certificate()
{
    QFETCH(bool, trust);
    QFETCH(int, pinned);
    const QString folder
        = u"certificate/%1"_s.arg(QLatin1StringView(QTest::currentDataTag())).replace(u' ', u'-').remove(u',');
    UserInteractionStandIn &person = *m_person;
    person.confirmations << trust;
    QList<QByteArray> pins;
    FtpsServer other; // its certificate is not the one vsftpd shows
    const QByteArray before = QList<QByteArray> {{}, other.publicKeyPin(), m_ftps->publicKeyPin()}.at(pinned);
    const auto outcome
        = runStep(ftpsUpload(u"Report.zip"_s, folder, before, [&pins](const QByteArray &pin) { pins << pin; }));
    QVERIFY(ended(outcome));

    // The user is shown the fingerprint before anything is sent.
    QCOMPARE(person.questions.size(), pinned == 2 ? 0 : 1);
    if (pinned != 2) {
        const QString question = person.questions.first();
        QCOMPARE(question.section(u'|', 0, 0), pinned == 1 ? u"Certificate Changed"_s : u"Unverified Certificate"_s);
        QVERIFY2(question.contains(m_ftps->certificateFingerprint()), qPrintable(question));
    }
    if (pinned != 2 && !trust) {
        QCOMPARE(outcome->cancelled, 1);
        QVERIFY(pins.isEmpty());
        QVERIFY(!QFileInfo::exists(m_ftps->filePath(folder)));
        return;
    }
    QVERIFY2(outcome->error.isNull(), qPrintable(reasonOf(outcome)));
    QCOMPARE(pins, pinned == 2 ? QList<QByteArray>() : QList<QByteArray> {m_ftps->publicKeyPin()});
    QCOMPARE(readFile(m_ftps->filePath(folder + u"/Report.zip"_s)), QByteArray("archive Report.zip"));
    QVERIFY(!outcome->progress.isEmpty());
    QCOMPARE(outcome->progress.last(), 1.0F);
    if (pinned != 2)
        return;

    // After an upload, the next data connection still gets through (vsftpd wants each to resume
    // the TLS session).
    FTPManager manager;
    FTPServerInfo server = FTPServerInfo::anonymousServerWithDestination(u"ftp://@127.0.0.1/"_s + folder);
    server.port = m_ftps->port();
    server.protocol = ServerProtocolFTPS;
    server.pinnedPublicKey = m_ftps->publicKeyPin();
    for (const QString &name : {u"a.zip"_s, u"b.zip"_s}) {
        QVERIFY(manager.uploadData("data", name, server));
        const auto entries = manager.contentsOfServer(server);
        QVERIFY2(entries.has_value(), qPrintable(manager.lastFailure().error.localizedDescription()));
    }
    QCOMPARE(entriesIn(m_ftps->filePath(folder)), (QStringList {u"a.zip"_s, u"b.zip"_s, u"Report.zip"_s}));
}

void TestSecureFTP::unknownHostKey_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("accepted") << true;
    QTest::newRow("declined") << false;
}

void TestSecureFTP::unknownHostKey()
{
    QFETCH(bool, accept);
    QFile::remove(SSHHostKey::knownHostsPath());
    UserInteractionStandIn &person = *m_person;
    person.confirmations << accept;
    const QString folder = u"first-"_s + QLatin1StringView(QTest::currentDataTag());
    const auto outcome = runStep(sftpUpload(*m_sftp, u"First.zip"_s, folder));
    QVERIFY(ended(outcome));
    QCOMPARE(person.questions.size(), 1);
    QCOMPARE(person.questions.first().section(u'|', 0, 0), u"Unknown Host Key"_s);
    QVERIFY2(person.questions.first().contains(m_sftp->hostKeyFingerprint()), qPrintable(person.questions.first()));
    if (!accept) {
        QCOMPARE(outcome->cancelled, 1);
        QVERIFY(!QFileInfo::exists(SSHHostKey::knownHostsPath()));
        QVERIFY(!QFileInfo::exists(m_sftp->filePath(folder)));
        return;
    }
    QVERIFY2(outcome->error.isNull(), qPrintable(reasonOf(outcome)));
    QCOMPARE(readFile(m_sftp->filePath(folder + u"/First.zip"_s)), QByteArray("archive First.zip"));
    QCOMPARE(readFile(SSHHostKey::knownHostsPath()), m_sftp->knownHostsLine().toLatin1() + '\n');

    // Known from now on: no second question.
    const auto again = runStep(sftpUpload(*m_sftp, u"Second.zip"_s, folder));
    QVERIFY(ended(again));
    QVERIFY2(again->error.isNull(), qPrintable(reasonOf(again)));
    QCOMPARE(person.questions.size(), 1);
    QCOMPARE(readFile(m_sftp->filePath(folder + u"/Second.zip"_s)), QByteArray("archive Second.zip"));
}

void TestSecureFTP::aChangedHostKeyIsNeverAccepted()
{
    // The known hosts name this server's address with another server's key.
    SftpServer impostor(m_home.path());
    QVERIFY(impostor.isRunning());
    const QByteArray knownHosts
        = "# mine\n" + QByteArray(u"[127.0.0.1]:%1 %2\n"_s.arg(impostor.port()).arg(m_sftp->hostKeyLine()).toLatin1());
    QVERIFY(writeFile(SSHHostKey::knownHostsPath(), knownHosts));
    UserInteractionStandIn &person = *m_person;
    person.confirmations << true; // were it asked, it would say yes
    const auto outcome = runStep(sftpUpload(impostor, u"Secret.zip"_s, u"drop"_s));
    QVERIFY(ended(outcome));
    QVERIFY(person.questions.isEmpty());
    QCOMPARE(outcome->error.code(), FTPOperation::ErrorHostKeyChanged);
    QVERIFY2(reasonOf(outcome).startsWith(
                 u"The host key of the SFTP Server 127.0.0.1:%1 has changed"_s.arg(impostor.port())),
        qPrintable(reasonOf(outcome)));
    QVERIFY(reasonOf(outcome).contains(impostor.hostKeyFingerprint()));
    QVERIFY(reasonOf(outcome).endsWith(u"ssh-keygen -R \"[127.0.0.1]:%1\""_s.arg(impostor.port())));
    QCOMPARE(readFile(SSHHostKey::knownHostsPath()), knownHosts);
    QVERIFY(!QFileInfo::exists(impostor.filePath(u"drop"_s)));
}

void TestSecureFTP::sftpDoesWhatFTPDoes()
{
    QVERIFY(writeFile(SSHHostKey::knownHostsPath(), m_sftp->knownHostsLine().toLatin1() + '\n'));
    // An archive of the name is there: asked, it is replaced, though SFTP renames onto no file.
    QVERIFY(writeFile(m_sftp->filePath(u"one/two words/Same.zip"_s), "old"));
    UserInteractionStandIn &person = *m_person;
    person.confirmations << true;
    const auto replaced = runStep(sftpUpload(*m_sftp, u"Same.zip"_s, u"one/two words"_s, true));
    QVERIFY(ended(replaced));
    QVERIFY2(replaced->error.isNull(), qPrintable(reasonOf(replaced)));
    QCOMPARE(person.questions.size(), 1);
    QCOMPARE(person.questions.first().section(u'|', 0, 0), u"Replace Existing?"_s);
    QCOMPARE(readFile(m_sftp->filePath(u"one/two words/Same.zip"_s)), QByteArray("archive Same.zip"));
    QCOMPARE(entriesIn(m_sftp->filePath(u"one/two words"_s)), QStringList {u"Same.zip"_s});
    QVERIFY(!replaced->progress.isEmpty());

    // Without the question too, and the server keeps nothing of the old one.
    QVERIFY(writeFile(m_sftp->filePath(u"one/two words/Same.zip"_s), "older"));
    const auto again = runStep(sftpUpload(*m_sftp, u"Same.zip"_s, u"one/two words"_s));
    QVERIFY(ended(again));
    QVERIFY2(again->error.isNull(), qPrintable(reasonOf(again)));
    QCOMPARE(readFile(m_sftp->filePath(u"one/two words/Same.zip"_s)), QByteArray("archive Same.zip"));
    QCOMPARE(
        QDir(m_sftp->filePath(u"one/two words"_s)).entryList(QDir::Files | QDir::Hidden), QStringList {u"Same.zip"_s});

    // The client's own operations.
    FTPManager manager;
    FTPServerInfo server
        = FTPServerInfo::serverWithDestination(u"ftp://@127.0.0.1/one"_s, SftpServer::userName(), u""_s);
    server.port = m_sftp->port();
    server.protocol = ServerProtocolSFTP;
    QVERIFY(manager.createNewFolder(u"made \"here\""_s, server));
    QVERIFY(manager.createNewFolder(u"made \"here\""_s, server)); // there already
    QVERIFY(QFileInfo(m_sftp->filePath(u"one/made \"here\""_s)).isDir());
    QVERIFY(manager.chmodFileNamed(u"two words/Same.zip"_s, 600, server));
    QCOMPARE(QFileInfo(m_sftp->filePath(u"one/two words/Same.zip"_s)).permissions(),
        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    QVERIFY(manager.deleteFileNamed(u"made \"here\""_s, server));
    QVERIFY(!manager.deleteFileNamed(u"missing.zip"_s, server));
    QVERIFY(!QFileInfo::exists(m_sftp->filePath(u"one/made \"here\""_s)));
}

void TestSecureFTP::sftpSignsInThroughTheAgentOnly()
{
    // The only key the server takes is in the agent, not in ~/.ssh.
    QVERIFY(writeFile(SSHHostKey::knownHostsPath(), m_sftp->knownHostsLine().toLatin1() + '\n'));
    const QString key = m_home.filePath(u".ssh/id_ed25519"_s);
    const QString away = m_home.filePath(u"agent-only"_s);
    QVERIFY(QFile::rename(key, away) && QFile::rename(key + u".pub"_s, away + u".pub"_s));
    const auto restoreKey = qScopeGuard([&] {
        QFile::rename(away, key);
        QFile::rename(away + u".pub"_s, key + u".pub"_s);
    });
    const QString socket = m_home.filePath(u"agent.socket"_s);
    QProcess agent;
    agent.start(u"/usr/bin/ssh-agent"_s, {u"-D"_s, u"-a"_s, socket});
    QVERIFY(agent.waitForStarted());
    const auto stopAgent = qScopeGuard([&] {
        agent.kill();
        agent.waitForFinished();
        qunsetenv("SSH_AUTH_SOCK");
    });
    QTRY_VERIFY(QFileInfo::exists(socket));
    qputenv("SSH_AUTH_SOCK", QFile::encodeName(socket));
    QProcess add;
    add.start(u"/usr/bin/ssh-add"_s, {u"-q"_s, away});
    QVERIFY(add.waitForFinished() && add.exitCode() == 0);

    const auto outcome = runStep(sftpUpload(*m_sftp, u"Agent.zip"_s, u"agent"_s));
    QVERIFY(ended(outcome));
    QVERIFY2(outcome->error.isNull(), qPrintable(reasonOf(outcome)));
    QCOMPARE(readFile(m_sftp->filePath(u"agent/Agent.zip"_s)), QByteArray("archive Agent.zip"));

    // Without the agent, neither the key on no disk nor a wrong password signs in.
    qunsetenv("SSH_AUTH_SOCK");
    const auto refused = runStep(sftpUpload(*m_sftp, u"Refused.zip"_s, u"refused"_s, false, u"wrong"_s));
    QVERIFY(ended(refused));
    QCOMPARE(refused->error.code(), FTPOperation::ErrorInvalidCredentials);
    QVERIFY(!QFileInfo::exists(m_sftp->filePath(u"refused"_s)));
}

void TestSecureFTP::aCancelledUploadLeavesNothing_data()
{
    QTest::addColumn<int>("protocol");
    QTest::newRow("FTP") << int(ServerProtocolFTP);
    QTest::newRow("FTPS") << int(ServerProtocolFTPS);
    QTest::newRow("SFTP") << int(ServerProtocolSFTP);
}

void TestSecureFTP::aCancelledUploadLeavesNothing()
{
    QFETCH(int, protocol);
    QVERIFY(writeFile(SSHHostKey::knownHostsPath(), m_sftp->knownHostsLine().toLatin1() + '\n'));
    std::optional<FtpServer> ftp; // one that takes its time
    if (protocol == ServerProtocolFTP)
        QVERIFY(ftp.emplace(FtpServer::Slow).isRunning());
    const auto step = protocol == ServerProtocolSFTP ? sftpUpload(*m_sftp, u"Big.zip"_s, u"cancelled"_s)
        : ftp ? upload(ServerProtocolFTP, ftp->port(), u"Big.zip"_s, u"cancelled"_s, u"anna"_s, u"secret"_s)
              : ftpsUpload(u"Big.zip"_s, u"cancelled"_s, m_ftps->publicKeyPin());
    // Big enough to be under way for a while, even over the loopback.
    QFile big(m_home.filePath(u"job/Big.zip"_s));
    QVERIFY(big.open(QIODevice::ReadWrite) && big.resize(qint64(1) << 30));
    big.close();
    const auto outcome = runStep(step);
    QTRY_VERIFY_WITH_TIMEOUT(!outcome->progress.isEmpty() && outcome->progress.last() > 0.0F, 15000);
    step->cancel();
    QVERIFY(ended(outcome));
    QCOMPARE(outcome->cancelled, 1);
    QCOMPARE(outcome->finished, 0);
    // Neither the part sent nor an archive under the name stays on the server.
    const QString folder = ftp           ? ftp->filePath(u"cancelled"_s)
        : protocol == ServerProtocolSFTP ? m_sftp->filePath(u"cancelled"_s)
                                         : m_ftps->filePath(u"cancelled"_s);
    QTRY_COMPARE_WITH_TIMEOUT(entriesIn(folder), QStringList(), 10000);
}

QTEST_GUILESS_MAIN(TestSecureFTP)
#include "TestSecureFTP.moc"
