// How fast Tessary makes an archive of a mixed tree, side by side with `zip -r` as it comes and,
// where it is installed, 7-Zip writing a zip with every core. Builds the tree (the same every
// time), zips it with each several times, and prints the medians, the archives' sizes and the
// ratio of Tessary to zip (goals: at most 0.45 on two cores, an archive within 1 % of zip's).
// Then the same for a tree of 20,000 one-line files against `zip -ry` (goal: at most 1.1), where
// the cost is per file: the walk, the plan, the runs and the join.
//
//   zip_speed [runs] [megabytes] [folder]

#include "BenchSupport.h"

#include "core/pipeline/Zipper.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <functional>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString k7Zip = u"/usr/bin/7zz"_s;

// One way of zipping the tree into the archive: whether it succeeded.
using Zipping = std::function<bool(const QString &tree, const QString &archive)>;

bool runTool(const QString &program, const QStringList &arguments, const QString &folder)
{
    QProcess tool;
    tool.setWorkingDirectory(folder);
    tool.setStandardOutputFile(QProcess::nullDevice());
    tool.start(program, arguments);
    return tool.waitForFinished(-1) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

bool zipWithTessary(const QString &tree, const QString &archive)
{
    Zipper zipper;
    bool succeeded = false;
    zipper.setCompletion([&succeeded](const Error &error, const QString &) { succeeded = error.isNull(); });
    zipper.createZipArchiveWithItems({QUrl::fromLocalFile(tree)}, archive, {});
    return succeeded;
}

bool zipWithZip(const QString &tree, const QString &archive)
{
    return runTool(u"/usr/bin/zip"_s, {u"-r"_s, u"-q"_s, archive, QFileInfo(tree).fileName()}, QFileInfo(tree).path());
}

bool zipWithZipKeepingLinks(const QString &tree, const QString &archive)
{
    return runTool(
        u"/usr/bin/zip"_s, {u"-r"_s, u"-y"_s, u"-q"_s, archive, QFileInfo(tree).fileName()}, QFileInfo(tree).path());
}

// 20,000 files of one line each, in one folder.
void buildSmallFiles(const QString &tree)
{
    QDir().mkpath(tree);
    for (int file = 0; file < 20000; ++file) {
        QFile line(u"%1/line %2.txt"_s.arg(tree).arg(file, 5, 10, QChar(u'0')));
        if (line.open(QIODevice::WriteOnly))
            line.write(QByteArray("line ") + QByteArray::number(file) + '\n');
    }
}

bool zipWith7Zip(const QString &tree, const QString &archive)
{
    return runTool(
        k7Zip, {u"a"_s, u"-tzip"_s, u"-mmt"_s, u"-bd"_s, archive, QFileInfo(tree).fileName()}, QFileInfo(tree).path());
}

struct Figures
{
    double seconds = 0;
    qint64 bytes = 0;
};

Figures measure(const Zipping &zipping, const QString &tree, const QString &archive, int runs)
{
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QFile::remove(archive);
        QElapsedTimer clock;
        clock.start();
        if (!zipping(tree, archive))
            std::fprintf(stderr, "a run failed: %s\n", qPrintable(archive));
        times << static_cast<double>(clock.nsecsElapsed()) / 1e9;
    }
    return {Bench::median(times), QFileInfo(archive).size()};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    const qint64 megabytes = argc > 2 ? std::max(10, atoi(argv[2])) : 200;
    QTemporaryDir scratch(argc > 3 ? QString::fromLocal8Bit(argv[3]) + u"/zip-speed-XXXXXX"_s : QString());
    const QString tree = scratch.filePath(u"Mixed Tree"_s);
    std::printf("building %d files, %lld MB; %d cores; median of %d runs\n",
        Bench::TreeFolders * Bench::TreeFilesPerFolder, megabytes, QThread::idealThreadCount(), runs);
    Bench::buildMixedTree(tree, megabytes << 20);

    const Figures tessary = measure(zipWithTessary, tree, scratch.filePath(u"tessary.zip"_s), runs);
    const Figures zip = measure(zipWithZip, tree, scratch.filePath(u"zip.zip"_s), runs);
    std::printf("%-26s %8.3f s %12lld bytes\n", "Tessary", tessary.seconds, tessary.bytes);
    std::printf("%-26s %8.3f s %12lld bytes\n", "zip -r", zip.seconds, zip.bytes);
    if (QFileInfo::exists(k7Zip)) {
        const Figures sevenZip = measure(zipWith7Zip, tree, scratch.filePath(u"7zip.zip"_s), runs);
        std::printf("%-26s %8.3f s %12lld bytes\n", "7zz a -tzip -mmt", sevenZip.seconds, sevenZip.bytes);
    }
    std::printf("median ratio (Tessary / zip -r): %.3f (goal: at most 0.45 on two cores); size %+.2f %% of zip's "
                "(goal: within 1 %%)\n",
        tessary.seconds / zip.seconds,
        100.0 * static_cast<double>(tessary.bytes - zip.bytes) / static_cast<double>(zip.bytes));

    const QString small = scratch.filePath(u"Small Files"_s);
    buildSmallFiles(small);
    const Figures tessarySmall = measure(zipWithTessary, small, scratch.filePath(u"tessary-small.zip"_s), runs);
    const Figures zipSmall = measure(zipWithZipKeepingLinks, small, scratch.filePath(u"zip-small.zip"_s), runs);
    std::printf("20,000 one-line files:\n");
    std::printf("%-26s %8.3f s %12lld bytes\n", "Tessary", tessarySmall.seconds, tessarySmall.bytes);
    std::printf("%-26s %8.3f s %12lld bytes\n", "zip -ry", zipSmall.seconds, zipSmall.bytes);
    std::printf(
        "median ratio (Tessary / zip -ry): %.3f (goal: at most 1.1)\n", tessarySmall.seconds / zipSmall.seconds);
    return 0;
}
