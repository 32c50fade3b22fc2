#include "ZipPlan.h"

#include "support/FileNames.h"

#include <QDir>
#include <QFileInfo>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Formats whose data is compressed already: deflating them again costs time and gains nothing.
// The tool's own list (Z, zip, zoo, arc, lzh, arj) is among them, as "-n" replaces it.
const char *const kCompressedSuffixes[] = {"Z", "zip", "zoo", "arc", "lzh", "arj", "7z", "rar", "gz", "tgz", "bz2",
    "tbz2", "xz", "txz", "zst", "lz", "lzma", "lz4", "cab", "jar", "apk", "deb", "rpm", "dmg", "jpg", "jpeg", "png",
    "gif", "webp", "heic", "heif", "avif", "jxl", "mp3", "m4a", "aac", "ogg", "oga", "opus", "flac", "wma", "mp4",
    "m4v", "mov", "mkv", "webm", "avi", "wmv", "flv", "3gp", "mpg", "mpeg", "docx", "xlsx", "pptx", "odt", "ods", "odp",
    "epub", "pdf", "woff", "woff2"};

// What lstat() says of a path, named in bytes.
struct Entry
{
    bool exists = false;
    bool folder = false; // a real folder, not a link to one
    bool file = false; // a regular file, not a link to one
    bool link = false;
    qint64 bytes = 0;
};

Entry entryAt(const QByteArray &path)
{
    struct stat status
    {
    };
    if (::lstat(path.constData(), &status) != 0)
        return {};
    return {true, S_ISDIR(status.st_mode), S_ISREG(status.st_mode), S_ISLNK(status.st_mode),
        S_ISREG(status.st_mode) ? qint64(status.st_size) : 0};
}

bool canRead(const QByteArray &path, bool folder)
{
    return ::access(path.constData(), folder ? R_OK | X_OK : R_OK) == 0;
}

bool tooLong(const QByteArray &storedName)
{
    return storedName.size() > ZipPlan::MaximumStoredNameBytes;
}

// The names in the folder, in the order the system lists them (the order the tool takes too).
QList<QByteArray> namesIn(const QByteArray &folder)
{
    QList<QByteArray> names;
    DIR *listing = ::opendir(folder.constData());
    if (listing == nullptr)
        return names;
    while (const dirent *item = ::readdir(listing)) {
        const QByteArray name(item->d_name);
        if (name != "." && name != "..")
            names << name;
    }
    ::closedir(listing);
    return names;
}

// Adds up what is under a folder, at any depth, and names what the tool will leave out. The
// folder's listing is closed before going deeper: a deep tree never holds many open at once.
void addContents(const QByteArray &folder, const QByteArray &storedName, ZipPlan::Size &size)
{
    for (const QByteArray &name : namesIn(folder)) {
        const QByteArray path = folder + '/' + name;
        const QByteArray stored = storedName + '/' + name;
        const Entry entry = entryAt(path);
        ++size.entries;
        size.bytes += entry.bytes;
        if (tooLong(stored) || (!entry.link && !canRead(path, entry.folder))) {
            size.leftOut << FileNames::decode(stored); // and whatever is under it
            continue;
        }
        if (entry.folder)
            addContents(path, stored, size);
    }
}

// Whether the unit is a folder whose contents can be cut into units of their own.
bool canBeOpenedUp(const ZipPlan::Unit &unit)
{
    const QByteArray path = FileNames::encode(unit.path);
    return unit.recursive && entryAt(path).folder && unit.size.entries > 0 && canRead(path, true)
        && !tooLong(FileNames::encode(unit.storedName));
}

// The folder's own entry, then everything in it, in the order the tool itself would take them.
QList<ZipPlan::Unit> openedUp(const ZipPlan::Unit &folder)
{
    QList<ZipPlan::Unit> units {ZipPlan::Unit {folder.path, folder.storedName, false, ZipPlan::Size {1, 0, {}}}};
    for (const QByteArray &child : namesIn(FileNames::encode(folder.path))) {
        const QString name = FileNames::decode(child);
        const QString storedName = folder.storedName + u'/' + name;
        const QString path = folder.path + u'/' + name;
        units.append(ZipPlan::Unit {path, storedName, true, ZipPlan::sizeOfItem(path, storedName)});
    }
    return units;
}

} // namespace

ZipPlan::Size ZipPlan::sizeOfItem(const QString &path, const QString &storedName)
{
    const QByteArray bytes = FileNames::encode(path);
    const QByteArray stored = FileNames::encode(storedName);
    const Entry entry = entryAt(bytes);
    Size size {1, entry.bytes, {}};
    if (tooLong(stored) || (!entry.link && !canRead(bytes, entry.folder))) {
        size.leftOut << storedName;
        return size;
    }
    if (entry.folder) {
        size.entries = 0;
        addContents(bytes, stored, size);
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
