// How much time driving the zip tool through Zipper adds to running the same command lines
// directly. Builds a tree of about 2,000 files and 200 MB of mixed data, zips it both ways
// several times, and prints the median ratio (goal: at most 1.03).
//
//   zip_overhead [runs] [folder]

#include "BenchSupport.h"

#include "core/pipeline/ZipPlan.h"
#include "core/pipeline/ZipRunner.h"
#include "core/pipeline/Zipper.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 kTotalBytes = 200LL * 1024 * 1024;

double timeZipper(const QStringList &items, const QString &output)
{
    QFile::remove(output);
    QElapsedTimer clock;
    clock.start();
    Zipper zipper;
    zipper.setMaximumParallelRuns(1); // the same runs as the direct side, one after another
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
    QList<ZipPlan::Size> sizes;
    for (const QString &item : items)
        sizes << ZipPlan::sizeOfItem(item, QFileInfo(item).fileName());
    const QList<ZipPlan::Unit> units = ZipPlan::split(items, sizes, 1).first();
    for (const ZipPlan::Run &run : ZipPlan::runsForUnits(units, output, false)) {
        QProcess zip;
        zip.setWorkingDirectory(run.workingDirectory);
        zip.setStandardOutputFile(QProcess::nullDevice());
        zip.start(ZipRunner::ZipToolPath, run.arguments);
        zip.write(run.nameList);
        zip.closeWriteChannel();
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
    std::printf("building %d files, %lld MB in %s\n", Bench::TreeFolders * Bench::TreeFilesPerFolder, kTotalBytes >> 20,
        qPrintable(tree));
    Bench::buildMixedTree(tree, kTotalBytes);

    QStringList items;
    for (int f = 0; f < Bench::TreeFolders; f += Bench::TreeFolders / 4)
        items << u"%1/folder %2"_s.arg(tree).arg(f);
    for (int f = 0; f < Bench::TreeFolders; ++f)
        if (f % (Bench::TreeFolders / 4) != 0)
            QDir(tree).rename(
                u"folder %1"_s.arg(f), u"folder %1/more %2"_s.arg(f - f % (Bench::TreeFolders / 4)).arg(f));

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
    std::printf("median ratio (Zipper / direct): %.4f (goal: at most 1.03)\n", Bench::median(ratios));
    return 0;
}
