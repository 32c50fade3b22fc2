#pragma once

#include "support/Error.h"

#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <atomic>
#include <functional>

class ChildProcess;

// Drives the zip tool: one run per dropped item, each in the item's own parent folder, so that
// every item lands at the top of the archive under its own name. Progress follows the bytes the
// tool has read, from its running byte counts and the dot it prints for every DotSize bytes of a
// large file, against the size of the items; a failed run is explained from the tool's messages.
class Zipper final
{
public:
    using Completion = std::function<void(const Error &error, const QString &pathToCreatedZipArchive)>;
    using ProgressBlock = std::function<void(float progress)>;

    /// Error code of every archive-creation error.
    static constexpr qint64 ErrorCode = 10;
    static const QString ZipToolPath;
    /// The longest password the tool takes, in bytes of UTF-8.
    static constexpr qsizetype MaximumPasswordBytes = 80;
    /// Why the password cannot be used, for the user; null when it can.
    static QString passwordProblem(const QString &password);
    /// The input the tool reads for every dot it prints, in bytes.
    static constexpr qint64 DotSize = 1 << 20;

    /// What an item puts into the archive: its entries (every file and folder under a folder, at
    /// any depth, without the folder itself; 1 for anything else) and the bytes of its files.
    /// Links are not followed.
    struct ItemSize
    {
        qsizetype entries = 0;
        qint64 bytes = 0;
    };

    /// One run of the zip tool.
    struct Run
    {
        QString workingDirectory;
        QStringList arguments;
    };

    Zipper() = default;
    ~Zipper();
    Zipper(const Zipper &) = delete;
    Zipper &operator=(const Zipper &) = delete;

    /// Called exactly once at the end of createZipArchiveWithItems(), on its thread.
    void setCompletion(Completion completion) { m_completion = std::move(completion); }
    /// Called on the working thread with every new progress value (0.1..1.0).
    void setProgressBlock(ProgressBlock block) { m_progressBlock = std::move(block); }

    /// Creates the archive at outputFilePath from the items (local file URLs), encrypted when the
    /// password is not empty. Does the whole job on the calling thread, blocking it, and calls
    /// the completion before it returns. The path the completion receives is always null: the
    /// archive is at outputFilePath.
    void createZipArchiveWithItems(const QList<QUrl> &urls, const QString &outputFilePath, const QString &password);

    /// Ends the job: the running tool is terminated and the partly written archive removed.
    /// Safe from any thread while createZipArchiveWithItems() runs.
    void cancel();
    bool isCancelled() const { return m_cancelled.load(); }

    float progress() const { return m_progress; }
    /// The entries and bytes of all the items.
    ItemSize sizeToZip() const { return m_sizeToZip; }

    /// The runs that create an archive of the items: "-r" (recurse), "-y" (links stay links),
    /// "-nw" (names are literal, no wildcards), "-db" "-dd" "-ds 1m" (byte counts, and a dot a
    /// megabyte), "-g" (grow) for every item after the first, "-e" when there is a password (the
    /// tool then asks for it on its terminal, never on its command line), the archive, and the
    /// item as "./NAME", which the tool can never take for an option and stores as NAME.
    static QList<Run> runsForItems(
        const QStringList &itemPaths, const QString &outputFilePath, const QString &password);
    /// The arguments as the log shows them: every argument equal to the password is redacted.
    static QString describeArguments(const QStringList &arguments, const QString &password);
    static ItemSize sizeOfItem(const QString &itemPath);
    /// An archive-creation error carrying the text.
    static Error errorWithDescription(const QString &description);
    /// Why a run of the tool failed, in plain words, from its exit status and its messages.
    static QString describeFailure(int status, const QByteArray &output, const QString &outputFilePath);

private:
    /// An error when the items cannot go into one archive: no items, an item without a name,
    /// or two items of the same name (the second would silently replace the first).
    static Error validateItems(const QStringList &itemPaths);
    /// Runs the tool to its end: its exit status, -1 when it did not start or was stopped.
    int runTool(const Run &run);
    void handleOutput(const QByteArray &chunk);
    void setProgress(float progress);
    void fillUpProgress();
    void finishCancelled(const QString &outputFilePath);
    void callCompletionBlock(const Error &error, const QString &pathToCreatedZipArchive);

    /// The share of the job done: the weighed size of the items done, and of the run's so far.
    void updateProgress();

    Completion m_completion;
    ProgressBlock m_progressBlock;
    float m_progress = 0.0F;
    ItemSize m_sizeToZip;
    QString m_password;
    /// What the runs before this one zipped, weighed as progress counts it.
    qint64 m_unitsDone = 0;
    /// The tool's count of the bytes it read in this run, the entries it began and the dots it
    /// printed since the last one began.
    qint64 m_runBytes = 0;
    qsizetype m_runEntries = 0;
    qint64 m_runDots = 0;
    /// The end of the tool's output, for explaining a failure.
    QByteArray m_output;
    std::atomic<bool> m_cancelled {false};

    QMutex m_processLock;
    ChildProcess *m_process = nullptr;
};
