// How fast FTPOperation uploads, against curl sending the same file to the same server over the
// same protocol, and how much memory it takes meanwhile. Makes an archive-sized file of about
// 512 MB, starts the tests' local servers (pyftpdlib for FTP, vsftpd for FTP with TLS, sshd for
// SFTP), uploads the file both ways to each and prints the throughputs (goal: at least 0.9 × curl
// for each protocol) and our peak memory above idle (goal: at most 64 MB).
//
//   ftp_upload [megabytes]

#include "BenchSupport.h"
#include "FtpServer.h"
#include "FtpsServer.h"
#include "SftpServer.h"
#include "TemporaryHome.h"

#include "core/ftp/FTPOperation.h"
#include "core/ftp/SSHHostKey.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kDefaultMegabytes = 512;
constexpr int kRuns = 5;

// A field of /proc/self/status ("VmRSS", "VmHWM") in megabytes.
double memoryMegabytes(const QByteArray &field)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0.0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(QByteArray(field + ':')))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0.0;
}

bool writeArchive(const QString &path, int megabytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (int i = 0; i < megabytes; ++i) {
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(block.data()), block.size() / 4);
        file.write(block);
    }
    return true;
}

// One server to upload to: how FTPOperation logs in, and curl's arguments for the same upload
// (the file and the URL's folder "curl/" are added).
struct Target
{
    const char *name;
    ServerProtocol protocol;
    int port;
    QString userName;
    QString password;
    QByteArray pin;
    QStringList curlArguments;
    QString curlURL;
};

// Up to the moment the upload is noted as finished (its full progress), without the quarter
// second the owner's report waits after it.
double secondsForOperation(const QString &file, const Target &target)
{
    const auto upload = std::make_shared<FTPOperation>(
        file, u"ours"_s, false, u"127.0.0.1"_s, target.port, target.userName, target.password);
    upload->setProtocol(target.protocol);
    upload->setCertificateTrust(target.pin, {});
    QEventLoop loop;
    QElapsedTimer clock;
    double seconds = 0.0;
    bool ok = false;
    upload->setProgressHandler([&](float progress) {
        if (progress >= 1.0F)
            seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    });
    upload->setFinishedHandler([&](bool success, const QVariant &, const Error &error) {
        ok = success;
        if (!ok)
            std::fprintf(stderr, "FTPOperation failed: %s\n", qPrintable(error.localizedFailureReason()));
        loop.quit();
    });
    clock.start();
    upload->startOnBackgroundThread();
    loop.exec();
    return seconds;
}

double secondsForCurl(const QString &file, const Target &target)
{
    QElapsedTimer clock;
    clock.start();
    QProcess curl;
    curl.start(u"/usr/bin/curl"_s,
        QStringList {u"--silent"_s, u"--show-error"_s, u"--ftp-create-dirs"_s, u"-T"_s, file} + target.curlArguments
            + QStringList {target.curlURL});
    curl.waitForFinished(-1);
    if (curl.exitCode() != 0)
        std::fprintf(stderr, "curl failed: %s\n", curl.readAllStandardError().constData());
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int megabytes = argc > 1 ? std::max(1, atoi(argv[1])) : kDefaultMegabytes;
    // The SSH key and the known hosts of a home of its own.
    const TemporaryHome home;
    QTemporaryDir scratch;
    const QString file = scratch.filePath(u"Upload.zip"_s);
    std::printf("making %d MB in %s\n", megabytes, qPrintable(file));
    if (!writeArchive(file, megabytes))
        return 1;

    const FtpServer ftp;
    const FtpsServer ftps;
    const SftpServer sftp(home.path());
    if (!ftp.isRunning() || !ftps.isRunning() || !sftp.isRunning()) {
        std::fprintf(stderr, "a server did not start\n");
        return 1;
    }
    QDir().mkpath(QFileInfo(SSHHostKey::knownHostsPath()).path());
    QFile knownHosts(SSHHostKey::knownHostsPath());
    if (!knownHosts.open(QIODevice::WriteOnly) || knownHosts.write(sftp.knownHostsLine().toLatin1() + '\n') < 0)
        return 1;
    knownHosts.close();

    const QString key = home.filePath(u".ssh/id_ed25519"_s);
    const QList<Target> targets {
        {"FTP", ServerProtocolFTP, ftp.port(), u"anna"_s, u"secret"_s, {}, {u"-u"_s, u"anna:secret"_s},
            u"ftp://127.0.0.1:%1/curl/"_s.arg(ftp.port())},
        {"FTPS", ServerProtocolFTPS, ftps.port(), {}, {}, ftps.publicKeyPin(),
            {u"--ssl-reqd"_s, u"-k"_s, u"--pinnedpubkey"_s, QString::fromLatin1(ftps.publicKeyPin()), u"-u"_s,
                u"anonymous:"_s},
            u"ftp://127.0.0.1:%1/curl/"_s.arg(ftps.port())},
        {"SFTP", ServerProtocolSFTP, sftp.port(), SftpServer::userName(), {}, {},
            {u"-k"_s, u"--key"_s, key, u"--pubkey"_s, key + u".pub"_s, u"-u"_s, SftpServer::userName() + u':'},
            u"sftp://127.0.0.1:%1/~/curl/"_s.arg(sftp.port())},
    };

    const double idle = memoryMegabytes("VmRSS");
    for (const Target &target : targets) {
        // Medians of the runs, taken in turns, each side first as often as the other: the machine's
        // memory and disk favour whichever comes second.
        QList<double> oursRuns;
        QList<double> curlRuns;
        for (int i = 0; i < kRuns; ++i) {
            if (i % 2 == 0)
                oursRuns << secondsForOperation(file, target);
            curlRuns << secondsForCurl(file, target);
            if (i % 2 == 1)
                oursRuns << secondsForOperation(file, target);
        }
        const double ourRate = megabytes / Bench::median(oursRuns);
        const double curlRate = megabytes / Bench::median(curlRuns);
        std::printf("%-4s  FTPOperation: %6.1f MB/s; curl -T: %6.1f MB/s; ratio %.3f (goal: at least 0.9)\n",
            target.name, ourRate, curlRate, ourRate / curlRate);
    }
    std::printf("peak memory above idle: %.1f MB (goal: at most 64)\n", memoryMegabytes("VmHWM") - idle);
    return 0;
}
