#pragma once

#include "ZipEncryption.h"
#include "core/support/Error.h"

#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class PartBuilder;

// Drives the making of an archive. The items are cut into parts of about equal size, one for each
// core (ZipPlan); each part is built into a hidden folder beside the archive, all at the same time
// (by the zip tool, or by libzip where the password asks for AES-256: PartBuilder), and the parts
// are then joined into the archive (ZipMerger), which so appears whole or not at all. Progress
// follows the bytes read against the bytes of the items' files (with AES-256, the files written
// too, as each costs a key derivation); a failed run is explained from the tool's messages, and
// an archive that lacks files that could not be read is kept but reported, naming them.
class Zipper final
{
public:
    using Completion = std::function<void(const Error &error, const QString &pathToCreatedZipArchive)>;
    using ProgressHandler = std::function<void(float progress)>;

    /// Error code of every archive-creation error.
    static constexpr qint64 ErrorCode = 10;
    /// The longest password the tool takes, in bytes of UTF-8.
    static constexpr qsizetype MaximumPasswordBytes = 80;
    /// Why the password cannot be used, for the user; null when it can.
    static QString passwordProblem(const QString &password);

    Zipper();
    ~Zipper();
    Zipper(const Zipper &) = delete;
    Zipper &operator=(const Zipper &) = delete;

    /// Called exactly once at the end of createZipArchiveWithItems(), on its thread.
    void setCompletion(Completion completion) { m_completion = std::move(completion); }
    /// Called with every new progress value (0.1..1.0) whose percentage differs from the last.
    /// From the working thread or the runs' threads, never from two at once.
    void setProgressHandler(ProgressHandler handler) { m_progressHandler = std::move(handler); }
    /// How many parts are made at the same time; by default one for each core.
    void setMaximumParallelRuns(int runs) { m_maximumParallelRuns = std::max(1, runs); }

    /// Creates the archive at outputFilePath from the items (local file URLs), encrypted as asked
    /// when the password is not empty. The archive appears there whole or not at all, and never over a
    /// file that is there: the name is the caller's to keep free (Utilities::claimPath()). Does
    /// the whole job on the calling thread, blocking it, and calls the completion before it
    /// returns. The path the completion receives is always null: the archive is at outputFilePath.
    /// On failure and cancel nothing is left at outputFilePath, except an archive that lacks
    /// some files: it is kept, and the error names them and the archive.
    void createZipArchiveWithItems(const QList<QUrl> &urls, const QString &outputFilePath, const QString &password,
        ZipEncryption encryption = ZipEncryptionCompatible);

    /// Ends the job: the running tools are terminated and what they wrote removed. Safe from any
    /// thread while createZipArchiveWithItems() runs.
    void cancel();
    bool isCancelled() const { return m_cancelled.load(); }

    float progress() const { return m_progress; }

    /// The arguments as the log shows them: every argument equal to the password is redacted.
    static QString describeArguments(const QStringList &arguments, const QString &password);
    /// An archive-creation error carrying the text.
    static Error errorWithDescription(const QString &description);
    /// What the user is told of an archive made without the files named (unknown: none named).
    static QString describeLeftOut(const QStringList &names, const QString &outputFilePath);

private:
    /// An error when the items cannot go into one archive: no items, an item without a name,
    /// or two items of the same name (the second would silently replace the first).
    static Error validateItems(const QStringList &itemPaths);
    /// Makes the parts at the same time; the index of the part that failed, -1 when none did.
    qsizetype runParts();
    void updateProgress();
    void setProgress(float progress);
    void finishCancelled();
    void callCompletion(const Error &error, const QString &pathToCreatedZipArchive);

    Completion m_completion;
    ProgressHandler m_progressHandler;
    int m_maximumParallelRuns;
    float m_progress = 0.0F;
    qint64 m_bytesToZip = 0;
    // Where a file costs more than its bytes (AES-256), progress counts this much work for it.
    qint64 m_filesToZip = 0;
    qint64 m_workPerFile = 0;
    QMutex m_progressLock;
    std::atomic<bool> m_cancelled {false};

    QMutex m_runnersLock;
    std::vector<std::unique_ptr<PartBuilder>> m_runners;
    std::vector<int> m_statuses;
};
