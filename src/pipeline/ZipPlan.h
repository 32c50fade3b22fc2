#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// How the dropped items become zip tool runs. The items are cut into units (an item, or, where
// there are fewer items than parts wanted, a folder's own entry and each thing in it), and the
// units, in order, into parts of about equal weight: each part is one archive that one chain of
// runs builds, so that the parts can be made at the same time and joined afterwards with their
// entries in the order a single run would have given them.
class ZipPlan final
{
public:
    /// What an item or unit puts into the archive: its entries (every file and folder under a
    /// folder, at any depth, without the folder itself; 1 for anything else), the bytes of its
    /// files, and the names (as stored) of what the tool will not be able to add: files and
    /// folders that cannot be read, and paths too long for it. Links are not followed.
    struct Size
    {
        qsizetype entries = 0;
        qint64 bytes = 0;
        QStringList leftOut;
    };

    /// One thing a run adds: the path on disk, the name it is stored under ("Photos/2024" for a
    /// folder inside a dropped folder), and whether what is inside it goes too.
    struct Unit
    {
        QString path;
        QString storedName;
        bool recursive = true;
        Size size;
    };

    /// One run of the zip tool.
    struct Run
    {
        QString workingDirectory;
        QStringList arguments;
    };

    /// The longest stored name the tool takes, in bytes; it silently leaves out longer ones.
    static constexpr qsizetype MaximumStoredNameBytes = 4093;
    /// An entry costs the tool about as much as reading this many bytes, so that a folder of many
    /// small files weighs something too.
    static constexpr qint64 EntryWeight = 4096;

    static Size sizeOfItem(const QString &path, const QString &storedName);
    static qint64 weightOf(const Size &size) { return size.bytes + qint64(size.entries) * EntryWeight; }

    /// The items (each with its size) cut into at most partCount parts, in order. A part never
    /// holds nothing; there are fewer parts when there is not enough to share out.
    static QList<QList<Unit>> split(const QStringList &itemPaths, const QList<Size> &sizes, int partCount);

    /// The runs that build one archive of the units: "-r" (recurse) where the unit's contents go,
    /// "-y" (links stay links), "-nw" (names are literal, no wildcards), "-db" "-dd" "-ds 1m"
    /// (byte counts, and a dot a megabyte), "-n" with the suffixes of formats that are compressed
    /// already (stored, not deflated again), "-g" (grow) for every run after the first, "-e"
    /// when there is a password (the tool then asks for it on its terminal, never on its command
    /// line), the archive, and the unit as "./NAME", which the tool can never take for an option
    /// and stores as NAME. Each run works in the folder the unit's stored name starts from.
    static QList<Run> runsForUnits(const QList<Unit> &units, const QString &archivePath, bool encrypted);

    /// The value of "-n": every suffix in lower and upper case, with those the tool stores anyway.
    static QString storedSuffixes();
};
