#include "ZipPlan.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Formats whose data is compressed already: deflating them again costs time and gains nothing.
// The tool's own list (Z, zip, zoo, arc, lzh, arj) is among them, as "-n" replaces it.
const char *const kCompressedSuffixes[] = {"Z", "zip", "zoo", "arc", "lzh", "arj", "7z", "rar", "gz", "tgz", "bz2",
    "tbz2", "xz", "txz", "zst", "lz", "lzma", "lz4", "cab", "jar", "apk", "deb", "rpm", "dmg", "jpg", "jpeg", "png",
    "gif", "webp", "heic", "heif", "avif", "jxl", "mp3", "m4a", "aac", "ogg", "oga", "opus", "flac", "wma", "mp4", "m4v",
    "mov", "mkv", "webm", "avi", "wmv", "flv", "3gp", "mpg", "mpeg", "docx", "xlsx", "pptx", "odt", "ods", "odp", "epub",
    "pdf", "woff", "woff2"};

bool canRead(const QString &path, bool folder)
{
    return ::access(QFile::encodeName(path).constData(), folder ? R_OK | X_OK : R_OK) == 0;
}

bool tooLong(const QString &storedName)
{
    return storedName.toUtf8().size() > ZipPlan::MaximumStoredNameBytes;
}

// Whether the unit is a folder whose contents can be cut into units of their own.
bool canBeOpenedUp(const ZipPlan::Unit &unit)
{
    const QFileInfo info(unit.path);
    return unit.recursive && info.isDir() && !info.isSymLink() && unit.size.entries > 0 && canRead(unit.path, true)
        && !tooLong(unit.storedName);
}

// The folder's own entry, then everything in it, in the order the tool itself would take them.
QList<ZipPlan::Unit> openedUp(const ZipPlan::Unit &folder)
{
    QList<ZipPlan::Unit> units {ZipPlan::Unit {folder.path, folder.storedName, false, ZipPlan::Size {1, 0, {}}}};
    const QStringList children = QDir(folder.path).entryList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Unsorted);
    for (const QString &child : children) {
        const QString storedName = folder.storedName + u'/' + child;
        const QString path = folder.path + u'/' + child;
        units.append(ZipPlan::Unit {path, storedName, true, ZipPlan::sizeOfItem(path, storedName)});
    }
    return units;
}

} // namespace

ZipPlan::Size ZipPlan::sizeOfItem(const QString &path, const QString &storedName)
{
    const QFileInfo info(path);
    const bool folder = info.isDir() && !info.isSymLink();
    Size size {1, info.isFile() && !info.isSymLink() ? info.size() : 0, {}};
    if (tooLong(storedName) || (!info.isSymLink() && !canRead(path, folder))) {
        size.leftOut << storedName;
        return size;
    }
    if (!folder)
        return size;

    size.entries = 0;
    QString leftOutFolder; // what is under a folder left out is not named again
    QDirIterator entries(
        path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QFileInfo entry = entries.nextFileInfo();
        ++size.entries;
        const bool isLink = entry.isSymLink();
        if (entry.isFile() && !isLink)
            size.bytes += entry.size();
        const QString name = storedName + u'/' + entry.filePath().mid(path.size() + 1);
        if (!leftOutFolder.isNull() && name.startsWith(leftOutFolder))
            continue;
        const bool isFolder = entry.isDir() && !isLink;
        if (tooLong(name) || (!isLink && !canRead(entry.filePath(), isFolder))) {
            size.leftOut << name;
            if (isFolder)
                leftOutFolder = name + u'/';
        }
    }
    return size;
}

QList<QList<ZipPlan::Unit>> ZipPlan::split(const QStringList &itemPaths, const QList<Size> &sizes, int partCount)
{
    QList<Unit> units;
    for (qsizetype i = 0; i < itemPaths.size(); ++i) {
        const QString path = QDir::cleanPath(itemPaths.at(i));
        units.append(Unit {path, QFileInfo(path).fileName(), true, sizes.value(i)});
    }
    // Too few items to keep every part busy: the heaviest folder gives up its contents.
    while (units.size() < partCount) {
        qsizetype heaviest = -1;
        for (qsizetype i = 0; i < units.size(); ++i)
            if (canBeOpenedUp(units.at(i))
                && (heaviest < 0 || weightOf(units.at(i).size) > weightOf(units.at(heaviest).size)))
                heaviest = i;
        if (heaviest < 0)
            break;
        const QList<Unit> contents = openedUp(units.takeAt(heaviest));
        for (qsizetype i = 0; i < contents.size(); ++i)
            units.insert(heaviest + i, contents.at(i));
    }

    qint64 total = 0;
    for (const Unit &unit : std::as_const(units))
        total += weightOf(unit.size);
    const qsizetype count = std::clamp<qsizetype>(partCount, 1, std::max<qsizetype>(1, units.size()));
    QList<QList<Unit>> parts(1);
    qint64 done = 0;
    for (qsizetype i = 0; i < units.size(); ++i) {
        const qsizetype partsLeft = count - parts.size();
        const qsizetype unitsLeft = units.size() - i;
        // A part ends once it has its share, or when each part still to come needs a unit of its own.
        const bool shareTaken = done * count >= total * parts.size();
        if (!parts.last().isEmpty() && partsLeft > 0 && (shareTaken || unitsLeft <= partsLeft))
            parts.append(QList<Unit>());
        parts.last().append(units.at(i));
        done += weightOf(units.at(i).size);
    }
    if (parts.last().isEmpty())
        parts.removeLast();
    return parts;
}

QList<ZipPlan::Run> ZipPlan::runsForUnits(const QList<Unit> &units, const QString &archivePath, bool encrypted)
{
    QList<Run> runs;
    for (const Unit &unit : units) {
        QStringList arguments;
        if (unit.recursive)
            arguments << u"-r"_s;
        arguments << u"-y"_s << u"-nw"_s << u"-db"_s << u"-dd"_s << u"-ds"_s << u"1m"_s << u"-n"_s << storedSuffixes();
        if (!runs.isEmpty())
            arguments << u"-g"_s;
        if (encrypted)
            arguments << u"-e"_s;
        arguments << archivePath << u"./"_s + unit.storedName;
        runs.append(Run {unit.path.chopped(unit.storedName.size()), arguments});
    }
    return runs;
}

QString ZipPlan::storedSuffixes()
{
    QStringList suffixes;
    for (const char *suffix : kCompressedSuffixes) {
        const QString lower = u'.' + QString::fromLatin1(suffix);
        suffixes << lower;
        if (lower.toUpper() != lower)
            suffixes << lower.toUpper();
    }
    return suffixes.join(u':');
}
