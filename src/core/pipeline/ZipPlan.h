#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// How the dropped items become zip tool runs. The items are cut into units (an item, or, where
// there are fewer items than parts wanted, a folder's own entry and each thing in it), and the
// units, in order, into parts of about equal weight: each part is one archive that one chain of
// runs builds, so that the parts can be made at the same time and joined afterwards with their
// entries in the order a single run would have given them.
class ZipPlan final
{
public:
    struct Unit;

    /// What an item or unit puts into the archive: its entries (itself and everything under it,
    /// at any depth), the bytes of its files, and the names (as stored) of what the tool will not
    /// be able to add: files and folders that cannot be read, and paths too long for it. Links
    /// are not followed. The size of a dropped folder keeps what is in it, unit by unit, in the
    /// order the tool takes them, so that it can be cut up without a second look at the disk.
    struct Size
    {
        qsizetype entries = 0;
        qint64 bytes = 0;
        QStringList leftOut;
        std::vector<Unit> contents;
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

    /// One run of the zip tool: its command line, and the names it reads on its standard input
    /// ("-@"), one per line.
    struct Run
    {
        QString workingDirectory;
        QStringList arguments;
        QByteArray nameList;
    };

    /// The longest stored name the tool takes, in bytes; it silently leaves out longer ones.
    static constexpr qsizetype MaximumStoredNameBytes = 4093;

    /// The size of the item on disk, stored under the name given.
    static Size sizeOfItem(const QString &path, const QString &storedName);

    /// The items (each with its size) cut into at most partCount parts, in order. A part never
    /// holds nothing; there are fewer parts when there is not enough to share out, and none when
    /// nothing can be added. The excluded paths (what the job itself writes beside the archive,
    /// which a dropped folder may hold) stay out: a folder that holds one is added entry by entry
    /// around it.
    static QList<QList<Unit>> split(
        const QStringList &itemPaths, const QList<Size> &sizes, int partCount, const QStringList &excludedPaths = {});

    /// The runs that build one archive of the units, one run for the units in a row that share
    /// their folder and kind (each run rereads the archive, so a folder of many small files takes
    /// one): "-r" (recurse) where a folder's contents go, "-y" (links stay links), "-nw" (names are
    /// literal, no wildcards), "-q" "-dg" "-ds 256k" (nothing but its messages and a dot for every
    /// 256 KB read), "-n" with the suffixes of formats that are compressed already (stored, not
    /// deflated again), "-g" (grow) for every run after the first, "-e" when there is a password
    /// (the tool then asks for it on its terminal, never on its command line), "-lf" and "-la" with
    /// the log where there is one (its warnings name the files it could not read, which "-q" keeps
    /// to itself), "-@" and the archive. Each unit is named "./NAME", which the tool can never take
    /// for an option and stores as NAME, in the run's list of names, which the tool reads faster
    /// than its command line; a name with a line break, which a list of lines cannot hold, is
    /// given on the command line of a run of its own. Each run works in the folder the units'
    /// stored names start from.
    static QList<Run> runsForUnits(
        const QList<Unit> &units, const QString &archivePath, bool encrypted, const QString &logPath = {});
    /// The stored names of the files the tool's log says it could not read.
    static QStringList unreadNamesInLog(const QByteArray &log);

    /// The value of "-n": every suffix in lower and upper case, with those the tool stores anyway.
    static QString storedSuffixes();
};
