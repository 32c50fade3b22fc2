#pragma once

#include <QString>
#include <QStringList>

// Builds one part of an archive on the calling thread: by a chain of zip tool runs (ZipRunner),
// or with libzip where the files are encrypted with AES-256 (AesPartWriter). The parts of one
// archive are built at the same time, each on its own thread, and joined afterwards.
class PartBuilder
{
public:
    /// The status of a part made without some files that could not be read.
    static constexpr int SomeFilesUnread = 18;

    virtual ~PartBuilder() = default;

    /// Builds the part until it is made, fails or is cancelled: 0 or SomeFilesUnread for a made
    /// part, -1 when cancelled or not started, another status when it failed.
    virtual int run() = 0;
    /// Stops the build soon; safe from any thread.
    virtual void cancel() = 0;
    /// The bytes of files read so far; safe from any thread.
    virtual qint64 bytesRead() const = 0;
    /// The files written whole so far, where each costs more than its bytes say (0 where that is
    /// not counted); safe from any thread.
    virtual qsizetype filesWritten() const { return 0; }
    /// Why the run that ended with the status failed, in plain words, naming the folder of the
    /// archive it was for.
    virtual QString failure(int status, const QString &outputFilePath) const = 0;
    /// The stored names of the files the build could not read, once it has ended.
    virtual QStringList unreadNames() const = 0;
};
