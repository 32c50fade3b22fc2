#pragma once

#include <QString>
#include <QStringList>

#include <atomic>

// Joins zip archives into one without unpacking them: the entries of every part, headers and data,
// are copied byte for byte one part after the other, and one central directory is written for
// all of them, pointing at the entries' new places. Zip64 is read where a part has it and written
// where the joined archive needs it (65,535 entries or more, offsets or sizes of 4 GiB or more).
class ZipMerger final
{
public:
    /// Writes the archive at outputPath holding every entry of the parts, the parts' entries in
    /// the order given. Returns an empty string on success, otherwise why it failed, in plain words
    /// for a user; on failure nothing is left at outputPath (whatever was there is replaced on
    /// success and removed on failure). The merge stops, as a failure, soon after *cancelled
    /// becomes true.
    static QString merge(
        const QStringList &partPaths, const QString &outputPath, const std::atomic<bool> *cancelled = nullptr);
};
