// How much time driving the zip tool through Zipper adds to running the same command lines
// directly. Builds a tree of about 2,000 files and 200 MB of mixed data, zips it both ways
// several times, and prints the median ratio (goal: at most 1.03).
//
//   zip_overhead [runs] [folder]

#include "pipeline/Zipper.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kFolders = 40;
constexpr int kFilesPerFolder = 50;
constexpr qint64 kTotalBytes = 200LL * 1024 * 1024;

// A third each of random (incompressible), repetitive text and zeros, in files of varied size.
void buildTree(const QString &root)
{
    QRandomGenerator random(20261206);
    const qint64 averageSize = kTotalBytes / (kFolders * kFilesPerFolder);
    const QByteArray text = QByteArray("The quick brown fox jumps over the lazy dog. 0123456789\n").repeated(4096);
    for (int f = 0; f < kFolders; ++f) {
        const QString folder = u"%1/folder %2/sub"_s.arg(root).arg(f);
        QDir().mkpath(folder);
        for (int i = 0; i < kFilesPerFolder; ++i) {
            const qint64 size = averageSize / 2 + static_cast<qint64>(random.bounded(static_cast<int>(averageSize)));
            QByteArray data;
            switch ((f * kFilesPerFolder + i) % 3) {
            case 0:
                data.resize(size);
                random.fillRange(reinterpret_cast<quint32 *>(data.data()), size / 4);
                break;
            case 1:
                data = text.left(size);
                break;
            default:
                data = QByteArray(size, '\0');
            }
            QFile file(u"%1/file-%2.dat"_s.arg(folder).arg(i));
            file.open(QIODevice::WriteOnly);
            file.write(data);
        }
    }
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

double timeZipper(const QStringList &items, const QString &output)
{
    QFile::remove(output);
    QElapsedTimer clock;
    clock.start();
    Zipper zipper;
    bool ok = false;
    zipper.setCompletion([&ok](const Error &error, const QString &) { ok = error.isNull(); });
    QList<QUrl> urls;
    for (const QString &item : items)
        urls << QUrl::fromLocalFile(item);
    zipper.createZipArchiveWithItems(urls, output, {});
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (!ok)
        std::fprintf(stderr, "Zipper failed\n");
    return seconds;
}

double timeDirect(const QStringList &items, const QString &output)
{
    QFile::remove(output);
    QElapsedTimer clock;
    clock.start();
    for (const Zipper::Run &run : Zipper::runsForItems(items, output, {})) {
        QProcess zip;
        zip.setWorkingDirectory(run.workingDirectory);
        zip.setStandardOutputFile(QProcess::nullDevice());
        zip.start(Zipper::ZipToolPath, run.arguments);
        zip.waitForFinished(-1);
        if (zip.exitCode() != 0)
            std::fprintf(stderr, "zip failed\n");
    }
    return clock.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir scratch(argc > 2 ? QString::fromLocal8Bit(argv[2]) + u"/zip-overhead-XXXXXX"_s : QString());
    const QString tree = scratch.filePath(u"tree"_s);
    std::printf("building %d files, %lld MB in %s\n", kFolders * kFilesPerFolder, kTotalBytes >> 20, qPrintable(tree));
    buildTree(tree);

    QStringList items;
    for (int f = 0; f < kFolders; f += kFolders / 4)
        items << u"%1/folder %2"_s.arg(tree).arg(f);
    for (int f = 0; f < kFolders; ++f)
        if (f % (kFolders / 4) != 0)
            QDir(tree).rename(u"folder %1"_s.arg(f), u"folder %1/more %2"_s.arg(f - f % (kFolders / 4)).arg(f));

    const QString output = scratch.filePath(u"out.zip"_s);
    QList<double> ratios;
    for (int i = 0; i < runs; ++i) {
        // Alternate the order so that neither side always meets a warm cache first.
        double direct = 0;
        double zipper = 0;
        if (i % 2 == 0) {
            direct = timeDirect(items, output);
            zipper = timeZipper(items, output);
        } else {
            zipper = timeZipper(items, output);
            direct = timeDirect(items, output);
        }
        ratios << zipper / direct;
        std::printf("run %d: direct %.3f s, Zipper %.3f s, ratio %.4f\n", i + 1, direct, zipper, zipper / direct);
    }
    std::printf("median ratio (Zipper / direct): %.4f (goal: at most 1.03)\n", median(ratios));
    return 0;
}
