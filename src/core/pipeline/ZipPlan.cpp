#include "ZipPlan.h"

#include "core/support/FileNames.h"

#include <QDir>
#include <QFileInfo>

#include <climits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// An entry costs the tool about as much as reading this many bytes: a part of many small files
// is as much work as its bytes alone say.
constexpr qint64 kEntryWeight = 4096;

qint64 weightOf(const ZipPlan::Size &size)
{
    return size.bytes + qint64(size.entries) * kEntryWeight;
}

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
    bool socket = false;
    qint64 bytes = 0;

    /// A pipe, a device or a socket: the tool adds none of them.
    bool isSpecial() const { return exists && !folder && !file && !link; }
};

// A path longer than the system calls take (PATH_MAX), as its folder opened step by step and the
// name in it: the items of a dropped folder may lie deeper than that, and the tool, which works
// from the folder the items are in, still reaches them.
class LongPath final
{
public:
    explicit LongPath(const QByteArray &path)
    {
        const qsizetype slash = path.lastIndexOf('/');
        m_name = path.mid(slash + 1);
        qsizetype done = 0;
        while (done < slash) {
            // The longest piece that fits, ending at a folder.
            qsizetype end = slash;
            if (end - done >= PATH_MAX)
                end = path.lastIndexOf('/', done + PATH_MAX - 1);
            if (end <= done)
                return;
            const QByteArray piece = path.mid(done, end - done);
            const int next = ::openat(m_folder >= 0 ? m_folder : AT_FDCWD, piece.isEmpty() ? "/" : piece.constData(),
                O_PATH | O_DIRECTORY | O_CLOEXEC);
            if (m_folder >= 0)
                ::close(m_folder);
            m_folder = next;
            if (next < 0)
                return;
            done = end + 1;
        }
    }
    ~LongPath()
    {
        if (m_folder >= 0)
            ::close(m_folder);
    }
    Q_DISABLE_COPY(LongPath)

    bool isOpen() const { return m_folder >= 0; }
    int folder() const { return m_folder; }
    const char *name() const { return m_name.constData(); }

private:
    int m_folder = -1;
    QByteArray m_name;
};

bool isLong(const QByteArray &path)
{
    return path.size() >= PATH_MAX;
}

Entry entryAt(const QByteArray &path)
{
    struct stat status
    {
    };
    if (isLong(path)) {
        const LongPath located(path);
        if (!located.isOpen() || ::fstatat(located.folder(), located.name(), &status, AT_SYMLINK_NOFOLLOW) != 0)
            return {};
    } else if (::lstat(path.constData(), &status) != 0) {
        return {};
    }
    return {true, S_ISDIR(status.st_mode), S_ISREG(status.st_mode), S_ISLNK(status.st_mode), S_ISSOCK(status.st_mode),
        S_ISREG(status.st_mode) ? qint64(status.st_size) : 0};
}

bool canRead(const QByteArray &path, bool folder)
{
    const int mode = folder ? R_OK | X_OK : R_OK;
    if (!isLong(path))
        return ::access(path.constData(), mode) == 0;
    const LongPath located(path);
    return located.isOpen() && ::faccessat(located.folder(), located.name(), mode, 0) == 0;
}

bool tooLong(const QByteArray &storedName)
{
    return storedName.size() > ZipPlan::MaximumStoredNameBytes;
}

// The names in the folder; none where it cannot be listed.
QList<QByteArray> namesIn(const QByteArray &folder)
{
    if (!isLong(folder))
        return FileNames::namesIn(AT_FDCWD, folder).value_or(QList<QByteArray>());
    const LongPath located(folder);
    return located.isOpen() ? FileNames::namesIn(located.folder(), located.name()).value_or(QList<QByteArray>())
                            : QList<QByteArray>();
}

void add(ZipPlan::Size &total, const ZipPlan::Size &part)
{
    total.entries += part.entries;
    total.bytes += part.bytes;
    total.leftOut << part.leftOut;
}

// The size of what is at the path and under it. A folder's listing is closed before going
// deeper: a deep tree never holds many open at once. Pipes and devices count for nothing, as the
// tool passes them over; so do sockets, which it cannot read, and which are named as left out.
ZipPlan::Size sizeOfEntry(const QByteArray &path, const QByteArray &storedName, bool keepContents)
{
    const Entry entry = entryAt(path);
    if (entry.isSpecial())
        return {0, 0, entry.socket ? QStringList {FileNames::decode(storedName)} : QStringList(), {}};
    ZipPlan::Size size {1, entry.bytes, {}, {}};
    if (tooLong(storedName) || (!entry.link && !canRead(path, entry.folder))) {
        size.leftOut << FileNames::decode(storedName); // and whatever is under it
        return size;
    }
    if (!entry.folder)
        return size;
    for (const QByteArray &name : namesIn(path)) {
        const QByteArray childPath = path + '/' + name;
        const QByteArray childName = storedName + '/' + name;
        ZipPlan::Size child = sizeOfEntry(childPath, childName, false);
        add(size, child);
        if (keepContents && child.entries > 0)
            size.contents.push_back(
                ZipPlan::Unit {FileNames::decode(childPath), FileNames::decode(childName), true, std::move(child)});
    }
    return size;
}

// Whether the unit is a folder whose contents can be cut into units of their own.
bool canBeOpenedUp(const ZipPlan::Unit &unit)
{
    const QByteArray path = FileNames::encode(unit.path);
    return unit.recursive && entryAt(path).folder && unit.size.entries > 1 && canRead(path, true)
        && !tooLong(FileNames::encode(unit.storedName));
}

// The folder's own entry, then everything in it, in the order the tool itself would take them.
QList<ZipPlan::Unit> openedUp(ZipPlan::Unit &folder)
{
    if (folder.size.contents.empty()) // a folder inside a dropped one: looked at only now
        folder.size = sizeOfEntry(FileNames::encode(folder.path), FileNames::encode(folder.storedName), true);
    QList<ZipPlan::Unit> units {ZipPlan::Unit {folder.path, folder.storedName, false, ZipPlan::Size {1, 0, {}, {}}}};
    for (ZipPlan::Unit &unit : folder.size.contents)
        units.append(std::move(unit));
    return units;
}

// Opens up every folder unit that holds one of the paths, down to the paths themselves, and
// takes those out: the folder's own entry and the rest of what is in it stay.
void leaveOut(QList<ZipPlan::Unit> &units, const QStringList &paths)
{
    for (qsizetype i = 0; i < units.size();) {
        const ZipPlan::Unit &unit = units.at(i);
        if (paths.contains(unit.path)) {
            units.removeAt(i);
            continue;
        }
        const QString inside = unit.path + u'/';
        if (unit.recursive && std::any_of(paths.cbegin(), paths.cend(), [&inside](const QString &path) {
                return path.startsWith(inside);
            })) {
            ZipPlan::Unit folder = units.takeAt(i);
            const QList<ZipPlan::Unit> contents = openedUp(folder);
            for (qsizetype j = 0; j < contents.size(); ++j)
                units.insert(i + j, contents.at(j));
            continue; // the folder's own entry first, then what was in it
        }
        ++i;
    }
}

} // namespace

ZipPlan::Size ZipPlan::sizeOfItem(const QString &path, const QString &storedName)
{
    return sizeOfEntry(FileNames::encode(path), FileNames::encode(storedName), true);
}

QList<QList<ZipPlan::Unit>> ZipPlan::split(
    const QStringList &itemPaths, const QList<Size> &sizes, int partCount, const QStringList &excludedPaths)
{
    QList<Unit> units;
    for (qsizetype i = 0; i < itemPaths.size(); ++i) {
        const QString path = QDir::cleanPath(itemPaths.at(i));
        // A pipe or a device dropped on its own adds nothing.
        if (sizes.value(i).entries > 0)
            units.append(Unit {path, QFileInfo(path).fileName(), true, sizes.value(i)});
    }
    QStringList excluded;
    for (const QString &path : excludedPaths)
        excluded << QDir::cleanPath(path);
    leaveOut(units, excluded);
    // Too few items to keep every part busy: the heaviest folder gives up its contents.
    while (units.size() < partCount) {
        qsizetype heaviest = -1;
        for (qsizetype i = 0; i < units.size(); ++i)
            if (canBeOpenedUp(units.at(i))
                && (heaviest < 0 || weightOf(units.at(i).size) > weightOf(units.at(heaviest).size)))
                heaviest = i;
        if (heaviest < 0)
            break;
        Unit folder = units.takeAt(heaviest);
        const QList<Unit> contents = openedUp(folder);
        for (qsizetype i = 0; i < contents.size(); ++i)
            units.insert(heaviest + i, contents.at(i));
    }

    qint64 total = 0;
    for (const Unit &unit : std::as_const(units))
        total += weightOf(unit.size);
    const qsizetype count = std::clamp<qsizetype>(partCount, 1, std::max<qsizetype>(1, units.size()));
    if (units.isEmpty())
        return {};
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

QList<ZipPlan::Run> ZipPlan::runsForUnits(
    const QList<Unit> &units, const QString &archivePath, bool encrypted, const QString &logPath)
{
    QList<Run> runs;
    bool recursive = false;
    for (const Unit &unit : units) {
        const QString workingDirectory = unit.path.chopped(unit.storedName.size());
        // "-r" only matters to a folder whose contents go along.
        const bool recursing = unit.recursive && unit.size.entries > 1;
        const bool listable = !unit.storedName.contains(u'\n') && !unit.storedName.contains(u'\r');
        const QByteArray name = "./" + FileNames::encode(unit.storedName);
        if (listable && !runs.isEmpty() && !runs.last().nameList.isEmpty()
            && runs.last().workingDirectory == workingDirectory && recursive == recursing) {
            runs.last().nameList += name + '\n';
            continue;
        }
        QStringList arguments;
        if (recursing)
            arguments << u"-r"_s;
        arguments << u"-y"_s << u"-nw"_s << u"-q"_s << u"-dg"_s << u"-ds"_s << u"256k"_s << u"-n"_s << storedSuffixes();
        if (!runs.isEmpty())
            arguments << u"-g"_s;
        if (encrypted)
            arguments << u"-e"_s;
        if (!logPath.isEmpty())
            arguments << u"-lf"_s << logPath << u"-la"_s;
        if (listable)
            arguments << u"-@"_s << archivePath;
        else
            arguments << archivePath << u"./"_s + unit.storedName;
        runs.append(Run {workingDirectory, arguments, listable ? name + '\n' : QByteArray()});
        recursive = recursing;
    }
    return runs;
}

QStringList ZipPlan::unreadNamesInLog(const QByteArray &log)
{
    static const QByteArray marker = "could not open for reading: ";
    QStringList names;
    for (const QByteArray &line : log.split('\n')) {
        const qsizetype at = line.indexOf(marker);
        if (at < 0)
            continue;
        QByteArray name = line.mid(at + marker.size());
        if (name.startsWith("./"))
            name.remove(0, 2);
        if (!name.isEmpty())
            names << FileNames::decode(name);
    }
    return names;
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
