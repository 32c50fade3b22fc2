// How fast Tessary makes an archive of a mixed tree, side by side with `zip -r` as it comes and,
// where it is installed, 7-Zip writing a zip with every core. Builds the tree (the same every
// time), zips it with each several times, and prints the medians, the archives' sizes and the
// ratio of Tessary to zip (goals: at most 0.45 on two cores, an archive within 1 % of zip's).
// Then the same for a tree of 20,000 one-line files against `zip -ry` (goal: at most 1.1), where
// the cost is per file: the walk, the plan, the runs and the join. Last, AES-256 beside the same
// runs without a password: on 20 files of 10 MB, half text, half random (goal: at most 1.25 × the
// plain time), and on the mixed tree, the extra time per file and core (goal: at most 1.5 ms, what
// the key derivation of each entry costs).
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

bool zipWithTessaryProtected(
    const QString &tree, const QString &archive, const QString &password, ZipEncryption encryption)
{
    Zipper zipper;
    bool succeeded = false;
    zipper.setCompletion([&succeeded](const Error &error, const QString &) { succeeded = error.isNull(); });
    zipper.createZipArchiveWithItems({QUrl::fromLocalFile(tree)}, archive, password, encryption);
    return succeeded;
}

bool zipWithTessaryAES(const QString &tree, const QString &archive)
{
    return zipWithTessaryProtected(tree, archive, u"bench password"_s, ZipEncryptionAES256);
}

bool zipWithTessary(const QString &tree, const QString &archive)
{
    return zipWithTessaryProtected(tree, archive, {}, ZipEncryptionCompatible);
}

// 20 files of 10 MB: ten of text, ten of random bytes.
void buildLargeFiles(const QString &tree)
{
    QDir().mkpath(tree);
    QFile random(u"/dev/urandom"_s);
    random.open(QIODevice::ReadOnly);
    const QByteArray text
        = QByteArray("The quick zip of a large file, line by line, deflates well enough.\n").repeated(160000);
    for (int file = 0; file < 20; ++file) {
        QFile out(u"%1/large %2.%3"_s.arg(tree).arg(file).arg(file % 2 == 0 ? u"txt"_s : u"bin"_s));
        if (out.open(QIODevice::WriteOnly))
            out.write(file % 2 == 0 ? text.first(10 << 20) : random.read(10 << 20));
    }
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

void print(const char *name, const Figures &figures)
{
    std::printf("%-26s %8.3f s %12lld bytes\n", name, figures.seconds, figures.bytes);
}

// One of two ways of zipping the same tree that are compared.
struct Contender
{
    const char *name;
    Zipping zipping;
};

// Times both on the tree and prints their figures and the ratio of the first to the second.
void compare(const char *title, const QString &tree, const QTemporaryDir &scratch, int runs, const Contender &first,
    const Contender &second, double goal)
{
    const Figures firstFigures = measure(first.zipping, tree, scratch.filePath(u"first.zip"_s), runs);
    const Figures secondFigures = measure(second.zipping, tree, scratch.filePath(u"second.zip"_s), runs);
    std::printf("%s:\n", title);
    print(first.name, firstFigures);
    print(second.name, secondFigures);
    std::printf("median ratio (%s / %s): %.3f (goal: at most %.2f)\n", first.name, second.name,
        firstFigures.seconds / secondFigures.seconds, goal);
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
    print("Tessary", tessary);
    print("zip -r", zip);
    if (QFileInfo::exists(k7Zip)) {
        const Figures sevenZip = measure(zipWith7Zip, tree, scratch.filePath(u"7zip.zip"_s), runs);
        print("7zz a -tzip -mmt", sevenZip);
    }
    std::printf("median ratio (Tessary / zip -r): %.3f (goal: at most 0.45 on two cores); size %+.2f %% of zip's "
                "(goal: within 1 %%)\n",
        tessary.seconds / zip.seconds,
        100.0 * static_cast<double>(tessary.bytes - zip.bytes) / static_cast<double>(zip.bytes));

    const QString small = scratch.filePath(u"Small Files"_s);
    buildSmallFiles(small);
    compare("20,000 one-line files", small, scratch, runs, {"Tessary", zipWithTessary},
        {"zip -ry", zipWithZipKeepingLinks}, 1.1);

    const QString large = scratch.filePath(u"Large Files"_s);
    buildLargeFiles(large);
    compare("AES-256, 20 files of 10 MB (half text, half random)", large, scratch, runs, {"AES-256", zipWithTessaryAES},
        {"no password", zipWithTessary}, 1.25);
    const Figures aesMixed = measure(zipWithTessaryAES, tree, scratch.filePath(u"aes-mixed.zip"_s), runs);
    const int files = Bench::TreeFolders * Bench::TreeFilesPerFolder;
    const double perFileAndCore
        = (aesMixed.seconds - tessary.seconds) * 1000.0 * std::min(QThread::idealThreadCount(), files) / files;
    std::printf("AES-256, the mixed tree of %d files:\n", files);
    print("Tessary, AES-256", aesMixed);
    std::printf("extra time per file and core: %.2f ms (goal: at most 1.5 ms)\n", perFileAndCore);
    return 0;
}
