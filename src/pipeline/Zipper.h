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
// every item lands at the top of the archive under its own name. Progress comes from counting
// the chunks of the tool's output against the number of entries expected.
class Zipper final
{
public:
    using Completion = std::function<void(const Error &error, const QString &pathToCreatedZipArchive)>;
    using ProgressBlock = std::function<void(float progress)>;

    /// Error code of every archive-creation error.
    static constexpr qint64 ErrorCode = 10;
    static const QString ZipToolPath;

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
    qsizetype numberOfItemsToZip() const { return m_numberOfItemsToZip; }
    qsizetype numberOfItemsZipped() const { return m_numberOfItemsZipped; }

    /// The runs that create an archive of the items: "-r" (recurse), "-y" (links stay links),
    /// "-nw" (names are literal, no wildcards), "-g" (grow) for every item after the first,
    /// "-e" "-P" and the password when there is one, the archive, and the item as "./NAME",
    /// which the tool can never take for an option and stores as NAME.
    static QList<Run> runsForItems(
        const QStringList &itemPaths, const QString &outputFilePath, const QString &password);
    /// The arguments as the log shows them: every argument equal to the password is redacted.
    static QString describeArguments(const QStringList &arguments, const QString &password);
    /// The number of entries the archive of an item holds: every file and folder under a folder
    /// (at any depth, without the folder itself), 1 for anything else.
    static qsizetype numberOfEntriesForItem(const QString &itemPath);
    /// An archive-creation error carrying the text.
    static Error errorWithDescription(const QString &description);

private:
    /// An error when the items cannot go into one archive: no items, an item without a name,
    /// or two items of the same name (the second would silently replace the first).
    static Error validateItems(const QStringList &itemPaths);
    bool runTool(const Run &run);
    void handleOutput(const QByteArray &chunk);
    void setProgress(float progress);
    void fillUpProgress();
    void finishCancelled(const QString &outputFilePath);
    void callCompletionBlock(const Error &error, const QString &pathToCreatedZipArchive);

    Completion m_completion;
    ProgressBlock m_progressBlock;
    float m_progress = 0.0F;
    qsizetype m_numberOfItemsToZip = 0;
    qsizetype m_numberOfItemsZipped = 0;
    std::atomic<bool> m_cancelled {false};

    QMutex m_processLock;
    ChildProcess *m_process = nullptr;
};
